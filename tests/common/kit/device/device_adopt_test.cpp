// Devices from other sources: one the application created itself, and a
// complete settings record such as the settings dialog hands over.
#include "common/kit/device/kit_device_terminate.h"
#include "common/kit/loop/kit_device_build.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/window/kit_window_create.h"
#include "tests/common/kit/lifecycle_fixture.h"

namespace {

using kittest::KitAppTest;
using Events = std::vector<std::string>;

TEST_F(KitAppTest, AdoptsTheApplicationsDevice) {
    EXPECT_EQ(KitSetDevice(nullptr), E_INVALIDARG);

    ASSERT_EQ(KitCreateWindow(L"Adopted"), S_OK);
    HWND hWnd = KitFocusWindow();
    D3DPRESENT_PARAMETERS pp{};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.hDeviceWindow = hWnd;
    IDirect3DDevice9* pd3dDevice = nullptr;
    ASSERT_EQ(KitGetD3DObject()->CreateDevice(0, D3DDEVTYPE_HAL, hWnd, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                              &pp, &pd3dDevice),
              S_OK);

    ASSERT_EQ(KitSetDevice(pd3dDevice), S_OK);
    EXPECT_EQ(KitCurrentDevice(), pd3dDevice);
    KitDeviceSetup setup = KitCurrentSetup();
    EXPECT_EQ(setup.DeviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(setup.BehaviorFlags, static_cast<DWORD>(D3DCREATE_SOFTWARE_VERTEXPROCESSING));
    EXPECT_EQ(setup.AdapterFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(setup.PresentParams.BackBufferWidth, 640u);
    EXPECT_EQ(app.DeviceEvents(), (Events{"created", "reset"}));
    EXPECT_TRUE(IsWindowVisible(hWnd));

    // The framework holds its own reference: the application can let go of its one.
    pd3dDevice->Release();
    KitTerminate(0);
    EXPECT_EQ(KitProcessExitCode(), 0);
    EXPECT_EQ(app.DeviceEvents(), (Events{"created", "reset", "lost", "destroyed"}));
}

TEST_F(KitAppTest, LeakedDeviceReferenceIsReportedWithExitCode5) {
    ASSERT_EQ(app.Build(), S_OK);
    KitCurrentDevice()->AddRef();
    IDirect3DDevice9* pLeaked = KitCurrentDevice();
    KitTerminate(0);
    EXPECT_EQ(KitProcessExitCode(), 5);
    ASSERT_FALSE(Backend().MessageBoxes().empty());
    EXPECT_EQ(Backend().MessageBoxes().back().text,
              L"The D3D device has a non-zero reference count, meaning some objects were not released.");
    EXPECT_EQ(pLeaked->Release(), 0u);
}

TEST_F(KitAppTest, BuildsFromACompleteRecord) {
    ASSERT_EQ(app.Build(), S_OK);
    KitDeviceSetup setup = KitCurrentSetup();
    setup.PresentParams.BackBufferWidth = 1000;
    setup.PresentParams.BackBufferHeight = 700;
    app.events.clear();
    ASSERT_EQ(KitBuildDeviceFromSetup(&setup, true, true), S_OK);
    EXPECT_EQ(app.DeviceEvents(), (Events{"lost", "reset"}));
    EXPECT_EQ(BackBufferWidth(), 1000u);

    // Matched: a full-screen request for a size no mode has gets a real mode.
    setup = KitCurrentSetup();
    setup.PresentParams.Windowed = FALSE;
    setup.PresentParams.BackBufferWidth = 1000;
    setup.PresentParams.BackBufferHeight = 700;
    ASSERT_EQ(KitBuildDeviceFromSetup(&setup, false, false), S_OK);
    EXPECT_FALSE(KitInWindowedMode());
    EXPECT_EQ(KitCurrentPresentParams().BackBufferWidth, 1024u);
    EXPECT_EQ(KitCurrentPresentParams().BackBufferHeight, 768u);
}

}  // namespace
