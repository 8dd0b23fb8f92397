// Device changes that go wrong or come back: a full-screen first device, a
// deferred creation whose retry fails, a reset that fails during the switch
// to full screen, and the wireframe switch across resets and re-creations.
#include "tests/common/kit/lifecycle_fixture.h"
#include "tests/common/kit/test_backend.h"
#include "common/kit/device/kit_apply.h"
#include "common/kit/device/kit_device_flip.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/state/kit_state.h"
#include "common/kit/window/kit_window_create.h"

namespace {

using kittest::KitAppTest;
using Events = std::vector<std::string>;

DWORD FillMode() {
    DWORD dwFill = 0;
    KitCurrentDevice()->GetRenderState(D3DRS_FILLMODE, &dwFill);
    return dwFill;
}

TEST_F(KitAppTest, FullScreenFirstDeviceIsCreatedAtOnce) {
    ASSERT_EQ(app.Build(false), S_OK);
    ASSERT_NE(KitCurrentDevice(), nullptr) << "the first full-screen creation was deferred as lost";
    EXPECT_FALSE(KitCore().m_bDeviceLost);
    EXPECT_FALSE(KitInWindowedMode());
    EXPECT_EQ(app.DeviceEvents(), (Events{"created", "reset"}));
    EXPECT_TRUE(IsWindowVisible(KitActiveWindow()));

    // It draws from the first frame on: no lost-device pass in between.
    EXPECT_EQ(RunFrames(2), S_OK);
    EXPECT_EQ(app.renders.size(), 2u);
    EXPECT_EQ(KitProcessExitCode(), 0);
}

TEST_F(KitAppTest, FailedResetDuringTheSwitchKeepsTheWindowedStyle) {
    ASSERT_EQ(app.Build(true, 640, 480), S_OK);
    HWND hWnd = KitActiveWindow();
    LONG nStyleBefore = GetWindowLongW(hWnd, GWL_STYLE);
    RECT rcBefore = WindowRect();

    // A default-pool texture left alive makes the reset fail; the change is
    // then repeated as a re-creation, before which the texture goes.
    IDirect3DTexture9* pTexture = nullptr;
    ASSERT_EQ(
        KitCurrentDevice()->CreateTexture(16, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &pTexture, nullptr),
        S_OK);
    int nModifies = 0;
    app.editSetup = [&](KitDeviceSetup*) {
        if (++nModifies == 2 && pTexture != nullptr) {
            pTexture->Release();
            pTexture = nullptr;
        }
    };
    ASSERT_EQ(KitFlipFullScreen(), S_OK);
    Pump();
    ASSERT_EQ(nModifies, 2) << "the reset did not fail as the test needs";
    ASSERT_FALSE(KitInWindowedMode());
    ASSERT_NE(KitCurrentDevice(), nullptr);

    ASSERT_EQ(KitFlipFullScreen(), S_OK);
    Pump();
    EXPECT_TRUE(KitInWindowedMode());
    EXPECT_EQ(GetWindowLongW(hWnd, GWL_STYLE), nStyleBefore)
        << "the popup style was saved as the windowed one";
    RECT rcAfter = WindowRect();
    EXPECT_TRUE(EqualRect(&rcAfter, &rcBefore));
    EXPECT_EQ(KitProcessExitCode(), 0);
}

TEST_F(KitAppTest, WireframeSurvivesResetsAndRecreations) {
    ASSERT_EQ(app.Build(true, 640, 480), S_OK);
    HWND hWnd = KitActiveWindow();
    SendMessageW(hWnd, WM_KEYDOWN, VK_F8, 1);
    ASSERT_EQ(FillMode(), static_cast<DWORD>(D3DFILL_WIREFRAME));

    // A reset (new back-buffer size).
    KitDeviceSetup setup = KitCurrentSetup();
    setup.PresentParams.BackBufferWidth = 800;
    setup.PresentParams.BackBufferHeight = 600;
    ASSERT_EQ(KitApplyDeviceSetup(&setup, nullptr, false, false), S_OK);
    EXPECT_EQ(FillMode(), static_cast<DWORD>(D3DFILL_WIREFRAME)) << "after a reset";

    // A re-creation (F3) and the way back.
    SendMessageW(hWnd, WM_KEYDOWN, VK_F3, 1);
    ASSERT_EQ(KitCurrentSetup().DeviceType, D3DDEVTYPE_REF);
    EXPECT_EQ(FillMode(), static_cast<DWORD>(D3DFILL_WIREFRAME)) << "after a re-creation";
    SendMessageW(hWnd, WM_KEYDOWN, VK_F3, 1);
    EXPECT_EQ(FillMode(), static_cast<DWORD>(D3DFILL_WIREFRAME));

    // Full screen and back.
    ASSERT_EQ(KitFlipFullScreen(), S_OK);
    EXPECT_EQ(FillMode(), static_cast<DWORD>(D3DFILL_WIREFRAME)) << "after Alt+Enter";
    ASSERT_EQ(KitFlipFullScreen(), S_OK);
    EXPECT_EQ(FillMode(), static_cast<DWORD>(D3DFILL_WIREFRAME));

    // F8 again turns it off, and off it stays.
    SendMessageW(hWnd, WM_KEYDOWN, VK_F8, 1);
    EXPECT_EQ(FillMode(), static_cast<DWORD>(D3DFILL_SOLID));
    setup = KitCurrentSetup();
    setup.PresentParams.BackBufferWidth = 640;
    setup.PresentParams.BackBufferHeight = 480;
    ASSERT_EQ(KitApplyDeviceSetup(&setup, nullptr, false, false), S_OK);
    EXPECT_EQ(FillMode(), static_cast<DWORD>(D3DFILL_SOLID));
}

// A deferred creation (the window minimised when the full-screen device was
// asked for) whose retry fails: one message, the failure's exit code, the end
// of the run. On the scripted backend, whose poll hook bounds the run.
class DeferredCreationTest : public ::testing::Test {
  protected:
    kittest::TestBackendScope backend;
    kittest::KitTestApp app;

    void SetUp() override {
        kittest::KitResetStateForTests();
        app.Register();
        ASSERT_EQ(KitStartup(false, true, true, true), S_OK);
    }
    void TearDown() override { kittest::KitResetStateForTests(); }
};

TEST_F(DeferredCreationTest, FailedRetryEndsTheRunOnceWithItsExitCode) {
    ASSERT_EQ(KitCreateWindow(L"Deferred"), S_OK);
    HWND hWnd = KitFocusWindow();
    ShowWindow(hWnd, SW_MINIMIZE);
    ASSERT_EQ(app.Build(false), S_OK);
    ASSERT_EQ(KitCurrentDevice(), nullptr);
    ASSERT_TRUE(KitCore().m_bDeviceLost);

    // The window comes back after a few passes; the retry then creates a
    // device whose created callback fails. The hook closes a run that goes on.
    app.createdResult = E_FAIL;
    int nPolls = 0;
    backend->onPoll = [&]() {
        ++nPolls;
        if (nPolls == 3) ShowWindow(hWnd, SW_RESTORE);
        if (nPolls == 40 && IsWindow(hWnd)) PostMessageW(hWnd, WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(KitMainLoop(), S_OK);
    backend->onPoll = nullptr;

    EXPECT_LT(nPolls, 40) << "the run did not end at the failed retry";
    EXPECT_EQ(backend->messageBoxes.size(), 1u);
    EXPECT_EQ(KitProcessExitCode(), 8);
    // Only the one creation whose callback failed: no retries after it.
    EXPECT_EQ(app.DeviceEvents(), Events{"created"});
}

}  // namespace
