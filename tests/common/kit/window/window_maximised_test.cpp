// A maximised window through full screen and back: it comes back maximised,
// and a restore afterwards gives back its normal placement.
#include "tests/common/kit/lifecycle_fixture.h"
#include "common/kit/device/kit_device_flip.h"

namespace {

using kittest::KitAppTest;

TEST_F(KitAppTest, MaximisedWindowComesBackMaximisedFromFullScreen) {
    ASSERT_EQ(app.Build(true, 640, 480), S_OK);
    HWND hWnd = KitActiveWindow();
    RECT rcNormal = WindowRect();
    ShowWindow(hWnd, SW_MAXIMIZE);
    Pump();
    ASSERT_TRUE(IsZoomed(hWnd));
    RECT rcMaximised = WindowRect();
    RECT rcClientMaximised = KitClientRect();
    ASSERT_EQ(BackBufferWidth(), static_cast<UINT>(rcClientMaximised.right));

    ASSERT_EQ(KitFlipFullScreen(), S_OK);
    Pump();
    ASSERT_FALSE(KitInWindowedMode());
    EXPECT_FALSE(IsZoomed(hWnd)) << "a full-screen popup is not maximised";

    ASSERT_EQ(KitFlipFullScreen(), S_OK);
    Pump();
    ASSERT_TRUE(KitInWindowedMode());
    EXPECT_TRUE(IsZoomed(hWnd));
    RECT rcBack = WindowRect();
    EXPECT_TRUE(EqualRect(&rcBack, &rcMaximised))
        << "came back at " << rcBack.right - rcBack.left << " x " << rcBack.bottom - rcBack.top;
    EXPECT_EQ(BackBufferWidth(), static_cast<UINT>(rcClientMaximised.right));
    EXPECT_EQ(BackBufferHeight(), static_cast<UINT>(rcClientMaximised.bottom));

    ShowWindow(hWnd, SW_RESTORE);
    Pump();
    EXPECT_FALSE(IsZoomed(hWnd));
    RECT rcRestored = WindowRect();
    EXPECT_TRUE(EqualRect(&rcRestored, &rcNormal)) << "restored to " << rcRestored.right - rcRestored.left
                                                   << " x " << rcRestored.bottom - rcRestored.top;
    EXPECT_EQ(BackBufferWidth(), 640u);
    EXPECT_EQ(BackBufferHeight(), 480u);

    EXPECT_EQ(RunFrames(2), S_OK);
    EXPECT_EQ(KitProcessExitCode(), 0);
}

// The window system's side: the maximised state is the style bit.
TEST_F(KitAppTest, StyleWithoutMaximiseLeavesTheWindowRestoredWhereItStands) {
    RegisterTestClass();
    HWND hWnd = CreateTestWindow(320, 240, true);
    RECT rcNormal{};
    GetWindowRect(hWnd, &rcNormal);
    ShowWindow(hWnd, SW_MAXIMIZE);
    RECT rcMaximised{};
    GetWindowRect(hWnd, &rcMaximised);

    SetWindowLongW(hWnd, GWL_STYLE, (GetWindowLongW(hWnd, GWL_STYLE) & ~WS_MAXIMIZE));
    EXPECT_FALSE(IsZoomed(hWnd));
    RECT rc{};
    GetWindowRect(hWnd, &rc);
    EXPECT_TRUE(EqualRect(&rc, &rcMaximised));  // not moved by the style change
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(hWnd, &wp);
    EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
    EXPECT_TRUE(EqualRect(&wp.rcNormalPosition, &rcNormal));

    // Maximising again really maximises.
    ShowWindow(hWnd, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(hWnd));
    DestroyWindow(hWnd);
}

}  // namespace
