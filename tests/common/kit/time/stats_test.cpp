// Frame-rate bookkeeping and the composed statistics texts.
#include <gtest/gtest.h>

#include <string>

#include "common/kit/base/kit_clock.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/time/kit_frame_stats.h"
#include "tests/common/kit/state_reset.h"

namespace {

class KitStats : public ::testing::Test {
  protected:
    void SetUp() override { kittest::ResetCoreState(); }
    void TearDown() override { kittest::ResetCoreState(); }
};

TEST_F(KitStats, RateUpdatesOnlyAfterMoreThanOneSecond) {
    CKitCoreState& s = KitCore();
    s.m_fLastStatsTime = KitClock()->AbsoluteSeconds() - 0.9;
    for (int i = 0; i < 10; ++i) KitTickFrameStats();
    EXPECT_EQ(s.m_fFPS, 0.0f);
    EXPECT_EQ(s.m_nStatsFrames, 10u);
    EXPECT_EQ(std::wstring(s.m_szFPS), L"");

    s.m_fLastStatsTime = KitClock()->AbsoluteSeconds() - 1.1;
    KitTickFrameStats();  // the eleventh frame
    EXPECT_NEAR(s.m_fFPS, 10.0f, 0.1f);
    EXPECT_EQ(s.m_nStatsFrames, 0u);
    std::wstring fps = s.m_szFPS;
    EXPECT_EQ(fps.substr(fps.size() - 5), L" fps ");
    EXPECT_EQ(fps.substr(0, 2), L"10");
    EXPECT_NEAR(KitFramesPerSecond(), 10.0f, 0.1f);
}

TEST_F(KitStats, FirstUpdateAfterStartWaitsForAWholeSecondOfAbsoluteTime) {
    CKitCoreState& s = KitCore();
    s.m_fLastStatsTime = KitClock()->AbsoluteSeconds();
    KitTickFrameStats();
    EXPECT_EQ(s.m_fFPS, 0.0f);
    EXPECT_EQ(s.m_nStatsFrames, 1u);
}

TEST_F(KitStats, FrameStatsFillTheRateSlot) {
    CKitCoreState& s = KitCore();
    StringCchCopyW(s.m_szStaticStats, 256, L"%lsVsync off (640x480), X8R8G8B8 (D24S8)");
    StringCchCopyW(s.m_szFPS, 64, L"60.00 fps ");
    EXPECT_EQ(std::wstring(KitFrameStatsText(true)), L"60.00 fps Vsync off (640x480), X8R8G8B8 (D24S8)");
    EXPECT_EQ(std::wstring(KitFrameStatsText(false)), L"Vsync off (640x480), X8R8G8B8 (D24S8)");
}

TEST_F(KitStats, StatisticsOff) {
    CKitCoreState& s = KitCore();
    s.m_bNoStats = true;
    s.m_fLastStatsTime = KitClock()->AbsoluteSeconds() - 5.0;
    KitTickFrameStats();
    EXPECT_EQ(s.m_nStatsFrames, 0u);
    EXPECT_EQ(s.m_fFPS, 0.0f);
    EXPECT_EQ(std::wstring(KitFrameStatsText(true)), L"");
    EXPECT_EQ(std::wstring(KitDeviceStatsText()), L"");
}

}  // namespace
