// The edit box through window messages, measured by the real text-layout
// service on a software device: typing and deleting, insert and overwrite,
// selection by keys and mouse, word stops, the clipboard, events, the length
// limit, caret positions, scrolling, the blinking caret in pixels, hot keys
// while it has the focus, and the stand-by path without the service.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "tests/common/kitgui/gui_fixture.h"
#include "common/kit/state/kit_state.h"
#include "common/kitgui/control_button.h"
#include "common/kitgui/control_edit_box.h"
#include "common/kitgui/control_ime_edit_box.h"
#include "common/kitgui/text_layout_service.h"
#include "platform/backend/backend.h"
#include "platform/builtin/usp10_module.h"
#include "platform/win32/kernel_modules.h"

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

constexpr int kBoxX = 10, kBoxY = 10, kBoxW = 300, kBoxH = 40;

class EditBoxTest : public guitest::GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(OpenGuiDevice(640, 480));
        m_Dialog.Init(&m_Manager, true);
        m_Dialog.SetEventHandler(Record, &m_Events);
        ASSERT_NO_FATAL_FAILURE(CreateAndReset());
        ASSERT_EQ(m_Dialog.CreateEditBox(7, L"", kBoxX, kBoxY, kBoxW, kBoxH, false, &m_pBox), S_OK);
        m_Dialog.FocusControl(m_pBox);
        Frame();  // the first drawing gives the text its font
    }
    void TearDown() override {
        HoldKey(VK_SHIFT, false);
        HoldKey(VK_CONTROL, false);
        m_Dialog.DeleteAllControls();
        m_Manager.DetachDialog(&m_Dialog);
        GuiTest::TearDown();
    }

    void Frame(float fElapsed = 1.0f) {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF2D32AA, 1.0f, 0);
        m_pDevice->BeginScene();
        EXPECT_EQ(m_Dialog.OnRender(fElapsed), S_OK);
        m_pDevice->EndScene();
        m_Pixels = tumbral_test::ReadBackBuffer(m_pDevice);
    }
    bool Send(UINT uMsg, WPARAM wParam = 0, LPARAM lParam = 0) {
        return m_Dialog.ProcessMessage(m_hWnd, uMsg, wParam, lParam);
    }
    bool Key(UINT vk) {
        const bool bDown = Send(WM_KEYDOWN, vk);
        Send(WM_KEYUP, vk);
        return bDown;
    }
    void Type(const std::wstring& text) {
        for (wchar_t c : text) Send(WM_CHAR, WPARAM(c));
    }
    // Modifiers are read from the keyboard state, which follows the window's input.
    void HoldKey(UINT vk, bool bDown) {
        PushKey(vk, bDown);
        Pump();
    }
    void Click(int xText, int y = kBoxY + kBoxH / 2) {
        const int x = m_pBox->GetTextRect().left + xText;
        Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(x, y));
        Send(WM_LBUTTONUP, 0, Point(x, y));
    }
    std::wstring Text() const { return m_pBox->GetContent(); }
    std::wstring Clipboard() {
        std::wstring text;
        if (!OpenClipboard(nullptr)) return text;
        if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
            text = static_cast<const WCHAR*>(GlobalLock(h));
            GlobalUnlock(h);
        }
        CloseClipboard();
        return text;
    }
    int Count(UINT nEvent) const {
        int n = 0;
        for (const Event& e : m_Events) n += e.nEvent == nEvent;
        return n;
    }

    CKitDialog m_Dialog;
    CKitEditBox* m_pBox = nullptr;
    std::vector<Event> m_Events;
    std::vector<DWORD> m_Pixels;
};

