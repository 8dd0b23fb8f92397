// The default window procedure: closing, system commands (minimise, maximise,
// restore, close, the keyboard menu), Alt+F4, text, non-client hit tests and
// the class cursor.
#include <algorithm>

#include "platform/win32/user_state.h"

using namespace plat::user;

namespace {

LRESULT HitTest(Window& w, POINT pt) {
    RECT r = ScreenRect(w);
    if (!PtInRect(&r, pt)) return HTNOWHERE;
    RECT c = ClientScreenRect(w);
    if (PtInRect(&c, pt)) return HTCLIENT;
    if (w.style & WS_CHILD) return HTBORDER;
    bool sizable = (w.style & WS_THICKFRAME) && !w.maximized;
    RECT in = ClientInsets(w.style, w.exStyle, false);
    if (sizable) {
        int frame = in.left;
        bool left = pt.x < r.left + frame, right = pt.x >= r.right - frame;
        bool top = pt.y < r.top + frame, bottom = pt.y >= r.bottom - frame;
        if (top && left) return HTTOPLEFT;
        if (top && right) return HTTOPRIGHT;
        if (bottom && left) return HTBOTTOMLEFT;
        if (bottom && right) return HTBOTTOMRIGHT;
        if (left) return HTLEFT;
        if (right) return HTRIGHT;
        if (top) return HTTOP;
        if (bottom) return HTBOTTOM;
    }
    if (HasMenuBar(w) && pt.y >= c.top - 20 && pt.y < c.top) return HTMENU;
    if ((w.style & WS_CAPTION) == WS_CAPTION && pt.y < r.top + in.top) return HTCAPTION;
    return HTBORDER;
}

LRESULT SysCommand(HWND hwnd, Window& w, WPARAM wParam) {
    switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            if (!(w.cls->style & CS_NOCLOSE)) Send(hwnd, WM_CLOSE, 0, 0);
            return 0;
        case SC_MINIMIZE:
            ShowWindow(hwnd, SW_MINIMIZE);
            return 0;
        case SC_MAXIMIZE:
            ShowWindow(hwnd, SW_MAXIMIZE);
            return 0;
        case SC_RESTORE:
            ShowWindow(hwnd, SW_RESTORE);
            return 0;
        case SC_KEYMENU:
            // No menus are drawn: entering the menu loop ends at once.
            if (HasMenuBar(w)) {
                Send(hwnd, WM_ENTERMENULOOP, FALSE, 0);
                Send(hwnd, WM_EXITMENULOOP, FALSE, 0);
            }
            return 0;
        default:
            return 0;  // moving, sizing and the rest are the backend's own
    }
}

}  // namespace

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    Window* w = Peek(hWnd);
    if (!w) return 0;
    switch (Msg) {
        case WM_NCCREATE:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(hWnd);
            return 0;
        case WM_SYSCOMMAND:
            return SysCommand(hWnd, *w, wParam);
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (lParam & (1 << 29))) Send(Root(hWnd), WM_SYSCOMMAND, SC_CLOSE, 0);
            return 0;
        case WM_SYSKEYUP:
            if (wParam == VK_F10 || wParam == VK_MENU) Send(Root(hWnd), WM_SYSCOMMAND, SC_KEYMENU, 0);
            return 0;
        case WM_SYSCHAR:
            if (wParam == ' ') Send(Root(hWnd), WM_SYSCOMMAND, SC_KEYMENU, ' ');
            return 0;
        case WM_SETTEXT: {
            auto text = reinterpret_cast<LPCWSTR>(lParam);
            w->text = text ? text : L"";
            if (w->native) plat::CurrentBackend().SetNativeWindowTitle(w->native, w->text);
            return TRUE;
        }
        case WM_GETTEXT: {
            auto buffer = reinterpret_cast<LPWSTR>(lParam);
            if (!buffer || wParam == 0) return 0;
            size_t n = std::min<size_t>(w->text.size(), wParam - 1);
            std::copy(w->text.begin(), w->text.begin() + static_cast<std::ptrdiff_t>(n), buffer);
            buffer[n] = 0;
            return static_cast<LRESULT>(n);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(w->text.size());
        case WM_NCHITTEST:
            return HitTest(*w, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        case WM_SETCURSOR: {
            if ((w->style & WS_CHILD) && w->parent && Send(w->parent, WM_SETCURSOR, wParam, lParam))
                return TRUE;
            if (static_cast<short>(LOWORD(lParam)) == HTCLIENT) {
                if (w->cls->cursor) SetCursor(w->cls->cursor);
                return TRUE;
            }
            return FALSE;
        }
        case WM_MOUSEWHEEL:
        case WM_MOUSEHWHEEL:
        case WM_CONTEXTMENU:
            if ((w->style & WS_CHILD) && w->parent) return Send(w->parent, Msg, wParam, lParam);
            return 0;
        case WM_PAINT:
            w->invalid = false;
            return 0;
        case WM_NCACTIVATE:
            return TRUE;
        case WM_MOUSEACTIVATE:
            return 1;  // MA_ACTIVATE
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_POWERBROADCAST:
            return TRUE;
        case WM_GETICON:
            return reinterpret_cast<LRESULT>(w->cls->icon);
        default:
            return 0;
    }
}
