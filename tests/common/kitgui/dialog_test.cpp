// Dialog and control behaviour through window messages (no pixels): the
// caption, focus travel across registered dialogs, hot keys, hover, the
// buttons' press-and-release rules, check boxes, radio groups, removal.
#include <gtest/gtest.h>

#include <vector>

#include "tests/common/kit/debug_capture.h"
#include "tests/common/kitgui/gui_fixture.h"
#include "common/kitgui/control_button.h"
#include "common/kitgui/control_check_box.h"
#include "common/kitgui/control_radio_button.h"

namespace {

using guitest::Point;

struct Event {
    UINT nEvent;
    int nId;
    bool operator==(const Event&) const = default;
};

void Record(UINT nEvent, int nId, CKitControl*, void* pContext) {
    static_cast<std::vector<Event>*>(pContext)->push_back({nEvent, nId});
}

// An application-defined control (adopted through AdoptControl) that counts
// hover changes.
class HoverCounter : public CKitButton {
  public:
    using CKitButton::CKitButton;
    void OnPointerEnter() override {
        ++nEnter;
        CKitButton::OnPointerEnter();
    }
    void OnPointerLeave() override {
        ++nLeave;
        CKitButton::OnPointerLeave();
    }
    int nEnter = 0, nLeave = 0;
};

class DialogTest : public guitest::GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        // A focused window: the keyboard state (Shift) follows its input.
        RegisterTestClass();
        CreateTestWindow();
        for (CKitDialog* d : {&m_A, &m_B}) {
            d->Init(&m_Manager, true);
            d->SetEventHandler(Record, &m_Events);
        }
    }
    void TearDown() override {
        m_Manager.DetachDialog(&m_A);
        m_Manager.DetachDialog(&m_B);
        GuiTest::TearDown();
    }

    bool Send(CKitDialog& d, UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0) {
        return d.ProcessMessage(nullptr, uMsg, wParam, lParam);
    }
    bool Key(CKitDialog& d, UINT vk) {
        const bool bDown = Send(d, WM_KEYDOWN, vk, 0);
        Send(d, WM_KEYUP, vk, 0);
        return bDown;
    }
    bool Click(CKitDialog& d, int x, int y) {
        Send(d, WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
        return Send(d, WM_LBUTTONUP, 0, Point(x, y));
    }
    CKitButton* Button(CKitDialog& d, int nId, int x, int y) {
        CKitButton* p = nullptr;
        EXPECT_EQ(d.CreateButton(nId, L"b", x, y, 40, 20, 0, false, &p), S_OK);
        return p;
    }

    CKitDialog m_A, m_B;
    std::vector<Event> m_Events;
};

TEST_F(DialogTest, ACompletedClickOnTheCaptionTogglesCollapseAndAReleaseOutsideLeavesIt) {
    m_A.ShowTitleBar(true);
    m_A.MoveTo(100, 50);
    m_A.SetDialogSize(200, 100);  // caption band: x 100..299, y 50..67
    Button(m_A, 1, 0, 0);

    // Released outside the band: nothing changes, the press stays pending
    // until the capture changes.
    EXPECT_TRUE(Send(m_A, WM_LBUTTONDOWN, MK_LBUTTON, Point(150, 55)));
    EXPECT_FALSE(Send(m_A, WM_LBUTTONUP, 0, Point(150, 68)));  // just below the band
    EXPECT_FALSE(m_A.IsCollapsed());
    EXPECT_TRUE(m_A.IsTitleDragging());
    Send(m_A, WM_CAPTURECHANGED, 0, 0);
    EXPECT_FALSE(m_A.IsTitleDragging());
    EXPECT_FALSE(Send(m_A, WM_LBUTTONUP, 0, Point(150, 55)));  // a release alone does not toggle
    EXPECT_FALSE(m_A.IsCollapsed());

    EXPECT_TRUE(Send(m_A, WM_LBUTTONDOWN, MK_LBUTTON, Point(150, 55)));
    EXPECT_TRUE(Send(m_A, WM_LBUTTONUP, 0, Point(299, 67)));
    EXPECT_TRUE(m_A.IsCollapsed());
    // Collapsed: only the caption takes messages.
    EXPECT_FALSE(Send(m_A, WM_LBUTTONDOWN, MK_LBUTTON, Point(110, 75)));
    EXPECT_FALSE(Send(m_A, WM_KEYDOWN, VK_SPACE, 0));
    EXPECT_TRUE(Click(m_A, 100, 50));
    EXPECT_FALSE(m_A.IsCollapsed());
    EXPECT_TRUE(Click(m_A, 100, 50));

    // A collapsed dialog without a caption takes nothing.
    m_A.ShowTitleBar(false);
    EXPECT_FALSE(Send(m_A, WM_LBUTTONDOWN, MK_LBUTTON, Point(150, 55)));
}