TEST_F(EditBoxTest, TypingAndDeletingAtBothEnds) {
    Type(L"abc");
    EXPECT_EQ(Text(), L"abc");
    EXPECT_EQ(m_pBox->GetCaret(), 3);
    EXPECT_EQ(Count(KIT_EVT_EDIT_CHANGED), 3);

    Key(VK_DELETE);  // at the end: nothing to delete
    Key(VK_HOME);
    Send(WM_CHAR, 8);  // Backspace at the start
    EXPECT_EQ(Text(), L"abc");
    EXPECT_EQ(Count(KIT_EVT_EDIT_CHANGED), 3) << "deleting nothing raises no event";

    EXPECT_TRUE(Key(VK_DELETE));
    EXPECT_EQ(Text(), L"bc");
    EXPECT_EQ(m_pBox->GetCaret(), 0);
    Key(VK_END);
    Send(WM_CHAR, 8);
    EXPECT_EQ(Text(), L"b");
    EXPECT_EQ(m_pBox->GetCaret(), 1);
    EXPECT_EQ(Count(KIT_EVT_EDIT_CHANGED), 5);

    // Control codes and a typed 0 change nothing.
    Send(WM_CHAR, 2);
    Send(WM_CHAR, 0);
    EXPECT_EQ(Text(), L"b");
}

TEST_F(EditBoxTest, OverwriteReplacesUntilTheEndThenInserts) {
    m_pBox->SetContent(L"abcd");
    Key(VK_HOME);
    EXPECT_FALSE(Key(VK_INSERT)) << "Insert is left to others as well";
    EXPECT_FALSE(m_pBox->IsInserting());
    Type(L"XY");
    EXPECT_EQ(Text(), L"XYcd");
    Key(VK_END);
    Type(L"Z");
    EXPECT_EQ(Text(), L"XYcdZ");
    Key(VK_INSERT);
    Key(VK_HOME);
    Type(L"_");
    EXPECT_EQ(Text(), L"_XYcdZ");
}

TEST_F(EditBoxTest, ShiftArrowsSelectAndTypingReplacesTheSelection) {
    m_pBox->SetContent(L"hello world");
    Key(VK_HOME);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    HoldKey(VK_SHIFT, true);
    for (int i = 0; i < 3; ++i) Key(VK_RIGHT);
    HoldKey(VK_SHIFT, false);
    EXPECT_EQ(m_pBox->GetSelectionAnchor(), 2);
    EXPECT_EQ(m_pBox->GetCaret(), 5);
    Type(L"X");
    EXPECT_EQ(Text(), L"heX world");
    EXPECT_EQ(m_pBox->GetCaret(), 3);
    EXPECT_EQ(m_pBox->GetSelectionAnchor(), 3);

    // Shift+End and Shift+Home select to the ends; Delete removes the selection.
    HoldKey(VK_SHIFT, true);
    Key(VK_END);
    HoldKey(VK_SHIFT, false);
    EXPECT_EQ(m_pBox->GetSelectionAnchor(), 3);
    EXPECT_TRUE(Key(VK_DELETE));
    EXPECT_EQ(Text(), L"heX");
    HoldKey(VK_SHIFT, true);
    Key(VK_HOME);
    HoldKey(VK_SHIFT, false);
    Send(WM_CHAR, 8);
    EXPECT_EQ(Text(), L"");

    // Ctrl+A selects everything, but not over an existing selection.
    m_pBox->SetContent(L"abcdef");
    Key(VK_HOME);
    Send(WM_CHAR, 1);
    EXPECT_EQ(m_pBox->GetSelectionAnchor(), 0);
    EXPECT_EQ(m_pBox->GetCaret(), 6);
    HoldKey(VK_SHIFT, true);
    Key(VK_LEFT);
    HoldKey(VK_SHIFT, false);
    Send(WM_CHAR, 1);
    EXPECT_EQ(m_pBox->GetCaret(), 5) << "an existing selection stays";
}

TEST_F(EditBoxTest, CtrlArrowsStopAtWords) {
    const std::wstring text = L"hello  world, 还原 test";
    m_pBox->SetContent(text.c_str());
    Key(VK_HOME);
    HoldKey(VK_CONTROL, true);
    std::vector<int> forward, backward;
    for (int i = 0; i < 6; ++i) {
        Key(VK_RIGHT);
        forward.push_back(m_pBox->GetCaret());
    }
    for (int i = 0; i < 6; ++i) {
        Key(VK_LEFT);
        backward.push_back(m_pBox->GetCaret());
    }
    HoldKey(VK_CONTROL, false);
    const int end = int(text.size());
    EXPECT_EQ(forward, (std::vector<int>{7, 12, 14, 17, end, end}));
    EXPECT_EQ(backward, (std::vector<int>{17, 14, 12, 7, 0, 0}));

    // Shift with Ctrl selects word by word.
    HoldKey(VK_SHIFT, true);
    HoldKey(VK_CONTROL, true);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    HoldKey(VK_CONTROL, false);
    HoldKey(VK_SHIFT, false);
    EXPECT_EQ(m_pBox->GetSelectionAnchor(), 0);
    EXPECT_EQ(m_pBox->GetCaret(), 12);
}

