// The platform's clock, and a manual clock that tests install and step.
//
// The performance counter, the tick counts, Sleep and the headless backend's
// waits (refresh pacing, timed script steps) all read ClockNow. Normally that
// is the monotonic clock. While a ManualClock is installed it is the manual
// clock instead: it stands still until a test advances it, and every wait
// advances it to the wait's end at once, so code that sleeps never hangs and
// timing runs the same on a loaded machine as on an idle one.
#pragma once

#include <chrono>
#include <cstdint>

namespace plat {

using ClockTime = std::chrono::steady_clock::time_point;

// Now: the manual clock when one is installed, the monotonic clock otherwise.
ClockTime ClockNow();
// Waits until `t`: advances the manual clock to `t` (never back) when one is
// installed, sleeps otherwise.
void ClockSleepUntil(ClockTime t);
// True while a ManualClock is installed.
bool ManualClockInstalled();

// Installed for its lifetime; one at a time (a second one is refused with an
// assertion). Starts at `start` so that readings are well away from zero.
class ManualClock {
  public:
    explicit ManualClock(std::chrono::nanoseconds start = std::chrono::hours(1));
    ~ManualClock();
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    // Moves the clock forward (a negative step is ignored).
    void Advance(std::chrono::nanoseconds step);
    void AdvanceMs(int64_t ms) { Advance(std::chrono::milliseconds(ms)); }
    // Nanoseconds since the clock's zero, as the performance counter reads it.
    int64_t Nanos() const;
};

}  // namespace plat
