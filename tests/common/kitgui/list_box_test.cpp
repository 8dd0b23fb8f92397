// The list box through window messages: keys in single and multiple
// selection (with Shift), clicks with Ctrl and Shift, double-clicks, drag
// selection with scrolling, the end-of-selection event, and removals that keep
// the current row and anchor valid.
#include <gtest/gtest.h>

#include <string>

#include "tests/common/kitgui/controls_fixture.h"
#include "common/kitgui/control_list_box.h"

namespace {

// The list box below: at (50, 50), 200 x 142; rows of 14 pixels from y 56,
// nine to a page, x 56..228.
int RowY(int iVisibleRow) { return 56 + 14 * iVisibleRow + 7; }

// A window procedure as an application's: every message goes to the dialog.
CKitDialog* g_pRoutedDialog = nullptr;
LRESULT CALLBACK RoutingWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (g_pRoutedDialog && g_pRoutedDialog->ProcessMessage(hWnd, uMsg, wParam, lParam)) return 0;
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

class ListBoxTest : public guitest::ControlsTest {
  protected:
    CKitListBox* List(int nRows, DWORD dwStyle = 0) {
        CKitListBox* p = nullptr;
        EXPECT_EQ(m_Dialog.CreateListBox(1, 50, 50, 200, 142, dwStyle, &p), S_OK);
        for (int i = 0; i < nRows; ++i) p->AddRow((L"row" + std::to_wstring(i)).c_str(), nullptr);
        return p;
    }
    std::vector<int> Picked(CKitListBox* p) {
        std::vector<int> picked;
        for (int i = p->NextPicked(); i != -1; i = p->NextPicked(i)) picked.push_back(i);
        return picked;
    }
};

TEST_F(ListBoxTest, KeysMoveTheCurrentRowInSingleSelection) {
    CKitListBox* p = List(20);
    m_Dialog.FocusControl(p);
    EXPECT_EQ(p->GetScroller()->GetVisibleCount(), 9);

    EXPECT_TRUE(Key(VK_DOWN));
    EXPECT_EQ(p->GetCurrent(), 0);
    EXPECT_TRUE(Key(VK_END));
    EXPECT_EQ(p->GetCurrent(), 19);
    EXPECT_EQ(p->GetScroller()->GetFirst(), 11) << "the current row is brought into view";
    EXPECT_TRUE(Key(VK_HOME));
    EXPECT_EQ(p->GetScroller()->GetFirst(), 0);
    EXPECT_TRUE(Key(VK_NEXT));
    EXPECT_EQ(p->GetCurrent(), 8) << "a page less one row";
    EXPECT_TRUE(Key(VK_PRIOR));
    EXPECT_EQ(p->GetCurrent(), 0);
    EXPECT_EQ(p->GetAnchor(), 0);
    EXPECT_EQ(Count(KIT_EVT_LIST_SELECT), 5);

    EXPECT_TRUE(Key(VK_UP)) << "no move at the top, but taken";
    EXPECT_EQ(Count(KIT_EVT_LIST_SELECT), 5);
    EXPECT_FALSE(Key(VK_LEFT));
    EXPECT_FALSE(Key(VK_RIGHT));
    EXPECT_TRUE(Key(VK_SPACE));
    EXPECT_EQ(Count(KIT_EVT_LIST_ACTIVATE), 1);
    EXPECT_EQ(p->NextPicked(), 0) << "single selection: the current row";
    EXPECT_EQ(p->NextPicked(-2), -1);

    // SelectRow reports even when the row is already current.
    p->SelectRow(0);
    EXPECT_EQ(Count(KIT_EVT_LIST_SELECT), 6);
    p->SelectRow(99);
    EXPECT_EQ(p->GetCurrent(), 19);
}

TEST_F(ListBoxTest, ShiftAndCtrlClicksInMultipleSelection) {
    CKitListBox* p = List(10, KIT_LIST_MULTI);
    Frame();  // the row height is learnt when drawn
    EXPECT_TRUE(Click(100, RowY(2)));
    EXPECT_TRUE(Click(100, RowY(5), MK_SHIFT));
    EXPECT_EQ(Picked(p), (std::vector<int>{2, 3, 4, 5}));
    EXPECT_EQ(p->GetAnchor(), 2);
    EXPECT_TRUE(Click(100, RowY(3), MK_CONTROL));
    EXPECT_EQ(Picked(p), (std::vector<int>{2, 4, 5})) << "Ctrl toggles only the clicked row";
    EXPECT_TRUE(Click(100, RowY(7)));
    EXPECT_EQ(Picked(p), (std::vector<int>{7}));

    // Ctrl+Shift spreads the anchor's state and keeps the anchor current.
    EXPECT_TRUE(Click(100, RowY(4), MK_CONTROL | MK_SHIFT));
    EXPECT_EQ(Picked(p), (std::vector<int>{4, 5, 6, 7}));
    EXPECT_EQ(p->GetCurrent(), 7);

    // Keys: Shift extends from the anchor, without it the row becomes the anchor.
    m_Dialog.FocusControl(p);
    PushKey(VK_SHIFT, true);
    Pump();
    Key(VK_DOWN);
    PushKey(VK_SHIFT, false);
    Pump();
    EXPECT_EQ(Picked(p), (std::vector<int>{7, 8}));
    Key(VK_UP);
    EXPECT_EQ(Picked(p), (std::vector<int>{7}));
    EXPECT_EQ(p->GetAnchor(), 7);
}

TEST_F(ListBoxTest, ADoubleClickActivatesAfterTheFirstClickSelected) {
    CKitListBox* p = List(5);
    Frame();
    Click(100, RowY(3));
    EXPECT_EQ(p->GetCurrent(), 3);
    m_Events.clear();
    EXPECT_TRUE(Send(WM_LBUTTONDBLCLK, MK_LBUTTON, guitest::Point(100, RowY(3))));
    EXPECT_EQ(m_Events, (std::vector<guitest::Event>{{KIT_EVT_LIST_ACTIVATE, 1}}));
    // The release after a click on the list, once (the focused list lying
    // under the pointer is not told twice).
    Up(100, RowY(3));
    EXPECT_EQ(Count(KIT_EVT_LIST_SELECT_END), 1);
    EXPECT_EQ(Count(KIT_EVT_LIST_SELECT), 0);

    // A click below the last row is taken and selects nothing.
    EXPECT_TRUE(Click(100, RowY(7)));
    EXPECT_EQ(p->GetCurrent(), 3);
}

TEST_F(ListBoxTest, DraggingSelectsAndScrollsPastTheEdges) {
    CKitListBox* p = List(30, KIT_LIST_MULTI);
    Frame();
    EXPECT_TRUE(Down(100, RowY(1)));
    EXPECT_TRUE(p->IsDragSelecting());
    Move(100, RowY(4));
    EXPECT_EQ(p->GetCurrent(), 4);
    Move(100, 200);  // below the rows: one row down, the last visible row current
    EXPECT_EQ(p->GetScroller()->GetFirst(), 1);
    EXPECT_EQ(p->GetCurrent(), 9);
    // Above the rows the row is (y - top) / height, truncated: less than a
    // whole row above is still the first visible row, a whole row scrolls.
    Move(100, 55);
    EXPECT_EQ(p->GetScroller()->GetFirst(), 1);
    EXPECT_EQ(p->GetCurrent(), 1);
    Move(100, 56 - 13);
    EXPECT_EQ(p->GetScroller()->GetFirst(), 1);
    Move(100, 56 - 14);
    EXPECT_EQ(p->GetScroller()->GetFirst(), 0);
    EXPECT_EQ(p->GetCurrent(), 0);
    Move(100, RowY(3));
    const int nSelects = Count(KIT_EVT_LIST_SELECT);
    EXPECT_EQ(nSelects, 6) << "the click and every change";
    Up(100, RowY(3));
    EXPECT_FALSE(p->IsDragSelecting());
    EXPECT_EQ(Picked(p), (std::vector<int>{1, 2, 3})) << "the rows up to the anchor take its state";
    EXPECT_EQ(Count(KIT_EVT_LIST_SELECT), nSelects + 1);
    EXPECT_EQ(Count(KIT_EVT_LIST_SELECT_END), 1);
}

// Only the release that ends a click on the rows reports the selection: not
// one after a click on the scroll bar or the frame.
TEST_F(ListBoxTest, OnlyAReleaseAfterAClickOnTheRowsEndsASelection) {
    CKitListBox* p = List(20, KIT_LIST_MULTI);
    Frame();
    Click(100, RowY(2));
    Click(100, RowY(5), MK_SHIFT);
    ASSERT_EQ(Count(KIT_EVT_LIST_SELECT_END), 2);
    m_Events.clear();

    EXPECT_TRUE(Down(242, 184));  // the scroll bar's down arrow
    Up(242, 184);
    EXPECT_EQ(p->GetScroller()->GetFirst(), 1);
    EXPECT_EQ(Count(KIT_EVT_LIST_SELECT_END), 0) << "after the arrow";
    Click(100, 52);  // the frame above the rows
    EXPECT_EQ(Count(KIT_EVT_LIST_SELECT), 0);
    EXPECT_EQ(Count(KIT_EVT_LIST_SELECT_END), 0);
    EXPECT_EQ(Picked(p), (std::vector<int>{2, 3, 4, 5}));
}

// In a window whose procedure hands its messages to the dialog, the list box
// really holds the mouse between press and release, and the scroll bar's
// letting go of it on the release comes back at once as WM_CAPTURECHANGED,
// which ends a drag: the release still ends the click on the rows.
TEST_F(ListBoxTest, TheReleaseEndsTheSelectionWhenTheWindowRoutesItsMessages) {
    List(20, KIT_LIST_MULTI);
    Frame();
    g_pRoutedDialog = &m_Dialog;
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RoutingWndProc));
    {
        KitStateLock lock;
        KitCore().m_hWndFullScreen = m_hWnd;  // the active window, with no device settings
    }
    PushMouse(plat::EventType::MouseButton, 100, RowY(2), plat::MouseButton::Left, true);
    Pump();
    EXPECT_EQ(GetCapture(), m_hWnd);
    PushMouse(plat::EventType::MouseButton, 100, RowY(2), plat::MouseButton::Left, false);
    Pump();
    g_pRoutedDialog = nullptr;
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(m_Events,
              (std::vector<guitest::Event>{{KIT_EVT_LIST_SELECT, 1}, {KIT_EVT_LIST_SELECT_END, 1}}));
}