TEST_F(EditBoxTest, TabEscapeAndVerticalArrowsGoWhereTheyBelong) {
    m_pBox->SetContent(L"ab");
    EXPECT_FALSE(Key(VK_TAB));
    EXPECT_FALSE(Key(VK_ESCAPE));
    EXPECT_TRUE(Key(VK_UP));
    EXPECT_TRUE(Key(VK_DOWN));
    EXPECT_EQ(m_pBox->GetCaret(), 2);
    EXPECT_FALSE(Send(WM_KEYUP, 'A')) << "only key-downs are taken";
}

TEST_F(EditBoxTest, CutCopyAndPasteRoundTripThroughTheClipboard) {
    m_pBox->SetContent(L"copy 还原 here");
    Key(VK_HOME);
    for (int i = 0; i < 5; ++i) Key(VK_RIGHT);
    HoldKey(VK_SHIFT, true);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    HoldKey(VK_SHIFT, false);
    Send(WM_CHAR, 3);  // Ctrl+C
    EXPECT_EQ(Clipboard(), L"还原");
    EXPECT_EQ(Text(), L"copy 还原 here");

    Send(WM_CHAR, 24);  // Ctrl+X
    EXPECT_EQ(Text(), L"copy  here");
    EXPECT_EQ(m_pBox->GetCaret(), 5);
    Key(VK_END);
    Send(WM_CHAR, 22);  // Ctrl+V
    EXPECT_EQ(Text(), L"copy  here还原");
    EXPECT_EQ(m_pBox->GetCaret(), 12);
    EXPECT_EQ(m_pBox->GetSelectionAnchor(), 12);
    EXPECT_EQ(Count(KIT_EVT_EDIT_CHANGED), 2);

    // Ctrl+Insert copies, Shift+Insert pastes over the selection.
    Send(WM_CHAR, 1);
    HoldKey(VK_CONTROL, true);
    Key(VK_INSERT);
    HoldKey(VK_CONTROL, false);
    EXPECT_EQ(Clipboard(), L"copy  here还原");
    m_pBox->SetContent(L"xyz", true);
    HoldKey(VK_SHIFT, true);
    Key(VK_INSERT);
    HoldKey(VK_SHIFT, false);
    EXPECT_EQ(Text(), L"copy  here还原");
}

TEST_F(EditBoxTest, PasteInsertsTheBlocksTextAtTheCaret) {
    // A block written by another program: text, terminator, then leftovers.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL hBlock = GlobalAlloc(GMEM_MOVEABLE, 8 * sizeof(WCHAR));
    auto* p = static_cast<WCHAR*>(GlobalLock(hBlock));
    std::wmemcpy(p, L"ok\0junk!", 8);
    GlobalUnlock(hBlock);
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, hBlock), nullptr);
    CloseClipboard();

    m_pBox->SetContent(L"[]");
    Key(VK_LEFT);
    Send(WM_CHAR, 22);
    EXPECT_EQ(Text(), L"[ok]");
    EXPECT_EQ(m_pBox->GetCaret(), 3);
}

TEST_F(EditBoxTest, EnterRaisesTheEnterEventAndChangesNothing) {
    m_pBox->SetContent(L"go");
    EXPECT_TRUE(Send(WM_CHAR, 13));
    EXPECT_EQ(m_Events, (std::vector<Event>{{KIT_EVT_EDIT_ENTER, 7}}));
    EXPECT_EQ(Text(), L"go");
}

TEST_F(EditBoxTest, TheTextHoldsAtMost65534Characters) {
    const std::wstring full(65533, L'a');
    m_pBox->SetContent(full.c_str());
    Type(L"b");
    EXPECT_EQ(m_pBox->GetTextLength(), 65534);
    Type(L"c");
    EXPECT_EQ(m_pBox->GetTextLength(), 65534) << "the 65,535th character is refused";
    EXPECT_EQ(Text().back(), L'b');

    // A paste that would pass the limit fails and leaves the text alone.
    m_pBox->SetContent(full.c_str());
    m_pBox->SetContent(L"xy", true);
    Send(WM_CHAR, 24);  // "xy" to the clipboard; the box is empty
    m_pBox->SetContent(full.c_str());
    Send(WM_CHAR, 22);
    EXPECT_EQ(m_pBox->GetTextLength(), 65533);
    Frame();  // the long text lays out and draws
}

