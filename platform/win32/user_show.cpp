// Showing, hiding, minimising, maximising and restoring windows, and window placements.
#include "platform/win32/user_state.h"

using namespace plat::user;

namespace plat::user {

namespace {

// Where Windows parks minimised windows.
constexpr RECT kMinimizedRect{-32000, -32000, -32000 + 160, -32000 + 28};

RECT MaximizedRect(const Window& w) {
    std::vector<MonitorDesc> mons = Monitors();
    int index = MonitorIndexForRect(w.normalRect, MONITOR_DEFAULTTONEAREST);
    RECT work = (index >= 0 && index < static_cast<int>(mons.size())) ? mons[index].workArea : w.normalRect;
    MINMAXINFO mmi{};
    RECT manager{};
    if (CurrentBackend().ManagerMaximizedFrame(manager)) {
        // A window manager's own frame: the client area is the rest of the work area.
        RECT in = ClientInsets(w.style, w.exStyle, HasMenuBar(w));
        mmi.ptMaxPosition = POINT{manager.left - in.left, manager.top - in.top};
        mmi.ptMaxSize = POINT{work.right - work.left - manager.left - manager.right + in.left + in.right,
                              work.bottom - work.top - manager.top - manager.bottom + in.top + in.bottom};
    } else {
        // The frame hangs over the work area's edges; the caption stays on screen.
        RECT in = ClientInsets(w.style, w.exStyle, false);
        mmi.ptMaxSize =
            POINT{work.right - work.left + in.left + in.right, work.bottom - work.top + in.left + in.bottom};
        mmi.ptMaxPosition = POINT{-in.left, -in.left};
    }
    mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    Send(w.handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    return RECT{work.left + mmi.ptMaxPosition.x, work.top + mmi.ptMaxPosition.y,
                work.left + mmi.ptMaxPosition.x + mmi.ptMaxSize.x,
                work.top + mmi.ptMaxPosition.y + mmi.ptMaxSize.y};
}

void SetVisible(Window& w, bool visible) {
    bool was = w.style & WS_VISIBLE;
    if (was == visible) return;
    HWND hwnd = w.handle;
    Send(hwnd, WM_SHOWWINDOW, visible ? TRUE : FALSE, 0);
    Window* p = Peek(hwnd);
    if (!p) return;
    if (visible)
        p->style |= WS_VISIBLE;
    else
        p->style &= ~WS_VISIBLE;
    SyncNative(*p);
}

void ChangeState(Window& w, bool minimized, bool maximized) {
    HWND hwnd = w.handle;
    if (minimized && !w.minimized) w.restoreToMaximized = w.maximized;
    RECT r;
    if (minimized) {
        r = kMinimizedRect;
    } else if (maximized) {
        RECT max = MaximizedRect(w);
        if (!Peek(hwnd)) return;
        r = max;
    } else {
        r = w.normalRect;
    }
    w.minimized = minimized;
    w.maximized = maximized;
    w.rect = r;
    SyncNative(w);
    SendSizeMessage(w);
    Window* p = Peek(hwnd);
    if (!p) return;
    RECT c = ClientScreenRect(*p);
    if (c.left != p->reportedOrigin.x || c.top != p->reportedOrigin.y) {
        p->reportedOrigin = POINT{c.left, c.top};
        Send(hwnd, WM_MOVE, 0, MAKELPARAM(c.left, c.top));
    }
}

}  // namespace

void ApplyShow(Window& win, int cmd, bool fromBackend) {
    HWND hwnd = win.handle;
    bool child = win.style & WS_CHILD;
    auto alive = [&]() { return Peek(hwnd); };
    switch (cmd) {
        case SW_HIDE:
            SetVisible(win, false);
            if (alive() && !child) ForgetWindow(hwnd);
            return;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
        case SW_SHOWMINNOACTIVE:
        case SW_FORCEMINIMIZE:
            SetVisible(win, true);
            if (Window* w = alive(); w && !w->minimized) ChangeState(*w, true, false);
            if (!alive() || child) return;
            if (cmd == SW_SHOWMINIMIZED)
                Activate(hwnd, fromBackend);
            else if (S().active == hwnd)
                ForgetWindow(hwnd);
            return;
        case SW_SHOWMAXIMIZED:
            SetVisible(win, true);
            if (Window* w = alive(); w && !w->maximized) ChangeState(*w, false, true);
            if (alive() && !child) Activate(hwnd, fromBackend);
            return;
        case SW_SHOW:
        case SW_SHOWNA:
            SetVisible(win, true);
            if (Window* w = alive(); w && !child && cmd == SW_SHOW && !w->minimized)
                Activate(hwnd, fromBackend);
            return;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
        case SW_SHOWDEFAULT:
        case SW_SHOWNOACTIVATE:
        default: {
            SetVisible(win, true);
            Window* w = alive();
            if (!w) return;
            if (w->minimized) {
                bool toMax = cmd == SW_RESTORE && w->restoreToMaximized;
                w->restoreToMaximized = false;
                ChangeState(*w, false, toMax);
            } else if (w->maximized) {
                ChangeState(*w, false, false);
            }
            if (alive() && !child && cmd != SW_SHOWNOACTIVATE) Activate(hwnd, fromBackend);
            return;
        }
    }
}

}  // namespace plat::user

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
    Window* w = W(hWnd);
    if (!w) return FALSE;
    BOOL wasVisible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
    ApplyShow(*w, nCmdShow, false);
    return wasVisible;
}

BOOL WINAPI GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl) {
    Window* w = W(hWnd);
    if (!w) return FALSE;
    if (!lpwndpl) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpwndpl->length = sizeof(WINDOWPLACEMENT);
    lpwndpl->flags = w->restoreToMaximized && w->minimized ? WPF_RESTORETOMAXIMIZED : 0;
    lpwndpl->showCmd = w->minimized ? SW_SHOWMINIMIZED : w->maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    lpwndpl->ptMinPosition = w->minimized ? POINT{-32000, -32000} : POINT{-1, -1};
    lpwndpl->ptMaxPosition = POINT{-1, -1};
    lpwndpl->rcNormalPosition = (w->style & WS_CHILD) ? w->rect : w->normalRect;
    return TRUE;
}

BOOL WINAPI SetWindowPlacement(HWND hWnd, const WINDOWPLACEMENT* lpwndpl) {
    Window* w = W(hWnd);
    if (!w) return FALSE;
    if (!lpwndpl || lpwndpl->length != sizeof(WINDOWPLACEMENT)) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    w->normalRect = lpwndpl->rcNormalPosition;
    if (!w->minimized && !w->maximized) {
        SetWindowRectInternal(*w, lpwndpl->rcNormalPosition, true, true);
        if (!(w = Peek(hWnd))) return TRUE;
    }
    int cmd = static_cast<int>(lpwndpl->showCmd);
    ApplyShow(*w, cmd, false);
    if (!(w = Peek(hWnd))) return TRUE;
    if (w->minimized) w->restoreToMaximized = (lpwndpl->flags & WPF_RESTORETOMAXIMIZED) != 0;
    return TRUE;
}