TEST_F(ListBoxTest, RemovalsKeepCurrentAndAnchorOnExistingRows) {
    CKitListBox* p = List(6, KIT_LIST_MULTI);
    EXPECT_EQ(p->InsertRow(9, L"x", nullptr), E_INVALIDARG);
    EXPECT_EQ(p->InsertRow(-1, L"x", nullptr), E_INVALIDARG);
    EXPECT_EQ(p->InsertRow(0, L"first", nullptr), S_OK);
    EXPECT_EQ(std::wstring(p->RowAt(0)->wszLabel), L"first");
    p->AddRow(std::wstring(300, L'y').c_str(), nullptr);
    EXPECT_EQ(std::wstring(p->RowAt(7)->wszLabel), std::wstring(255, L'y')) << "cut to 255 characters";
    p->RemoveRow(7);
    EXPECT_EQ(p->RowAt(7), nullptr);
    EXPECT_EQ(p->RowAt(-1), nullptr);

    p->SelectRow(6);
    p->RemoveRow(6);
    EXPECT_EQ(p->GetCurrent(), 5);
    EXPECT_EQ(p->GetAnchor(), 5);
    p->RemoveRow(40);
    EXPECT_EQ(p->GetRowCount(), 6);

    p->RemoveAllRows();
    EXPECT_EQ(p->GetCurrent(), -1);
    EXPECT_EQ(p->GetAnchor(), 0);
    EXPECT_EQ(p->NextPicked(), -1);
    // Nothing reads a removed row: keys, wheel, clicks, a drag and frames.
    m_Dialog.FocusControl(p);
    m_Events.clear();
    for (UINT vk : {VK_DOWN, VK_UP, VK_END, VK_NEXT}) EXPECT_TRUE(Key(vk));
    EXPECT_TRUE(Wheel(-120, 100, 100));
    EXPECT_FALSE(Click(100, RowY(0)));
    Frame();
    EXPECT_TRUE(m_Events.empty());

    p->AddRow(L"again", nullptr);
    Frame();
    Click(100, RowY(0), MK_SHIFT);
    EXPECT_EQ(Picked(p), (std::vector<int>{0}));
}

TEST_F(ListBoxTest, TheWheelScrollsAndAZeroSizedListIsHarmless) {
    CKitListBox* p = List(30);
    EXPECT_TRUE(Wheel(-120, 100, 100));
    EXPECT_EQ(p->GetScroller()->GetFirst(), 3);
    EXPECT_TRUE(Wheel(360, 100, 100));
    EXPECT_EQ(p->GetScroller()->GetFirst(), 0);

    p->SetControlSize(0, 0);
    Frame();
    m_Dialog.FocusControl(p);
    EXPECT_TRUE(Key(VK_NEXT));
    Frame();
}

}  // namespace
