// The application's message callback: what reaches the camera during a layer
// turn, the mouse capture, and the framework's clock after a click.
#include <gtest/gtest.h>

#include "common/kit/base/kit_clock.h"
#include "common/kit/time/kit_timers.h"
#include "tests/app/app_test_env.h"

namespace {

// The application's cube, built on the test device and turning.
class AppInputTest : public AppCubeTest {
  protected:
    void StartTurn() {
        // Two edge cubies of the x = -R layer.
        g_PuzzleCube.GetCubie(1).bSelected = true;
        g_PuzzleCube.GetCubie(3).bSelected = true;
        g_PuzzleCube.AdvanceTurn(m_pDevice);
        ASSERT_TRUE(g_PuzzleCube.IsTurning());
    }
};

}  // namespace

TEST(AppInputClock, AClickDoesNotRestartAPausedClock) {
    KitSuspend(true, false);  // what Pause does
    ASSERT_TRUE(KitClock()->IsHalted());
    SendToApp(nullptr, WM_LBUTTONUP);
    EXPECT_TRUE(KitClock()->IsHalted());
    SendToApp(nullptr, WM_CAPTURECHANGED, 0, 0);
    EXPECT_TRUE(KitClock()->IsHalted());
    KitSuspend(false, false);
    EXPECT_FALSE(KitClock()->IsHalted());
}

TEST_F(AppInputTest, DuringATurnPressesAreIgnoredAndReleasesEndWhatWasHeld) {
    // A right-button press before the turn: the camera takes the capture.
    SendToApp(m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON);
    ASSERT_EQ(GetCapture(), m_hWnd);
    StartTurn();
    // Its release during the turn still reaches the camera, which gives the capture back.
    SendToApp(m_hWnd, WM_RBUTTONUP);
    EXPECT_EQ(GetCapture(), nullptr);
    // A new press during the turn starts nothing.
    SendToApp(m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON);
    SendToApp(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON);
    EXPECT_EQ(GetCapture(), nullptr);
    // The left button's release gives back a capture taken before the turn.
    SetCapture(m_hWnd);
    SendToApp(m_hWnd, WM_LBUTTONUP);
    EXPECT_EQ(GetCapture(), nullptr);
    // After the snap, presses count again.
    RunTurn(g_PuzzleCube, m_pDevice);
    SendToApp(m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON);
    EXPECT_EQ(GetCapture(), m_hWnd);
    SendToApp(m_hWnd, WM_RBUTTONUP);
    EXPECT_EQ(GetCapture(), nullptr);
}
