// The settings page on bad input: an unknown desktop size, an adapter the
// system no longer has, settings the catalogue has no combination for, a
// missing device or manager. Each is traced, nothing crashes and the page
// stays usable.
#include "tests/common/kit/debug_capture.h"
#include "tests/common/kitsettingsdlg/settings_fixture.h"

namespace {

using settingstest::SettingsTest;

class SettingsFaultsTest : public SettingsTest {
  protected:
    // One frame of the page, drawn as the host draws it.
    void DrawPage() {
        IDirect3DDevice9* pDevice = KitCurrentDevice();
        ASSERT_NE(pDevice, nullptr);
        EXPECT_EQ(m_Dlg.OnRender(0.1f), S_OK);
    }
};

TEST_F(SettingsFaultsTest, AnUnknownDesktopSizeListsEveryResolution) {
    // The adapter's display name no longer names a display: its desktop size is unknown.
    CKitCatalogAdapter* pAdapter = Catalog()->FindAdapter(0);
    ASSERT_NE(pAdapter, nullptr);
    const SIZE known = KitDesktopSizeOfAdapter(0);
    EXPECT_EQ(known.cx, 1920);
    EXPECT_EQ(known.cy, 1080);
    strcpy(pAdapter->m_Identifier.DeviceName, "\\\\.\\NOWHERE");
    const SIZE unknown = KitDesktopSizeOfAdapter(0);
    EXPECT_EQ(unknown.cx, 0);
    EXPECT_EQ(unknown.cy, 0);

    m_Dlg.Activate(true);
    ClickControl(KIT_SETTINGS_FULLSCREEN);
    EXPECT_TRUE(Offers(KIT_SETTINGS_RESOLUTION, L"1920 by 1080"));
    EXPECT_TRUE(Offers(KIT_SETTINGS_RESOLUTION, L"1024 by 768"));
    EXPECT_TRUE(Offers(KIT_SETTINGS_RESOLUTION, L"640 by 480"));
    Pick(KIT_SETTINGS_RESOLUTION, L"800 by 600");
    EXPECT_EQ(Edited().PresentParams.BackBufferWidth, 800u);
    EXPECT_FALSE(Texts(KIT_SETTINGS_REFRESH_RATE).empty());
    EXPECT_EQ(KitDesktopSizeOfAdapter(9).cx, 0) << "no such adapter";
}

TEST_F(SettingsFaultsTest, AnAdapterTheSystemNoLongerHasIsTracedAndThePageRecovers) {
    // The second adapter's ordinal no longer names an adapter of the Direct3D object.
    CKitCatalogAdapter* pAdapter = Catalog()->FindAdapter(1);
    ASSERT_NE(pAdapter, nullptr);
    pAdapter->m_nOrdinal = 7;
    for (int i = 0; i < pAdapter->m_Devices.Length(); ++i) pAdapter->m_Devices.GetAt(i)->m_nOrdinal = 7;

    m_Dlg.Activate(true);
    const std::vector<std::wstring> adapters = Texts(KIT_SETTINGS_ADAPTER);
    ASSERT_EQ(adapters.size(), 2u);
    {
        kittest::DebugCapture capture;
        Pick(KIT_SETTINGS_ADAPTER, adapters[1]);
        EXPECT_NE(capture.Text().find("GetAdapterDisplayMode"), std::string::npos) << capture.Text();
    }
    EXPECT_EQ(Edited().AdapterOrdinal, 7u);
    DrawPage();

    // Back on the first adapter everything is offered again.
    Pick(KIT_SETTINGS_ADAPTER, adapters[0]);
    EXPECT_EQ(Texts(KIT_SETTINGS_ADAPTER_FORMAT), std::vector<std::wstring>{L"D3DFMT_X8R8G8B8"});
    EXPECT_FALSE(Texts(KIT_SETTINGS_BACK_BUFFER_FORMAT).empty());
    ClickControl(KIT_SETTINGS_FULLSCREEN);
    EXPECT_TRUE(Offers(KIT_SETTINGS_RESOLUTION, L"1920 by 1080"));

    // A catalogue emptied under the page: picks find nothing and stop.
    Catalog()->ClearAdapters();
    Pick(KIT_SETTINGS_RESOLUTION, L"1280 by 720");
    ClickControl(KIT_SETTINGS_WINDOWED);
    DrawPage();
    ClickControl(KIT_SETTINGS_CANCEL);
    EXPECT_FALSE(m_Dlg.IsActivated());
}

TEST_F(SettingsFaultsTest, SettingsWithoutACombinationAreTracedAndThePageStillCloses) {
    {
        KitStateLock lock;
        KitCore().m_pCurrentSetup->PresentParams.BackBufferFormat = D3DFMT_A4R4G4B4;
    }
    kittest::DebugCapture capture;
    m_Dlg.Activate(true);
    EXPECT_EQ(m_Dlg.Reload(), E_INVALIDARG);
    EXPECT_NE(capture.Text().find("GetDeviceSettingsCombo"), std::string::npos) << capture.Text();
    EXPECT_NE(capture.Text().find("E_INVALIDARG"), std::string::npos) << capture.Text();
    // The current values were shown before the lookup failed.
    EXPECT_EQ(Chosen(KIT_SETTINGS_BACK_BUFFER_FORMAT), L"D3DFMT_A4R4G4B4");
    DrawPage();
    Key(VK_F2);
    EXPECT_FALSE(m_Dlg.IsActivated());
}

TEST_F(SettingsFaultsTest, NoDeviceOrNoManagerIsRefused) {
    kittest::DebugCapture capture;
    EXPECT_EQ(m_Dlg.OnCreateDevice(nullptr), E_INVALIDARG);
    EXPECT_NE(capture.Text().find("CD3DSettingsDlg::OnCreatedDevice"), std::string::npos) << capture.Text();

    CD3DSettingsDlg other;
    other.Setup(nullptr);
    EXPECT_NE(capture.Text().find("pManager"), std::string::npos) << capture.Text();
    EXPECT_EQ(other.GetPanel()->ControlCount(), 0);
    EXPECT_EQ(Panel()->ControlCount(), 29) << "every control of the page";
}

}  // namespace
