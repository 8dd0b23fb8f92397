// The framework's window: creation and adoption, the switch to full screen
// and back, sizing and clipping to the work area, and the mouse coordinates.
#include "common/kit/base/kit_window_devices.h"
#include "common/kit/device/kit_apply.h"
#include "common/kit/device/kit_cursor.h"
#include "common/kit/device/kit_device_flip.h"
#include "common/kit/startup/kit_startup.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/window/kit_msgproc.h"
#include "common/kit/window/kit_window_create.h"
#include "common/kit/window/kit_window_sizing.h"
#include "tests/common/kit/lifecycle_fixture.h"

namespace {

using kittest::KitAppTest;

TEST_F(KitAppTest, SecondCreateWindowKeepsTheFirst) {
    ASSERT_EQ(KitCreateWindow(L"First"), S_OK);
    HWND hWnd = KitFocusWindow();
    ASSERT_NE(hWnd, nullptr);
    EXPECT_FALSE(IsWindowVisible(hWnd));  // the first device shows it
    EXPECT_EQ(KitCreateWindow(L"Second"), S_OK);
    EXPECT_EQ(KitFocusWindow(), hWnd);
    EXPECT_STREQ(KitWindowTitle(), L"First");
    RECT rc{};
    GetClientRect(hWnd, &rc);
    EXPECT_EQ(rc.right, 640);
    EXPECT_EQ(rc.bottom, 480);

    ASSERT_EQ(app.Build(), S_OK);
    EXPECT_TRUE(IsWindowVisible(hWnd));
}

TEST_F(KitAppTest, SetWindowRefusesNullWindowsAndAdoptsOthers) {
    RegisterTestClass();
    HWND hWnd = CreateTestWindow(320, 240, true);
    EXPECT_EQ(KitSetWindow(hWnd, nullptr, hWnd), E_INVALIDARG);
    EXPECT_EQ(KitFocusWindow(), nullptr);

    ASSERT_EQ(KitSetWindow(hWnd, hWnd, hWnd, true), S_OK);
    EXPECT_STREQ(KitWindowTitle(), L"Test");
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hWnd, GWLP_WNDPROC)), &KitWindowProc);
    SendMessageW(hWnd, WM_KEYDOWN, 'Q', 0);
    ASSERT_EQ(app.keysDown.size(), 1u);
    EXPECT_EQ(app.keysDown[0], static_cast<UINT>('Q'));
}

