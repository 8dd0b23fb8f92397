// Modal dialogs from in-memory templates: template reading, the dialog's
// window and controls, its message loop with keyboard navigation, the
// default dialog procedure and the GetDlgItem family.
#include <algorithm>
#include <cstring>
#include <cwctype>

#include "platform/win32/test_hooks.h"
#include "platform/win32/user_state.h"

using namespace plat::user;

namespace {

// Dialog units to pixels for the one font size used here (6 x 13 pixels per character).
int UnitsX(int dlu) { return dlu * 6 / 4; }
int UnitsY(int dlu) { return dlu * 13 / 8; }

struct ItemDesc {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    WORD id = 0;
    std::wstring className;
    std::wstring text;
};

struct DialogDesc {
    DWORD style = 0, exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring title;
    std::vector<ItemDesc> items;
};

// Reads the template's WORD strings. Strings are capped so a template without
// terminators cannot run on without end.
class TemplateReader {
  public:
    explicit TemplateReader(const void* start) : m_p(static_cast<const BYTE*>(start)) {}

    template <class T>
    T Read() {
        T v;
        std::memcpy(&v, m_p, sizeof v);
        m_p += sizeof v;
        return v;
    }
    // A string, an ordinal (returned as "#<n>") or nothing.
    std::wstring Field() {
        WORD first = Read<WORD>();
        if (first == 0) return L"";
        if (first == 0xFFFF) return L"#" + std::to_wstring(Read<WORD>());
        std::wstring s(1, static_cast<wchar_t>(first));
        for (int i = 0; i < 1024; ++i) {
            WORD c = Read<WORD>();
            if (!c) break;
            s += static_cast<wchar_t>(c);
        }
        return s;
    }
    void AlignDword() {
        auto v = reinterpret_cast<uintptr_t>(m_p);
        m_p = reinterpret_cast<const BYTE*>((v + 3) & ~uintptr_t(3));
    }
    void Skip(size_t n) { m_p += n; }

  private:
    const BYTE* m_p;
};

bool ParseTemplate(LPCDLGTEMPLATEW tmpl, DialogDesc& out) {
    if (!tmpl) return false;
    TemplateReader r(tmpl);
    DLGTEMPLATE head = r.Read<DLGTEMPLATE>();
    if ((head.style & 0xFFFF0000u) == 0xFFFF0000u) return false;  // extended templates are not read here
    out.style = head.style;
    out.exStyle = head.dwExtendedStyle;
    out.x = head.x, out.y = head.y, out.cx = head.cx, out.cy = head.cy;
    r.Field();  // menu: none is used
    r.Field();  // class: always the dialog class here
    out.title = r.Field();
    if (head.style & DS_SETFONT) {
        r.Read<WORD>();  // point size
        r.Field();       // face name
    }
    for (int i = 0; i < head.cdit && i < 255; ++i) {
        r.AlignDword();
        DLGITEMTEMPLATE it = r.Read<DLGITEMTEMPLATE>();
        ItemDesc item;
        item.style = it.style;
        item.exStyle = it.dwExtendedStyle;
        item.x = it.x, item.y = it.y, item.cx = it.cx, item.cy = it.cy;
        item.id = it.id;
        std::wstring cls = r.Field();
        if (cls == L"#128")
            cls = L"Button";
        else if (cls == L"#129")
            cls = L"Edit";
        else if (cls == L"#130")
            cls = L"Static";
        item.className = cls;
        item.text = r.Field();
        WORD extra = r.Read<WORD>();
        r.Skip(extra);
        out.items.push_back(item);
    }
    return true;
}

bool ContainsMnemonic(const std::wstring& text, wchar_t ch) {
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&') continue;
        if (text[i + 1] == L'&') {
            ++i;
            continue;
        }
        return std::towlower(text[i + 1]) == std::towlower(ch);
    }
    return false;
}

bool IsButton(const Window* w) { return w && w->cls->name == L"Button"; }

