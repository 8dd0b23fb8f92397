// The device catalogue built from the software Direct3D device on two
// headless monitors.
#include <gtest/gtest.h>

#include "common/devicecatalog/device_catalog.h"
#include "common/kit/state/kit_state.h"
#include "tests/support/headless_fixture.h"

namespace {

class DeviceCatalogOnSoftwareDevice : public tumbral_test::HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        plat::HeadlessConfig config;
        config.noWait = true;
        config.monitors = {plat::DisplayMode{1920, 1080, 60, 32}, plat::DisplayMode{1280, 1024, 75, 32}};
        UseBackend(config);
        RegisterTestClass();
        m_hWnd = CreateTestWindow();
        m_savedFocus = KitCore().Get(&CKitCoreState::m_hWndFocus);
        KitCore().Set(&CKitCoreState::m_hWndFocus, m_hWnd);
        m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    }
    void TearDown() override {
        m_catalog.ClearAdapters();
        if (m_pD3D) m_pD3D->Release();
        KitCore().Set(&CKitCoreState::m_hWndFocus, m_savedFocus);
        HeadlessTest::TearDown();
    }

    HWND m_hWnd = nullptr;
    HWND m_savedFocus = nullptr;
    IDirect3D9* m_pD3D = nullptr;
    CKitDeviceCatalog m_catalog;
};

TEST_F(DeviceCatalogOnSoftwareDevice, ListsBothMonitorsWithHalAndRefDevices) {
    ASSERT_NE(m_pD3D, nullptr);
    ASSERT_EQ(m_catalog.Populate(m_pD3D, nullptr, nullptr), S_OK);
    // Every test device was released again: only our reference is left.
    EXPECT_EQ(m_pD3D->AddRef(), 2u);
    m_pD3D->Release();

    CGrowableArray<CKitCatalogAdapter*>* pAdapters = m_catalog.GetAdapters();
    ASSERT_EQ(pAdapters->Length(), 2);
    EXPECT_STREQ(pAdapters->GetAt(0)->m_szLabel, L"Tumbral Software Rasterizer (Headless Display 1)");
    EXPECT_STREQ(pAdapters->GetAt(1)->m_szLabel, L"Tumbral Software Rasterizer (Headless Display 2)");

    for (int a = 0; a < 2; ++a) {
        CKitCatalogAdapter* pAdapter = pAdapters->GetAt(a);
        EXPECT_EQ(pAdapter->m_nOrdinal, UINT(a));
        ASSERT_EQ(pAdapter->m_Devices.Length(), 2);
        EXPECT_EQ(pAdapter->m_Devices.GetAt(0)->m_DeviceType, D3DDEVTYPE_HAL);
        EXPECT_EQ(pAdapter->m_Devices.GetAt(1)->m_DeviceType, D3DDEVTYPE_REF);

        ASSERT_GT(pAdapter->m_Modes.Length(), 2);
        bool bSixteenBit = false;
        for (int i = 0; i < pAdapter->m_Modes.Length(); ++i) {
            const D3DDISPLAYMODE& m = pAdapter->m_Modes.GetAt(i);
            EXPECT_GE(m.Width, 640u);
            EXPECT_GE(m.Height, 480u);
            if (i > 0) {
                EXPECT_LT(KitCompareModes(pAdapter->m_Modes.GetAt(i - 1), m), 0);
            }
            bSixteenBit = bSixteenBit || m.Format == D3DFMT_R5G6B5;
        }
        EXPECT_TRUE(bSixteenBit);
    }

    // The device converts any back buffer when windowed but shows only matching ones full screen.
    EXPECT_NE(m_catalog.GetDeviceSettingsCombo(1, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, TRUE),
              nullptr);
    EXPECT_NE(m_catalog.GetDeviceSettingsCombo(1, D3DDEVTYPE_REF, D3DFMT_R5G6B5, D3DFMT_R5G6B5, FALSE),
              nullptr);
    EXPECT_EQ(m_catalog.GetDeviceSettingsCombo(1, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, FALSE),
              nullptr);

    CKitCatalogDevice* pHal = m_catalog.FindDevice(0, D3DDEVTYPE_HAL);
    ASSERT_NE(pHal, nullptr);
    EXPECT_EQ(pHal->m_Combos.Length(), 13);  // X8R8G8B8: 5 windowed + 2 full; R5G6B5: 5 windowed + 1 full
    for (int i = 0; i < pHal->m_Combos.Length(); ++i) {
        CKitCatalogCombo* pCombo = pHal->m_Combos.GetAt(i);
        EXPECT_NE(pCombo->m_BackBufferFormat, D3DFMT_A2R10G10B10);
        EXPECT_EQ(pCombo->m_DepthFormats.Length(), 6);
        ASSERT_EQ(pCombo->m_SampleTypes.Length(), 1);  // no multisampling in the rasterizer
        EXPECT_EQ(pCombo->m_SampleQualities.GetAt(0), 1u);
        EXPECT_EQ(pCombo->m_Conflicts.Length(), 0);
        const UINT intervals[] = {D3DPRESENT_INTERVAL_IMMEDIATE, D3DPRESENT_INTERVAL_DEFAULT,
                                  D3DPRESENT_INTERVAL_ONE};
        ASSERT_EQ(pCombo->m_PresentIntervals.Length(), 3);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(pCombo->m_PresentIntervals.GetAt(k), intervals[k]);
    }
}

}  // namespace
