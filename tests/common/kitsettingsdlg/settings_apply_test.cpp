// OK, Cancel and F2 on the settings page: OK changes the device through the
// framework (windowed to full screen at a picked resolution and back), Cancel
// and F2 close the page without touching it.
#include "tests/common/kitsettingsdlg/settings_fixture.h"

namespace {

using settingstest::SettingsTest;

class SettingsApplyTest : public SettingsTest {};

TEST_F(SettingsApplyTest, OkSwitchesToFullScreenAtThePickedResolutionAndBack) {
    m_Dlg.Activate(true);
    ClickControl(KIT_SETTINGS_FULLSCREEN);
    Pick(KIT_SETTINGS_RESOLUTION, L"1280 by 720");
    Pick(KIT_SETTINGS_REFRESH_RATE, L"60 Hz");
    ClickControl(KIT_SETTINGS_OK);

    EXPECT_FALSE(m_Dlg.IsActivated());
    ASSERT_FALSE(KitInWindowedMode());
    EXPECT_EQ(KitGetBackBufferSurfaceDesc()->Width, 1280u);
    EXPECT_EQ(KitGetBackBufferSurfaceDesc()->Height, 720u);
    EXPECT_EQ(KitCurrentSetup().PresentParams.FullScreen_RefreshRateInHz, 60u);
    // The page was sized to the new back buffer by its reset hook.
    m_Dlg.Activate(true);
    EXPECT_FALSE(Ticked(KIT_SETTINGS_WINDOWED));
    EXPECT_EQ(Chosen(KIT_SETTINGS_RESOLUTION), L"1280 by 720");

    // Back to a window: the size is the one the window had before the switch.
    ClickControl(KIT_SETTINGS_WINDOWED);
    ClickControl(KIT_SETTINGS_OK);
    EXPECT_FALSE(m_Dlg.IsActivated());
    ASSERT_TRUE(KitInWindowedMode());
    EXPECT_EQ(KitGetBackBufferSurfaceDesc()->Width, 640u);
    EXPECT_EQ(KitGetBackBufferSurfaceDesc()->Height, 480u);
    EXPECT_EQ(KitCurrentSetup().PresentParams.FullScreen_RefreshRateInHz, 0u);
    RunFrames(2);
}

TEST_F(SettingsApplyTest, OkInAWindowTakesTheClientSizeAndThePickedInterval) {
    m_Dlg.Activate(true);
    Pick(KIT_SETTINGS_PRESENT_INTERVAL, L"Off");
    ClickControl(KIT_SETTINGS_OK);
    const KitDeviceSetup s = KitCurrentSetup();
    EXPECT_TRUE(s.PresentParams.Windowed);
    EXPECT_EQ(s.PresentParams.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    EXPECT_EQ(s.PresentParams.FullScreen_RefreshRateInHz, 0u)
        << "the desktop rate the page showed is dropped";
    RECT rc;
    GetClientRect(KitActiveWindow(), &rc);
    EXPECT_EQ(LONG(KitGetBackBufferSurfaceDesc()->Width), rc.right);
    EXPECT_EQ(LONG(KitGetBackBufferSurfaceDesc()->Height), rc.bottom);
}

TEST_F(SettingsApplyTest, CancelAndF2CloseThePageAndChangeNothing) {
    const KitDeviceSetup before = KitCurrentSetup();
    IDirect3DDevice9* pDevice = KitCurrentDevice();

    m_Dlg.Activate(true);
    ClickControl(KIT_SETTINGS_FULLSCREEN);
    Pick(KIT_SETTINGS_RESOLUTION, L"1280 by 720");
    ClickControl(KIT_SETTINGS_CANCEL);
    EXPECT_FALSE(m_Dlg.IsActivated());
    EXPECT_TRUE(KitInWindowedMode());
    EXPECT_EQ(KitCurrentDevice(), pDevice);
    EXPECT_EQ(KitGetBackBufferSurfaceDesc()->Width, before.PresentParams.BackBufferWidth);

    m_Dlg.Activate(true);
    ClickControl(KIT_SETTINGS_FULLSCREEN);
    Key(VK_F2);
    EXPECT_FALSE(m_Dlg.IsActivated());
    EXPECT_TRUE(KitInWindowedMode());
    EXPECT_EQ(KitCurrentDevice(), pDevice);

    // Inactive, the host gives it nothing: F2 does not reopen it, clicks do nothing.
    Key(VK_F2);
    ClickControl(KIT_SETTINGS_OK);
    EXPECT_FALSE(m_Dlg.IsActivated());
    EXPECT_EQ(KitCurrentDevice(), pDevice);
}

}  // namespace