HWND NextTabStop(HWND dlg, HWND from, bool backwards) {
    Window* d = Peek(dlg);
    if (!d || d->children.empty()) return nullptr;
    std::vector<HWND> stops;
    for (HWND c : d->children) {
        Window* cw = Peek(c);
        if (cw && (cw->style & WS_TABSTOP) && (cw->style & WS_VISIBLE) && !(cw->style & WS_DISABLED))
            stops.push_back(c);
    }
    if (stops.empty()) return nullptr;
    auto it = std::find(stops.begin(), stops.end(), from);
    if (it == stops.end()) return backwards ? stops.back() : stops.front();
    size_t i = static_cast<size_t>(it - stops.begin());
    return backwards ? stops[(i + stops.size() - 1) % stops.size()] : stops[(i + 1) % stops.size()];
}

void PressCommand(HWND dlg, int id) {
    HWND button = GetDlgItem(dlg, id);
    if (button && !IsWindowEnabled(button)) return;
    Send(dlg, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

// Keyboard navigation of a dialog; true when the message was used.
bool DialogKeys(HWND dlg, const MSG& msg) {
    if (msg.hwnd != dlg && !IsChild(dlg, msg.hwnd)) return false;
    switch (msg.message) {
        case WM_KEYDOWN:
            switch (msg.wParam) {
                case VK_RETURN: {
                    LRESULT def = Send(dlg, DM_GETDEFID, 0, 0);
                    PressCommand(dlg, HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK);
                    return true;
                }
                case VK_ESCAPE:
                    PressCommand(dlg, IDCANCEL);
                    return true;
                case VK_TAB:
                    if (HWND next = NextTabStop(dlg, GetFocus(), GetKeyState(VK_SHIFT) < 0)) SetFocus(next);
                    return true;
                default:
                    return false;
            }
        case WM_CHAR:
        case WM_SYSCHAR: {
            auto ch = static_cast<wchar_t>(msg.wParam);
            if (ch == L' ' || ch == L'\r' || ch == L'\t' || ch == 0x1B) return msg.message == WM_CHAR;
            for (HWND c : Peek(dlg)->children) {
                Window* cw = Peek(c);
                if (IsButton(cw) && (cw->style & WS_VISIBLE) && !(cw->style & WS_DISABLED) &&
                    ContainsMnemonic(cw->text, ch)) {
                    SetFocus(c);
                    Send(c, BM_CLICK, 0, 0);
                    return true;
                }
            }
            return msg.message == WM_SYSCHAR;
        }
        default:
            return false;
    }
}

plat::DialogHook& DialogHookSlot() {
    static auto* hook = new plat::DialogHook();  // never destroyed, like the rest of the window system
    return *hook;
}

}  // namespace

namespace plat {
void SetDialogHook(DialogHook hook) { DialogHookSlot() = std::move(hook); }
}  // namespace plat

INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW hDialogTemplate, HWND hWndParent,
                                       DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    DialogDesc desc;
    if (!ParseTemplate(hDialogTemplate, desc)) {
        Fail(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (hWndParent && !W(hWndParent)) return -1;
    HWND owner = hWndParent ? Root(hWndParent) : nullptr;

    DWORD style = (desc.style & ~static_cast<DWORD>(WS_VISIBLE | WS_CHILD)) | WS_POPUP;
    RECT rect{0, 0, UnitsX(desc.cx), UnitsY(desc.cy)};
    AdjustWindowRectEx(&rect, style, FALSE, desc.exStyle);
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int x, y;
    if (desc.style & DS_CENTER) {
        HMONITOR mon = owner ? MonitorFromWindow(owner, MONITOR_DEFAULTTOPRIMARY)
                             : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
        MONITORINFO mi{};
        mi.cbSize = sizeof(mi);
        GetMonitorInfoW(mon, &mi);
        x = mi.rcWork.left + (mi.rcWork.right - mi.rcWork.left - width) / 2;
        y = mi.rcWork.top + (mi.rcWork.bottom - mi.rcWork.top - height) / 2;
    } else {
        POINT origin{0, 0};
        if (owner && !(desc.style & DS_ABSALIGN)) ClientToScreen(owner, &origin);
        x = origin.x + UnitsX(desc.x) + rect.left;
        y = origin.y + UnitsY(desc.y) + rect.top;
    }

    HWND dlg = CreateWindowExW(desc.exStyle, MAKEINTATOM(0x8002), desc.title.c_str(), style, x, y, width,
                               height, owner, nullptr, hInstance, nullptr);
    if (!dlg) return -1;
    Window* d = Peek(dlg);
    d->dialog = true;
    SetWindowLongPtrW(dlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(lpDialogFunc));
    for (const ItemDesc& item : desc.items) {
        HWND ctl =
            CreateWindowExW(item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD,
                            UnitsX(item.x), UnitsY(item.y), UnitsX(item.cx), UnitsY(item.cy), dlg,
                            reinterpret_cast<HMENU>(static_cast<uintptr_t>(item.id)), hInstance, nullptr);
        if (!ctl) {
            DestroyWindow(dlg);
            return -1;
        }
    }
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);

    HWND first = NextTabStop(dlg, nullptr, false);
    if (lpDialogFunc(dlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), dwInitParam) && first && Peek(dlg))
        SetFocus(first);
    if ((d = Peek(dlg)) && !d->dialogEnded) ShowWindow(dlg, SW_SHOW);
    if (Peek(dlg) && DialogHookSlot()) DialogHookSlot()(dlg);

    S().dialogDepth++;
    MSG msg{};
    while ((d = Peek(dlg)) && !d->dialogEnded) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // the outer loop must see it too
            break;
        }
        if (!DialogKeys(dlg, msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    S().dialogDepth--;
    INT_PTR result = (d = Peek(dlg)) && d->dialogEnded ? d->dialogResult : IDCANCEL;
    if (ownerWasEnabled && Peek(owner)) EnableWindow(owner, TRUE);
    if (Peek(dlg)) {
        if (owner && Peek(owner) && GetActiveWindow() == dlg) SetActiveWindow(owner);
        DestroyWindow(dlg);
    }
    return result;
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    Window* d = W(hDlg);
    if (!d || !d->dialog) return FALSE;
    d->dialogEnded = true;
    d->dialogResult = nResult;
    return TRUE;
}

LRESULT WINAPI DefDlgProcW(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* d = Peek(hDlg);
    if (!d) return 0;
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(hDlg, DWLP_DLGPROC));
    if (proc) {
        SetWindowLongPtrW(hDlg, DWLP_MSGRESULT, 0);
        if (proc(hDlg, Msg, wParam, lParam)) return GetWindowLongPtrW(hDlg, DWLP_MSGRESULT);
        if (!Peek(hDlg)) return 0;
    }
    switch (Msg) {
        case WM_CLOSE:
            PressCommand(hDlg, IDCANCEL);
            return 0;
        case DM_GETDEFID:
            for (HWND c : Peek(hDlg)->children) {
                Window* cw = Peek(c);
                if (IsButton(cw) && (static_cast<LONG>(cw->style) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                    return MAKELRESULT(static_cast<WORD>(cw->id), DC_HASDEFID);
            }
            return 0;
        default:
            return DefWindowProcW(hDlg, Msg, wParam, lParam);
    }
}

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    Window* d = W(hDlg);
    if (!d) return nullptr;
    for (HWND c : d->children) {
        Window* cw = Peek(c);
        if (cw && cw->id == nIDDlgItem) return c;
    }
    Fail(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    Window* w = W(hWnd);
    return w && (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}

LRESULT WINAPI SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? Send(item, Msg, wParam, lParam) : 0;
}

BOOL WINAPI SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString) {
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? SetWindowTextW(item, lpString) : FALSE;
}

UINT WINAPI GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax) {
    if (lpString && cchMax > 0) lpString[0] = 0;
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? static_cast<UINT>(GetWindowTextW(item, lpString, cchMax)) : 0;
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
    HWND item = GetDlgItem(hDlg, nIDButton);
    if (!item) return FALSE;
    Send(item, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
    HWND item = GetDlgItem(hDlg, nIDButton);
    return item ? static_cast<UINT>(Send(item, BM_GETCHECK, 0, 0)) : 0;
}