TEST_F(EditBoxTest, CaretPositionsIncreaseAndNeverFallInsideAClusterOrOutsideTheBox) {
    const std::wstring mixed = L"Tumbral 还原 cube 立方体 ok";
    m_pBox->SetContent(mixed.c_str());
    for (int i = 1; i <= int(mixed.size()); ++i)
        EXPECT_GT(m_pBox->CaretX(i), m_pBox->CaretX(i - 1)) << "position " << i;

    // e + combining acute, a surrogate pair, an emoji sequence: one stop each.
    m_pBox->SetContent(
        L"e\x0301"
        L"\xD83D\xDE00"
        L"\x1F469\x200D\x1F4BB"
        L"z");
    EXPECT_EQ(m_pBox->CaretX(1), m_pBox->CaretX(0));
    EXPECT_EQ(m_pBox->CaretX(3), m_pBox->CaretX(2));
    Key(VK_HOME);
    std::vector<int> stops;
    for (int i = 0; i < 4; ++i) {
        Key(VK_RIGHT);
        stops.push_back(m_pBox->GetCaret());
    }
    EXPECT_EQ(stops, (std::vector<int>{2, 4, 7, 8}));
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_EQ(m_pBox->GetCaret(), 4);

    // A long text scrolls so that the caret stays inside the text area.
    std::wstring longText;
    for (int i = 0; i < 20; ++i) longText += L"word还原 ";
    m_pBox->SetContent(longText.c_str());
    const RECT rc = m_pBox->GetTextRect();
    auto caretScreenX = [&] {
        return rc.left - m_pBox->CaretX(m_pBox->GetFirstVisible()) + m_pBox->CaretX(m_pBox->GetCaret());
    };
    EXPECT_GT(m_pBox->GetFirstVisible(), 0);
    EXPECT_LE(caretScreenX(), rc.right);
    EXPECT_GE(caretScreenX(), rc.left);
    for (int i = 0; i < 40; ++i) {
        Key(VK_LEFT);
        ASSERT_GE(caretScreenX(), rc.left) << i;
        ASSERT_LE(caretScreenX(), rc.right) << i;
    }
    Key(VK_HOME);
    EXPECT_EQ(m_pBox->GetFirstVisible(), 0) << "moving before the first visible character shows it";
    Key(VK_END);
    EXPECT_LE(caretScreenX(), rc.right);
}

// Delete removes up to the next caret stop and Backspace back to the previous
// one: a surrogate pair or a combining cluster goes whole, never half of it.
TEST_F(EditBoxTest, DeleteAndBackspaceRemoveWholeClusters) {
    const std::wstring pair =
        L"a\xD83D\xDE00"
        L"b";
    m_pBox->SetContent(pair.c_str());
    Key(VK_LEFT);
    Key(VK_LEFT);
    ASSERT_EQ(m_pBox->GetCaret(), 1);
    EXPECT_TRUE(Key(VK_DELETE));
    EXPECT_EQ(Text(), L"ab");
    EXPECT_EQ(m_pBox->GetCaret(), 1);

    m_pBox->SetContent(pair.c_str());
    Key(VK_LEFT);
    ASSERT_EQ(m_pBox->GetCaret(), 3);
    Send(WM_CHAR, 8);
    EXPECT_EQ(Text(), L"ab");
    EXPECT_EQ(m_pBox->GetCaret(), 1);
    EXPECT_EQ(m_pBox->GetSelectionAnchor(), 1);
    EXPECT_EQ(Count(KIT_EVT_EDIT_CHANGED), 2) << "one event per key";

    // e + combining acute: Backspace from the end, Delete from the start.
    m_pBox->SetContent(L"xe\x0301y");
    Key(VK_LEFT);
    Send(WM_CHAR, 8);
    EXPECT_EQ(Text(), L"xy");
    m_pBox->SetContent(L"xe\x0301y");
    Key(VK_HOME);
    Key(VK_RIGHT);
    Key(VK_DELETE);
    EXPECT_EQ(Text(), L"xy");
}

