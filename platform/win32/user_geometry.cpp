// Window and client rectangles, coordinate conversion, frame adjustment,
// SetWindowPos and MoveWindow.
#include <algorithm>

#include "platform/win32/user_state.h"

using namespace plat::user;

namespace {

HWND DesktopWindow() {
    static HWND desktop = nullptr;
    if (Peek(desktop)) return desktop;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"#32769";
    if (!FindClass(wc.lpszClassName)) RegisterClassInternal(wc, true);
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    desktop = CreateWindowExW(0, L"#32769", L"", WS_POPUP | WS_CLIPCHILDREN, screen.left, screen.top,
                              screen.right, screen.bottom, HWND_MESSAGE, nullptr, nullptr, nullptr);
    return desktop;
}

}  // namespace

HWND WINAPI GetDesktopWindow() { return DesktopWindow(); }

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
    Window* w = W(hWnd);
    if (!w) return FALSE;
    if (!lpRect) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpRect = ScreenRect(*w);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
    Window* w = W(hWnd);
    if (!w) return FALSE;
    if (!lpRect) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT c = ClientScreenRect(*w);
    *lpRect = RECT{0, 0, c.right - c.left, c.bottom - c.top};
    return TRUE;
}

BOOL WINAPI AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL bMenu, DWORD dwExStyle) {
    if (!lpRect) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT in = ClientInsets(dwStyle, dwExStyle, bMenu != FALSE);
    lpRect->left = ClampCoordinate(static_cast<long long>(lpRect->left) - in.left);
    lpRect->top = ClampCoordinate(static_cast<long long>(lpRect->top) - in.top);
    lpRect->right = ClampCoordinate(static_cast<long long>(lpRect->right) + in.right);
    lpRect->bottom = ClampCoordinate(static_cast<long long>(lpRect->bottom) + in.bottom);
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT lpRect, DWORD dwStyle, BOOL bMenu) {
    return AdjustWindowRectEx(lpRect, dwStyle, bMenu, 0);
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    Window* w = W(hWnd);
    if (!w || !lpPoint) return FALSE;
    RECT c = ClientScreenRect(*w);
    lpPoint->x -= c.left;
    lpPoint->y -= c.top;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    Window* w = W(hWnd);
    if (!w || !lpPoint) return FALSE;
    RECT c = ClientScreenRect(*w);
    lpPoint->x += c.left;
    lpPoint->y += c.top;
    return TRUE;
}

