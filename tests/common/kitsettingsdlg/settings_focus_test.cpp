// Keyboard focus on the settings page, which is kept off the manager's list
// of dialogs while the host's own dialog is on it: Tab and Shift+Tab with
// nothing focused start at the page's own controls.
#include "tests/common/kit/debug_capture.h"
#include "tests/common/kitsettingsdlg/settings_fixture.h"
#include "common/kitgui/control_button.h"

namespace {

using settingstest::SettingsTest;

class SettingsFocusTest : public SettingsTest {
  protected:
    void SetUp() override {
        SettingsTest::SetUp();
        // The host's dialog, registered first and without keyboard navigation.
        m_Tips.Init(&m_Manager, true);
        ASSERT_EQ(m_Tips.CreateButton(1, L"tips", 10, 10, 80, 20), S_OK);
    }
    void TearDown() override {
        m_Manager.DetachDialog(&m_Tips);
        SettingsTest::TearDown();
    }
    void HoldShift(bool bDown) {
        PushKey(VK_SHIFT, bDown);
        Pump();
    }

    CKitDialog m_Tips;
};

TEST_F(SettingsFocusTest, TabWithNothingFocusedStartsAtThePagesFirstOrLastControl) {
    m_Dlg.Activate(true);
    kittest::DebugCapture capture;

    CKitDialog::DropFocus();
    Key(VK_TAB);
    EXPECT_EQ(CKitDialog::FocusedControl(), Panel()->FindControl(KIT_SETTINGS_ADAPTER))
        << "the first control that takes the focus";
    Key(VK_TAB);
    EXPECT_EQ(CKitDialog::FocusedControl(), Panel()->FindControl(KIT_SETTINGS_DEVICE_TYPE));

    CKitDialog::DropFocus();
    HoldShift(true);
    Key(VK_TAB);
    HoldShift(false);
    EXPECT_EQ(CKitDialog::FocusedControl(), Panel()->FindControl(KIT_SETTINGS_CANCEL));
    Key(VK_TAB);
    EXPECT_EQ(CKitDialog::FocusedControl(), Panel()->FindControl(KIT_SETTINGS_ADAPTER))
        << "round within the page";

    EXPECT_EQ(capture.Text().find("improperly chained"), std::string::npos) << capture.Text();
}

}  // namespace
