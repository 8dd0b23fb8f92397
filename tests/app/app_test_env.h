// Test environment for the application's message callback: the application's
// own cube built on the test device, and messages sent the way the framework
// passes them on.
#pragma once

#include "app/app_callbacks.h"
#include "app/app_globals.h"
#include "tests/app/cube_test_env.h"

// Passes a message to the application's callback; the mouse at (100, 100) unless given.
inline LRESULT SendToApp(HWND hWnd, UINT uMsg, WPARAM wParam = 0, LPARAM lParam = MAKELPARAM(100, 100)) {
    bool bNoFurtherProcessing = false;
    return AppMsgProc(hWnd, uMsg, wParam, lParam, &bNoFurtherProcessing, nullptr);
}

// The application's cube, built on the test device, its camera sized to the back
// buffer. Afterwards any turn is finished, a right-button drag ended and the
// mouse released, so the globals are clean for the next test.
class AppCubeTest : public CubeDeviceTest {
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
        SendToApp(m_hWnd, WM_RBUTTONUP, 0);
        ReleaseCapture();
        CubeDeviceTest::TearDown();
    }
};