TEST_F(DialogTest, TabTravelsAcrossRegisteredDialogsAndWrapsToNoFocus) {
    m_A.SetKeyboardNav(true);
    m_B.SetKeyboardNav(true);
    CKitButton* a1 = Button(m_A, 1, 0, 0);
    CKitButton* a2 = Button(m_A, 2, 50, 0);
    CKitButton* b1 = Button(m_B, 3, 0, 0);
    CKitButton* b2 = Button(m_B, 4, 50, 0);
    a2->SetActive(false);  // cannot take focus: skipped

    EXPECT_TRUE(Key(m_A, VK_TAB));
    EXPECT_EQ(CKitDialog::FocusedControl(), a1);
    EXPECT_TRUE(a1->m_bFocused);
    // The focused control's dialog handles the key; the other one passes.
    EXPECT_FALSE(Send(m_B, WM_KEYDOWN, VK_TAB, 0));
    EXPECT_TRUE(Key(m_A, VK_TAB));
    EXPECT_EQ(CKitDialog::FocusedControl(), b1);
    EXPECT_FALSE(a1->m_bFocused);
    EXPECT_TRUE(Key(m_B, VK_DOWN));
    EXPECT_EQ(CKitDialog::FocusedControl(), b2);
    // Past the last control of the last dialog: no focus; then the first again.
    EXPECT_TRUE(Key(m_B, VK_TAB));
    EXPECT_EQ(CKitDialog::FocusedControl(), nullptr);
    EXPECT_FALSE(b2->m_bFocused);
    EXPECT_TRUE(Key(m_A, VK_TAB));
    EXPECT_EQ(CKitDialog::FocusedControl(), a1);

    // Backward from no focus starts at the last control of the last dialog.
    CKitDialog::DropFocus();
    // Shift is read from the keyboard state, which follows the window's input.
    PushKey(VK_SHIFT, true);
    Pump();
    EXPECT_TRUE(Key(m_A, VK_TAB));
    EXPECT_EQ(CKitDialog::FocusedControl(), b2);
    EXPECT_TRUE(Key(m_B, VK_TAB));
    EXPECT_EQ(CKitDialog::FocusedControl(), b1);
    EXPECT_TRUE(Key(m_B, VK_TAB));
    EXPECT_EQ(CKitDialog::FocusedControl(), a1) << "the disabled a2 is skipped";
    EXPECT_TRUE(Key(m_A, VK_TAB));
    EXPECT_EQ(CKitDialog::FocusedControl(), nullptr) << "back past the first dialog: the walk wrapped";
    PushKey(VK_SHIFT, false);
    Pump();
}

// A walk that comes round to where it began without finding a control that
// takes the focus ends there: Tab is taken, nothing is focused or traced.
TEST_F(DialogTest, TabWithNoControlThatTakesTheFocusChangesNothing) {
    m_Manager.DetachDialog(&m_B);
    m_A.SetKeyboardNav(true);
    Button(m_A, 1, 0, 0)->SetActive(false);
    Button(m_A, 2, 50, 0)->SetActive(false);
    kittest::DebugCapture capture;
    EXPECT_TRUE(Key(m_A, VK_TAB));
    EXPECT_EQ(CKitDialog::FocusedControl(), nullptr);
    EXPECT_EQ(capture.Text(), "");
}

TEST_F(DialogTest, ArrowsWithoutFocusAndKeysWithoutKeyboardNavigationDoNothing) {
    m_A.SetKeyboardNav(true);
    Button(m_A, 1, 0, 0);
    for (UINT vk : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}) {
        EXPECT_FALSE(Key(m_A, vk)) << vk;
        EXPECT_EQ(CKitDialog::FocusedControl(), nullptr) << vk;
    }
    m_A.SetKeyboardNav(false);
    EXPECT_FALSE(Key(m_A, VK_TAB));
    EXPECT_EQ(CKitDialog::FocusedControl(), nullptr);
}

