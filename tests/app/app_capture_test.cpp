// The application's message callback and the mouse capture of a camera drag:
// a left click during a right-button drag, and losing activation mid-turn.
#include <gtest/gtest.h>

#include "app/app_callbacks.h"
#include "app/app_globals.h"
#include "cube_test_env.h"

namespace {

LRESULT Send(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam = MAKELPARAM(100, 100)) {
    bool bNoFurtherProcessing = false;
    return AppMsgProc(hWnd, uMsg, wParam, lParam, &bNoFurtherProcessing, nullptr);
}

class AppCaptureTest : public CubeDeviceTest {
  protected:
    void SetUp() override {
        CubeDeviceTest::SetUp();
        WriteStandardBox();
        ASSERT_TRUE(g_PuzzleCube.Build(m_pDevice));
        g_ViewCamera.SetViewportSize(int(kWidth), int(kHeight), 0.9f);
    }
    void TearDown() override {
        if (g_PuzzleCube.IsTurning()) RunTurn(g_PuzzleCube, m_pDevice);
        g_PuzzleCube.ReleaseDeviceObjects();
        Send(m_hWnd, WM_RBUTTONUP, 0);
        ReleaseCapture();
        CubeDeviceTest::TearDown();
    }
};

}  // namespace

TEST_F(AppCaptureTest, LeftClickDuringARightDragKeepsTheCaptureUntilTheRightRelease) {
    Send(m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON);
    ASSERT_EQ(GetCapture(), m_hWnd);
    // A left click while the right button is still held.
    Send(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON);
    Send(m_hWnd, WM_LBUTTONUP, MK_RBUTTON);
    EXPECT_EQ(GetCapture(), m_hWnd) << "the right-button release outside the window would never arrive";
    EXPECT_EQ(g_ViewCamera.ButtonsDown(), BTN_MASK_RIGHT);

    Send(m_hWnd, WM_RBUTTONUP, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(g_ViewCamera.ButtonsDown(), 0);

    // A plain left click gives the capture back at its release.
    Send(m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON);
    SetCapture(m_hWnd);
    Send(m_hWnd, WM_LBUTTONUP, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(AppCaptureTest, LosingActivationDuringATurnLetsGoOfTheDrag) {
    Send(m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON);
    ASSERT_EQ(g_ViewCamera.ButtonsDown(), BTN_MASK_RIGHT);
    g_PuzzleCube.GetCubie(1).bSelected = true;
    g_PuzzleCube.GetCubie(3).bSelected = true;
    g_PuzzleCube.AdvanceTurn(m_pDevice);
    ASSERT_TRUE(g_PuzzleCube.IsTurning());

    Send(m_hWnd, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), 0);
    EXPECT_EQ(g_ViewCamera.ButtonsDown(), 0);
    EXPECT_EQ(GetCapture(), nullptr);
}
