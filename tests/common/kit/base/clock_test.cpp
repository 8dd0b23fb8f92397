// The clock's halt/resume arithmetic, on a manual clock the tests step.
#include <gtest/gtest.h>

#include "common/kit/base/kit_clock.h"
#include "platform/manual_clock.h"

namespace {

class Clock : public ::testing::Test {
  protected:
    plat::ManualClock manual;
    CKitClock clock;
};

TEST_F(Clock, RewindStartsAtZeroAndRuns) {
    EXPECT_TRUE(clock.IsHalted());  // stopped until rewound
    manual.AdvanceMs(40);
    clock.Rewind();
    EXPECT_FALSE(clock.IsHalted());
    EXPECT_EQ(clock.AppSeconds(), 0.0);
    manual.AdvanceMs(10);
    EXPECT_DOUBLE_EQ(clock.AppSeconds(), 0.010);
    EXPECT_DOUBLE_EQ(clock.AbsoluteSeconds(), static_cast<double>(manual.Nanos()) / 1e9);
}

TEST_F(Clock, ElapsedMeasuresSinceTheLastReading) {
    clock.Rewind();
    manual.AdvanceMs(10);
    EXPECT_DOUBLE_EQ(clock.ElapsedSeconds(), 0.010);
    EXPECT_EQ(clock.ElapsedSeconds(), 0.0);
    manual.AdvanceMs(3);
    EXPECT_DOUBLE_EQ(clock.ElapsedSeconds(), 0.003);
    // Reading the application time does not restart the elapsed count.
    manual.AdvanceMs(4);
    EXPECT_DOUBLE_EQ(clock.AppSeconds(), 0.017);
    EXPECT_DOUBLE_EQ(clock.ElapsedSeconds(), 0.004);
}

TEST_F(Clock, HaltFreezesEveryReadingAndResumeSkipsTheGap) {
    clock.Rewind();
    manual.AdvanceMs(5);
    clock.Halt();
    EXPECT_TRUE(clock.IsHalted());
    const double app = clock.AppSeconds();
    const double abs = clock.AbsoluteSeconds();
    EXPECT_DOUBLE_EQ(app, 0.005);
    manual.AdvanceMs(20);
    EXPECT_EQ(clock.AppSeconds(), app);
    EXPECT_EQ(clock.AbsoluteSeconds(), abs);
    EXPECT_EQ(clock.ElapsedSeconds(), 0.0);
    clock.Halt();  // a second halt changes nothing
    manual.AdvanceMs(20);
    EXPECT_EQ(clock.AppSeconds(), app);
    clock.Resume();
    EXPECT_FALSE(clock.IsHalted());
    EXPECT_DOUBLE_EQ(clock.AppSeconds(), app);  // the 40 ms halt is not counted
    EXPECT_EQ(clock.ElapsedSeconds(), 0.0);
    manual.AdvanceMs(7);
    EXPECT_DOUBLE_EQ(clock.AppSeconds(), 0.012);
    EXPECT_DOUBLE_EQ(clock.ElapsedSeconds(), 0.007);
    EXPECT_DOUBLE_EQ(clock.AbsoluteSeconds(), static_cast<double>(manual.Nanos()) / 1e9);
}

TEST_F(Clock, ResumeWhileRunningKeepsTime) {
    clock.Rewind();
    manual.AdvanceMs(10);
    clock.Resume();
    EXPECT_DOUBLE_EQ(clock.AppSeconds(), 0.010);
}

TEST_F(Clock, SleepingAdvancesTheManualClock) {
    clock.Rewind();
    Sleep(25);
    EXPECT_DOUBLE_EQ(clock.AppSeconds(), 0.025);
}

TEST(ClockProcessWide, IsOne) { EXPECT_EQ(KitClock(), KitClock()); }

}  // namespace
