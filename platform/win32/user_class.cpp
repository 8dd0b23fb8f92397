// Window classes and the window system's shared state and look-ups.
#include <cwctype>

#include "platform/win32/user_state.h"

namespace plat::user {

State& S() {
    // Never destroyed: the framework's atexit handlers still use windows.
    static State* state = new State();
    return *state;
}

void Fail(DWORD error) { SetLastError(error); }

Window* Peek(HWND hwnd) { return S().windows.Get(reinterpret_cast<uintptr_t>(hwnd)); }

Window* W(HWND hwnd) {
    Window* w = Peek(hwnd);
    if (!w) Fail(ERROR_INVALID_WINDOW_HANDLE);
    return w;
}

HWND Root(HWND hwnd) {
    Window* w = Peek(hwnd);
    while (w && (w->style & WS_CHILD) && w->parent) {
        hwnd = w->parent;
        w = Peek(hwnd);
    }
    return w ? hwnd : nullptr;
}

DWORD Now() { return GetTickCount(); }

namespace {

bool SameName(const std::wstring& a, LPCWSTR b) {
    size_t i = 0;
    for (; b[i]; ++i)
        if (i >= a.size() || std::towlower(a[i]) != std::towlower(b[i])) return false;
    return i == a.size();
}

}  // namespace

ATOM RegisterClassInternal(const WNDCLASSEXW& wc, bool system) {
    if (!wc.lpszClassName || !wc.lpfnWndProc || wc.cbWndExtra < 0 || wc.cbWndExtra > 4096) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (IS_INTRESOURCE(wc.lpszClassName)) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (FindClass(wc.lpszClassName)) {
        Fail(ERROR_CLASS_ALREADY_EXISTS);
        return 0;
    }
    auto cls = std::make_unique<WindowClass>();
    cls->name = wc.lpszClassName;
    cls->atom = S().nextAtom++;
    cls->style = wc.style;
    cls->proc = wc.lpfnWndProc;
    cls->wndExtra = wc.cbWndExtra;
    cls->instance = wc.hInstance;
    cls->icon = wc.hIcon;
    cls->iconSmall = wc.hIconSm;
    cls->cursor = wc.hCursor;
    cls->background = wc.hbrBackground;
    cls->system = system;
    ATOM atom = cls->atom;
    S().classes.push_back(std::move(cls));
    return atom;
}

WindowClass* FindClass(LPCWSTR name) {
    if (!name) return nullptr;
    RegisterSystemClasses();
    for (auto& cls : S().classes) {
        if (IS_INTRESOURCE(name)) {
            if (cls->atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name))) return cls.get();
        } else if (SameName(cls->name, name)) {
            return cls.get();
        }
    }
    return nullptr;
}

}  // namespace plat::user

using namespace plat::user;

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpwcx) {
    if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXW)) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    RegisterSystemClasses();
    return plat::user::RegisterClassInternal(*lpwcx, false);
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass) {
    if (!lpWndClass) {
        Fail(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = lpWndClass->style;
    wc.lpfnWndProc = lpWndClass->lpfnWndProc;
    wc.cbClsExtra = lpWndClass->cbClsExtra;
    wc.cbWndExtra = lpWndClass->cbWndExtra;
    wc.hInstance = lpWndClass->hInstance;
    wc.hIcon = lpWndClass->hIcon;
    wc.hCursor = lpWndClass->hCursor;
    wc.hbrBackground = lpWndClass->hbrBackground;
    wc.lpszMenuName = lpWndClass->lpszMenuName;
    wc.lpszClassName = lpWndClass->lpszClassName;
    return RegisterClassExW(&wc);
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE) {
    WindowClass* cls = FindClass(lpClassName);
    if (!cls || cls->system) {
        Fail(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (cls->windowCount > 0) {
        Fail(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    auto& classes = S().classes;
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        if (it->get() == cls) {
            classes.erase(it);
            break;
        }
    }
    return TRUE;
}

BOOL WINAPI GetClassInfoExW(HINSTANCE, LPCWSTR lpszClass, LPWNDCLASSEXW lpwcx) {
    WindowClass* cls = FindClass(lpszClass);
    if (!cls) {
        Fail(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if (!lpwcx) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpwcx->style = cls->style;
    lpwcx->lpfnWndProc = cls->proc;
    lpwcx->cbClsExtra = 0;
    lpwcx->cbWndExtra = cls->wndExtra;
    lpwcx->hInstance = cls->instance;
    lpwcx->hIcon = cls->icon;
    lpwcx->hCursor = cls->cursor;
    lpwcx->hbrBackground = cls->background;
    lpwcx->lpszMenuName = nullptr;
    lpwcx->lpszClassName = lpszClass;
    lpwcx->hIconSm = cls->iconSmall;
    return cls->atom;
}

ULONG_PTR WINAPI GetClassLongPtrW(HWND hWnd, int nIndex) {
    Window* w = W(hWnd);
    if (!w) return 0;
    switch (nIndex) {
        case GCLP_HCURSOR:
            return reinterpret_cast<ULONG_PTR>(w->cls->cursor);
        case GCLP_HICON:
            return reinterpret_cast<ULONG_PTR>(w->cls->icon);
        case GCL_STYLE:
            return w->cls->style;
        case GCLP_WNDPROC:
            return reinterpret_cast<ULONG_PTR>(w->cls->proc);
        default:
            Fail(ERROR_INVALID_INDEX);
            return 0;
    }
}

int WINAPI GetClassNameW(HWND hWnd, LPWSTR lpClassName, int nMaxCount) {
    Window* w = W(hWnd);
    if (!w || !lpClassName || nMaxCount <= 0) return 0;
    int n = 0;
    for (; n < nMaxCount - 1 && n < static_cast<int>(w->cls->name.size()); ++n)
        lpClassName[n] = w->cls->name[n];
    lpClassName[n] = 0;
    return n;
}
