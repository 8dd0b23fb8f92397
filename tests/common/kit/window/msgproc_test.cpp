// The window procedure's stages and the framework's own handling: key and
// button bookkeeping, the hot keys, pausing on minimise and during a drag,
// and the back buffer following the client area.
#include "common/kit/startup/kit_accessibility_keys.h"
#include "common/kit/time/kit_timers.h"
#include "platform/manual_clock.h"
#include "tests/common/kit/lifecycle_fixture.h"

namespace {

using kittest::KitAppTest;

plat::Event WindowEvent(plat::EventType type, int nWidth = 0, int nHeight = 0) {
    plat::Event e;
    e.type = type;
    e.width = nWidth;
    e.height = nHeight;
    return e;
}

int CountOf(const std::vector<std::string>& events, const std::string& prefix) {
    int n = 0;
    for (const std::string& e : events)
        if (e.rfind(prefix, 0) == 0) ++n;
    return n;
}

TEST_F(KitAppTest, EscapeClosesOnlyWithTheHotKeysOn) {
    ASSERT_EQ(app.Build(), S_OK);
    HWND hWnd = KitActiveWindow();
    KitCore().Set(&CKitCoreState::m_bHandleDefaultHotkeys, false);
    SendMessageW(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(IsWindow(hWnd));
    ASSERT_EQ(app.keysDown.size(), 1u);
    EXPECT_TRUE(KitKeyDown(VK_ESCAPE));
    SendMessageW(hWnd, WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_FALSE(KitKeyDown(VK_ESCAPE));

    KitCore().Set(&CKitCoreState::m_bHandleDefaultHotkeys, true);
    SendMessageW(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_EQ(KitFocusWindow(), nullptr);
    // WM_DESTROY asked the loop to end.
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(KitAppTest, ButtonsAreReportedFromTheMessageMasks) {
    ASSERT_EQ(app.Build(), S_OK);
    HWND hWnd = KitActiveWindow();
    SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_XBUTTON2, MAKELPARAM(10, 20));
    SendMessageW(hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(11, 21));  // not asked for
    SendMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-5), 30));
    ASSERT_EQ(app.mouse.size(), 2u);
    EXPECT_TRUE(app.mouse[0].left);
    EXPECT_TRUE(app.mouse[0].side2);
    EXPECT_FALSE(app.mouse[0].side1);
    EXPECT_FALSE(app.mouse[1].left);
    EXPECT_EQ(app.mouse[1].x, -5);
    EXPECT_EQ(app.mouse[1].y, 30);
    EXPECT_EQ(app.mouse[1].wheel, 0);
    EXPECT_FALSE(KitMouseButtonDown(VK_LBUTTON));

    KitRegisterMouse(&kittest::KitTestApp::Mouse, true, &app);
    SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(12, 22));
    ASSERT_EQ(app.mouse.size(), 3u);
    EXPECT_EQ(app.mouse[2].x, 12);
}

TEST_F(KitAppTest, MessageCallbackCanStopTheFramework) {
    ASSERT_EQ(app.Build(), S_OK);
    HWND hWnd = KitActiveWindow();
    KitRegisterMsgProc(
        [](HWND, UINT uMsg, WPARAM, LPARAM, bool* pbNoFurtherProcessing, void*) -> LRESULT {
            if (uMsg == WM_KEYDOWN) *pbNoFurtherProcessing = true;
            return 42;
        },
        nullptr);
    EXPECT_EQ(SendMessageW(hWnd, WM_KEYDOWN, VK_ESCAPE, 0), 42);
    EXPECT_TRUE(IsWindow(hWnd));
    // The keyboard callback still came first.
    ASSERT_EQ(app.keysDown.size(), 1u);
}

TEST_F(KitAppTest, F8TogglesWireframe) {
    ASSERT_EQ(app.Build(), S_OK);
    HWND hWnd = KitActiveWindow();
    DWORD dwFill = 0;
    SendMessageW(hWnd, WM_KEYDOWN, VK_F8, 0);
    KitCurrentDevice()->GetRenderState(D3DRS_FILLMODE, &dwFill);
    EXPECT_EQ(dwFill, static_cast<DWORD>(D3DFILL_WIREFRAME));
    SendMessageW(hWnd, WM_KEYDOWN, VK_F8, 0);
    KitCurrentDevice()->GetRenderState(D3DRS_FILLMODE, &dwFill);
    EXPECT_EQ(dwFill, static_cast<DWORD>(D3DFILL_SOLID));
}

