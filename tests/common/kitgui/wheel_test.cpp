// The wheel through the window system: its message carries a screen point,
// and the unfocused list box, combo box or slider under the pointer takes it
// wherever the window sits on the screen.
#include <gtest/gtest.h>

#include "tests/common/kitgui/controls_fixture.h"
#include "common/kitgui/control_combo_box.h"
#include "common/kitgui/control_list_box.h"
#include "common/kitgui/control_slider.h"

namespace {

using WheelTest = guitest::ControlsTest;

TEST_F(WheelTest, TheUnfocusedControlUnderThePointerTakesItWhereverTheWindowSits) {
    CKitListBox* pList = nullptr;
    CKitComboBox* pCombo = nullptr;
    CKitSlider* pSlider = nullptr;
    ASSERT_EQ(m_Dialog.CreateListBox(1, 20, 20, 200, 142, 0, &pList), S_OK);
    ASSERT_EQ(m_Dialog.CreateComboBox(2, 300, 20, 200, 30, 0, false, &pCombo), S_OK);
    ASSERT_EQ(m_Dialog.CreateSlider(3, 300, 300, 200, 20, 0, 100, 50, false, &pSlider), S_OK);
    for (int i = 0; i < 30; ++i) pList->AddRow(L"row", nullptr);
    for (int i = 0; i < 3; ++i) pCombo->AddChoice(L"item", nullptr);
    ASSERT_EQ(CKitDialog::FocusedControl(), nullptr);

    for (POINT at : {POINT{100, 100}, POINT{333, 77}}) {
        SetWindowPos(m_hWnd, nullptr, int(at.x), int(at.y), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        POINT origin = {0, 0};
        ClientToScreen(m_hWnd, &origin);
        ASSERT_GT(origin.x, 0);
        ASSERT_GT(origin.y, 0);

        const int nFirst = pList->GetScroller()->GetFirst();
        EXPECT_TRUE(Wheel(-120, 100, 100));
        EXPECT_EQ(pList->GetScroller()->GetFirst(), nFirst + 3) << "at " << at.x << ", " << at.y;

        const int iChosen = pCombo->GetChosenIndex();
        EXPECT_TRUE(Wheel(-120, 350, 35));
        EXPECT_EQ(pCombo->GetChosenIndex(), iChosen + 1);

        const int nLevel = pSlider->GetLevel();
        EXPECT_TRUE(Wheel(120, 400, 310));
        EXPECT_EQ(pSlider->GetLevel(), nLevel - 1);
    }
    EXPECT_FALSE(Wheel(-120, 600, 450)) << "nothing under the pointer";
    EXPECT_EQ(CKitDialog::FocusedControl(), nullptr);
}

}  // namespace
