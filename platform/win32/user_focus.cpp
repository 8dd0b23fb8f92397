// Activation, keyboard focus and mouse capture.
//
// Activating a window of an inactive application sends WM_ACTIVATEAPP (TRUE)
// to every top-level window, then WM_NCACTIVATE and WM_ACTIVATE to the window,
// then WM_SETFOCUS. Deactivation sends WM_NCACTIVATE and WM_ACTIVATE
// (WA_INACTIVE) to the old window, WM_ACTIVATEAPP (FALSE) when the application
// loses activation, and WM_KILLFOCUS.
#include <algorithm>

#include "platform/win32/user_state.h"

using namespace plat::user;

namespace plat::user {

namespace {

void SendToTopLevel(UINT msg, WPARAM wParam) {
    for (uintptr_t h : S().windows.All()) {
        Window* w = S().windows.Get(h);
        if (w && !(w->style & WS_CHILD) && w->created) Send(reinterpret_cast<HWND>(h), msg, wParam, 0);
    }
}

WPARAM ActivateParam(UINT state, HWND hwnd) { return MAKEWPARAM(state, IsIconic(hwnd) ? 1 : 0); }

}  // namespace

void SetFocusInternal(HWND hwnd) {
    State& s = S();
    HWND old = s.focus;
    if (old == hwnd) return;
    s.focus = hwnd;
    if (Peek(old)) Send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (s.focus == hwnd && Peek(hwnd)) Send(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
}

void Activate(HWND hwnd, bool fromBackend, UINT how) {
    State& s = S();
    hwnd = Root(hwnd);
    Window* w = Peek(hwnd);
    if (!w || w->destroying) return;
    HWND old = s.active;
    auto& order = s.activationOrder;
    order.erase(std::remove(order.begin(), order.end(), hwnd), order.end());
    order.push_back(hwnd);
    if (old != hwnd) {
        if (Peek(old)) {
            Send(old, WM_NCACTIVATE, FALSE, 0);
            Send(old, WM_ACTIVATE, ActivateParam(WA_INACTIVE, old), reinterpret_cast<LPARAM>(hwnd));
        }
        s.active = nullptr;
        if (!s.appActive) {
            s.appActive = true;
            SendToTopLevel(WM_ACTIVATEAPP, TRUE);
        }
        if (!Peek(hwnd) || Peek(hwnd)->destroying) {
            // The window went away while being activated: nothing is active now.
            Deactivate(fromBackend);
            return;
        }
        s.active = hwnd;
        Send(hwnd, WM_NCACTIVATE, TRUE, 0);
        Send(hwnd, WM_ACTIVATE, ActivateParam(how, hwnd),
             reinterpret_cast<LPARAM>(Peek(old) ? old : nullptr));
    }
    if (!(w = Peek(hwnd)) || s.active != hwnd) return;
    if (!w->minimized && s.focus != hwnd && !IsChild(hwnd, s.focus)) SetFocusInternal(hwnd);
    if (!(w = Peek(hwnd))) return;
    if (!fromBackend && w->native) CurrentBackend().FocusNativeWindow(w->native);
}

void Deactivate(bool) {
    State& s = S();
    HWND old = s.active;
    if (!old && !s.appActive) return;
    s.active = nullptr;
    if (Peek(old)) {
        Send(old, WM_NCACTIVATE, FALSE, 0);
        Send(old, WM_ACTIVATE, ActivateParam(WA_INACTIVE, old), 0);
    }
    if (s.appActive) {
        s.appActive = false;
        SendToTopLevel(WM_ACTIVATEAPP, FALSE);
    }
    if (!s.active) SetFocusInternal(nullptr);
}

}  // namespace plat::user

HWND WINAPI GetForegroundWindow() { return S().active; }
HWND WINAPI GetActiveWindow() { return S().active; }
HWND WINAPI GetFocus() { return S().focus; }
HWND WINAPI GetCapture() { return S().capture; }

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
    Window* w = W(hWnd);
    if (!w) return FALSE;
    Activate(hWnd, false);
    return TRUE;
}

HWND WINAPI SetActiveWindow(HWND hWnd) {
    HWND old = S().active;
    if (!hWnd) {
        Deactivate(false);
        return old;
    }
    Window* w = W(hWnd);
    if (!w || (w->style & WS_CHILD)) return nullptr;
    Activate(hWnd, false);
    return old;
}

HWND WINAPI SetFocus(HWND hWnd) {
    State& s = S();
    HWND old = s.focus;
    if (!hWnd) {
        SetFocusInternal(nullptr);
        return old;
    }
    if (!W(hWnd)) return nullptr;
    HWND root = Root(hWnd);
    if (s.active != root) Activate(root, false);
    SetFocusInternal(hWnd);
    return old;
}

HWND WINAPI SetCapture(HWND hWnd) {
    State& s = S();
    HWND old = s.capture;
    if (!W(hWnd)) return nullptr;
    if (old == hWnd) return old;
    s.capture = hWnd;
    if (Peek(old)) Send(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    plat::CurrentBackend().CaptureMouse(true);
    return Peek(old) ? old : nullptr;
}

BOOL WINAPI ReleaseCapture() {
    State& s = S();
    HWND old = s.capture;
    if (!old) return TRUE;
    s.capture = nullptr;
    plat::CurrentBackend().CaptureMouse(false);
    if (Peek(old)) Send(old, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}