TEST_F(DialogTest, AHotKeyReachesItsControlEvenWhenDisabledOrHidden) {
    CKitButton* pButton = nullptr;
    ASSERT_EQ(m_A.CreateButton(7, L"R", 0, 0, 40, 20, 'R', false, &pButton), S_OK);
    pButton->SetActive(false);
    EXPECT_TRUE(Send(m_A, WM_KEYDOWN, 'R', 0));
    pButton->SetActive(true);
    pButton->SetShown(false);
    EXPECT_TRUE(Send(m_A, WM_KEYDOWN, 'R', 0));
    EXPECT_FALSE(Send(m_A, WM_KEYUP, 'R', 0));    // only key-down fires it
    EXPECT_FALSE(Send(m_A, WM_KEYDOWN, 'S', 0));  // no control has this key
    EXPECT_EQ(m_Events, (std::vector<Event>{{KIT_EVT_BUTTON_CLICKED, 7}, {KIT_EVT_BUTTON_CLICKED, 7}}));
    EXPECT_EQ(CKitDialog::FocusedControl(), nullptr);  // without keyboard navigation, no focus
}

TEST_F(DialogTest, HoverMovesWithOneLeaveAndOneEnterAndAWindowMoveUnhovers) {
    auto* left = new HoverCounter(&m_A);
    auto* right = new HoverCounter(&m_A);
    ASSERT_EQ(m_A.AdoptControl(left), S_OK);
    ASSERT_EQ(m_A.AdoptControl(right), S_OK);
    left->MoveTo(0, 0);
    left->SetControlSize(40, 20);
    right->MoveTo(50, 0);
    right->SetControlSize(40, 20);
    m_A.MoveTo(10, 10);

    Send(m_A, WM_MOUSEMOVE, 0, Point(20, 20));
    Send(m_A, WM_MOUSEMOVE, 0, Point(25, 22));  // still on the left one
    EXPECT_EQ(m_A.HoveredControl(), left);
    Send(m_A, WM_MOUSEMOVE, 0, Point(70, 20));
    EXPECT_EQ(m_A.HoveredControl(), right);
    EXPECT_EQ(left->nEnter, 1);
    EXPECT_EQ(left->nLeave, 1);
    EXPECT_EQ(right->nEnter, 1);
    EXPECT_EQ(right->nLeave, 0);
    EXPECT_TRUE(right->m_bHovered);

    Send(m_A, WM_MOVE, 0, Point(300, 300));
    EXPECT_EQ(m_A.HoveredControl(), nullptr);
    EXPECT_EQ(right->nLeave, 1);
    EXPECT_FALSE(right->m_bHovered);
}

TEST_F(DialogTest, AButtonPressedAndReleasedOutsideRaisesNothing) {
    Button(m_A, 1, 0, 0);
    EXPECT_TRUE(Send(m_A, WM_LBUTTONDOWN, MK_LBUTTON, Point(10, 10)));
    EXPECT_TRUE(m_A.FindButton(1)->IsHeld());
    EXPECT_TRUE(Send(m_A, WM_LBUTTONUP, 0, Point(100, 100)));  // the held button takes its release
    EXPECT_FALSE(m_A.FindButton(1)->IsHeld());
    EXPECT_TRUE(m_Events.empty());
    EXPECT_TRUE(Click(m_A, 10, 10));
    EXPECT_EQ(m_Events, (std::vector<Event>{{KIT_EVT_BUTTON_CLICKED, 1}}));
}

TEST_F(DialogTest, AClickKeepsTheFocusOnlyWithKeyboardNavigation) {
    CKitButton* pButton = Button(m_A, 1, 0, 0);
    Click(m_A, 10, 10);
    EXPECT_EQ(CKitDialog::FocusedControl(), nullptr);
    m_A.SetKeyboardNav(true);
    Click(m_A, 10, 10);
    EXPECT_EQ(CKitDialog::FocusedControl(), pButton);
    // A click on empty dialog space takes the focus away.
    Send(m_A, WM_LBUTTONDOWN, MK_LBUTTON, Point(200, 200));
    EXPECT_EQ(CKitDialog::FocusedControl(), nullptr);
    EXPECT_FALSE(pButton->m_bFocused);
}

