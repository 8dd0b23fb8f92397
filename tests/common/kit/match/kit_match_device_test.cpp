// Settings matching on the software Direct3D device: what it picks can
// really be created.
#include <gtest/gtest.h>

#include "common/devicecatalog/device_catalog.h"
#include "common/kit/match/kit_match.h"
#include "common/kit/state/kit_state.h"
#include "tests/support/headless_fixture.h"

namespace {

class KitMatchOnSoftwareDevice : public tumbral_test::HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        RegisterTestClass();
        m_hWnd = CreateTestWindow();
        m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
        CKitCoreState& s = KitCore();
        m_savedD3D = s.Get(&CKitCoreState::m_pD3DObject);
        s.Set(&CKitCoreState::m_pD3DObject, m_pD3D);
        s.Set(&CKitCoreState::m_hWndFocus, m_hWnd);
        s.Set(&CKitCoreState::m_hWndWindowed, m_hWnd);
        s.Set(&CKitCoreState::m_hWndFullScreen, m_hWnd);
        s.Set(&CKitCoreState::m_pfnAcceptDevice, nullptr);
        KitPrepareDeviceCatalog(true);
    }
    void TearDown() override {
        CKitCoreState& s = KitCore();
        KitPrepareDeviceCatalog()->ClearAdapters();
        s.Set(&CKitCoreState::m_pD3DObject, m_savedD3D);
        s.Set(&CKitCoreState::m_hWndFocus, nullptr);
        s.Set(&CKitCoreState::m_hWndWindowed, nullptr);
        s.Set(&CKitCoreState::m_hWndFullScreen, nullptr);
        if (m_pD3D) m_pD3D->Release();
        HeadlessTest::TearDown();
    }

    HWND m_hWnd = nullptr;
    IDirect3D9* m_pD3D = nullptr;

  private:
    IDirect3D9* m_savedD3D = nullptr;
};

TEST_F(KitMatchOnSoftwareDevice, DefaultSettingsCreateADevice) {
    ASSERT_NE(m_pD3D, nullptr);
    KitDeviceSetup setup{};
    ASSERT_EQ(KitFindValidDeviceSettings(&setup, nullptr, nullptr), S_OK);
    EXPECT_EQ(setup.DeviceType, D3DDEVTYPE_HAL);
    EXPECT_EQ(setup.AdapterFormat, D3DFMT_X8R8G8B8);
    EXPECT_EQ(setup.PresentParams.hDeviceWindow, m_hWnd);
    EXPECT_EQ(setup.PresentParams.AutoDepthStencilFormat, D3DFMT_D32);

    IDirect3DDevice9* pDevice = nullptr;
    ASSERT_EQ(m_pD3D->CreateDevice(setup.AdapterOrdinal, setup.DeviceType, m_hWnd, setup.BehaviorFlags,
                                   &setup.PresentParams, &pDevice),
              S_OK);
    EXPECT_EQ(pDevice->Release(), 0u);
}

TEST_F(KitMatchOnSoftwareDevice, FullScreenRequestGetsTheNearestOfferedMode) {
    KitDeviceSetup request{};
    request.PresentParams.BackBufferWidth = 1000;
    request.PresentParams.BackBufferHeight = 700;
    request.DeviceType = D3DDEVTYPE_REF;
    request.BehaviorFlags = D3DCREATE_MIXED_VERTEXPROCESSING;
    KitSettingsRules rules{};
    rules.ruleWindowed = KITRULE_KEEP;
    rules.ruleDeviceType = KITRULE_KEEP;
    rules.ruleVertexProcessing = KITRULE_KEEP;
    rules.ruleResolution = KITRULE_NEAREST;
    KitDeviceSetup out{};
    ASSERT_EQ(KitFindValidDeviceSettings(&out, &request, &rules), S_OK);
    EXPECT_EQ(out.DeviceType, D3DDEVTYPE_REF);
    EXPECT_EQ(out.BehaviorFlags, DWORD(D3DCREATE_MIXED_VERTEXPROCESSING));
    EXPECT_EQ(out.PresentParams.Windowed, 0);
    EXPECT_EQ(out.PresentParams.BackBufferWidth, 1024u);
    EXPECT_EQ(out.PresentParams.BackBufferHeight, 768u);
    EXPECT_EQ(out.PresentParams.FullScreen_RefreshRateInHz, 60u);
}

}  // namespace
