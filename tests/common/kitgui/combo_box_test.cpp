// The combo box through window messages: the first item's rule, lookups and
// bad input, removals that keep every index valid, keys, the wheel (also a
// fine wheel's partial notch), clicks inside and outside the open list, and
// the hot key.
#include <gtest/gtest.h>

#include <string>

#include "tests/common/kitgui/controls_fixture.h"
#include "common/kitgui/control_button.h"
#include "common/kitgui/control_combo_box.h"

namespace {

// Geometry of the combo box below: at (50, 50), 200 x 30. The box is x
// 220..250, the list y 77..207 with rows of 14 pixels from y 90 (page 7).
constexpr int kRowTop = 90;
int RowY(int iRow) { return kRowTop + 14 * iRow + 7; }

class ComboBoxTest : public guitest::ControlsTest {
  protected:
    CKitComboBox* Combo(int nItems, int nId = 1) {
        CKitComboBox* p = nullptr;
        EXPECT_EQ(m_Dialog.CreateComboBox(nId, 50, 50, 200, 30, 'C', false, &p), S_OK);
        for (int i = 0; i < nItems; ++i) p->AddChoice((L"item" + std::to_wstring(i)).c_str(), &m_Data[i]);
        return p;
    }
    int m_Data[20] = {};
};

TEST_F(ComboBoxTest, TheFirstItemIsChosenAtOnceWithAnEventOnlyForProgrammaticEvents) {
    CKitComboBox* p = Combo(0);
    EXPECT_EQ(p->AddChoice(L"a", nullptr), S_OK);
    EXPECT_EQ(p->GetChosenIndex(), 0);
    EXPECT_EQ(p->GetHotIndex(), 0);
    EXPECT_TRUE(m_Events.empty());

    m_Dialog.AllowProgrammaticEvents(true);
    CKitComboBox* q = Combo(0, 2);
    q->AddChoice(L"a", nullptr);
    q->AddChoice(L"b", nullptr);
    EXPECT_EQ(m_Events, (std::vector<guitest::Event>{{KIT_EVT_COMBO_CHANGED, 2}}))
        << "only for the first item";
    EXPECT_EQ(q->GetChosenIndex(), 0);
    EXPECT_EQ(m_Dialog.FindComboBox(2), q);
    EXPECT_EQ(m_Dialog.FindComboBox(3), nullptr);
    EXPECT_EQ(m_Dialog.FindButton(2), nullptr) << "the finder checks the kind";
}

TEST_F(ComboBoxTest, LookupsAndBadInput) {
    CKitComboBox* p = Combo(3);
    EXPECT_EQ(p->AddChoice(nullptr, nullptr), E_INVALIDARG);
    EXPECT_EQ(p->GetChoiceCount(), 3);
    p->AddChoice(L"Item1", nullptr);
    EXPECT_EQ(p->FindChoice(L"item1"), 1);
    EXPECT_EQ(p->FindChoice(L"Item1"), 3) << "case-sensitive";
    EXPECT_EQ(p->FindChoice(L"item1", 2), -1);
    EXPECT_EQ(p->FindChoice(nullptr), -1);
    EXPECT_TRUE(p->HasChoice(L"item2"));
    EXPECT_FALSE(p->HasChoice(L"item2", 3));

    EXPECT_EQ(p->GetChoiceData(L"item2"), &m_Data[2]);
    EXPECT_EQ(p->GetChoiceData(L"nothing"), nullptr);
    EXPECT_EQ(p->GetChoiceData(1), &m_Data[1]);
    EXPECT_EQ(p->GetChoiceData(-1), nullptr);
    EXPECT_EQ(p->GetChoiceData(4), nullptr);
    EXPECT_EQ(p->GetChoiceItem(4), nullptr);

    EXPECT_EQ(p->ChooseByIndex(4), E_INVALIDARG);
    EXPECT_EQ(p->ChooseByIndex(-1), E_INVALIDARG);
    EXPECT_EQ(p->ChooseByText(nullptr), E_INVALIDARG);
    EXPECT_EQ(p->ChooseByText(L"ITEM2"), E_FAIL);
    EXPECT_EQ(p->ChooseByText(L"item2"), S_OK);
    EXPECT_EQ(p->GetChosenData(), &m_Data[2]);
    EXPECT_EQ(p->ChooseByData(&m_Data[1]), S_OK);
    EXPECT_EQ(p->GetChosenIndex(), 1);
    EXPECT_EQ(p->GetHotIndex(), 1);
    EXPECT_EQ(p->ChooseByData(&m_Data[9]), E_FAIL);
    EXPECT_TRUE(m_Events.empty()) << "program choices raise no event here";

    const std::wstring longText(400, L'x');
    p->AddChoice(longText.c_str(), nullptr);
    EXPECT_EQ(std::wstring(p->GetChoiceItem(4)->wszLabel), std::wstring(255, L'x'));
}

TEST_F(ComboBoxTest, AfterEveryRemovalTheIndicesNameExistingItems) {
    CKitComboBox* p = Combo(3);
    p->ChooseByIndex(2);
    p->RemoveChoice(7);  // no such item
    EXPECT_EQ(p->GetChoiceCount(), 3);
    p->RemoveChoice(2);
    EXPECT_EQ(p->GetChosenIndex(), 1);
    EXPECT_EQ(p->GetHotIndex(), 1);
    EXPECT_EQ(p->GetScroller()->GetRangeHigh(), 2);

    // Hot and chosen both past the end after removing the last two.
    p->RemoveChoice(1);
    p->RemoveChoice(0);
    EXPECT_EQ(p->GetChosenIndex(), -1);
    EXPECT_EQ(p->GetHotIndex(), -1);
    EXPECT_EQ(p->GetChosenItem(), nullptr);

    // An empty combo box takes keys, wheel, clicks, its hot key and frames.
    m_Dialog.FocusControl(p);
    EXPECT_TRUE(Key(VK_DOWN));
    EXPECT_TRUE(Key(VK_UP));
    EXPECT_TRUE(Wheel(-120, 100, 60));
    EXPECT_TRUE(Click(100, 60));
    Frame();
    EXPECT_TRUE(Key(VK_F4));
    Send(WM_KEYDOWN, 'C');
    EXPECT_EQ(p->GetChosenIndex(), -1);

    p = Combo(4, 2);
    p->ChooseByIndex(3);
    m_Dialog.EmptyComboBox(2);
    EXPECT_EQ(p->GetChoiceCount(), 0);
    EXPECT_EQ(p->GetHotIndex(), -1);
    EXPECT_EQ(p->GetChosenIndex(), -1);
    Frame();
}

TEST_F(ComboBoxTest, KeysOnAClosedAndAnOpenList) {
    m_Dialog.SetKeyboardNav(true);
    CKitComboBox* p = Combo(3);
    m_Dialog.FocusControl(p);
    p->ChooseByIndex(2);

    EXPECT_TRUE(Key(VK_DOWN));
    EXPECT_EQ(p->GetChosenIndex(), 2);
    EXPECT_TRUE(m_Events.empty()) << "Down on the last item does nothing";
    EXPECT_FALSE(Key(VK_RETURN)) << "Enter is not taken while closed";
    EXPECT_TRUE(Key(VK_UP));
    EXPECT_EQ(p->GetChosenIndex(), 1);
    EXPECT_EQ(Count(KIT_EVT_COMBO_CHANGED), 1);
    EXPECT_FALSE(Key('Q'));

    m_Events.clear();
    EXPECT_TRUE(Key(VK_F4));
    EXPECT_TRUE(p->IsDroppedDown());
    EXPECT_TRUE(Key(VK_F4, LPARAM(1) << 30)) << "an auto-repeated F4 is taken";
    EXPECT_TRUE(p->IsDroppedDown()) << "and ignored";
    // A move while open is reported too, and Enter closes the list.
    EXPECT_TRUE(Key(VK_DOWN));
    EXPECT_EQ(p->GetChosenIndex(), 2);
    EXPECT_EQ(Count(KIT_EVT_COMBO_CHANGED), 1);
    EXPECT_TRUE(Key(VK_RETURN));
    EXPECT_FALSE(p->IsDroppedDown());
    EXPECT_EQ(CKitDialog::FocusedControl(), p) << "keyboard navigation keeps the focus";

    EXPECT_TRUE(Key(VK_F4));
    EXPECT_TRUE(Key(VK_F4));
    EXPECT_FALSE(p->IsDroppedDown());
    EXPECT_EQ(Count(KIT_EVT_COMBO_CHANGED), 2) << "closing with F4 reports the choice";
}

TEST_F(ComboBoxTest, TheWheelOnAClosedBoxMovesByWholeNotchesOnly) {
    CKitComboBox* p = Combo(3);
    EXPECT_TRUE(Wheel(-120, 100, 60));
    EXPECT_EQ(p->GetChosenIndex(), 1);
    EXPECT_EQ(Count(KIT_EVT_COMBO_CHANGED), 1);

    // A fine wheel's partial notch, either way, moves nothing.
    EXPECT_TRUE(Wheel(60, 100, 60));
    EXPECT_TRUE(Wheel(-60, 100, 60));
    EXPECT_EQ(p->GetChosenIndex(), 1);
    EXPECT_EQ(Count(KIT_EVT_COMBO_CHANGED), 1);

    EXPECT_TRUE(Wheel(240, 100, 60));  // forward: up, one item per message
    EXPECT_EQ(p->GetChosenIndex(), 0);
    EXPECT_TRUE(Wheel(120, 100, 60));
    EXPECT_EQ(p->GetChosenIndex(), 0);
    EXPECT_EQ(Count(KIT_EVT_COMBO_CHANGED), 2) << "a move that is not possible raises nothing";
}

TEST_F(ComboBoxTest, ClicksOpenTheListPickARowAndCloseItFromOutside) {
    CKitComboBox* p = Combo(12);
    p->ChooseByIndex(1);
    EXPECT_TRUE(Click(100, 60));
    EXPECT_TRUE(p->IsDroppedDown());
    EXPECT_EQ(CKitDialog::FocusedControl(), p);
    Frame();  // places the rows

    // Hovering a row makes it hot; a click outside restores the chosen one
    // and still reports.
    EXPECT_TRUE(Move(100, RowY(3)));
    EXPECT_EQ(p->GetHotIndex(), 3);
    EXPECT_FALSE(Click(400, 400));
    EXPECT_FALSE(p->IsDroppedDown());
    EXPECT_EQ(p->GetHotIndex(), 1);
    EXPECT_EQ(p->GetChosenIndex(), 1);
    EXPECT_EQ(Count(KIT_EVT_COMBO_CHANGED), 1);
    EXPECT_EQ(CKitDialog::FocusedControl(), nullptr) << "no keyboard navigation: the focus goes";

    // The wheel scrolls an open list; a click picks the row under it.
    Click(100, 60);
    EXPECT_TRUE(Wheel(-120, 100, 120));
    EXPECT_EQ(p->GetScroller()->GetFirst(), 3) << "three lines per notch";
    Frame();
    EXPECT_TRUE(Click(100, RowY(2)));
    EXPECT_FALSE(p->IsDroppedDown());
    EXPECT_EQ(p->GetChosenIndex(), 5);
    EXPECT_EQ(Count(KIT_EVT_COMBO_CHANGED), 2);

    // A press on the box released off it does not leave the button down.
    Down(100, 60);
    EXPECT_TRUE(p->IsHeld());
    Up(400, 400);
    EXPECT_FALSE(p->IsHeld());
}

TEST_F(ComboBoxTest, TheHotKeyStepsTheChoiceAndWraps) {
    CKitComboBox* p = Combo(2);
    Send(WM_KEYDOWN, 'C');
    EXPECT_EQ(p->GetChosenIndex(), 1);
    Send(WM_KEYDOWN, 'C');
    EXPECT_EQ(p->GetChosenIndex(), 0);
    EXPECT_EQ(p->GetHotIndex(), 0);
    EXPECT_EQ(Count(KIT_EVT_COMBO_CHANGED), 2);

    m_Dialog.FocusControl(p);
    Key(VK_F4);
    Send(WM_KEYDOWN, 'C');
    EXPECT_EQ(p->GetChosenIndex(), 0) << "nothing while open";
}

TEST_F(ComboBoxTest, FocusLossClosesTheList) {
    CKitComboBox* p = Combo(2);
    CKitButton* pButton = nullptr;
    m_Dialog.SetKeyboardNav(true);
    m_Dialog.CreateButton(9, L"b", 300, 300, 40, 20, 0, false, &pButton);
    Click(100, 60);
    EXPECT_TRUE(p->IsDroppedDown());
    m_Dialog.FocusControl(pButton);
    EXPECT_FALSE(p->IsDroppedDown());
}

// The drop-down's scroll bar lies below the box; while the list is closed a
// click there belongs to whatever is drawn there.
TEST_F(ComboBoxTest, AClosedListsScrollBarTakesNoClicks) {
    m_Dialog.SetKeyboardNav(true);
    CKitComboBox* p = Combo(12);
    CKitButton* pButton = nullptr;
    m_Dialog.CreateButton(9, L"b", 204, 180, 16, 27, 0, false, &pButton);  // over the bar's down arrow
    m_Dialog.FocusControl(p);
    EXPECT_TRUE(Click(212, 200));
    EXPECT_EQ(p->GetScroller()->GetFirst(), 0);
    EXPECT_EQ(Count(KIT_EVT_BUTTON_CLICKED), 1);
}

}  // namespace
