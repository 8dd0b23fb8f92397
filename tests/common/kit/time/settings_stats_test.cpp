// The settings and device statistics texts, composed from the current
// settings and the device catalogue of the software device.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/devicecatalog/device_catalog.h"
#include "common/kit/time/kit_frame_stats.h"
#include "common/kit/time/kit_settings_stats.h"
#include "tests/common/kit/state_reset.h"
#include "tests/support/headless_fixture.h"

namespace {

class SettingsStats : public tumbral_test::HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        kittest::ResetCoreState();
        RegisterTestClass();
        CKitCoreState& s = KitCore();
        s.m_hWndFocus = CreateTestWindow();
        m_pSavedD3D = s.m_pD3DObject;
        s.m_pD3DObject = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(s.m_pD3DObject, nullptr);
        KitPrepareDeviceCatalog(true);

        s.m_pCurrentSetup = new KitDeviceSetup{};
        KitDeviceSetup& setup = *s.m_pCurrentSetup;
        setup.AdapterOrdinal = 0;
        setup.DeviceType = D3DDEVTYPE_HAL;
        setup.AdapterFormat = D3DFMT_X8R8G8B8;
        setup.BehaviorFlags = D3DCREATE_HARDWARE_VERTEXPROCESSING;
        setup.PresentParams.BackBufferWidth = 640;
        setup.PresentParams.BackBufferHeight = 480;
        setup.PresentParams.BackBufferFormat = D3DFMT_X8R8G8B8;
        setup.PresentParams.Windowed = TRUE;
        setup.PresentParams.EnableAutoDepthStencil = TRUE;
        setup.PresentParams.AutoDepthStencilFormat = D3DFMT_D24S8;
        setup.PresentParams.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    }
    void TearDown() override {
        CKitCoreState& s = KitCore();
        if (s.m_pD3DObject) s.m_pD3DObject->Release();
        s.m_pD3DObject = m_pSavedD3D;
        KitPrepareDeviceCatalog(true);
        kittest::ResetCoreState();
        HeadlessTest::TearDown();
    }
    static KitDeviceSetup& Current() { return *KitCore().m_pCurrentSetup; }
    static std::wstring Settings() { return KitFrameStatsText(false); }

    IDirect3D9* m_pSavedD3D = nullptr;
};

TEST_F(SettingsStats, SettingsTextStartsWithTheRateSlot) {
    KitComposeStaticStats();
    EXPECT_EQ(std::wstring(KitCore().m_szStaticStats), L"%lsVsync off (640x480), X8R8G8B8 (D24S8)");
    StringCchCopyW(KitCore().m_szFPS, 64, L"59.94 fps ");
    EXPECT_EQ(std::wstring(KitFrameStatsText(true)), L"59.94 fps Vsync off (640x480), X8R8G8B8 (D24S8)");
}

TEST_F(SettingsStats, FormatsDepthMultisampleAndVsyncParts) {
    Current().PresentParams.BackBufferFormat = D3DFMT_A8R8G8B8;
    Current().PresentParams.EnableAutoDepthStencil = FALSE;
    Current().PresentParams.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    Current().PresentParams.MultiSampleType = D3DMULTISAMPLE_NONMASKABLE;
    KitComposeStaticStats();
    EXPECT_EQ(Settings(),
              L"Vsync on (640x480), backbuf A8R8G8B8, adapter X8R8G8B8 (Nonmaskable Multisample)");
    Current().PresentParams.MultiSampleType = D3DMULTISAMPLE_4_SAMPLES;
    KitComposeStaticStats();
    EXPECT_EQ(Settings(), L"Vsync on (640x480), backbuf A8R8G8B8, adapter X8R8G8B8 (4x Multisample)");
}

TEST_F(SettingsStats, NoCombinationOrStatisticsOffKeepTheOldText) {
    KitComposeStaticStats();
    std::wstring before = Settings();
    Current().AdapterOrdinal = 7;  // no such adapter
    Current().PresentParams.BackBufferWidth = 800;
    KitComposeStaticStats();
    EXPECT_EQ(Settings(), before);
    Current().AdapterOrdinal = 0;
    KitCore().m_bNoStats = true;
    KitComposeStaticStats();
    EXPECT_EQ(Settings(), before);
}

TEST_F(SettingsStats, DeviceTextNamesTypeVertexProcessingAndAdapter) {
    CKitCatalogAdapter* pAdapter = KitPrepareDeviceCatalog()->FindAdapter(0);
    ASSERT_NE(pAdapter, nullptr);
    KitComposeDeviceStats(D3DDEVTYPE_HAL, D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE,
                          &pAdapter->m_Identifier);
    EXPECT_EQ(std::wstring(KitDeviceStatsText()), L"HAL (pure hw vp): " + std::wstring(pAdapter->m_szLabel));
    KitComposeDeviceStats(D3DDEVTYPE_REF, D3DCREATE_HARDWARE_VERTEXPROCESSING, nullptr);
    EXPECT_EQ(std::wstring(KitDeviceStatsText()), L"REF (simulated hw vp)");
    KitComposeDeviceStats(D3DDEVTYPE_REF, D3DCREATE_MIXED_VERTEXPROCESSING, nullptr);
    EXPECT_EQ(std::wstring(KitDeviceStatsText()), L"REF (simulated mixed vp)");
    KitComposeDeviceStats(D3DDEVTYPE_SW, D3DCREATE_SOFTWARE_VERTEXPROCESSING, nullptr);
    EXPECT_EQ(std::wstring(KitDeviceStatsText()), L"SW (sw vp)");
}

TEST_F(SettingsStats, DeviceTextFallsBackToTheIdentifiersDescription) {
    Current().AdapterOrdinal = 7;  // the catalogue has no combination for it
    D3DADAPTER_IDENTIFIER9 identifier{};
    std::memset(identifier.Description, 'd', sizeof(identifier.Description));  // not terminated
    std::memcpy(identifier.Description, "Card \xC3\xA9", 7);
    KitComposeDeviceStats(D3DDEVTYPE_HAL, D3DCREATE_MIXED_VERTEXPROCESSING, &identifier);
    std::wstring text = KitDeviceStatsText();
    EXPECT_EQ(text.substr(0, 25), L"HAL (mixed vp): Card \u00e9ddd");
    EXPECT_EQ(text.size(), 255u);  // cut at the text's capacity
    KitCore().m_bNoStats = true;
    KitComposeDeviceStats(D3DDEVTYPE_SW, 0, nullptr);
    EXPECT_EQ(std::wstring(KitDeviceStatsText()), text);
}

}  // namespace
