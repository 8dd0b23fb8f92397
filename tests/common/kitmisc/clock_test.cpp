// The clock's halt/resume arithmetic.
#include <gtest/gtest.h>

#include "kitmisc/kit_clock.h"

namespace {

TEST(Clock, RewindStartsAtZeroAndRuns) {
    CKitClock clock;
    EXPECT_TRUE(clock.IsHalted());  // stopped until rewound
    clock.Rewind();
    EXPECT_FALSE(clock.IsHalted());
    double t0 = clock.AppSeconds();
    EXPECT_GE(t0, 0.0);
    EXPECT_LT(t0, 0.01);
    Sleep(10);
    EXPECT_GT(clock.AppSeconds(), t0 + 0.009);
}

TEST(Clock, ElapsedMeasuresSinceTheLastReading) {
    CKitClock clock;
    clock.Rewind();
    Sleep(10);
    double first = clock.ElapsedSeconds();
    double second = clock.ElapsedSeconds();
    EXPECT_GT(first, 0.009);
    EXPECT_LT(second, first);
}

TEST(Clock, HaltFreezesEveryReadingAndResumeSkipsTheGap) {
    CKitClock clock;
    clock.Rewind();
    Sleep(5);
    clock.Halt();
    double app = clock.AppSeconds();
    double abs = clock.AbsoluteSeconds();
    Sleep(20);
    EXPECT_EQ(clock.AppSeconds(), app);
    EXPECT_EQ(clock.AbsoluteSeconds(), abs);
    EXPECT_EQ(clock.ElapsedSeconds(), 0.0);
    clock.Halt();  // a second halt changes nothing
    EXPECT_EQ(clock.AppSeconds(), app);
    clock.Resume();
    EXPECT_FALSE(clock.IsHalted());
    double after = clock.AppSeconds();
    EXPECT_GE(after, app);
    EXPECT_LT(after - app, 0.015);  // the 20 ms halt is not counted
    EXPECT_LT(clock.ElapsedSeconds(), 0.015);
}

TEST(Clock, ResumeWhileRunningKeepsTime) {
    CKitClock clock;
    clock.Rewind();
    Sleep(10);
    clock.Resume();
    EXPECT_GT(clock.AppSeconds(), 0.009);
}

TEST(Clock, ProcessWideClockIsOne) { EXPECT_EQ(KitClock(), KitClock()); }

}  // namespace