TEST_F(DialogTest, SpaceDownThenUpClicksOnceAndALoneSpaceUpIsConsumedSilently) {
    m_A.SetKeyboardNav(true);
    Button(m_A, 1, 0, 0);
    Key(m_A, VK_TAB);
    EXPECT_TRUE(Send(m_A, WM_KEYUP, VK_SPACE, 0));
    EXPECT_TRUE(m_Events.empty());
    EXPECT_TRUE(Send(m_A, WM_KEYDOWN, VK_SPACE, 0));
    EXPECT_TRUE(Send(m_A, WM_KEYDOWN, VK_SPACE, 0));  // auto-repeat
    EXPECT_TRUE(Send(m_A, WM_KEYUP, VK_SPACE, 0));
    EXPECT_EQ(m_Events, (std::vector<Event>{{KIT_EVT_BUTTON_CLICKED, 1}}));
}

TEST_F(DialogTest, ACheckBoxLaysOutItsBoxAndLabelAndReportsEveryChange) {
    CKitCheckBox* pBox = nullptr;
    ASSERT_EQ(m_A.CreateCheckBox(5, L"check", 10, 10, 200, 20, true, 'C', false, &pBox), S_OK);
    EXPECT_TRUE(pBox->IsTicked());
    EXPECT_TRUE(m_Events.empty()) << "creation sets the state as the program";
    const RECT box = pBox->BoxRect(), label = pBox->LabelRect();
    EXPECT_EQ(box.right - box.left, 20);
    EXPECT_EQ(box.bottom - box.top, 20);
    EXPECT_EQ(label.left, 10 + 25);
    EXPECT_EQ(label.right, 210);

    Click(m_A, 15, 15);
    EXPECT_FALSE(pBox->IsTicked());
    Send(m_A, WM_KEYDOWN, 'C', 0);
    EXPECT_TRUE(pBox->IsTicked());
    pBox->SetTicked(true);  // unchanged, by the program: filtered by default
    m_A.AllowProgrammaticEvents(true);
    pBox->SetTicked(true);  // unchanged, still reported
    EXPECT_EQ(m_Events,
              (std::vector<Event>{
                  {KIT_EVT_CHECK_CHANGED, 5}, {KIT_EVT_CHECK_CHANGED, 5}, {KIT_EVT_CHECK_CHANGED, 5}}));
}

TEST_F(DialogTest, ClickingARadioButtonChecksItAloneInItsGroup) {
    std::vector<CKitRadioButton*> group(3, nullptr);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(m_A.CreateRadioButton(10 + i, 1, L"r", 0, 30 * i, 100, 20, i == 0, 0, false, &group[i]),
                  S_OK);
    CKitRadioButton* pOther = nullptr;
    ASSERT_EQ(m_A.CreateRadioButton(20, 2, L"other", 0, 100, 100, 20, true, 0, false, &pOther), S_OK);
    EXPECT_TRUE(group[0]->IsTicked());
    m_A.AllowProgrammaticEvents(true);

    Click(m_A, 5, 65);  // the third
    EXPECT_FALSE(group[0]->IsTicked());
    EXPECT_FALSE(group[1]->IsTicked());
    EXPECT_TRUE(group[2]->IsTicked());
    EXPECT_TRUE(pOther->IsTicked()) << "another group is left alone";
    // Three programmatic unchecks (the clicked one included), then the user's check.
    EXPECT_EQ(m_Events, (std::vector<Event>{{KIT_EVT_RADIO_CHANGED, 10},
                                            {KIT_EVT_RADIO_CHANGED, 11},
                                            {KIT_EVT_RADIO_CHANGED, 12},
                                            {KIT_EVT_RADIO_CHANGED, 12}}));
    // Clicking it again keeps it checked and reports again.
    m_Events.clear();
    m_A.AllowProgrammaticEvents(false);
    Click(m_A, 5, 65);
    EXPECT_TRUE(group[2]->IsTicked());
    EXPECT_EQ(m_Events, (std::vector<Event>{{KIT_EVT_RADIO_CHANGED, 12}}));
}