TEST_F(EditBoxTest, AClickPutsTheCaretBetweenTheCharactersAndADragSelects) {
    m_pBox->SetContent(L"abcdef");
    const int x3 = m_pBox->CaretX(3);
    const int x4 = m_pBox->CaretX(4);
    Click(x3 + 1);  // the leading half of 'd'
    EXPECT_EQ(m_pBox->GetCaret(), 3);
    Click(x3 - 1);  // the trailing half of 'c'
    EXPECT_EQ(m_pBox->GetCaret(), 3);
    Click(-3);  // left of the text
    EXPECT_EQ(m_pBox->GetCaret(), 0);
    Click(200);  // right of it
    EXPECT_EQ(m_pBox->GetCaret(), 6);

    // Press before 'd', drag past the middle of 'e', release: [3, 5) is selected.
    const int y = kBoxY + kBoxH / 2, left = m_pBox->GetTextRect().left;
    EXPECT_TRUE(Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(left + x3 + 1, y)));
    Send(WM_MOUSEMOVE, MK_LBUTTON, Point(left + x4 + (m_pBox->CaretX(5) - x4) * 3 / 4, y));
    Send(WM_LBUTTONUP, 0, Point(left + x4, y));
    EXPECT_EQ(m_pBox->GetSelectionAnchor(), 3);
    EXPECT_EQ(m_pBox->GetCaret(), 5);
    Send(WM_MOUSEMOVE, 0, Point(left, y));
    EXPECT_EQ(m_pBox->GetCaret(), 5) << "after the release the caret no longer follows";

    // A click elsewhere in the dialog gives the focus away; a click on the box takes it.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, Point(400, 300));
    Send(WM_LBUTTONUP, 0, Point(400, 300));
    EXPECT_EQ(CKitDialog::FocusedControl(), nullptr);
    Click(x3);
    EXPECT_EQ(CKitDialog::FocusedControl(), m_pBox);
}

TEST_F(EditBoxTest, NoHotKeyFiresWhileTheEditBoxHasTheFocus) {
    // Insert is a key the box leaves to others (it only toggles overwrite).
    ASSERT_EQ(m_Dialog.CreateButton(4, L"还原", 10, 100, 80, 35, VK_INSERT), S_OK);
    Send(WM_KEYDOWN, VK_INSERT);
    Send(WM_KEYUP, VK_INSERT);
    EXPECT_EQ(Count(KIT_EVT_BUTTON_CLICKED), 0);
    EXPECT_FALSE(m_pBox->IsInserting());
    m_pBox->SetActive(false);
    Send(WM_KEYDOWN, VK_INSERT);
    EXPECT_EQ(Count(KIT_EVT_BUTTON_CLICKED), 0) << "not even while the focused box is disabled";
    m_pBox->SetActive(true);
    CKitDialog::DropFocus();
    Send(WM_KEYDOWN, VK_INSERT);
    EXPECT_EQ(Count(KIT_EVT_BUTTON_CLICKED), 1);
}

TEST_F(EditBoxTest, TheCaretBlinksOnTheFrameworksTime) {
    m_pBox->SetContent(L"blink");
    const double fPeriod = GetCaretBlinkTime() * 0.001;
    KitCore().m_fTime = 10.0;
    CKitDialog::DropFocus();
    m_Dialog.FocusControl(m_pBox);  // restarts the blink: lit at 10.0
    Frame();
    KitCore().m_fTime = 10.0 + 0.75 * fPeriod;
    Frame();
    ASSERT_TRUE(m_pBox->IsCaretLit());
    const std::vector<DWORD> lit = m_Pixels;
    KitCore().m_fTime = 10.0 + 1.25 * fPeriod;
    Frame();
    ASSERT_FALSE(m_pBox->IsCaretLit());

    // The two frames differ only in the caret's two columns over the text height.
    const RECT rc = m_pBox->GetTextRect();
    const int xCaret = rc.left + m_pBox->CaretX(5);
    int inside = 0, outside = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            const DWORD a = lit[size_t(y) * 640 + size_t(x)], b = m_Pixels[size_t(y) * 640 + size_t(x)];
            if (a == b) continue;
            const bool bInCaret = x >= xCaret - 1 && x < xCaret + 1 && y >= rc.top && y < rc.bottom;
            ++(bInCaret ? inside : outside);
        }
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(inside, 2 * (rc.bottom - rc.top));
    EXPECT_EQ(lit[size_t(rc.top + 2) * 640 + size_t(xCaret)] & 0xFFFFFF, 0u) << "a black caret";

    // A suppressed caret (an input-method window draws its own) is not drawn.
    KitCore().m_fTime = 10.0 + 2.25 * fPeriod;
    CKitEditBox::s_bCaretSuppressed = true;
    Frame();
    CKitEditBox::s_bCaretSuppressed = false;
    EXPECT_TRUE(m_pBox->IsCaretLit());
    EXPECT_NE(m_Pixels[size_t(rc.top + 2) * 640 + size_t(xCaret)] & 0xFFFFFF, 0u);
}

