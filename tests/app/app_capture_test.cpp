// The application's message callback and the mouse capture of a camera drag:
// a left click during a right-button drag, and losing activation mid-turn.
#include <gtest/gtest.h>

#include "tests/app/app_test_env.h"

using AppCaptureTest = AppCubeTest;

TEST_F(AppCaptureTest, LeftClickDuringARightDragKeepsTheCaptureUntilTheRightRelease) {
    SendToApp(m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON);
    ASSERT_EQ(GetCapture(), m_hWnd);
    // A left click while the right button is still held.
    SendToApp(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON);
    SendToApp(m_hWnd, WM_LBUTTONUP, MK_RBUTTON);
    EXPECT_EQ(GetCapture(), m_hWnd) << "the right-button release outside the window would never arrive";
    EXPECT_EQ(g_ViewCamera.ButtonsDown(), BTN_MASK_RIGHT);

    SendToApp(m_hWnd, WM_RBUTTONUP, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(g_ViewCamera.ButtonsDown(), 0);

    // A plain left click gives the capture back at its release.
    SendToApp(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON);
    SetCapture(m_hWnd);
    SendToApp(m_hWnd, WM_LBUTTONUP, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(AppCaptureTest, LosingActivationDuringATurnLetsGoOfTheDrag) {
    SendToApp(m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON);
    ASSERT_EQ(g_ViewCamera.ButtonsDown(), BTN_MASK_RIGHT);
    g_PuzzleCube.GetCubie(1).bSelected = true;
    g_PuzzleCube.GetCubie(3).bSelected = true;
    g_PuzzleCube.AdvanceTurn(m_pDevice);
    ASSERT_TRUE(g_PuzzleCube.IsTurning());

    SendToApp(m_hWnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    EXPECT_EQ(g_ViewCamera.ButtonsDown(), 0);
    EXPECT_EQ(GetCapture(), nullptr);
}