TEST_F(KitAppTest, FullScreenAndBackRestoresTheWindow) {
    HMENU hMenu = CreateMenu();
    AppendMenuW(hMenu, MF_STRING, 1, L"&File");
    ASSERT_EQ(KitCreateWindow(L"Menu", nullptr, nullptr, hMenu, 100, 120), S_OK);
    ASSERT_EQ(app.Build(true, 800, 600), S_OK);
    HWND hWnd = KitActiveWindow();
    RECT rcClient = KitClientRect();
    EXPECT_EQ(rcClient.right, 800);
    EXPECT_EQ(rcClient.bottom, 600);
    SetWindowPos(hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);

    WINDOWPLACEMENT before{};
    before.length = sizeof(before);
    GetWindowPlacement(hWnd, &before);
    LONG nStyleBefore = GetWindowLongW(hWnd, GWL_STYLE);

    KitSetCursorPolicy(true, true);
    ASSERT_EQ(KitFlipFullScreen(), S_OK);
    Pump();
    EXPECT_FALSE(KitInWindowedMode());
    RECT rcClip{};
    GetClipCursor(&rcClip);
    RECT rcFullScreen = WindowRect();
    EXPECT_TRUE(EqualRect(&rcClip, &rcFullScreen));
    // The device window covers the monitor at the mode's size.
    EXPECT_EQ(rcFullScreen.right - rcFullScreen.left,
              static_cast<LONG>(KitCurrentPresentParams().BackBufferWidth));
    EXPECT_EQ(rcFullScreen.bottom - rcFullScreen.top,
              static_cast<LONG>(KitCurrentPresentParams().BackBufferHeight));
    EXPECT_EQ(GetMenu(hWnd), nullptr);
    EXPECT_EQ(GetWindowLongW(hWnd, GWL_STYLE) & ~WS_VISIBLE, static_cast<LONG>(WS_POPUP | WS_SYSMENU));
    // Window commands are dropped while full screen.
    SendMessageW(hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_FALSE(IsZoomed(hWnd));
    EXPECT_EQ(SendMessageW(hWnd, WM_NCHITTEST, 0, MAKELPARAM(5, 5)), HTCLIENT);

    ASSERT_EQ(KitFlipFullScreen(), S_OK);
    Pump();
    EXPECT_TRUE(KitInWindowedMode());
    GetClipCursor(&rcClip);
    RECT rcScreen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                  GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                  GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    EXPECT_TRUE(EqualRect(&rcClip, &rcScreen));  // released: the whole screen
    EXPECT_EQ(GetMenu(hWnd), hMenu);
    EXPECT_EQ(GetWindowLongW(hWnd, GWL_STYLE), nStyleBefore);
    EXPECT_NE(GetWindowLongW(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    WINDOWPLACEMENT after{};
    after.length = sizeof(after);
    GetWindowPlacement(hWnd, &after);
    EXPECT_EQ(after.rcNormalPosition.left, before.rcNormalPosition.left);
    EXPECT_EQ(after.rcNormalPosition.top, before.rcNormalPosition.top);
    EXPECT_EQ(after.rcNormalPosition.right, before.rcNormalPosition.right);
    EXPECT_EQ(after.rcNormalPosition.bottom, before.rcNormalPosition.bottom);
    EXPECT_EQ(KitCurrentPresentParams().BackBufferWidth, 800u);
    EXPECT_EQ(KitCurrentPresentParams().BackBufferHeight, 600u);
    rcClient = KitClientRect();
    EXPECT_EQ(rcClient.right, 800);
    EXPECT_EQ(rcClient.bottom, 600);

    // A few frames settle whatever the switch left to the loop.
    EXPECT_EQ(RunFrames(3), S_OK);
    EXPECT_EQ(KitProcessExitCode(), 0);
}

TEST_F(KitAppTest, AltEnterSwitchesOnlyWhenEnabled) {
    ASSERT_EQ(app.Build(), S_OK);
    HWND hWnd = KitActiveWindow();
    const LPARAM kAltHeld = 1 << 29;

    KitCore().Set(&CKitCoreState::m_bHandleAltEnter, false);
    app.events.clear();
    SendMessageW(hWnd, WM_SYSKEYDOWN, VK_RETURN, kAltHeld);
    EXPECT_TRUE(KitInWindowedMode());
    EXPECT_TRUE(app.DeviceEvents().empty());
    ASSERT_FALSE(app.keysDown.empty());
    EXPECT_EQ(app.keysDown.back(), static_cast<UINT>(VK_RETURN));

    KitCore().Set(&CKitCoreState::m_bHandleAltEnter, true);
    SendMessageW(hWnd, WM_SYSKEYDOWN, VK_RETURN, 0);  // Enter alone does nothing
    EXPECT_TRUE(KitInWindowedMode());
    SendMessageW(hWnd, WM_SYSKEYDOWN, VK_RETURN, kAltHeld);
    EXPECT_FALSE(KitInWindowedMode());
    EXPECT_FALSE(KitRenderingHeld());
}

TEST_F(KitAppTest, WindowedRequestLargerThanTheScreenIsClippedAndCentred) {
    // The headless monitor is 1920 x 1080 with a work area of 1920 x 1040.
    ASSERT_EQ(app.Build(true, 4000, 3000), S_OK);
    RECT rcWindow = WindowRect();
    EXPECT_EQ(rcWindow.left, 0);
    EXPECT_EQ(rcWindow.top, 0);
    EXPECT_EQ(rcWindow.right, 1920);
    EXPECT_EQ(rcWindow.bottom, 1040);
    RECT rcClient = KitClientRect();
    EXPECT_EQ(BackBufferWidth(), static_cast<UINT>(rcClient.right));
    EXPECT_EQ(BackBufferHeight(), static_cast<UINT>(rcClient.bottom));
    EXPECT_EQ(rcClient.right, 1920 - 16);
    EXPECT_EQ(rcClient.bottom, 1040 - 39);

    // Only the width is too large: the height is kept and the window centred.
    KitDeviceSetup setup = KitCurrentSetup();
    setup.PresentParams.BackBufferWidth = 4000;
    setup.PresentParams.BackBufferHeight = 300;
    ASSERT_EQ(KitApplyDeviceSetup(&setup, nullptr, false, true), S_OK);
    rcWindow = WindowRect();
    EXPECT_EQ(rcWindow.left, 0);
    EXPECT_EQ(rcWindow.top, (1040 - 339) / 2);
    EXPECT_EQ(rcWindow.bottom - rcWindow.top, 339);
    EXPECT_EQ(BackBufferWidth(), 1904u);
    EXPECT_EQ(BackBufferHeight(), 300u);
}

TEST_F(KitAppTest, WheelPositionIsConvertedToClientCoordinates) {
    ASSERT_EQ(app.Build(), S_OK);
    HWND hWnd = KitActiveWindow();
    // Window frame 8 and caption 31: the client area starts at (40, 30).
    SetWindowPos(hWnd, nullptr, 32, -1, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    POINT ptOrigin = {0, 0};
    ClientToScreen(hWnd, &ptOrigin);
    ASSERT_EQ(ptOrigin.x, 40);
    ASSERT_EQ(ptOrigin.y, 30);

    SendMessageW(hWnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_RBUTTON, static_cast<WORD>(-240)), MAKELPARAM(100, 100));
    ASSERT_EQ(app.mouse.size(), 1u);
    EXPECT_EQ(app.mouse[0].x, 60);
    EXPECT_EQ(app.mouse[0].y, 70);
    EXPECT_EQ(app.mouse[0].wheel, -240);
    EXPECT_TRUE(app.mouse[0].right);
    EXPECT_FALSE(app.mouse[0].left);
    EXPECT_TRUE(KitMouseButtonDown(VK_RBUTTON));
}

TEST_F(KitAppTest, F10WithoutAMenuIsNotPassedOn) {
    ASSERT_EQ(app.Build(), S_OK);
    HWND hWnd = KitActiveWindow();
    app.messages.clear();
    SendMessageW(hWnd, WM_SYSKEYUP, VK_F10, 0);
    EXPECT_EQ(std::count(app.messages.begin(), app.messages.end(), WM_SYSCOMMAND), 0);
    // Other system keys do reach the default procedure, which asks for the window menu.
    SendMessageW(hWnd, WM_SYSKEYUP, VK_MENU, 0);
    EXPECT_EQ(std::count(app.messages.begin(), app.messages.end(), WM_SYSCOMMAND), 1);
}

TEST_F(KitAppTest, CopiesTheArrowCursorIntoTheDevice) {
    ASSERT_EQ(app.Build(), S_OK);
    EXPECT_EQ(KitCopyCursorToDevice(KitCurrentDevice(), LoadCursorW(nullptr, IDC_ARROW)), S_OK);
    EXPECT_EQ(KitCopyCursorToDevice(KitCurrentDevice(), nullptr), E_FAIL);
}

TEST_F(KitAppTest, MonitorOfTheAdapter) {
    ASSERT_EQ(app.Build(), S_OK);
    UINT nAdapter = 99;
    HMONITOR hMonitor = KitMonitorFromWindow(KitActiveWindow(), MONITOR_DEFAULTTOPRIMARY);
    ASSERT_EQ(KitAdapterOfMonitor(hMonitor, &nAdapter), S_OK);
    EXPECT_EQ(nAdapter, 0u);
    EXPECT_EQ(KitAdapterOfMonitor(nullptr, &nAdapter), E_FAIL);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(KitGetMonitorInfo(hMonitor, &info));
    EXPECT_EQ(info.rcWork.bottom, 1040);
}

}  // namespace

namespace {

class KitTwoMonitorTest : public kittest::KitAppTest {
  protected:
    void SetUp() override {
        KitAppTest::SetUp();
        RestartOnTwoMonitors();
    }

    // The user drags the window onto the second monitor.
    void DragToSecondMonitor() {
        plat::Event e;
        e.type = plat::EventType::SizeMoveBegin;
        Push(e);
        e.type = plat::EventType::WindowMoved;
        e.x = 2100;
        e.y = 100;
        Push(e);
        e.type = plat::EventType::SizeMoveEnd;
        Push(e);
        Pump();
    }

    static UINT DeviceAdapter() {
        D3DDEVICE_CREATION_PARAMETERS creation{};
        KitCurrentDevice()->GetCreationParameters(&creation);
        return creation.AdapterOrdinal;
    }
};

TEST_F(KitTwoMonitorTest, DeviceFollowsTheWindowToAnotherMonitor) {
    app.events.clear();
    DragToSecondMonitor();
    EXPECT_EQ(DeviceAdapter(), 1u);
    EXPECT_EQ(KitCurrentSetup().AdapterOrdinal, 1u);
    EXPECT_EQ(app.DeviceEvents(), (std::vector<std::string>{"lost", "destroyed", "created", "reset"}));
    EXPECT_FALSE(KitRenderingHeld());
}

TEST_F(KitTwoMonitorTest, RefusedAdapterStopsFollowing) {
    app.vetoModify = true;
    DragToSecondMonitor();
    EXPECT_EQ(DeviceAdapter(), 0u);
    EXPECT_FALSE(KitCore().Get(&CKitCoreState::m_bFollowMonitor));
    EXPECT_EQ(KitProcessExitCode(), 0);
}

TEST_F(KitTwoMonitorTest, FollowSwitchOffKeepsTheAdapter) {
    KitSetFollowMonitor(false);
    app.events.clear();
    DragToSecondMonitor();
    EXPECT_EQ(DeviceAdapter(), 0u);
    EXPECT_TRUE(app.DeviceEvents().empty());
}

}  // namespace
