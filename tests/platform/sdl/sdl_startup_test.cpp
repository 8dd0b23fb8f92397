// Start-up work of the SDL backend in a real X server: gamepads are opened only
// once a first frame is on screen, and monitors read once are read again after
// the next message pump, so a changed work area is seen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/win32.h"
#include "tests/platform/sdl/sdl_subsystems.h"
#include "tests/platform/sdl/sdl_suite.h"
#include "tests/support/x11_session.h"

namespace tumbral_test {
namespace {

class SdlStartupTest : public SdlSuite {
  protected:
    static void SetUpTestSuite() { StartSuite(false); }
    static void TearDownTestSuite() { EndSuite(); }

    void SetUp() override {
        if (!s_ready) GTEST_SKIP() << "real-window tests skipped: " << s_skipWhy;
    }

    static void PumpMessages() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }

    static RECT PrimaryWorkArea() {
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        EXPECT_TRUE(GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
        return info.rcWork;
    }

    static void SetRootWorkArea(const std::string& xywh) {
        int status = -1;
        s_x11->Run("xprop -root -f _NET_WORKAREA 32c -set _NET_WORKAREA '" + xywh + "'", &status);
        ASSERT_EQ(status, 0) << "xprop could not set the work area";
    }
};

TEST_F(SdlStartupTest, GamepadsOpenOnlyOnceAFrameIsPresented) {
    plat::GamepadState state;
    EXPECT_FALSE(plat::CurrentBackend().Gamepad(0, state));
    EXPECT_FALSE(GameControllersOpen()) << "asking for a gamepad before any frame opened SDL's controllers";

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"SdlStartupTest";
    ASSERT_NE(RegisterClassExW(&wc), 0);
    HWND hwnd = CreateWindowExW(0, L"SdlStartupTest", L"SdlStartupTest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10,
                                10, 200, 150, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    std::vector<uint32_t> pixels(64 * 48, 0x00336699);
    EXPECT_TRUE(plat::PresentToWindow(hwnd, plat::FrameView{pixels.data(), 64, 48, 64}, false));

    plat::CurrentBackend().Gamepad(0, state);  // none on this server; asking opens the subsystem
    EXPECT_TRUE(GameControllersOpen());
    DestroyWindow(hwnd);
    UnregisterClassW(L"SdlStartupTest", nullptr);
}

TEST_F(SdlStartupTest, ChangedWorkAreaIsSeenAfterTheNextMessagePump) {
    SetRootWorkArea("0, 0, 1280, 1000");
    PumpMessages();
    RECT work = PrimaryWorkArea();
    EXPECT_EQ(work.top, 0);
    EXPECT_EQ(work.bottom, 1000);
    EXPECT_EQ(PrimaryWorkArea().bottom, 1000);  // asked again: the same

    SetRootWorkArea("0, 40, 1280, 900");
    PumpMessages();
    work = PrimaryWorkArea();
    EXPECT_EQ(work.top, 40);
    EXPECT_EQ(work.bottom, 940);
    s_x11->Run("xprop -root -remove _NET_WORKAREA");
}

}  // namespace
}  // namespace tumbral_test
