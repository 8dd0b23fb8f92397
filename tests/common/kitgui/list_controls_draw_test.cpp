// The list and value controls on the software device, in real pixels: an
// open combo box is drawn over the control below it, the selection sprite
// sits on the hot row of the open list and on the list box's current row,
// and the slider's knob marks its value.
#include <gtest/gtest.h>

#include "tests/common/kitgui/controls_fixture.h"
#include "common/kitgui/control_button.h"
#include "common/kitgui/control_combo_box.h"
#include "common/kitgui/control_list_box.h"
#include "common/kitgui/control_slider.h"

namespace {

using ListControlsDraw = guitest::ControlsTest;

TEST_F(ListControlsDraw, AnOpenComboBoxCoversTheControlBelowIt) {
    CKitComboBox* pCombo = nullptr;
    ASSERT_EQ(m_Dialog.CreateComboBox(1, 50, 50, 200, 30, 0, false, &pCombo), S_OK);
    pCombo->AddChoice(L"", nullptr);
    // Created later, so drawn later unless the open combo box comes last.
    CKitButton* pButton = nullptr;
    ASSERT_EQ(m_Dialog.CreateButton(2, L"", 60, 120, 120, 40, 0, false, &pButton), S_OK);
    Frame(10.0f);
    const std::vector<DWORD> closed = m_Pixels;

    Click(100, 60);
    ASSERT_TRUE(pCombo->IsDroppedDown());
    Move(400, 400);  // nothing hovered
    Frame(10.0f);
    const std::vector<DWORD> open = m_Pixels;
    EXPECT_GT(Changed(closed, 60, 120, 180, 160), 2000) << "the list is drawn where the button was";

    pButton->SetShown(false);
    Frame(10.0f);
    EXPECT_EQ(Changed(open, 60, 120, 180, 160), 0) << "nothing of the button shows through the list";

    // Closed again, the button is back.
    pButton->SetShown(true);
    Key(VK_F4);
    Frame(10.0f);
    EXPECT_EQ(Changed(closed, 60, 120, 180, 160), 0);
}

TEST_F(ListControlsDraw, TheSelectionSpriteSitsOnTheHotRowOfTheOpenList) {
    CKitComboBox* pCombo = nullptr;
    ASSERT_EQ(m_Dialog.CreateComboBox(1, 50, 50, 200, 30, 0, false, &pCombo), S_OK);
    for (int i = 0; i < 5; ++i) pCombo->AddChoice(L"", nullptr);  // no text: only the sprite differs
    Click(100, 60);
    Frame(10.0f);
    const std::vector<DWORD> first = m_Pixels;  // row 0 hot: y 90..104, sprite 88..106

    Move(100, 90 + 2 * 14 + 7);
    ASSERT_EQ(pCombo->GetHotIndex(), 2);
    Frame(10.0f);
    EXPECT_GT(Changed(first, 52, 116, 202, 134), 500) << "the sprite is on row 2 (116..134)";
    EXPECT_GT(Changed(first, 52, 88, 202, 106), 500) << "and left row 0";
    EXPECT_EQ(Changed(first, 52, 140, 202, 200), 0) << "the rows below are as they were";
}

TEST_F(ListControlsDraw, TheSelectionSpriteSitsOnTheListBoxsCurrentRow) {
    CKitListBox* pList = nullptr;
    ASSERT_EQ(m_Dialog.CreateListBox(1, 50, 50, 200, 142, 0, &pList), S_OK);
    for (int i = 0; i < 6; ++i) pList->AddRow(L"", nullptr);
    pList->SelectRow(0);
    Frame(10.0f);
    const std::vector<DWORD> first = m_Pixels;
    pList->SelectRow(3);
    Frame(10.0f);
    EXPECT_GT(Changed(first, 58, 98, 226, 112), 1000) << "row 3 (y 98..112) is selected";
    EXPECT_GT(Changed(first, 58, 56, 226, 70), 1000) << "row 0 no longer";
    EXPECT_EQ(Changed(first, 58, 113, 226, 180), 0);
}

TEST_F(ListControlsDraw, TheSlidersKnobMarksItsValue) {
    CKitSlider* pSlider = nullptr;
    ASSERT_EQ(m_Dialog.CreateSlider(1, 100, 200, 200, 20, 0, 100, 0, false, &pSlider), S_OK);
    Frame(10.0f);
    const std::vector<DWORD> atLow = m_Pixels;
    pSlider->SetLevel(100);
    Frame(10.0f);
    EXPECT_GT(Changed(atLow, 90, 200, 110, 220), 50) << "the knob left the left end";
    EXPECT_GT(Changed(atLow, 290, 200, 310, 220), 50) << "and sits at the right end";
    EXPECT_EQ(Changed(atLow, 130, 200, 270, 220), 0);
}

// Looks whose font index names no font: nothing is written, nothing crashes,
// and rows without a known height cannot be clicked.
TEST_F(ListControlsDraw, ControlsWithoutAFontDrawTheirSpritesOnly) {
    CKitComboBox* pCombo = nullptr;
    ASSERT_EQ(m_Dialog.CreateComboBox(1, 50, 50, 200, 30, 0, false, &pCombo), S_OK);
    CKitListBox* pList = nullptr;
    ASSERT_EQ(m_Dialog.CreateListBox(2, 300, 50, 200, 142, 0, &pList), S_OK);
    for (CKitControl* p : {static_cast<CKitControl*>(pCombo), static_cast<CKitControl*>(pList)})
        for (int i = 0; i < p->SkinElementCount(); ++i) p->GetSkinElement(UINT(i))->nFont = 7;
    for (int i = 0; i < 3; ++i) {
        pCombo->AddChoice(L"text", nullptr);
        pList->AddRow(L"text", nullptr);
    }
    Click(100, 60);
    Frame(10.0f);
    const std::vector<DWORD> withText = m_Pixels;
    for (int i = 0; i < 3; ++i) {
        pCombo->GetChoiceItem(i)->wszLabel[0] = 0;
        pList->RowAt(i)->wszLabel[0] = 0;
    }
    Frame(10.0f);
    EXPECT_EQ(Changed(withText, 0, 0, kWidth, kHeight), 0) << "no text was drawn";
    EXPECT_GT(Changed(std::vector<DWORD>(m_Pixels.size(), 0xFF2D32AA), 50, 77, 200, 200), 1000)
        << "the open list's sprite is drawn";

    EXPECT_EQ(pList->GetRowHeight(), 0);
    EXPECT_TRUE(Click(350, 70));
    EXPECT_EQ(pList->GetCurrent(), -1);
    m_Dialog.FocusControl(pList);
    EXPECT_TRUE(Key(VK_DOWN));
    EXPECT_EQ(pList->GetCurrent(), 0);
    Frame();
}

}  // namespace