int WINAPI MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
    POINT from{0, 0}, to{0, 0};
    if (hWndFrom && !ClientToScreen(hWndFrom, &from)) return 0;
    if (hWndTo && !ClientToScreen(hWndTo, &to)) return 0;
    int dx = from.x - to.x, dy = from.y - to.y;
    for (UINT i = 0; lpPoints && i < cPoints; ++i) {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    SetLastError(0);
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

HWND WINAPI ChildWindowFromPoint(HWND hWndParent, POINT pt) {
    Window* p = W(hWndParent);
    if (!p) return nullptr;
    RECT c = ClientScreenRect(*p);
    RECT local{0, 0, c.right - c.left, c.bottom - c.top};
    if (!PtInRect(&local, pt)) return nullptr;
    for (auto it = p->children.rbegin(); it != p->children.rend(); ++it) {
        Window* ch = Peek(*it);
        if (ch && PtInRect(&ch->rect, pt)) return *it;
    }
    return hWndParent;
}

HWND WINAPI WindowFromPoint(POINT pt) {
    State& s = S();
    // Top-level windows, most recently active first.
    std::vector<HWND> order(s.activationOrder.rbegin(), s.activationOrder.rend());
    for (uintptr_t h : s.windows.All()) order.push_back(reinterpret_cast<HWND>(h));
    for (HWND hwnd : order) {
        Window* w = Peek(hwnd);
        if (!w || (w->style & WS_CHILD) || !(w->style & WS_VISIBLE) || w->minimized) continue;
        RECT r = ScreenRect(*w);
        if (!PtInRect(&r, pt)) continue;
        // Descend into visible children under the point.
        for (;;) {
            Window* cur = Peek(hwnd);
            HWND next = nullptr;
            for (auto it = cur->children.rbegin(); it != cur->children.rend(); ++it) {
                Window* ch = Peek(*it);
                if (!ch || !(ch->style & WS_VISIBLE)) continue;
                RECT cr = ScreenRect(*ch);
                if (PtInRect(&cr, pt)) {
                    next = *it;
                    break;
                }
            }
            if (!next) return hwnd;
            hwnd = next;
        }
    }
    return nullptr;
}

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
    Window* w = W(hWnd);
    if (!w) return FALSE;
    if (!(uFlags & SWP_NOZORDER)) {
        if (hWndInsertAfter == HWND_TOPMOST)
            w->exStyle |= WS_EX_TOPMOST;
        else if (hWndInsertAfter == HWND_NOTOPMOST)
            w->exStyle &= ~WS_EX_TOPMOST;
    }
    if (uFlags & SWP_HIDEWINDOW) ShowWindow(hWnd, SW_HIDE);
    if (!(w = Peek(hWnd))) return TRUE;
    RECT r = w->minimized ? w->normalRect : w->rect;
    X = ClampCoordinate(X), Y = ClampCoordinate(Y);
    cx = ClampCoordinate(std::max(cx, 0)), cy = ClampCoordinate(std::max(cy, 0));
    if (!(uFlags & SWP_NOMOVE)) OffsetRect(&r, X - r.left, Y - r.top);
    if (!(uFlags & SWP_NOSIZE)) {
        r.right = r.left + cx;
        r.bottom = r.top + cy;
    }
    if (w->minimized) {
        // A minimised window keeps its new rectangle for the restore.
        w->normalRect = r;
        SyncNative(*w);
    } else {
        SetWindowRectInternal(*w, r, true, true);
    }
    if (!(w = Peek(hWnd))) return TRUE;
    if (uFlags & SWP_SHOWWINDOW) ShowWindow(hWnd, (uFlags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
    if (!(w = Peek(hWnd))) return TRUE;
    if (!(uFlags & SWP_NOACTIVATE) && !(w->style & WS_CHILD) && (w->style & WS_VISIBLE) && !w->minimized &&
        !(uFlags & SWP_NOZORDER))
        Activate(hWnd, false);
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL) {
    return SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL WINAPI BringWindowToTop(HWND hWnd) {
    Window* w = W(hWnd);
    if (!w) return FALSE;
    if (!(w->style & WS_CHILD) && (w->style & WS_VISIBLE)) Activate(hWnd, false);
    return TRUE;
}

// Painting: whole windows only; the device draws, the device context is a token.
BOOL WINAPI UpdateWindow(HWND hWnd) {
    Window* w = W(hWnd);
    if (!w) return FALSE;
    if (w->invalid && (w->style & WS_VISIBLE)) Send(hWnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT*, BOOL) {
    if (!hWnd) {
        for (uintptr_t h : S().windows.All())
            if (Window* w = S().windows.Get(h); w && !(w->style & WS_CHILD)) w->invalid = true;
        return TRUE;
    }
    Window* w = W(hWnd);
    if (!w) return FALSE;
    w->invalid = true;
    return TRUE;
}

BOOL WINAPI ValidateRect(HWND hWnd, const RECT*) {
    if (!hWnd) return TRUE;
    Window* w = W(hWnd);
    if (!w) return FALSE;
    w->invalid = false;
    return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL) {
    Window* w = W(hWnd);
    if (!w) return FALSE;
    if (lpRect) {
        RECT c = ClientScreenRect(*w);
        *lpRect = w->invalid ? RECT{0, 0, c.right - c.left, c.bottom - c.top} : RECT{0, 0, 0, 0};
    }
    return w->invalid ? TRUE : FALSE;
}

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    Window* w = W(hWnd);
    if (!w || !lpPaint) return nullptr;
    *lpPaint = PAINTSTRUCT{};
    GetUpdateRect(hWnd, &lpPaint->rcPaint, FALSE);
    w->invalid = false;
    lpPaint->hdc = GetDC(hWnd);
    return lpPaint->hdc;
}

BOOL WINAPI EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    if (lpPaint && lpPaint->hdc) ReleaseDC(hWnd, lpPaint->hdc);
    return TRUE;
}
