// Pause counting, the timer list and the clock under pauses.
#include <gtest/gtest.h>

#include <vector>

#include "common/kit/base/kit_clock.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/time/kit_timers.h"
#include "platform/manual_clock.h"
#include "tests/common/kit/state_reset.h"
#include "tests/common/kit/test_backend.h"

namespace {

class KitTimers : public ::testing::Test {
  protected:
    void SetUp() override { kittest::ResetCoreState(); }
    void TearDown() override { kittest::ResetCoreState(); }

    void RunFrame(float fElapsed) {
        KitCore().m_fElapsed = fElapsed;
        KitRunTimers();
    }
};

struct Fired {
    std::vector<std::pair<UINT, int>> calls;  // (identifier, frame)
    int frame = 0;
};

void OnTimer(UINT idEvent, void* pUserContext) {
    Fired* fired = static_cast<Fired*>(pUserContext);
    fired->calls.push_back({idEvent, fired->frame});
}

TEST_F(KitTimers, FiresWhenTheCountdownPassesZeroAndRestarts) {
    Fired fired;
    UINT id = 99;
    ASSERT_EQ(KitSetTimer(OnTimer, 0.5f, &id, &fired), S_OK);
    EXPECT_EQ(id, 0u);
    // Countdown 0.5 -> 0.3 -> 0.1 -> -0.1 (fires, back to 0.5) -> 0.3 -> 0.1 -> -0.1 (fires).
    for (fired.frame = 1; fired.frame <= 6; ++fired.frame) RunFrame(0.2f);
    ASSERT_EQ(fired.calls.size(), 2u);
    EXPECT_EQ(fired.calls[0], (std::pair<UINT, int>{0u, 3}));
    EXPECT_EQ(fired.calls[1], (std::pair<UINT, int>{0u, 6}));
}

TEST_F(KitTimers, KillingKeepsLaterIdentifiers) {
    Fired fired;
    UINT a, b, c;
    ASSERT_EQ(KitSetTimer(OnTimer, 0.1f, &a, &fired), S_OK);
    ASSERT_EQ(KitSetTimer(OnTimer, 0.1f, &b, &fired), S_OK);
    ASSERT_EQ(KitKillTimer(a), S_OK);
    ASSERT_EQ(KitSetTimer(OnTimer, 0.1f, &c, &fired), S_OK);
    EXPECT_EQ(b, 1u);
    EXPECT_EQ(c, 2u);
    RunFrame(0.2f);
    ASSERT_EQ(fired.calls.size(), 2u);
    EXPECT_EQ(fired.calls[0].first, 1u);
    EXPECT_EQ(fired.calls[1].first, 2u);
}

TEST_F(KitTimers, KillWithoutListAndOutOfRange) {
    EXPECT_EQ(KitKillTimer(0), S_FALSE);
    Fired fired;
    ASSERT_EQ(KitSetTimer(OnTimer, 1.0f, nullptr, &fired), S_OK);
    KitCore().m_bShowErrorBoxes = false;
    EXPECT_EQ(KitKillTimer(1), E_INVALIDARG);
    EXPECT_EQ(KitSetTimer(nullptr, 1.0f, nullptr, nullptr), E_INVALIDARG);
}

struct OneShot {
    int calls = 0;
};
void OnOneShot(UINT idEvent, void* pUserContext) {
    static_cast<OneShot*>(pUserContext)->calls++;
    KitKillTimer(idEvent);
}

TEST_F(KitTimers, TimerKilledByItsOwnCallbackStaysKilled) {
    OneShot shot;
    ASSERT_EQ(KitSetTimer(OnOneShot, 0.1f, nullptr, &shot), S_OK);
    for (int i = 0; i < 5; ++i) RunFrame(0.2f);
    EXPECT_EQ(shot.calls, 1);
}

void OnAddAnother(UINT, void* pUserContext) { KitSetTimer(OnTimer, 0.1f, nullptr, pUserContext); }

TEST_F(KitTimers, TimerAddedByACallbackStartsNextFrame) {
    Fired fired;
    ASSERT_EQ(KitSetTimer(OnAddAnother, 100.0f, nullptr, &fired), S_OK);
    KitCore().m_pTimers->GetAt(0).fCountdown = 0.0f;                             // due now
    for (int i = 0; i < 40; ++i) KitSetTimer(OnTimer, 100.0f, nullptr, &fired);  // the list must grow
    fired.frame = 1;
    RunFrame(0.2f);
    EXPECT_TRUE(fired.calls.empty());
    fired.frame = 2;
    RunFrame(0.2f);
    ASSERT_EQ(fired.calls.size(), 1u);
    EXPECT_EQ(fired.calls[0].first, 41u);
}

TEST_F(KitTimers, SuspendCountsNestAndClampAtZero) {
    KitSuspend(false, false);
    EXPECT_EQ(KitCore().m_nPauseTimeCount, 0);
    EXPECT_EQ(KitCore().m_nPauseRenderingCount, 0);
    EXPECT_FALSE(KitClock()->IsHalted());

    KitSuspend(true, true);
    KitSuspend(true, true);
    EXPECT_EQ(KitCore().m_nPauseTimeCount, 2);
    EXPECT_TRUE(KitRenderingHeld());
    EXPECT_TRUE(KitClock()->IsHalted());
    // Each argument counts on its own: false lowers the rendering count.
    KitSuspend(true, false);
    EXPECT_EQ(KitCore().m_nPauseTimeCount, 3);
    EXPECT_EQ(KitCore().m_nPauseRenderingCount, 1);
    KitSuspend(false, false);
    KitSuspend(false, false);
    EXPECT_TRUE(KitTimeHeld());
    EXPECT_TRUE(KitCore().m_bTimePaused);
    EXPECT_FALSE(KitRenderingHeld());
    EXPECT_FALSE(KitCore().m_bRenderingPaused);
    EXPECT_EQ(KitCore().m_nPauseRenderingCount, 0);  // clamped
    EXPECT_TRUE(KitClock()->IsHalted());
    KitSuspend(false, false);
    EXPECT_FALSE(KitTimeHeld());
    EXPECT_FALSE(KitCore().m_bTimePaused);
    EXPECT_FALSE(KitClock()->IsHalted());
}

TEST_F(KitTimers, HaltedClockFreezesTimeAndElapsedReadsZero) {
    plat::ManualClock manual;
    CKitClock* clock = KitClock();
    clock->Rewind();
    manual.AdvanceMs(3);
    KitSuspend(true, false);
    double t0 = clock->AppSeconds();
    EXPECT_DOUBLE_EQ(t0, 0.003);
    manual.AdvanceMs(20);
    EXPECT_EQ(clock->AppSeconds(), t0);
    EXPECT_EQ(clock->ElapsedSeconds(), 0.0);
    KitSuspend(false, false);
    // The halted stretch is left out of application time.
    EXPECT_DOUBLE_EQ(clock->AppSeconds(), t0);
    manual.AdvanceMs(5);
    EXPECT_DOUBLE_EQ(clock->ElapsedSeconds(), 0.005);
    EXPECT_DOUBLE_EQ(clock->AppSeconds(), 0.008);
    EXPECT_GE(clock->AbsoluteSeconds(), clock->AppSeconds());
}

}  // namespace
