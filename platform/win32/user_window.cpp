// Window creation and destruction, frames and client areas, and the link
// between a top-level window and its native window in the backend.
#include <algorithm>

#include "platform/win32/user_state.h"

namespace plat::user {

namespace {

constexpr int kMenuBarHeight = 20;
constexpr int kFixedFrame = 3;

bool IsTopLevel(const Window& w) { return !(w.style & WS_CHILD); }

}  // namespace

RECT ClientInsets(DWORD style, DWORD exStyle, bool menu) {
    RECT in{0, 0, 0, 0};
    bool child = style & WS_CHILD;
    bool caption = (style & WS_CAPTION) == WS_CAPTION;
    if (!child && (caption || (style & WS_THICKFRAME))) {
        in = CurrentBackend().DecorationInsets();
        if (!caption) in.top = in.left;
    } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
        in = {kFixedFrame, kFixedFrame, kFixedFrame, kFixedFrame};
        if (caption)
            in.top += CurrentBackend().DecorationInsets().top - CurrentBackend().DecorationInsets().left;
    } else if (style & WS_BORDER) {
        in = {1, 1, 1, 1};
    }
    if (menu && !child) in.top += kMenuBarHeight;
    return in;
}

bool HasMenuBar(const Window& w) {
    return IsTopLevel(w) && w.menu && S().menus.Get(reinterpret_cast<uintptr_t>(w.menu));
}

RECT ScreenRect(const Window& w) {
    RECT r = w.rect;
    if (!IsTopLevel(w)) {
        if (Window* p = Peek(w.parent)) {
            RECT pc = ClientScreenRect(*p);
            OffsetRect(&r, pc.left, pc.top);
        }
    }
    return r;
}

RECT ClientScreenRect(const Window& w) {
    RECT r = ScreenRect(w);
    if (w.minimized) return RECT{r.left, r.top, r.left, r.top};
    RECT in = ClientInsets(w.style, w.exStyle, HasMenuBar(w));
    RECT c{r.left + in.left, r.top + in.top, r.right - in.right, r.bottom - in.bottom};
    if (c.right < c.left) c.right = c.left;
    if (c.bottom < c.top) c.bottom = c.top;
    return c;
}

void SyncNative(Window& w) {
    if (!w.native) return;
    Backend& b = CurrentBackend();
    bool caption = (w.style & WS_CAPTION) == WS_CAPTION;
    bool resizable = w.style & WS_THICKFRAME;
    bool decorated = caption || resizable;
    bool topmost = w.exStyle & WS_EX_TOPMOST;
    int styleBits = (resizable ? 1 : 0) | (decorated ? 2 : 0) | (topmost ? 4 : 0);
    if (styleBits != w.nativeStyle) {
        w.nativeStyle = styleBits;
        b.SetNativeWindowStyle(w.native, resizable, decorated, topmost);
    }
    ShowState show = !(w.style & WS_VISIBLE) ? ShowState::Hidden
                     : w.minimized           ? ShowState::Minimized
                     : w.maximized           ? ShowState::Maximized
                                             : ShowState::Normal;
    // A window manager keeps the place a window is maximised from and restores it
    // there: a window being maximised is maximised before it is given the rectangle
    // worked out for that, which then does not become its normal place.
    if (show == ShowState::Maximized && show != w.nativeShow) {
        w.nativeShow = show;
        b.SetNativeWindowShow(w.native, show);
    }
    if (!w.minimized) {
        RECT c = ClientScreenRect(w);
        if (!EqualRect(&c, &w.nativeRect)) {
            w.nativeRect = c;
            b.SetNativeWindowRect(w.native, c);
        }
    }
    if (show != w.nativeShow) {
        w.nativeShow = show;
        b.SetNativeWindowShow(w.native, show);
    }
}

void SendSizeMessage(Window& w) {
    HWND hwnd = w.handle;
    RECT c = ClientScreenRect(w);
    SIZE size{c.right - c.left, c.bottom - c.top};
    if (size.cx == w.reportedSize.cx && size.cy == w.reportedSize.cy && !w.minimized) return;
    w.reportedSize = size;
    WPARAM type = w.minimized ? SIZE_MINIMIZED : w.maximized ? SIZE_MAXIMIZED : SIZE_RESTORED;
    Send(hwnd, WM_SIZE, type, MAKELPARAM(size.cx, size.cy));
}

