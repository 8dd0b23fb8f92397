// Pacing presents to a display's refresh when no real vertical blank exists
// (the headless backend, SDL's window surface). Presents land on a fixed grid
// of refresh periods, so the rate is the refresh rate itself rather than one
// period plus the oversleep of every wait; a present that comes more than a
// period late starts a new grid instead of hurrying to catch up.
#pragma once

#include <chrono>
#include <functional>

namespace plat {

class RefreshPacer {
  public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;
    using SleepUntil = std::function<void(Clock::time_point)>;

    // The platform's clock (a test's manual clock while one is installed).
    RefreshPacer();
    // Tests step their own clock.
    RefreshPacer(Now now, SleepUntil sleepUntil);

    // Waits for the next refresh of a `hz` display (unknown or absurd rates: 60);
    // returns the time the present is due.
    Clock::time_point Wait(int hz);

  private:
    Now m_now;
    SleepUntil m_sleepUntil;
    Clock::time_point m_due{};
    bool m_started = false;
};

}  // namespace plat
