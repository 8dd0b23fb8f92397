// Presents paced to a display's refresh, on a clock the test steps: a 60 Hz
// display gets 60 presents a second (not 62.5 as with a whole-millisecond
// period), slow frames are not followed by a hurried burst, and unknown
// rates count as 60 Hz.
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/base/refresh_pacer.h"

namespace tumbral_test {
namespace {

using Clock = plat::RefreshPacer::Clock;
using std::chrono::microseconds;
using std::chrono::nanoseconds;

class SteppedClock {
  public:
    Clock::time_point now = Clock::time_point{} + std::chrono::hours(1);
    int sleeps = 0;
    plat::RefreshPacer Pacer() {
        return plat::RefreshPacer([this] { return now; },
                                  [this](Clock::time_point until) {
                                      ++sleeps;
                                      if (until > now) now = until;
                                  });
    }
};

TEST(RefreshPacerTest, SixtyHertzGivesSixtyPresentsASecondWhateverTheFrameCosts) {
    for (int workUs : {0, 3000, 16000}) {
        SteppedClock clock;
        plat::RefreshPacer pacer = clock.Pacer();
        Clock::time_point first = pacer.Wait(60), last = first;
        for (int i = 1; i < 600; ++i) {
            clock.now += microseconds(workUs);  // drawing the frame
            last = pacer.Wait(60);
            ASSERT_EQ(clock.now, last);
        }
        double seconds = std::chrono::duration<double>(last - first).count();
        EXPECT_NEAR(599 / seconds, 60.0, 0.001) << workUs << " us of work per frame";
    }
}

TEST(RefreshPacerTest, APresentLateByMoreThanARefreshStartsAFreshGrid) {
    SteppedClock clock;
    plat::RefreshPacer pacer = clock.Pacer();
    pacer.Wait(50);                              // 20 ms periods
    clock.now += std::chrono::milliseconds(75);  // a long frame (a resize, a page fault)
    Clock::time_point late = clock.now;
    EXPECT_EQ(pacer.Wait(50), late);  // shown at once ...
    Clock::time_point next = pacer.Wait(50);
    EXPECT_EQ(next - late, nanoseconds(20000000));  // ... and the next one a full period later
    EXPECT_EQ(clock.now, next);
}

TEST(RefreshPacerTest, UnknownOrAbsurdRatesCountAsSixtyHertz) {
    for (int hz : {0, -5, 100000}) {
        SteppedClock clock;
        plat::RefreshPacer pacer = clock.Pacer();
        Clock::time_point a = pacer.Wait(hz);
        Clock::time_point b = pacer.Wait(hz);
        EXPECT_EQ(b - a, nanoseconds(16666666)) << hz;
    }
}

}  // namespace
}  // namespace tumbral_test
