// Wheel scrolling in whole notches: a real wheel's notches pass as they are,
// precise scrolling adds up to notches and keeps the rest.
#include <gtest/gtest.h>

#include "platform/sdl/sdl_wheel.h"

namespace {

TEST(WheelNotchesTest, WholeNotchesPassAsTheyAre) {
    plat::WheelNotches wheel;
    EXPECT_EQ(wheel.Add(1.0f), 120);
    EXPECT_EQ(wheel.Add(-1.0f), -120);
    EXPECT_EQ(wheel.Add(3.0f), 360);
    EXPECT_EQ(wheel.Add(-2.0f), -240);
}

TEST(WheelNotchesTest, TouchpadScrollingAddsUpToNotchesKeepingTheRest) {
    plat::WheelNotches wheel;
    // A touchpad's tenth-notch events: nothing for nine, a notch at the tenth.
    for (int i = 0; i < 9; ++i) EXPECT_EQ(wheel.Add(0.1f), 0) << "event " << i;
    EXPECT_EQ(wheel.Add(0.1f), 120);
    // 0.75 + 0.75: one notch, half a notch kept for the next one.
    EXPECT_EQ(wheel.Add(0.75f), 0);
    EXPECT_EQ(wheel.Add(0.75f), 120);
    EXPECT_EQ(wheel.Add(0.5f), 120);
    // Backwards likewise.
    EXPECT_EQ(wheel.Add(-0.6f), 0);
    EXPECT_EQ(wheel.Add(-0.6f), -120);
}

TEST(WheelNotchesTest, TurningBackDropsThePartNotch) {
    plat::WheelNotches wheel;
    EXPECT_EQ(wheel.Add(0.9f), 0);
    // The other way: the 0.9 kept before is not subtracted from this scroll.
    EXPECT_EQ(wheel.Add(-1.0f), -120);
    EXPECT_EQ(wheel.Add(0.5f), 0);
    wheel.Clear();
    EXPECT_EQ(wheel.Add(0.5f), 0);
    EXPECT_EQ(wheel.Add(0.5f), 120);
}

}  // namespace