TEST_F(EditBoxTest, TheSelectionIsDrawnOnItsBackgroundInTheSelectedTextColour) {
    m_pBox->SetContent(L"WWWW", true);
    m_pBox->SetSelectionColors(0xFFFFFFFF, 0xFF0000FF);
    Frame();
    const RECT rc = m_pBox->GetTextRect();
    int blue = 0, white = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.left + m_pBox->CaretX(4); ++x) {
            const DWORD c = m_Pixels[size_t(y) * 640 + size_t(x)] & 0xFFFFFF;
            blue += c == 0x0000FF;
            white += c == 0xFFFFFF;
        }
    EXPECT_GT(blue, 0);
    EXPECT_GT(white, 0) << "the selected text is white over the blue";
    // Nothing of the selection colour right of the text.
    const DWORD after = m_Pixels[size_t(rc.top + 3) * 640 + size_t(rc.left + m_pBox->CaretX(4) + 4)];
    EXPECT_NE(after & 0xFFFFFF, 0x0000FFu);
}

TEST_F(EditBoxTest, TheInputMethodBoxEditsLikeTheEditBox) {
    CKitIMEEditBox* pIme = nullptr;
    ASSERT_EQ(m_Dialog.CreateIMEEditBox(9, L"ime", 10, 100, 200, 40, false, &pIme), S_OK);
    EXPECT_EQ(pIme->GetKind(), UINT(KIT_KIND_IMEEDITBOX));
    EXPECT_EQ(pIme->SkinElementCount(), 10) << "nine pieces and the language indicator";
    m_Dialog.FocusControl(pIme);
    Type(L"!");
    Send(WM_CHAR, 8);
    Send(WM_CHAR, 8);
    EXPECT_STREQ(pIme->GetContent(), L"im");
    EXPECT_EQ(m_Dialog.FindEditBox(7), m_pBox);
}

TEST_F(EditBoxTest, AnInputMethodsCompositionShowsUnderlinedAtTheCaretUntilCommitted) {
    CKitIMEEditBox* pIme = nullptr;
    ASSERT_EQ(m_Dialog.CreateIMEEditBox(9, L"ab", 10, 100, 300, 40, false, &pIme), S_OK);
    m_Dialog.FocusControl(pIme);
    Frame();
    const std::vector<DWORD> before = m_Pixels;

    // The backend's input method composes; its messages reach the focused box.
    auto deliver = [&](const std::wstring& text, bool bCommit) {
        plat::Event e;
        e.type = plat::EventType::Composition;
        e.text = text;
        Push(e);
        if (bCommit)
            for (wchar_t c : L"还") {
                if (!c) break;
                plat::Event t;
                t.type = plat::EventType::Text;
                t.codepoint = char32_t(c);
                Push(t);
            }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            m_Dialog.ProcessMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        }
    };
    deliver(L"hai", false);
    EXPECT_STREQ(pIme->GetComposition(), L"hai");
    EXPECT_STREQ(pIme->GetContent(), L"ab") << "composing changes no text";
    Frame();
    // Dark pixels of an underline right of the caret, along one row near the text's foot.
    const RECT rc = pIme->GetTextRect();
    const int xCaret = rc.left + pIme->CaretX(2);
    int underlineRow = -1;
    for (int y = rc.bottom - 1; y >= rc.top && underlineRow < 0; --y) {
        int dark = 0;
        for (int x = xCaret + 2; x < xCaret + 12; ++x)
            dark += (m_Pixels[size_t(y) * 640 + size_t(x)] & 0xFF) < 0x40;
        if (dark == 10) underlineRow = y;
    }
    EXPECT_GE(underlineRow, rc.top) << "an underline under the composed text";
    int changed = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = xCaret + 2; x < rc.right; ++x)
            changed += m_Pixels[size_t(y) * 640 + size_t(x)] != before[size_t(y) * 640 + size_t(x)];
    EXPECT_GT(changed, 20);

    deliver(L"", true);  // committed: the composition ends, the character is typed
    EXPECT_STREQ(pIme->GetComposition(), L"");
    EXPECT_STREQ(pIme->GetContent(), L"ab还");
    Frame();
    // Nothing of the composition is left: the box looks as if the text had been set.
    const std::vector<DWORD> committed = m_Pixels;
    pIme->SetContent(L"ab还");
    Frame();
    EXPECT_TRUE(committed == m_Pixels);
}

