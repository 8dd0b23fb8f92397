// The framework state as callers see it: defaults, settings handed out as
// copies, the active window, key and button reads fed by window messages, the
// fixed frame time rule, the small setters, the callback registry and the lock.
#include <gtest/gtest.h>

#include <thread>

#include "common/kit/device/kit_device_env.h"
#include "common/kit/device/kit_device_flip.h"
#include "common/kit/loop/kit_device_build.h"
#include "common/kit/startup/kit_commandline.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"
#include "common/kit/window/kit_window_create.h"
#include "platform/win32/kernel_process.h"
#include "tests/common/kit/lifecycle_fixture.h"
#include "tests/common/kit/state_reset.h"

namespace {

using kittest::KitAppTest;

class KitState : public ::testing::Test {
  protected:
    void SetUp() override { kittest::ResetCoreState(); }
    void TearDown() override { kittest::ResetCoreState(); }
};

TEST_F(KitState, DefaultsOfTheSwitches) {
    EXPECT_TRUE(KitErrorBoxesEnabled());
    EXPECT_TRUE(KitAppActive());
    EXPECT_EQ(KitProcessExitCode(), 0);
    EXPECT_FALSE(KitAutomationMode());
    EXPECT_FALSE(KitDefaultHotkeysEnabled());
    // No adapter, mode, device type, size or vertex processing override until the command line says so.
    KitDeviceSetup setup{};
    setup.AdapterOrdinal = 3;
    setup.DeviceType = D3DDEVTYPE_SW;
    setup.BehaviorFlags = D3DCREATE_MIXED_VERTEXPROCESSING;
    setup.PresentParams.Windowed = TRUE;
    setup.PresentParams.BackBufferWidth = 123;
    setup.PresentParams.BackBufferHeight = 45;
    KitDeviceSetup before = setup;
    KitApplyCommandLineOverrides(&setup);
    EXPECT_EQ(setup.AdapterOrdinal, before.AdapterOrdinal);
    EXPECT_EQ(setup.DeviceType, before.DeviceType);
    EXPECT_EQ(setup.BehaviorFlags, before.BehaviorFlags);
    EXPECT_EQ(setup.PresentParams.Windowed, before.PresentParams.Windowed);
    EXPECT_EQ(setup.PresentParams.BackBufferWidth, before.PresentParams.BackBufferWidth);
    EXPECT_EQ(setup.PresentParams.BackBufferHeight, before.PresentParams.BackBufferHeight);
}

TEST_F(KitState, NoCurrentSettingsGivesZeroRecords) {
    KitDeviceSetup setup = KitCurrentSetup();
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&setup);
    for (size_t i = 0; i < sizeof(setup); ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
    D3DPRESENT_PARAMETERS pp = KitCurrentPresentParams();
    EXPECT_EQ(pp.BackBufferWidth, 0u);
    EXPECT_EQ(pp.Windowed, 0);
    EXPECT_FALSE(KitInWindowedMode());
}

TEST_F(KitState, LockSerialisesFieldUpdatesAcrossThreads) {
    CKitCoreState& s = KitCore();
    auto work = [&s] {
        for (int i = 0; i < 20000; ++i) {
            KitStateLock lock;
            s.m_nFrameNumber++;
        }
    };
    s.Set(&CKitCoreState::m_nFrameNumber, 0);
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(s.Get(&CKitCoreState::m_nFrameNumber), 40000);
    s.Set(&CKitCoreState::m_nFrameNumber, 0);
}

// The same state, filled by the framework's own calls on a headless device.
class KitStateInUse : public KitAppTest {
  protected:
    void TearDown() override {
        const char* argv[] = {"test"};
        plat::SetProcessCommandLine(1, argv);
        KitAppTest::TearDown();
    }
};

TEST_F(KitStateInUse, NoVsyncOverrideByDefault) {
    ASSERT_EQ(app.Build(true, 640, 480), S_OK);
    EXPECT_NE(KitCurrentPresentParams().PresentationInterval,
              static_cast<UINT>(D3DPRESENT_INTERVAL_IMMEDIATE));
}

TEST_F(KitStateInUse, SettingsAreHandedOutAsCopies) {
    ASSERT_EQ(app.Build(true, 640, 480), S_OK);
    KitDeviceSetup copy = KitCurrentSetup();
    EXPECT_EQ(copy.PresentParams.BackBufferWidth, 640u);
    EXPECT_TRUE(KitInWindowedMode());
    copy.PresentParams.BackBufferWidth = 1;
    EXPECT_EQ(KitCurrentPresentParams().BackBufferWidth, 640u);

    // A later device change leaves an earlier copy as it was.
    KitDeviceSetup windowed = KitCurrentSetup();
    ASSERT_EQ(KitFlipFullScreen(), S_OK);
    EXPECT_FALSE(KitInWindowedMode());
    EXPECT_TRUE(windowed.PresentParams.Windowed);
    EXPECT_EQ(windowed.PresentParams.BackBufferWidth, 640u);
    EXPECT_FALSE(KitCurrentSetup().PresentParams.Windowed);
}

TEST_F(KitStateInUse, ActiveWindowFollowsTheWindowedFlag) {
    RegisterTestClass();
    HWND hWindowed = CreateTestWindow(640, 480, true);
    HWND hFullScreen = CreateTestWindow(640, 480, true);
    ASSERT_EQ(KitSetWindow(hWindowed, hFullScreen, hWindowed), S_OK);
    EXPECT_EQ(KitFullScreenWindow(), hFullScreen);
    EXPECT_EQ(KitWindowedWindow(), hWindowed);
    EXPECT_EQ(KitActiveWindow(), hFullScreen);  // no settings: not windowed
    ASSERT_EQ(app.Build(true, 640, 480), S_OK);
    EXPECT_EQ(KitActiveWindow(), hWindowed);
    ASSERT_EQ(KitFlipFullScreen(), S_OK);
    EXPECT_EQ(KitActiveWindow(), hFullScreen);
}

TEST_F(KitStateInUse, FullScreenSizeIsRememberedOnTheWayBackToAWindow) {
    ASSERT_EQ(KitCreateWindow(L"Test"), S_OK);
    ASSERT_EQ(app.Build(false, 800, 600), S_OK);
    RECT rc = KitFullScreenSizeAtSwitch();
    EXPECT_EQ(rc.right, 0);  // not switched yet
    ASSERT_EQ(KitFlipFullScreen(), S_OK);
    ASSERT_TRUE(KitInWindowedMode());
    rc = KitFullScreenSizeAtSwitch();
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.top, 0);
    EXPECT_EQ(rc.right, 800);
    EXPECT_EQ(rc.bottom, 600);
}