static void SendMoveMessage(Window& w) {
    RECT c = ClientScreenRect(w);
    POINT origin{c.left, c.top};
    if (!IsTopLevel(w)) {
        if (Window* p = Peek(w.parent)) {
            RECT pc = ClientScreenRect(*p);
            origin.x -= pc.left;
            origin.y -= pc.top;
        }
    }
    if (origin.x == w.reportedOrigin.x && origin.y == w.reportedOrigin.y) return;
    w.reportedOrigin = origin;
    Send(w.handle, WM_MOVE, 0, MAKELPARAM(origin.x, origin.y));
}

void SetWindowRectInternal(Window& w, const RECT& rect, bool sendMove, bool sendSize) {
    HWND hwnd = w.handle;
    w.rect = rect;
    if (IsTopLevel(w) && !w.minimized && !w.maximized) w.normalRect = rect;
    SyncNative(w);
    if (sendMove) {
        SendMoveMessage(w);
        if (!Peek(hwnd)) return;
    }
    if (sendSize) SendSizeMessage(w);
}

void ForgetWindow(HWND hwnd) {
    State& s = S();
    if (s.capture && (s.capture == hwnd || IsChild(hwnd, s.capture))) ReleaseCapture();
    if (s.active == hwnd) {
        HWND next = nullptr;
        for (auto it = s.activationOrder.rbegin(); it != s.activationOrder.rend(); ++it) {
            Window* c = Peek(*it);
            if (*it != hwnd && c && !c->destroying && (c->style & WS_VISIBLE) && !c->minimized &&
                !(c->style & WS_DISABLED)) {
                next = *it;
                break;
            }
        }
        if (next)
            Activate(next, false);
        else
            Deactivate(false);
    }
    if (s.focus && (s.focus == hwnd || IsChild(hwnd, s.focus))) SetFocusInternal(nullptr);
}

void DestroyAll() {
    State& s = S();
    for (uintptr_t h : s.windows.All()) {
        Window* w = s.windows.Get(h);
        if (w && w->native) CurrentBackend().DestroyNativeWindow(w->native);
    }
    s.windows.Clear();
}

}  // namespace plat::user

using namespace plat::user;