TEST_F(KitAppTest, PauseFreezesTimeWhileFramesGoOn) {
    plat::ManualClock clock;  // each frame's Sleep(2) moves it on
    ASSERT_EQ(app.Build(), S_OK);
    app.onFrameMove = [](int nFrame) {
        if (nFrame == 1 || nFrame == 5) SendMessageW(KitActiveWindow(), WM_KEYDOWN, VK_PAUSE, 0);
        Sleep(2);
    };
    ASSERT_EQ(RunFrames(8), S_OK);
    ASSERT_EQ(app.moves.size(), 8u);
    EXPECT_EQ(app.renders.size(), 8u);
    // Frames 2 to 5 ran with time frozen where Pause stopped it, during frame 1.
    EXPECT_GE(app.moves[2].time, app.moves[1].time);
    for (int i = 2; i <= 5; ++i) {
        EXPECT_EQ(app.moves[i].time, app.moves[2].time) << "frame " << i;
        EXPECT_EQ(app.moves[i].elapsed, 0.0f) << "frame " << i;
    }
    EXPECT_GT(app.moves[7].time, app.moves[5].time);
    EXPECT_FALSE(KitTimeHeld());
}

TEST_F(KitAppTest, MinimiseAndRestorePauseAndResume) {
    ASSERT_EQ(app.Build(), S_OK);
    Push(WindowEvent(plat::EventType::WindowMinimized));
    Pump();
    EXPECT_TRUE(KitTimeHeld());
    EXPECT_TRUE(KitRenderingHeld());
    app.events.clear();
    Push(WindowEvent(plat::EventType::WindowRestored));
    Pump();
    EXPECT_FALSE(KitTimeHeld());
    EXPECT_FALSE(KitRenderingHeld());
    // The client size did not change: no reset.
    EXPECT_TRUE(app.DeviceEvents().empty());
}

TEST_F(KitAppTest, DraggingTheEdgeResizesTheBackBufferOnceAtTheEnd) {
    ASSERT_EQ(app.Build(), S_OK);
    app.events.clear();
    Push(WindowEvent(plat::EventType::SizeMoveBegin));
    Push(WindowEvent(plat::EventType::WindowResized, 700, 500));
    Push(WindowEvent(plat::EventType::WindowResized, 720, 520));
    Pump();
    EXPECT_TRUE(KitRenderingHeld());
    EXPECT_TRUE(app.DeviceEvents().empty());
    Push(WindowEvent(plat::EventType::WindowResized, 740, 540));
    Push(WindowEvent(plat::EventType::SizeMoveEnd));
    Pump();
    EXPECT_EQ(app.DeviceEvents(), (std::vector<std::string>{"lost", "reset"}));
    EXPECT_EQ(CountOf(app.events, "reset 740x540"), 1);
    EXPECT_EQ(BackBufferWidth(), 740u);
    EXPECT_EQ(BackBufferHeight(), 540u);
    EXPECT_FALSE(KitRenderingHeld());

    // Outside a drag every size change resets at once.
    Push(WindowEvent(plat::EventType::WindowResized, 600, 400));
    Pump();
    EXPECT_EQ(CountOf(app.events, "reset"), 2);
    EXPECT_EQ(BackBufferWidth(), 600u);
}

TEST_F(KitAppTest, PaintWhilePausedDrawsTheLastFrameAgain) {
    ASSERT_EQ(app.Build(), S_OK);
    HWND hWnd = KitActiveWindow();
    SendMessageW(hWnd, WM_PAINT, 0, 0);
    EXPECT_TRUE(app.renders.empty());  // not paused: the loop draws

    KitCore().Set(&CKitCoreState::m_fTime, 2.5);
    KitSuspend(true, true);
    uint64_t nPresented = Backend().FramesPresented();
    SendMessageW(hWnd, WM_PAINT, 0, 0);
    KitSuspend(false, false);
    ASSERT_EQ(app.renders.size(), 1u);
    EXPECT_EQ(app.renders[0].time, 2.5);
    EXPECT_EQ(Backend().FramesPresented(), nPresented + 1);
}

TEST_F(KitAppTest, MenuLoopAndPowerEvents) {
    ASSERT_EQ(app.Build(), S_OK);
    HWND hWnd = KitActiveWindow();
    SendMessageW(hWnd, WM_ENTERMENULOOP, 0, 0);
    EXPECT_TRUE(KitRenderingHeld());
    SendMessageW(hWnd, WM_EXITMENULOOP, 0, 0);
    EXPECT_FALSE(KitRenderingHeld());
    EXPECT_EQ(SendMessageW(hWnd, WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0), TRUE);
    EXPECT_EQ(SendMessageW(hWnd, WM_MENUCHAR, 0, 0), 0x10000);
    MINMAXINFO info{};
    SendMessageW(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 200);
    EXPECT_EQ(info.ptMinTrackSize.y, 200);
}

TEST_F(KitAppTest, DeactivationAllowsTheKeysAndActivationAppliesThePolicy) {
    ASSERT_EQ(app.Build(), S_OK);
    HWND hWnd = KitActiveWindow();
    KitSetAccessibilityKeyPolicy(false, false);
    EXPECT_FALSE(KitCore().Get(&CKitCoreState::m_bKeysAllowed));
    SendMessageW(hWnd, WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(KitAppActive());
    EXPECT_TRUE(KitCore().Get(&CKitCoreState::m_bKeysAllowed));
    SendMessageW(hWnd, WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(KitAppActive());
    EXPECT_FALSE(KitCore().Get(&CKitCoreState::m_bKeysAllowed));
}

}  // namespace
