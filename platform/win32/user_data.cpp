// Window data: GetWindowLongPtrW / SetWindowLongPtrW, window text, menus.
#include <cstring>

#include "platform/win32/user_state.h"

using namespace plat::user;

namespace {

bool ExtraRange(const Window& w, int index, size_t size) {
    return index >= 0 && static_cast<size_t>(index) + size <= w.extra.size();
}

LONG_PTR ReadLong(HWND hWnd, int nIndex, size_t size) {
    Window* w = W(hWnd);
    if (!w) return 0;
    switch (nIndex) {
        case GWLP_WNDPROC:
            return reinterpret_cast<LONG_PTR>(w->proc);
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(w->instance);
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>((w->style & WS_CHILD) ? w->parent : w->owner);
        case GWLP_ID:
            return w->id;
        case GWL_STYLE:
            return static_cast<LONG>(w->style | (w->minimized ? WS_MINIMIZE : 0) |
                                     (w->maximized ? WS_MAXIMIZE : 0));
        case GWL_EXSTYLE:
            return static_cast<LONG>(w->exStyle);
        case GWLP_USERDATA:
            return w->userData;
        default:
            if (ExtraRange(*w, nIndex, size)) {
                if (size == sizeof(LONG)) {
                    LONG v;
                    std::memcpy(&v, w->extra.data() + nIndex, sizeof v);
                    return v;
                }
                LONG_PTR v;
                std::memcpy(&v, w->extra.data() + nIndex, sizeof v);
                return v;
            }
            Fail(ERROR_INVALID_INDEX);
            return 0;
    }
}

LONG_PTR WriteLong(HWND hWnd, int nIndex, LONG_PTR value, size_t size) {
    Window* w = W(hWnd);
    if (!w) return 0;
    LONG_PTR old = 0;
    switch (nIndex) {
        case GWLP_WNDPROC:
            old = reinterpret_cast<LONG_PTR>(w->proc);
            w->proc = reinterpret_cast<WNDPROC>(value);
            return old;
        case GWLP_HINSTANCE:
            old = reinterpret_cast<LONG_PTR>(w->instance);
            w->instance = reinterpret_cast<HINSTANCE>(value);
            return old;
        case GWLP_ID:
            old = w->id;
            w->id = value;
            return old;
        case GWLP_USERDATA:
            old = w->userData;
            w->userData = value;
            return old;
        case GWL_STYLE: {
            old = ReadLong(hWnd, GWL_STYLE, size);
            DWORD style = static_cast<DWORD>(value) & ~(WS_MINIMIZE | WS_MAXIMIZE);
            bool wasVisible = w->style & WS_VISIBLE;
            if (w->style & WS_CHILD) style |= WS_CHILD;
            w->style = style;
            // The maximised state is the WS_MAXIMIZE bit: a style without it
            // leaves the window restored where it stands, so that a later
            // maximise really maximises and a restore uses the normal rectangle.
            if (!(static_cast<DWORD>(value) & WS_MAXIMIZE) && !(style & WS_CHILD)) w->maximized = false;
            bool visible = style & WS_VISIBLE;
            if (wasVisible && !visible && !(style & WS_CHILD)) {
                if (S().active == hWnd) ForgetWindow(hWnd);
            }
            if (Window* p = Peek(hWnd)) SyncNative(*p);
            return old;
        }
        case GWL_EXSTYLE:
            old = static_cast<LONG>(w->exStyle);
            w->exStyle = static_cast<DWORD>(value);
            SyncNative(*w);
            return old;
        default:
            if (ExtraRange(*w, nIndex, size)) {
                old = ReadLong(hWnd, nIndex, size);
                if (size == sizeof(LONG)) {
                    LONG v = static_cast<LONG>(value);
                    std::memcpy(w->extra.data() + nIndex, &v, sizeof v);
                } else {
                    std::memcpy(w->extra.data() + nIndex, &value, sizeof value);
                }
                return old;
            }
            Fail(ERROR_INVALID_INDEX);
            return 0;
    }
}

}  // namespace

LONG_PTR WINAPI GetWindowLongPtrW(HWND hWnd, int nIndex) { return ReadLong(hWnd, nIndex, sizeof(LONG_PTR)); }

LONG_PTR WINAPI SetWindowLongPtrW(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    return WriteLong(hWnd, nIndex, dwNewLong, sizeof(LONG_PTR));
}

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) {
    return static_cast<LONG>(ReadLong(hWnd, nIndex, sizeof(LONG)));
}

LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
    return static_cast<LONG>(WriteLong(hWnd, nIndex, dwNewLong, sizeof(LONG)));
}

BOOL WINAPI SetWindowTextW(HWND hWnd, LPCWSTR lpString) {
    if (!W(hWnd)) return FALSE;
    return Send(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)) ? TRUE : FALSE;
}

int WINAPI GetWindowTextW(HWND hWnd, LPWSTR lpString, int nMaxCount) {
    if (!W(hWnd)) return 0;
    if (!lpString || nMaxCount <= 0) return 0;
    lpString[0] = 0;
    return static_cast<int>(
        Send(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount), reinterpret_cast<LPARAM>(lpString)));
}

int WINAPI GetWindowTextLengthW(HWND hWnd) {
    if (!W(hWnd)) return 0;
    return static_cast<int>(Send(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

// ---------------------------------------------------------------- menus

HMENU WINAPI CreateMenu() { return reinterpret_cast<HMENU>(S().menus.Add(std::make_unique<Menu>())); }

HMENU WINAPI CreatePopupMenu() { return CreateMenu(); }

BOOL WINAPI DestroyMenu(HMENU hMenu) {
    if (!S().menus.Remove(reinterpret_cast<uintptr_t>(hMenu))) {
        Fail(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    return TRUE;
}

HMENU WINAPI GetMenu(HWND hWnd) {
    Window* w = W(hWnd);
    if (!w || (w->style & WS_CHILD)) return nullptr;
    return w->menu;
}

BOOL WINAPI SetMenu(HWND hWnd, HMENU hMenu) {
    Window* w = W(hWnd);
    if (!w) return FALSE;
    if (w->style & WS_CHILD) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (hMenu && !S().menus.Get(reinterpret_cast<uintptr_t>(hMenu))) {
        Fail(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    w->menu = hMenu;
    SyncNative(*w);
    SendSizeMessage(*w);
    return TRUE;
}

BOOL WINAPI AppendMenuW(HMENU hMenu, UINT, UINT_PTR, LPCWSTR lpNewItem) {
    Menu* m = S().menus.Get(reinterpret_cast<uintptr_t>(hMenu));
    if (!m) {
        Fail(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    m->items.push_back(lpNewItem && !IS_INTRESOURCE(lpNewItem) ? lpNewItem : L"");
    return TRUE;
}

int WINAPI GetMenuItemCount(HMENU hMenu) {
    Menu* m = S().menus.Get(reinterpret_cast<uintptr_t>(hMenu));
    if (!m) {
        Fail(ERROR_INVALID_MENU_HANDLE);
        return -1;
    }
    return static_cast<int>(m->items.size());
}

BOOL WINAPI DrawMenuBar(HWND hWnd) { return W(hWnd) ? TRUE : FALSE; }
