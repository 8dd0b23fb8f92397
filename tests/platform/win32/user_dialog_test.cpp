// Modal dialogs from in-memory templates, answered by keys, clicks and code.
#include "tests/support/headless_fixture.h"

#include "platform/base/keymap.h"

using plat::EventType;
using tumbral_test::HeadlessTest;

namespace {

// Builds a template in the Windows binary layout.
class TemplateBuilder {
  public:
    TemplateBuilder(DWORD style, short cx, short cy, const std::wstring& title) {
        DLGTEMPLATE t{style, 0, 0, 0, 0, cx, cy};
        Put(t);
        Word(0);  // no menu
        Word(0);  // default class
        Text(title);
        if (style & DS_SETFONT) {
            Word(8);
            Text(L"MS Sans Serif");
        }
    }
    void Item(WORD cls, WORD id, DWORD style, short x, short y, short cx, short cy,
              const std::wstring& text) {
        Align();
        DLGITEMTEMPLATE it{style, 0, x, y, cx, cy, id};
        Put(it);
        Word(0xFFFF);
        Word(cls);
        Text(text);
        Word(0);  // no creation data
        uint16_t count;
        std::memcpy(&count, m_bytes.data() + 8, 2);
        ++count;
        std::memcpy(m_bytes.data() + 8, &count, 2);
    }
    LPCDLGTEMPLATEW Get() {
        m_words.assign((m_bytes.size() + 3) / 4, 0);
        std::memcpy(m_words.data(), m_bytes.data(), m_bytes.size());
        return reinterpret_cast<LPCDLGTEMPLATEW>(m_words.data());
    }

  private:
    template <class T>
    void Put(const T& v) {
        const auto* p = reinterpret_cast<const BYTE*>(&v);
        m_bytes.insert(m_bytes.end(), p, p + sizeof v);
    }
    void Word(WORD w) { Put(w); }
    void Text(const std::wstring& s) {
        for (wchar_t c : s) Word(static_cast<WORD>(c));
        Word(0);
    }
    void Align() {
        while (m_bytes.size() % 4) m_bytes.push_back(0);
    }
    std::vector<BYTE> m_bytes;
    std::vector<uint32_t> m_words;  // DWORD-aligned storage
};

constexpr WORD kButton = 0x0080, kStatic = 0x0082;

// The reference-device warning's layout.
TemplateBuilder WarningTemplate() {
    TemplateBuilder t(0x90C808C5, 269, 82, L"Title");
    t.Item(kStatic, 256, 0x50000203, 7, 7, 24, 24, L"");
    t.Item(kStatic, 257, 0x50000000, 40, 7, 230, 25, L"");
    t.Item(kButton, IDYES, 0x50000001, 80, 39, 50, 14, L"&Yes");
    t.Item(kButton, IDNO, 0x50000000, 133, 39, 50, 14, L"&No");
    t.Item(kButton, 5, 0x50000002, 7, 59, 70, 16, L"&Don't show again");
    return t;
}

int g_initCount = 0;
HWND g_initFocus = nullptr;

// The warning's behaviour: the check box toggles itself and disables No; Yes/Cancel 6, No 7, +0x80 when
// checked.
INT_PTR CALLBACK WarningProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            ++g_initCount;
            g_initFocus = reinterpret_cast<HWND>(wParam);
            EXPECT_EQ(lParam, 42);
            SetWindowTextW(dlg, L"Reference device");
            SendDlgItemMessageW(dlg, 256, STM_SETIMAGE, IMAGE_ICON,
                                reinterpret_cast<LPARAM>(LoadIconW(nullptr, IDI_QUESTION)));
            SetDlgItemTextW(dlg, 257, L"Do you wish to continue?");
            return TRUE;
        case WM_COMMAND: {
            bool checked = SendDlgItemMessageW(dlg, 5, BM_GETCHECK, 0, 0) == BST_CHECKED;
            switch (LOWORD(wParam)) {
                case 5:
                    SendDlgItemMessageW(dlg, 5, BM_SETCHECK, checked ? BST_UNCHECKED : BST_CHECKED, 0);
                    EnableWindow(GetDlgItem(dlg, IDNO), checked);
                    return TRUE;
                case IDYES:
                case IDCANCEL:
                    EndDialog(dlg, IDYES | (checked ? 0x80 : 0));
                    return TRUE;
                case IDNO:
                    EndDialog(dlg, IDNO | (checked ? 0x80 : 0));
                    return TRUE;
                default:
                    return FALSE;
            }
        }
        default:
            return FALSE;
    }
}

class DialogTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        RegisterTestClass();
        m_owner = CreateTestWindow(640, 480, true);
        Pump();
        g_initCount = 0;
    }
    INT_PTR Run() {
        TemplateBuilder t = WarningTemplate();
        return DialogBoxIndirectParamW(nullptr, t.Get(), m_owner, WarningProc, 42);
    }
    void Key(UINT vk) {
        PushKey(vk, true);
        PushKey(vk, false);
    }
    HWND m_owner = nullptr;
};

TEST_F(DialogTest, EnterPressesTheDefaultButton) {
    Key(VK_RETURN);
    EXPECT_EQ(Run(), IDYES);
    EXPECT_EQ(g_initCount, 1);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_EQ(GetActiveWindow(), m_owner);
}

TEST_F(DialogTest, MnemonicsEscapeAndDisabledButtons) {
    Key('N');
    EXPECT_EQ(Run(), IDNO);
    Key(VK_ESCAPE);
    EXPECT_EQ(Run(), IDYES);  // Cancel counts as Yes here
    // Checking the box disables No, so N does nothing and Enter gives Yes with the remembered bit.
    Key('D');
    Key('N');
    Key(VK_RETURN);
    EXPECT_EQ(Run(), IDYES | 0x80);
}

TEST_F(DialogTest, InitialisationSetsTextsAndTheOwnerIsDisabledWhileItRuns) {
    bool ownerEnabledInside = true;
    std::wstring title, text;
    HANDLE image = nullptr;
    plat::SetDialogHook([&](HWND dlg) {
        ownerEnabledInside = IsWindowEnabled(m_owner);
        WCHAR buf[64];
        GetWindowTextW(dlg, buf, 64);
        title = buf;
        GetDlgItemTextW(dlg, 257, buf, 64);
        text = buf;
        image = reinterpret_cast<HANDLE>(SendDlgItemMessageW(dlg, 256, STM_GETIMAGE, IMAGE_ICON, 0));
        EXPECT_TRUE(GetFocus() == dlg || IsChild(dlg, GetFocus()));  // keys reach the dialog
        EXPECT_EQ(GetParent(dlg), m_owner);
        EndDialog(dlg, 99);
    });
    EXPECT_EQ(Run(), 99);
    EXPECT_FALSE(ownerEnabledInside);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
    EXPECT_EQ(title, L"Reference device");
    EXPECT_EQ(text, L"Do you wish to continue?");
    EXPECT_EQ(image, LoadIconW(nullptr, IDI_QUESTION));
    EXPECT_EQ(g_initFocus, nullptr);  // no control has WS_TABSTOP in this template
}

TEST_F(DialogTest, ClicksPressButtonsAtTheirDialogUnitPositions) {
    plat::SetDialogHook([&](HWND dlg) {
        // 6 x 13 pixels per character: x = dlu * 6 / 4, y = dlu * 13 / 8.
        HWND check = GetDlgItem(dlg, 5);
        RECT r;
        GetWindowRect(check, &r);
        POINT p{r.left + 5, r.top + 5};
        ScreenToClient(dlg, &p);
        EXPECT_EQ(p.x, 7 * 6 / 4 + 5);
        EXPECT_EQ(p.y, 59 * 13 / 8 + 5);
        plat::NativeWindowId id = plat::NativeWindowOf(dlg);
        ASSERT_NE(id, 0u);
        auto click = [&](POINT at) {
            plat::Event e;
            e.type = EventType::MouseButton;
            e.window = id;
            e.x = at.x;
            e.y = at.y;
            e.down = true;
            Push(e);
            e.down = false;
            Push(e);
        };
        click(p);  // check the box
        GetWindowRect(GetDlgItem(dlg, IDNO), &r);
        POINT no{r.left + 3, r.top + 3};
        ScreenToClient(dlg, &no);
        click(no);  // disabled by then: ignored
        GetWindowRect(GetDlgItem(dlg, IDYES), &r);
        POINT yes{r.left + 3, r.top + 3};
        ScreenToClient(dlg, &yes);
        click(yes);
    });
    EXPECT_EQ(Run(), IDYES | 0x80);
}

TEST_F(DialogTest, QuitWhileTheDialogRunsEndsItAndReachesTheOuterLoop) {
    PostQuitMessage(5);
    EXPECT_EQ(Run(), IDCANCEL);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, WPARAM(5));
}

TEST_F(DialogTest, BadTemplateAndOwnerFail) {
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, nullptr, m_owner, WarningProc, 0), -1);
    TemplateBuilder t = WarningTemplate();
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, t.Get(), reinterpret_cast<HWND>(0x10009999), WarningProc, 0),
              -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(EndDialog(m_owner, 1));  // not a dialog
}

}  // namespace