TEST_F(DialogTest, AStaticNeverHoversAndNeverBlocksAClickBeneathIt) {
    ASSERT_EQ(m_A.CreateStatic(1, L"over", 0, 0, 100, 100), S_OK);  // first in the list, on top
    Button(m_A, 2, 10, 10);
    Send(m_A, WM_MOUSEMOVE, 0, Point(5, 5));
    EXPECT_EQ(m_A.HoveredControl(), nullptr);
    EXPECT_TRUE(Click(m_A, 15, 15));
    EXPECT_EQ(m_Events, (std::vector<Event>{{KIT_EVT_BUTTON_CLICKED, 2}}));
}

TEST_F(DialogTest, DeletingAControlKeepsFocusTravelInListOrder) {
    m_A.SetKeyboardNav(true);
    CKitButton* first = Button(m_A, 1, 0, 0);
    Button(m_A, 2, 50, 0);
    CKitButton* third = Button(m_A, 3, 100, 0);
    m_A.FocusControl(first);
    m_A.DeleteControl(2);
    EXPECT_EQ(CKitDialog::FocusedControl(), nullptr) << "deleting drops the focus";
    ASSERT_EQ(m_A.ControlCount(), 2);
    for (int i = 0; i < m_A.ControlCount(); ++i) EXPECT_EQ(m_A.ControlAt(i)->m_nOrder, i);

    // Back from the last one reaches the first (a stale position would find
    // the last one itself and stop there).
    m_A.FocusControl(third);
    PushKey(VK_SHIFT, true);
    Pump();
    EXPECT_TRUE(Key(m_A, VK_TAB));
    EXPECT_EQ(CKitDialog::FocusedControl(), first);
    PushKey(VK_SHIFT, false);
    Pump();
    EXPECT_TRUE(Key(m_A, VK_RIGHT));
    EXPECT_EQ(CKitDialog::FocusedControl(), third);
    EXPECT_EQ(m_A.FindControl(2), nullptr);
}

TEST_F(DialogTest, ElementDefaultsApplyToControlsCreatedAfterwardsOnly) {
    CKitButton* before = Button(m_A, 1, 0, 0);
    CKitSkinElement look = *m_A.ElementDefault(KIT_KIND_BUTTON, 0);
    look.rcSource = RECT{1, 2, 3, 4};
    ASSERT_EQ(m_A.SetElementDefault(KIT_KIND_BUTTON, 0, &look), S_OK);
    CKitButton* after = Button(m_A, 2, 50, 0);
    EXPECT_EQ(before->GetSkinElement(0)->rcSource.right, 136);
    EXPECT_EQ(after->GetSkinElement(0)->rcSource.right, 3);
    EXPECT_EQ(after->SkinElementCount(), 2);
}

// An application-defined control whose initialisation fails.
class FailingInit : public CKitButton {
  public:
    using CKitButton::CKitButton;
    HRESULT OnInit() override { return E_OUTOFMEMORY; }
};

TEST_F(DialogTest, AControlWhoseInitFailsIsNotAdoptedAndTheFailureIsTraced) {
    kittest::DebugCapture trace;
    FailingInit control(&m_A);
    EXPECT_EQ(m_A.AdoptControl(&control), E_OUTOFMEMORY);
    EXPECT_EQ(m_A.ControlCount(), 0);
    EXPECT_EQ(m_A.InitControl(nullptr), E_INVALIDARG);
    const std::string text = trace.Text();
    EXPECT_NE(text.find("pControl->OnInit()"), std::string::npos) << text;
    EXPECT_NE(text.find("CKitDialog::InitControl"), std::string::npos) << text;
}

TEST(DialogWithoutInit, OperationsNeedingTheManagerAreReportedAndDoNothing) {
    kittest::DebugCapture trace;
    CKitDialog dialog;
    EXPECT_TRUE(FAILED(dialog.AssignFont(0, L"Arial", 14, 400)));
    EXPECT_TRUE(FAILED(dialog.AssignTexture(0, L"skin.dds")));
    EXPECT_EQ(dialog.FontSlotAt(0), nullptr);
    EXPECT_TRUE(FAILED(dialog.OnRender(0.0f)));
    const std::string text = trace.Text();
    EXPECT_NE(text.find("To fix call CKitDialog::Init() first.  See comments for details."),
              std::string::npos);
    EXPECT_NE(text.find("To fix this, call CKitDialog::Init() first.  See comments for details."),
              std::string::npos);
    EXPECT_NE(text.find("To fix hook up CKitDialogResourceManager to device callbacks."), std::string::npos);
}

}  // namespace