namespace {

// The checks made before anything is created: the class exists, the parent
// (if any) is a window, a child has one, a top-level menu is a menu.
WindowClass* CheckCreateRequest(LPCWSTR lpClassName, DWORD dwStyle, HWND hWndParent, HMENU hMenu) {
    WindowClass* cls = FindClass(lpClassName);
    if (!cls) {
        Fail(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    bool child = dwStyle & WS_CHILD;
    if (hWndParent && !Peek(hWndParent)) {
        Fail(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (child && !hWndParent) {
        Fail(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    if (!child && hMenu && !S().menus.Get(reinterpret_cast<uintptr_t>(hMenu))) {
        Fail(ERROR_INVALID_MENU_HANDLE);
        return nullptr;
    }
    return cls;
}

// A new window record of the class, not yet placed or registered.
std::unique_ptr<Window> NewWindow(WindowClass* cls, DWORD dwExStyle, LPCWSTR lpWindowName, DWORD dwStyle,
                                  HWND hWndParent, HMENU hMenu, HINSTANCE hInstance) {
    auto w = std::make_unique<Window>();
    w->cls = cls;
    w->style = dwStyle & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    w->exStyle = dwExStyle;
    w->proc = cls->proc;
    w->instance = hInstance;
    w->text = lpWindowName ? lpWindowName : L"";
    w->extra.assign(static_cast<size_t>(cls->wndExtra), 0);
    if (dwStyle & WS_CHILD) {
        w->parent = hWndParent;
        w->id = static_cast<LONG_PTR>(reinterpret_cast<uintptr_t>(hMenu));
    } else {
        w->owner = hWndParent ? Root(hWndParent) : nullptr;
        w->menu = hMenu;
    }
    return w;
}

// Position and size; CW_USEDEFAULT cascades inside the primary work area.
void ResolveDefaultPlacement(DWORD dwStyle, int& X, int& Y, int& nWidth, int& nHeight) {
    bool childOrPopup = (dwStyle & WS_CHILD) || (dwStyle & WS_POPUP);
    RECT work{0, 0, 640, 480};
    std::vector<plat::MonitorDesc> mons = Monitors();
    for (auto& m : mons)
        if (m.primary) work = m.workArea;
    if (X == CW_USEDEFAULT) {
        if (childOrPopup) {
            X = Y = 0;
        } else {
            int step = 26 * (S().cascade++ % 8);
            X = work.left + step;
            Y = work.top + step;
        }
    }
    if (nWidth == CW_USEDEFAULT) {
        if (childOrPopup) {
            nWidth = nHeight = 0;
        } else {
            nWidth = (work.right - work.left) * 3 / 4;
            nHeight = (work.bottom - work.top) * 3 / 4;
        }
    }
    // A given x with a default y places the window at the work area's top.
    if (Y == CW_USEDEFAULT) Y = childOrPopup ? 0 : work.top;
    X = ClampCoordinate(X), Y = ClampCoordinate(Y);
    nWidth = ClampCoordinate(std::max(nWidth, 0)), nHeight = ClampCoordinate(std::max(nHeight, 0));
}

// A top-level window: its size within the tracking limits the window
// procedure gives, then its native window (none for a message-only window).
// False when the window procedure destroyed the window.
bool SetUpTopLevel(HWND hwnd, bool messageOnly) {
    MINMAXINFO mmi{};
    mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxSize = POINT{GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
    Send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    Window* win = Peek(hwnd);
    if (!win) return false;
    win->rect.right = win->rect.left + std::min<LONG>(win->rect.right - win->rect.left, mmi.ptMaxTrackSize.x);
    win->rect.bottom = win->rect.top + std::min<LONG>(win->rect.bottom - win->rect.top, mmi.ptMaxTrackSize.y);
    win->normalRect = win->rect;
    if (messageOnly) return true;
    plat::NativeWindowDesc desc;
    desc.title = win->text;
    desc.clientRect = ClientScreenRect(*win);
    desc.resizable = win->style & WS_THICKFRAME;
    desc.decorated = ((win->style & WS_CAPTION) == WS_CAPTION) || desc.resizable;
    desc.topmost = win->exStyle & WS_EX_TOPMOST;
    desc.show = plat::ShowState::Hidden;
    win->native = plat::CurrentBackend().CreateNativeWindow(desc);
    win->nativeRect = desc.clientRect;
    win->nativeStyle = (desc.resizable ? 1 : 0) | (desc.decorated ? 2 : 0) | (desc.topmost ? 4 : 0);
    return true;
}

// WM_NCCREATE, then WM_CREATE; a refusal destroys the window. False when the window is gone.
bool SendCreateMessages(HWND hwnd, CREATESTRUCTW& cs) {
    if (!Send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if (Peek(hwnd)) DestroyWindow(hwnd);
        return false;
    }
    if (!Peek(hwnd) || Send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (Peek(hwnd)) DestroyWindow(hwnd);
        return false;
    }
    return Peek(hwnd) != nullptr;
}

// The first WM_SIZE and WM_MOVE, then the window shown as its style asks.
void FinishCreate(HWND hwnd, DWORD dwStyle) {
    Window* win = Peek(hwnd);
    win->created = true;
    SendSizeMessage(*win);
    if (!(win = Peek(hwnd))) return;
    SetWindowRectInternal(*win, win->rect, true, false);
    if (!(win = Peek(hwnd))) return;
    if (dwStyle & WS_VISIBLE) {
        if (dwStyle & WS_CHILD) {
            win->style |= WS_VISIBLE;
        } else {
            ShowWindow(hwnd, (dwStyle & WS_MAXIMIZE)   ? SW_SHOWMAXIMIZED
                             : (dwStyle & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                                                       : SW_SHOW);
        }
    } else if (dwStyle & WS_DISABLED) {
        win->style |= WS_DISABLED;
    }
}

}  // namespace

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
    State& s = S();
    bool child = dwStyle & WS_CHILD;
    bool messageOnly = hWndParent == HWND_MESSAGE;
    if (messageOnly) hWndParent = nullptr;
    WindowClass* cls = CheckCreateRequest(lpClassName, dwStyle, hWndParent, hMenu);
    if (!cls) return nullptr;
    // Overlapped top-level windows always have a caption.
    if (!child && !(dwStyle & WS_POPUP)) dwStyle |= WS_CAPTION | WS_CLIPSIBLINGS;

    auto w = NewWindow(cls, dwExStyle, lpWindowName, dwStyle, hWndParent, hMenu, hInstance);
    ResolveDefaultPlacement(dwStyle, X, Y, nWidth, nHeight);
    w->rect = RECT{X, Y, X + nWidth, Y + nHeight};
    w->normalRect = w->rect;

    uintptr_t value = s.windows.Add(std::move(w));
    if (!value) {
        Fail(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HWND hwnd = reinterpret_cast<HWND>(value);
    Peek(hwnd)->handle = hwnd;
    cls->windowCount++;
    if (child) Peek(hWndParent)->children.push_back(hwnd);
    if (!child && !SetUpTopLevel(hwnd, messageOnly)) return nullptr;

    CREATESTRUCTW cs{};
    cs.lpCreateParams = lpParam;
    cs.hInstance = hInstance;
    cs.hMenu = hMenu;
    cs.hwndParent = hWndParent;
    cs.x = X;
    cs.y = Y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.style = static_cast<LONG>(dwStyle);
    cs.lpszName = lpWindowName;
    cs.lpszClass = lpClassName;
    cs.dwExStyle = dwExStyle;
    if (!SendCreateMessages(hwnd, cs)) return nullptr;
    FinishCreate(hwnd, dwStyle);
    return Peek(hwnd) ? hwnd : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
    State& s = S();
    Window* w = W(hWnd);
    if (!w) return FALSE;
    if (w->destroying) return TRUE;
    w->destroying = true;
    if (w->style & WS_VISIBLE) {
        w->style &= ~WS_VISIBLE;
        SyncNative(*w);
    }
    ForgetWindow(hWnd);
    // Owned windows go first, then WM_DESTROY, the children, WM_NCDESTROY.
    for (uintptr_t h : s.windows.All()) {
        Window* o = s.windows.Get(h);
        if (o && o->owner == hWnd) DestroyWindow(reinterpret_cast<HWND>(h));
    }
    Send(hWnd, WM_DESTROY, 0, 0);
    if (!(w = Peek(hWnd))) return TRUE;
    std::vector<HWND> children = w->children;
    for (HWND c : children) DestroyWindow(c);
    Send(hWnd, WM_NCDESTROY, 0, 0);
    if (!(w = Peek(hWnd))) return TRUE;
    if (Window* p = Peek(w->parent)) {
        auto& list = p->children;
        list.erase(std::remove(list.begin(), list.end(), hWnd), list.end());
    }
    if (HasMenuBar(*w)) DestroyMenu(w->menu);
    if (w->native) plat::CurrentBackend().DestroyNativeWindow(w->native);
    w->cls->windowCount--;
    auto& order = s.activationOrder;
    order.erase(std::remove(order.begin(), order.end(), hWnd), order.end());
    if (s.lastClickWindow == hWnd) s.lastClickWindow = nullptr;
    s.windows.Remove(reinterpret_cast<uintptr_t>(hWnd));
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hWnd) { return Peek(hWnd) != nullptr; }

BOOL WINAPI IsWindowVisible(HWND hWnd) {
    for (Window* w = Peek(hWnd); w; w = Peek(w->parent)) {
        if (!(w->style & WS_VISIBLE)) return FALSE;
        if (!(w->style & WS_CHILD)) return TRUE;
    }
    return FALSE;
}

BOOL WINAPI IsIconic(HWND hWnd) {
    Window* w = Peek(hWnd);
    return w && w->minimized;
}

BOOL WINAPI IsZoomed(HWND hWnd) {
    Window* w = Peek(hWnd);
    return w && w->maximized;
}

BOOL WINAPI IsChild(HWND hWndParent, HWND hWnd) {
    Window* w = Peek(hWnd);
    while (w && (w->style & WS_CHILD)) {
        if (w->parent == hWndParent) return TRUE;
        w = Peek(w->parent);
    }
    return FALSE;
}

BOOL WINAPI IsWindowEnabled(HWND hWnd) {
    Window* w = Peek(hWnd);
    return w && !(w->style & WS_DISABLED);
}

BOOL WINAPI EnableWindow(HWND hWnd, BOOL bEnable) {
    Window* w = W(hWnd);
    if (!w) return FALSE;
    BOOL wasDisabled = (w->style & WS_DISABLED) ? TRUE : FALSE;
    if (bEnable && wasDisabled) {
        w->style &= ~WS_DISABLED;
        Send(hWnd, WM_ENABLE, TRUE, 0);
    } else if (!bEnable && !wasDisabled) {
        w->style |= WS_DISABLED;
        if (S().focus == hWnd) SetFocusInternal(nullptr);
        Send(hWnd, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled;
}

HWND WINAPI GetParent(HWND hWnd) {
    Window* w = W(hWnd);
    if (!w) return nullptr;
    return (w->style & WS_CHILD) ? w->parent : w->owner;
}

HWND WINAPI GetAncestor(HWND hwnd, UINT gaFlags) {
    Window* w = W(hwnd);
    if (!w) return nullptr;
    switch (gaFlags) {
        case GA_PARENT:
            return (w->style & WS_CHILD) ? w->parent : nullptr;
        case GA_ROOT:
            return Root(hwnd);
        case GA_ROOTOWNER: {
            HWND r = Root(hwnd);
            while (Window* rw = Peek(r)) {
                if (!rw->owner) break;
                r = Root(rw->owner);
            }
            return r;
        }
        default:
            Fail(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

HWND WINAPI GetWindow(HWND hWnd, UINT uCmd) {
    Window* w = W(hWnd);
    if (!w) return nullptr;
    if (uCmd == GW_OWNER) return (w->style & WS_CHILD) ? nullptr : w->owner;
    if (uCmd == GW_CHILD) return w->children.empty() ? nullptr : w->children.front();
    Window* p = (w->style & WS_CHILD) ? Peek(w->parent) : nullptr;
    if (!p) return nullptr;
    auto& list = p->children;
    auto it = std::find(list.begin(), list.end(), hWnd);
    switch (uCmd) {
        case GW_HWNDFIRST:
            return list.front();
        case GW_HWNDLAST:
            return list.back();
        case GW_HWNDNEXT:
            return (it != list.end() && it + 1 != list.end()) ? *(it + 1) : nullptr;
        case GW_HWNDPREV:
            return (it != list.begin() && it != list.end()) ? *(it - 1) : nullptr;
        default:
            Fail(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

BOOL WINAPI EnumWindows(WNDENUMPROC lpEnumFunc, LPARAM lParam) {
    if (!lpEnumFunc) return FALSE;
    for (uintptr_t h : S().windows.All()) {
        Window* w = S().windows.Get(h);
        if (w && !(w->style & WS_CHILD) && w->native && !lpEnumFunc(reinterpret_cast<HWND>(h), lParam)) break;
    }
    return TRUE;
}

HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName) {
    WindowClass* cls = lpClassName ? FindClass(lpClassName) : nullptr;
    if (lpClassName && !cls) return nullptr;
    for (uintptr_t h : S().windows.All()) {
        Window* w = S().windows.Get(h);
        if (!w || (w->style & WS_CHILD) || w->destroying || !w->native) continue;
        if (cls && w->cls != cls) continue;
        if (lpWindowName && w->text != lpWindowName) continue;
        return reinterpret_cast<HWND>(h);
    }
    return nullptr;
}
