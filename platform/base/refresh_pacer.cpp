// Refresh pacing on a fixed grid (see refresh_pacer.h).
#include "platform/base/refresh_pacer.h"

#include "platform/manual_clock.h"

namespace plat {

RefreshPacer::RefreshPacer()
    : RefreshPacer([] { return ClockNow(); }, [](Clock::time_point t) { ClockSleepUntil(t); }) {}

RefreshPacer::RefreshPacer(Now now, SleepUntil sleepUntil)
    : m_now(std::move(now)), m_sleepUntil(std::move(sleepUntil)) {}

RefreshPacer::Clock::time_point RefreshPacer::Wait(int hz) {
    if (hz < 1 || hz > 1000) hz = 60;
    // Whole nanoseconds: a whole-millisecond period (16 ms) would run a 60 Hz display at 62.5 Hz.
    const auto period = std::chrono::nanoseconds(1000000000LL / hz);
    Clock::time_point now = m_now();
    if (!m_started || now > m_due + period) {
        // First present, or more than a refresh late: the grid starts again from now.
        m_started = true;
        m_due = now;
        return m_due;
    }
    m_due += std::chrono::duration_cast<Clock::duration>(period);
    if (m_due > now) m_sleepUntil(m_due);
    return m_due;
}

}  // namespace plat