// Without the text-layout service every edit still works and every x is 0.
class EditBoxStandbyTest : public guitest::GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        KitUnloadTextLayout();
        plat::RegisterBuiltinModule("usp10.dll", {});
    }
    void TearDown() override {
        plat::RegisterUsp10Module();
        KitUnloadTextLayout();
        GuiTest::TearDown();
    }
};

TEST_F(EditBoxStandbyTest, EditingWorksWithEveryCaretAtZero) {
    ASSERT_NO_FATAL_FAILURE(OpenGuiDevice(320, 200));
    CKitDialog dialog;
    dialog.Init(&m_Manager, true);
    ASSERT_NO_FATAL_FAILURE(CreateAndReset());
    CKitEditBox* pBox = nullptr;
    ASSERT_EQ(dialog.CreateEditBox(1, L"hello world", 0, 0, 200, 40, false, &pBox), S_OK);
    dialog.FocusControl(pBox);
    dialog.OnRender(1.0f);

    auto send = [&](UINT uMsg, WPARAM wParam, LPARAM lParam = 0) {
        return dialog.ProcessMessage(m_hWnd, uMsg, wParam, lParam);
    };
    send(WM_KEYDOWN, VK_HOME);
    send(WM_KEYDOWN, VK_RIGHT);
    send(WM_CHAR, L'_');
    send(WM_KEYDOWN, VK_END);
    send(WM_CHAR, 8);
    send(WM_KEYDOWN, VK_LEFT);
    send(WM_KEYDOWN, VK_DELETE);
    EXPECT_STREQ(pBox->GetContent(), L"h_ello wor");
    for (int i = 0; i <= pBox->GetTextLength(); ++i) EXPECT_EQ(pBox->CaretX(i), 0);

    PushKey(VK_CONTROL, true);
    Pump();
    send(WM_KEYDOWN, VK_LEFT);
    PushKey(VK_CONTROL, false);
    Pump();
    EXPECT_EQ(pBox->GetCaret(), 10) << "without the service there are no word stops";
    send(WM_CHAR, 1);
    send(WM_CHAR, 24);
    send(WM_CHAR, 22);
    send(WM_CHAR, 22);
    EXPECT_STREQ(pBox->GetContent(), L"h_ello worh_ello wor");
    EXPECT_EQ(dialog.OnRender(1.0f), S_OK);

    // No stops, but a surrogate pair still moves and goes as one character.
    pBox->SetContent(L"a\xD83D\xDE00z");
    send(WM_KEYDOWN, VK_LEFT);
    send(WM_KEYDOWN, VK_LEFT);
    EXPECT_EQ(pBox->GetCaret(), 1);
    send(WM_KEYDOWN, VK_DELETE);
    EXPECT_STREQ(pBox->GetContent(), L"az");
    pBox->SetContent(L"a\xD83D\xDE00z");
    send(WM_KEYDOWN, VK_LEFT);
    send(WM_CHAR, 8);
    EXPECT_STREQ(pBox->GetContent(), L"az");

    dialog.DeleteAllControls();
    m_Manager.DetachDialog(&dialog);
}

}  // namespace