TEST_F(KitStateInUse, MouseButtonsFromTheMessageMasks) {
    ASSERT_EQ(KitCreateWindow(L"Test"), S_OK);
    HWND hWnd = KitFocusWindow();
    SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    EXPECT_TRUE(KitMouseButtonDown(VK_LBUTTON));
    EXPECT_TRUE(KitKeyDown(VK_LBUTTON));
    EXPECT_FALSE(KitMouseButtonDown(VK_RBUTTON));
    SendMessageW(hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 1));
    EXPECT_FALSE(KitMouseButtonDown(VK_LBUTTON));
    EXPECT_TRUE(KitMouseButtonDown(VK_RBUTTON));
    EXPECT_TRUE(KitKeyDown(VK_RBUTTON));
    EXPECT_FALSE(KitMouseButtonDown(VK_MBUTTON));
    SendMessageW(hWnd, WM_MBUTTONDOWN, MK_RBUTTON | MK_MBUTTON, MAKELPARAM(1, 1));
    EXPECT_TRUE(KitMouseButtonDown(VK_MBUTTON));
    EXPECT_TRUE(KitMouseButtonDown(MK_MBUTTON));
    SendMessageW(hWnd, WM_XBUTTONDOWN, MK_XBUTTON1, MAKELPARAM(1, 1));
    EXPECT_TRUE(KitMouseButtonDown(MK_XBUTTON1));
    EXPECT_TRUE(KitKeyDown(VK_XBUTTON1));
    EXPECT_FALSE(KitMouseButtonDown(VK_XBUTTON2));
    EXPECT_FALSE(KitMouseButtonDown(VK_MBUTTON));
    SendMessageW(hWnd, WM_XBUTTONDOWN, MK_XBUTTON1 | MK_XBUTTON2, MAKELPARAM(1, 1));
    EXPECT_TRUE(KitMouseButtonDown(MK_XBUTTON2));
    SendMessageW(hWnd, WM_XBUTTONUP, 0, MAKELPARAM(1, 1));
    EXPECT_FALSE(KitMouseButtonDown(MK_XBUTTON1));
    EXPECT_FALSE(KitMouseButtonDown(MK_XBUTTON2));
}

