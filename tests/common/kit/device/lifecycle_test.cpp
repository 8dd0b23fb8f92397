// The device lifecycle on the software device: callback order, reset versus
// recreation, the application's veto, the reference-device switch, failures
// and their exit codes, the command line's full-screen size, and termination.
#include <cstdio>
#include <cstdlib>

#include "common/kit/base/asset_cache.h"
#include "common/kit/device/kit_apply.h"
#include "common/kit/device/kit_device_env.h"
#include "common/kit/device/kit_device_flip.h"
#include "common/kit/device/kit_device_terminate.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/loop/kit_mainloop.h"
#include "common/kit/startup/kit_startup.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/time/kit_frame_stats.h"
#include "tests/common/kit/lifecycle_fixture.h"

#define TUMBRAL_WIDEN2(x) L##x
#define TUMBRAL_WIDEN(x) TUMBRAL_WIDEN2(x)
#define TUMBRAL_SOURCE_DIR_W TUMBRAL_WIDEN(TUMBRAL_SOURCE_DIR)

namespace {

using kittest::KitAppTest;
using Events = std::vector<std::string>;

// Changes the current settings' back-buffer size.
HRESULT ChangeSize(UINT nWidth, UINT nHeight) {
    KitDeviceSetup setup = KitCurrentSetup();
    setup.PresentParams.BackBufferWidth = nWidth;
    setup.PresentParams.BackBufferHeight = nHeight;
    return KitApplyDeviceSetup(&setup, nullptr, false, false);
}

TEST_F(KitAppTest, CallbacksComeInLifecycleOrder) {
    KitCleanup3DEnvironment(true);  // no device yet: nothing happens
    EXPECT_TRUE(app.events.empty());

    ASSERT_EQ(app.Build(), S_OK);
    EXPECT_EQ(app.events, (Events{"modify", "created 640x480", "reset 640x480"}));
    EXPECT_TRUE(IsWindowVisible(KitActiveWindow()));

    ASSERT_EQ(ChangeSize(800, 600), S_OK);
    ASSERT_EQ(ChangeSize(700, 500), S_OK);
    EXPECT_EQ(BackBufferWidth(), 700u);
    EXPECT_EQ(BackBufferHeight(), 500u);
    RECT rcClient = KitClientRect();
    EXPECT_EQ(rcClient.right, 700);
    EXPECT_EQ(rcClient.bottom, 500);

    KitTerminate(0);
    EXPECT_EQ(app.DeviceEvents(),
              (Events{"created", "reset", "lost", "reset", "lost", "reset", "lost", "destroyed"}));
    EXPECT_EQ(KitCurrentDevice(), nullptr);
    EXPECT_EQ(KitGetD3DObject(), nullptr);
    EXPECT_EQ(KitActiveWindow(), nullptr);
    EXPECT_EQ(KitProcessExitCode(), 0);
}

TEST_F(KitAppTest, SizeOrFormatChangeResetsOtherChangesRecreate) {
    ASSERT_EQ(app.Build(), S_OK);
    KitDeviceSetup setup = KitCurrentSetup();
    setup.PresentParams.BackBufferFormat = D3DFMT_A8R8G8B8;
    app.events.clear();
    ASSERT_EQ(KitApplyDeviceSetup(&setup, nullptr, false, false), S_OK);
    EXPECT_EQ(app.DeviceEvents(), (Events{"lost", "reset"}));

    setup = KitCurrentSetup();
    setup.DeviceType = D3DDEVTYPE_REF;
    app.events.clear();
    ASSERT_EQ(KitApplyDeviceSetup(&setup, nullptr, false, false), S_OK);
    EXPECT_EQ(app.DeviceEvents(), (Events{"lost", "destroyed", "created", "reset"}));

    setup = KitCurrentSetup();
    setup.BehaviorFlags ^= D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING;
    app.events.clear();
    ASSERT_EQ(KitApplyDeviceSetup(&setup, nullptr, false, false), S_OK);
    EXPECT_EQ(app.DeviceEvents(), (Events{"lost", "destroyed", "created", "reset"}));
    D3DDEVICE_CREATION_PARAMETERS creation{};
    KitCurrentDevice()->GetCreationParameters(&creation);
    EXPECT_EQ(creation.BehaviorFlags, setup.BehaviorFlags);
}

TEST_F(KitAppTest, AdapterChangeRecreates) {
    ASSERT_NO_FATAL_FAILURE(RestartOnTwoMonitors());
    KitDeviceSetup setup = KitCurrentSetup();
    setup.AdapterOrdinal = 1;
    app.events.clear();
    ASSERT_EQ(KitApplyDeviceSetup(&setup, nullptr, false, true), S_OK);
    EXPECT_EQ(app.DeviceEvents(), (Events{"lost", "destroyed", "created", "reset"}));
    D3DDEVICE_CREATION_PARAMETERS creation{};
    KitCurrentDevice()->GetCreationParameters(&creation);
    EXPECT_EQ(creation.AdapterOrdinal, 1u);
}

TEST_F(KitAppTest, VetoOfTheFirstDeviceEndsWithExitCode3) {
    app.vetoModify = true;
    EXPECT_EQ(app.Build(), E_ABORT);
    EXPECT_EQ(KitCurrentDevice(), nullptr);
    EXPECT_EQ(KitProcessExitCode(), 3);
    ASSERT_FALSE(Backend().MessageBoxes().empty());
    EXPECT_EQ(Backend().MessageBoxes().back().text, L"Could not find any compatible Direct3D devices.");
    EXPECT_EQ(app.DeviceEvents(), Events{});

    // The loop cannot run without a device, and the failure's code stays.
    EXPECT_EQ(KitMainLoop(), E_FAIL);
    EXPECT_EQ(KitProcessExitCode(), 3);
}

TEST_F(KitAppTest, VetoOfALaterChangeKeepsTheDevice) {
    ASSERT_EQ(app.Build(), S_OK);
    app.vetoModify = true;
    EXPECT_EQ(ChangeSize(800, 600), E_ABORT);
    EXPECT_EQ(KitProcessExitCode(), 0);
    EXPECT_EQ(BackBufferWidth(), 640u);
    EXPECT_NE(KitCurrentDevice(), nullptr);
}

TEST_F(KitAppTest, ModifyCallbackEditsTheSettings) {
    app.editSetup = [](KitDeviceSetup* pSetup) {
        pSetup->PresentParams.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    };
    ASSERT_EQ(app.Build(), S_OK);
    EXPECT_EQ(KitCurrentPresentParams().PresentationInterval,
              static_cast<UINT>(D3DPRESENT_INTERVAL_IMMEDIATE));
}

TEST_F(KitAppTest, F3SwitchesToTheReferenceDeviceAndBack) {
    ASSERT_EQ(app.Build(), S_OK);
    ASSERT_EQ(KitCurrentSetup().DeviceType, D3DDEVTYPE_HAL);
    HWND hWnd = KitActiveWindow();

    SendMessageW(hWnd, WM_KEYDOWN, VK_F3, 0);
    EXPECT_EQ(KitCurrentSetup().DeviceType, D3DDEVTYPE_REF);
    EXPECT_EQ(KitProcessExitCode(), 11);
    EXPECT_STREQ(KitDeviceStatsText(), L"REF (simulated hw vp)");

    SendMessageW(hWnd, WM_KEYDOWN, VK_F3, 0);
    EXPECT_EQ(KitCurrentSetup().DeviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(KitProcessExitCode(), 0);
    EXPECT_FALSE(KitRenderingHeld());
    EXPECT_FALSE(KitTimeHeld());
    EXPECT_EQ(app.DeviceEvents(), (Events{"created", "reset", "lost", "destroyed", "created", "reset", "lost",
                                          "destroyed", "created", "reset"}));
}

TEST_F(KitAppTest, FailedCreatedCallbackReportsExitCode8) {
    app.createdResult = E_FAIL;
    EXPECT_EQ(app.Build(), KITERR_CREATINGDEVICEOBJECTS);
    EXPECT_EQ(KitProcessExitCode(), 8);
    EXPECT_EQ(KitCurrentDevice(), nullptr);
    // Neither reset nor destroyed: the created callback never succeeded.
    EXPECT_EQ(app.DeviceEvents(), Events{"created"});

    KitTerminate(0);
    EXPECT_EQ(KitProcessExitCode(), 8);
}

TEST_F(KitAppTest, FailedResetCallbackTerminatesKeepingExitCode9) {
    ASSERT_EQ(app.Build(), S_OK);
    app.resetResult = E_FAIL;
    EXPECT_EQ(ChangeSize(800, 600), KITERR_RESETTINGDEVICEOBJECTS);
    EXPECT_EQ(KitProcessExitCode(), 9);
    EXPECT_EQ(KitCurrentDevice(), nullptr);
    EXPECT_FALSE(KitRenderingHeld());
    EXPECT_EQ(KitActiveWindow(), nullptr);
    EXPECT_EQ(app.DeviceEvents(), (Events{"created", "reset", "lost", "reset", "lost", "destroyed"}));
}

TEST_F(KitAppTest, UnsatisfiableRequestsEndInExitCodes) {
    EXPECT_EQ(app.Build(true, 0, 0, 5), KITERR_NOCOMPATIBLEDEVICES);  // no such adapter
    EXPECT_EQ(KitProcessExitCode(), 3);
    EXPECT_EQ(KitCurrentDevice(), nullptr);

    // Settings the device refuses (multisampling) fail creation: exit code 6.
    KitCore().Set(&CKitCoreState::m_nExitCode, 0);
    app.editSetup = [](KitDeviceSetup* pSetup) {
        pSetup->PresentParams.MultiSampleType = D3DMULTISAMPLE_4_SAMPLES;
    };
    EXPECT_EQ(app.Build(), KITERR_CREATINGDEVICE);
    EXPECT_EQ(KitProcessExitCode(), 6);
    EXPECT_EQ(KitCurrentDevice(), nullptr);
    EXPECT_FALSE(KitRenderingHeld());
    EXPECT_EQ(app.DeviceEvents(), std::vector<std::string>{});
}

TEST_F(KitAppTest, RefusedSwitchLeavesTheWindowUsable) {
    ASSERT_EQ(app.Build(), S_OK);
    app.vetoModify = true;
    EXPECT_EQ(KitFlipFullScreen(), E_ABORT);
    EXPECT_EQ(KitFlipReferenceDevice(), E_ABORT);
    app.vetoModify = false;
    EXPECT_TRUE(KitInWindowedMode());
    EXPECT_EQ(KitCurrentSetup().DeviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(KitProcessExitCode(), 0);
    EXPECT_FALSE(KitRenderingHeld());
    EXPECT_EQ(RunFrames(2), S_OK);
    EXPECT_EQ(app.renders.size(), 2u);
}

TEST_F(KitAppTest, TerminateWithZeroKeepsAFailureCode) {
    ASSERT_EQ(app.Build(), S_OK);
    KitShowErrorMessage(KITERR_CREATINGDEVICE);
    KitTerminate(0);
    EXPECT_EQ(KitProcessExitCode(), 6);
    KitTerminate(4);
    EXPECT_EQ(KitProcessExitCode(), 4);
}

TEST_F(KitAppTest, FullScreenCommandLineSizeUsesTheNearestMode) {
    {
        CKitCoreState& s = KitCore();
        KitStateLock lock;
        s.m_bOverrideFullScreen = true;
        s.m_nOverrideWidth = 1000;
        s.m_nOverrideHeight = 700;
    }
    // The first full-screen device meets a hidden window: it is lost, and the loop makes it.
    ASSERT_EQ(app.Build(), S_OK);
    KitDeviceSetup setup = KitCurrentSetup();
    EXPECT_FALSE(setup.PresentParams.Windowed);
    EXPECT_EQ(setup.PresentParams.BackBufferWidth, 1024u);
    EXPECT_EQ(setup.PresentParams.BackBufferHeight, 768u);

    EXPECT_EQ(RunFrames(3), S_OK);
    EXPECT_EQ(KitProcessExitCode(), 0);
    ASSERT_FALSE(app.events.empty());
    EXPECT_EQ(app.DeviceEvents().front(), "created");
    EXPECT_NE(std::find(app.events.begin(), app.events.end(), "created 1024x768"), app.events.end());
    EXPECT_EQ(app.moves.size(), 3u);
}

// The cache gives up default-pool textures before a reset (which the device
// refuses while they live) and everything before the device is released.
TEST_F(KitAppTest, ResourceCacheFollowsTheDevice) {
    ASSERT_EQ(app.Build(), S_OK);
    const WCHAR* strSticker = TUMBRAL_SOURCE_DIR_W L"/app/media/sticker.png";
    IDirect3DTexture9* pTexture = nullptr;
    ASSERT_EQ(KitAssetCache().LoadTexture(KitCurrentDevice(), strSticker, D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                          D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                          nullptr, nullptr, &pTexture),
              S_OK);
    pTexture->Release();
    ASSERT_EQ(KitAssetCache().LoadTexture(KitCurrentDevice(), strSticker, &pTexture), S_OK);
    pTexture->Release();

    EXPECT_EQ(ChangeSize(800, 600), S_OK);
    EXPECT_EQ(BackBufferWidth(), 800u);
    KitTerminate(0);
    // No reference was left on the device.
    EXPECT_EQ(KitProcessExitCode(), 0);
}

// At process exit the framework terminates itself: the device is released
// with its callbacks while the platform is still there.
TEST_F(KitAppTest, ProcessExitReleasesTheDevice) {
    EXPECT_EXIT(
        {
            KitRegisterDeviceDestroyed([](void*) { std::fprintf(stderr, "device destroyed at exit\n"); });
            if (FAILED(app.Build())) std::_Exit(7);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "device destroyed at exit");
}

}  // namespace