TEST_F(KitStateInUse, KeysComeFromKeyMessages) {
    ASSERT_EQ(KitCreateWindow(L"Test"), S_OK);
    HWND hWnd = KitFocusWindow();
    SendMessageW(hWnd, WM_KEYDOWN, 'A', 0);
    EXPECT_TRUE(KitKeyDown('A'));
    EXPECT_FALSE(KitKeyDown('B'));
    SendMessageW(hWnd, WM_KEYUP, 'A', 0);
    EXPECT_FALSE(KitKeyDown('A'));
}

TEST_F(KitStateInUse, SideSpecificModifiersReadTheLiveState) {
    ASSERT_EQ(KitCreateWindow(L"Test"), S_OK);
    // No key message ever reached the framework: up.
    EXPECT_FALSE(KitKeyDown(VK_LSHIFT));
    PushKey(VK_LSHIFT, true);
    Pump();
    EXPECT_TRUE(KitKeyDown(VK_LSHIFT));
    EXPECT_FALSE(KitKeyDown(VK_RSHIFT));
    PushKey(VK_LSHIFT, false);
    Pump();
    EXPECT_FALSE(KitKeyDown(VK_LSHIFT));
    // A key message that the keyboard never produced does not make it down either.
    SendMessageW(KitFocusWindow(), WM_KEYDOWN, VK_RMENU, 0);
    EXPECT_FALSE(KitKeyDown(VK_RMENU));
}

TEST_F(KitStateInUse, FixedFrameTimeFromTheCommandLineWins) {
    const char* argv[] = {"test", "/constantframetime:0.01"};
    plat::SetProcessCommandLine(2, argv);
    KitReadCommandLine();
    KitSetFixedFrameTime(false, 0.0f);  // the application's later request does not undo it
    ASSERT_NO_FATAL_FAILURE(BuildAndRunTwoFrames());
    EXPECT_FLOAT_EQ(app.moves[0].elapsed, 0.01f);
    EXPECT_FLOAT_EQ(app.moves[1].elapsed, 0.01f);
}

TEST_F(KitStateInUse, DefaultWindowProcessingCanBeTurnedOff) {
    ASSERT_EQ(KitCreateWindow(L"Title"), S_OK);
    HWND hWnd = KitFocusWindow();
    // On by default: the default window procedure answers.
    EXPECT_NE(SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Renamed")), 0);
    WCHAR text[64] = {};
    GetWindowTextW(hWnd, text, 64);
    EXPECT_STREQ(text, L"Renamed");

    KitSetDefaultWindowProcessing(false);
    EXPECT_EQ(SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Ignored")), 0);
    GetWindowTextW(hWnd, text, 64);
    EXPECT_STRNE(text, L"Ignored");

    KitSetDefaultWindowProcessing(true);
    EXPECT_NE(SendMessageW(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Again")), 0);
    GetWindowTextW(hWnd, text, 64);
    EXPECT_STREQ(text, L"Again");
}

int g_nLostCalls = 0;
void* g_pLostContext = nullptr;
void OnLost(void* pUserContext) {
    ++g_nLostCalls;
    g_pLostContext = pUserContext;
}

int g_nMouseCalls = 0;
void* g_pMouseContext = nullptr;
void OnMouse(bool, bool, bool, bool, bool, int, int, int, void* pUserContext) {
    ++g_nMouseCalls;
    g_pMouseContext = pUserContext;
}

TEST_F(KitStateInUse, RegisteredCallbacksGetTheirContextBack) {
    ASSERT_EQ(app.Build(), S_OK);
    int context = 0;
    g_nLostCalls = 0;
    KitRegisterDeviceLost(OnLost, &context);
    ASSERT_EQ(KitRestore3DEnvironment(), S_OK);
    EXPECT_EQ(g_nLostCalls, 1);
    EXPECT_EQ(g_pLostContext, &context);
    KitRegisterDeviceLost(nullptr, nullptr);
    ASSERT_EQ(KitRestore3DEnvironment(), S_OK);
    EXPECT_EQ(g_nLostCalls, 1);

    HWND hWnd = KitActiveWindow();
    g_nMouseCalls = 0;
    KitRegisterMouse(OnMouse, true, &context);
    SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(3, 4));
    EXPECT_EQ(g_nMouseCalls, 1);
    EXPECT_EQ(g_pMouseContext, &context);
    // Registered again without moves and without a context.
    KitRegisterMouse(OnMouse);
    SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
    EXPECT_EQ(g_nMouseCalls, 1);
    SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    EXPECT_EQ(g_nMouseCalls, 2);
    EXPECT_EQ(g_pMouseContext, nullptr);
    KitRegisterMouse(nullptr);
    SendMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 6));
    EXPECT_EQ(g_nMouseCalls, 2);
}

}  // namespace
