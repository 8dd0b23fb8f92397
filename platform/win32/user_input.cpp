// Backend events become Windows messages here: keys (through the low-level
// keyboard hooks, with the lParam bit layout), characters, mouse buttons with
// double-click detection, the wheel, and window events.
#include <algorithm>
#include <cstdlib>

#include "platform/win32/user_state.h"

using namespace plat::user;

namespace plat::user {

namespace {

Window* WindowOfNative(NativeWindowId id) {
    if (!id) return Peek(S().active);
    for (uintptr_t h : S().windows.All()) {
        Window* w = S().windows.Get(h);
        if (w && w->native == id && !w->destroying) return w;
    }
    return nullptr;
}

UINT GenericKey(UINT vk) {
    switch (vk) {
        case VK_LSHIFT:
        case VK_RSHIFT:
            return VK_SHIFT;
        case VK_LCONTROL:
        case VK_RCONTROL:
            return VK_CONTROL;
        case VK_LMENU:
        case VK_RMENU:
            return VK_MENU;
        default:
            return vk;
    }
}

UINT SideKey(UINT vk) {
    switch (vk) {
        case VK_SHIFT:
            return VK_LSHIFT;
        case VK_CONTROL:
            return VK_LCONTROL;
        case VK_MENU:
            return VK_LMENU;
        default:
            return vk;
    }
}

void SetKey(UINT vk, bool down) {
    BYTE& k = S().asyncKeys[vk & 0xFF];
    if (down && !(k & 0x80)) k ^= 0x01;  // toggled on every press
    k = static_cast<BYTE>(down ? (k | 0x80) : (k & ~0x80));
}

bool KeyDown(UINT vk) { return S().asyncKeys[vk & 0xFF] & 0x80; }

WPARAM MouseKeys() {
    WPARAM mk = 0;
    if (KeyDown(VK_LBUTTON)) mk |= MK_LBUTTON;
    if (KeyDown(VK_RBUTTON)) mk |= MK_RBUTTON;
    if (KeyDown(VK_MBUTTON)) mk |= MK_MBUTTON;
    if (KeyDown(VK_XBUTTON1)) mk |= MK_XBUTTON1;
    if (KeyDown(VK_XBUTTON2)) mk |= MK_XBUTTON2;
    if (KeyDown(VK_SHIFT)) mk |= MK_SHIFT;
    if (KeyDown(VK_CONTROL)) mk |= MK_CONTROL;
    return mk;
}

void HandleKey(const Event& e) {
    State& s = S();
    UINT side = SideKey(e.vk & 0xFF);
    UINT generic = GenericKey(side);
    bool extended = e.extended;
    UINT scan = e.scanCode;
    if (!scan) {
        bool ext = false;
        scan = ScanCodeOfKey(side, &ext);
        extended = extended || ext;
    }
    bool wasDown = KeyDown(generic);
    bool altHeld = KeyDown(VK_MENU) || (generic == VK_MENU && e.down);
    bool ctrlHeld = KeyDown(VK_CONTROL) || (generic == VK_CONTROL && e.down);
    bool sys;
    if (generic == VK_MENU && !e.down)
        sys = s.altAlone && !ctrlHeld;
    else
        sys = (altHeld && !ctrlHeld) || generic == VK_F10;
    UINT msg = e.down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);

    KBDLLHOOKSTRUCT info{};
    info.vkCode = side;
    info.scanCode = scan;
    info.flags = (extended ? LLKHF_EXTENDED : 0) |
                 (altHeld && !(generic == VK_MENU && !e.down) ? LLKHF_ALTDOWN : 0) | (e.down ? 0 : LLKHF_UP);
    info.time = Now();
    if (RunKeyboardHooks(msg, info)) return;

    SetKey(side, e.down);
    bool otherSide = false;
    if (side == VK_LSHIFT) otherSide = KeyDown(VK_RSHIFT);
    if (side == VK_RSHIFT) otherSide = KeyDown(VK_LSHIFT);
    if (side == VK_LCONTROL) otherSide = KeyDown(VK_RCONTROL);
    if (side == VK_RCONTROL) otherSide = KeyDown(VK_LCONTROL);
    if (side == VK_LMENU) otherSide = KeyDown(VK_RMENU);
    if (side == VK_RMENU) otherSide = KeyDown(VK_LMENU);
    if (generic != side) SetKey(generic, e.down || otherSide);

    if (generic == VK_MENU && e.down && !wasDown)
        s.altAlone = true;
    else if (e.down && generic != VK_MENU)
        s.altAlone = false;

    bool altNow = KeyDown(VK_MENU);
    LPARAM lParam = 1 | (LPARAM(scan & 0xFF) << 16) | (extended ? (LPARAM(1) << 24) : 0) |
                    (altNow ? (LPARAM(1) << 29) : 0) | ((wasDown || !e.down) ? (LPARAM(1) << 30) : 0) |
                    (!e.down ? (LPARAM(1) << 31) : 0);
    s.pendingKeyChar =
        (e.down && msg == WM_KEYDOWN)
            ? CharacterOfKey(generic, KeyDown(VK_SHIFT), KeyDown(VK_CONTROL), s.asyncKeys[VK_CAPITAL] & 1)
            : 0;
    HWND target = s.focus ? s.focus : s.active;
    if (target) PostInput(target, msg, generic, static_cast<LPARAM>(static_cast<uint32_t>(lParam)));
}

void HandleText(const Event& e) {
    State& s = S();
    if (e.codepoint == s.pendingKeyChar && e.codepoint) {
        // The key message already carries it; TranslateMessage makes the WM_CHAR.
        s.pendingKeyChar = 0;
        return;
    }
    HWND target = s.focus ? s.focus : s.active;
    if (target) PostInput(target, WM_CHAR, static_cast<WPARAM>(e.codepoint), 1);
}

// The deepest visible child of `top` under a screen point.
HWND ChildAt(HWND top, POINT screen) {
    HWND hwnd = top;
    for (;;) {
        Window* w = Peek(hwnd);
        HWND next = nullptr;
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
            Window* c = Peek(*it);
            if (!c || !(c->style & WS_VISIBLE)) continue;
            RECT r = ScreenRect(*c);
            if (PtInRect(&r, screen)) {
                next = *it;
                break;
            }
        }
        if (!next) return hwnd;
        hwnd = next;
    }
}

UINT ButtonMessage(MouseButton b, bool down) {
    switch (b) {
        case MouseButton::Left:
            return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        case MouseButton::Right:
            return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        case MouseButton::Middle:
            return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        default:
            return down ? WM_XBUTTONDOWN : WM_XBUTTONUP;
    }
}

UINT ButtonKey(MouseButton b) {
    switch (b) {
        case MouseButton::Left:
            return VK_LBUTTON;
        case MouseButton::Right:
            return VK_RBUTTON;
        case MouseButton::Middle:
            return VK_MBUTTON;
        case MouseButton::X1:
            return VK_XBUTTON1;
        default:
            return VK_XBUTTON2;
    }
}

void HandleMouse(const Event& e, Window* top) {
    State& s = S();
    RECT client = ClientScreenRect(*top);
    POINT screen{client.left + e.x, client.top + e.y};
    HWND topHandle = top->handle;

    if (e.type == EventType::MouseWheel) {
        HWND target = s.focus ? s.focus : (s.active ? s.active : topHandle);
        WPARAM wp =
            MAKEWPARAM(static_cast<WORD>(MouseKeys()), static_cast<WORD>(static_cast<short>(e.wheelDelta)));
        PostInput(target, WM_MOUSEWHEEL, wp, MAKELPARAM(screen.x, screen.y));
        return;
    }

    UINT msg = WM_MOUSEMOVE;
    if (e.type == EventType::MouseButton) {
        SetKey(ButtonKey(e.button), e.down);
        msg = ButtonMessage(e.button, e.down);
    }
    HWND target = s.capture ? s.capture : ChildAt(topHandle, screen);
    if (!s.capture) {
        if (!IsWindowEnabled(target) || !IsWindowEnabled(topHandle)) return;
        LRESULT hit = Send(target, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
        if (!Peek(target)) return;
        Send(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(static_cast<WORD>(hit), msg));
        if (!Peek(target) || hit != HTCLIENT) return;
        if (msg != WM_MOUSEMOVE && e.down && s.active != topHandle)
            Activate(topHandle, false, WA_CLICKACTIVE);
        if (!Peek(target)) return;
    }
    Window* tw = Peek(target);
    RECT tc = ClientScreenRect(*tw);
    POINT pt{screen.x - tc.left, screen.y - tc.top};

    if (e.type == EventType::MouseButton && e.down) {
        DWORD now = Now();
        int cx = GetSystemMetrics(SM_CXDOUBLECLK) / 2, cy = GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        bool dbl = (tw->cls->style & CS_DBLCLKS) && !s.lastClickWasDouble && s.lastClickWindow == target &&
                   s.lastClickMessage == msg && now - s.lastClickTime <= GetDoubleClickTime() &&
                   std::abs(screen.x - s.lastClickPoint.x) <= cx &&
                   std::abs(screen.y - s.lastClickPoint.y) <= cy;
        s.lastClickWindow = target;
        s.lastClickMessage = msg;
        s.lastClickTime = now;
        s.lastClickPoint = screen;
        s.lastClickWasDouble = dbl;
        if (dbl) msg += 2;  // WM_xBUTTONDOWN + 2 is WM_xBUTTONDBLCLK
    }
    WPARAM wp = MouseKeys();
    if (msg >= WM_XBUTTONDOWN && msg <= WM_XBUTTONDBLCLK)
        wp |= static_cast<WPARAM>(e.button == MouseButton::X1 ? XBUTTON1 : XBUTTON2) << 16;
    PostInput(target, msg, wp, MAKELPARAM(pt.x, pt.y));
}

// Keeps a window rectangle within the tracking limits the window procedure gives.
// False when the window procedure destroyed the window.
bool LimitToTrackingSize(HWND hwnd, RECT& r) {
    MINMAXINFO mmi{};
    mmi.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
    mmi.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
    Send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    if (!Peek(hwnd)) return false;
    r.right = r.left + std::clamp<LONG>(r.right - r.left, mmi.ptMinTrackSize.x,
                                        std::max(mmi.ptMinTrackSize.x, mmi.ptMaxTrackSize.x));
    r.bottom = r.top + std::clamp<LONG>(r.bottom - r.top, mmi.ptMinTrackSize.y,
                                        std::max(mmi.ptMinTrackSize.y, mmi.ptMaxTrackSize.y));
    return true;
}

void HandleWindowEvent(const Event& e, Window* w) {
    HWND hwnd = w->handle;
    switch (e.type) {
        case EventType::WindowMoved: {
            RECT c = ClientScreenRect(*w);
            RECT r = w->rect;
            OffsetRect(&r, e.x - c.left, e.y - c.top);
            w->nativeRect = c;
            OffsetRect(&w->nativeRect, e.x - c.left, e.y - c.top);
            if (!w->minimized) SetWindowRectInternal(*w, r, true, false);
            break;
        }
        case EventType::WindowResized: {
            if (w->minimized) break;
            RECT c = ClientScreenRect(*w);
            RECT r = w->rect;
            r.right += e.width - (c.right - c.left);
            r.bottom += e.height - (c.bottom - c.top);
            w->nativeRect = RECT{c.left, c.top, c.left + e.width, c.top + e.height};
            // The user cannot drag the frame past the window's tracking limits. A maximised
            // window's size is the window manager's: its frame is not the one assumed here,
            // so limits worked out with that frame do not apply to it.
            if (!w->maximized && !LimitToTrackingSize(hwnd, r)) break;
            SetWindowRectInternal(*w, r, false, true);
            break;
        }
        case EventType::WindowMinimized:
            w->nativeShow = ShowState::Minimized;
            if (!w->minimized) ApplyShow(*w, SW_MINIMIZE, true);
            break;
        case EventType::WindowMaximized:
            w->nativeShow = ShowState::Maximized;
            if (!w->maximized) ApplyShow(*w, SW_SHOWMAXIMIZED, true);
            break;
        case EventType::WindowRestored:
            w->nativeShow = ShowState::Normal;
            if (w->minimized || w->maximized) ApplyShow(*w, SW_RESTORE, true);
            break;
        case EventType::WindowActivated:
            Activate(hwnd, true);
            break;
        case EventType::WindowDeactivated:
            if (S().active == hwnd) Deactivate(true);
            break;
        case EventType::WindowClose:
            Post(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case EventType::WindowExposed:
            w->invalid = true;
            break;
        case EventType::SizeMoveBegin:
            Send(hwnd, WM_ENTERSIZEMOVE, 0, 0);
            break;
        case EventType::SizeMoveEnd:
            Send(hwnd, WM_EXITSIZEMOVE, 0, 0);
            break;
        default:
            break;
    }
}

}  // namespace

void HandleEvent(const Event& e) {
    switch (e.type) {
        case EventType::Key:
            HandleKey(e);
            return;
        case EventType::Text:
            HandleText(e);
            return;
        case EventType::Composition:
            HandleComposition(e);
            return;
        case EventType::DeviceLoss:
            ForceDeviceLoss();
            return;
        case EventType::Quit: {
            bool any = false;
            for (uintptr_t h : S().windows.All()) {
                Window* w = S().windows.Get(h);
                if (w && !(w->style & WS_CHILD) && w->native && !w->destroying) {
                    Post(reinterpret_cast<HWND>(h), WM_CLOSE, 0, 0);
                    any = true;
                }
            }
            if (!any) PostQuitMessage(0);
            return;
        }
        default:
            break;
    }
    Window* w = WindowOfNative(e.window);
    if (!w) return;
    switch (e.type) {
        case EventType::MouseMove:
        case EventType::MouseButton:
        case EventType::MouseWheel:
            HandleMouse(e, w);
            return;
        default:
            HandleWindowEvent(e, w);
            return;
    }
}

}  // namespace plat::user

// ---------------------------------------------------------------- key state

SHORT WINAPI GetKeyState(int nVirtKey) {
    BYTE k = S().keys[nVirtKey & 0xFF];
    return static_cast<SHORT>(((k & 0x80) ? 0x8000 : 0) | (k & 0x01));
}

SHORT WINAPI GetAsyncKeyState(int vKey) {
    return static_cast<SHORT>((S().asyncKeys[vKey & 0xFF] & 0x80) ? 0x8000 : 0);
}

BOOL WINAPI GetKeyboardState(BYTE* lpKeyState) {
    if (!lpKeyState) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (int i = 0; i < 256; ++i) lpKeyState[i] = S().keys[i] & 0x81;
    return TRUE;
}

UINT WINAPI MapVirtualKeyW(UINT uCode, UINT uMapType) {
    switch (uMapType) {
        case MAPVK_VK_TO_VSC:
            return plat::ScanCodeOfKey(uCode, nullptr);
        case MAPVK_VSC_TO_VK:
        case MAPVK_VSC_TO_VK_EX:
            for (UINT vk = 1; vk < 256; ++vk) {
                bool ext = false;
                if (plat::ScanCodeOfKey(vk, &ext) == uCode && !ext) {
                    if (uMapType == MAPVK_VSC_TO_VK) {
                        if (vk == VK_LSHIFT || vk == VK_RSHIFT) return VK_SHIFT;
                        if (vk == VK_LCONTROL) return VK_CONTROL;
                        if (vk == VK_LMENU) return VK_MENU;
                    }
                    return vk;
                }
            }
            return 0;
        case MAPVK_VK_TO_CHAR: {
            char32_t c = plat::CharacterOfKey(uCode, false, false, false);
            if (c >= 'a' && c <= 'z') c = c - 'a' + 'A';
            return static_cast<UINT>(c);
        }
        default:
            return 0;
    }
}

// ---------------------------------------------------------------- hooks

HHOOK WINAPI SetWindowsHookExW(int idHook, HOOKPROC lpfn, HINSTANCE, DWORD) {
    if (idHook != WH_KEYBOARD_LL) {
        Fail(ERROR_INVALID_HOOK_FILTER);
        return nullptr;
    }
    if (!lpfn) {
        Fail(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto hook = std::make_unique<Hook>();
    hook->proc = lpfn;
    HHOOK h = reinterpret_cast<HHOOK>(S().hooks.Add(std::move(hook)));
    if (h) S().hookChain.push_back(h);
    return h;
}

BOOL WINAPI UnhookWindowsHookEx(HHOOK hhk) {
    if (!S().hooks.Remove(reinterpret_cast<uintptr_t>(hhk))) {
        Fail(ERROR_INVALID_HOOK_HANDLE);
        return FALSE;
    }
    auto& chain = S().hookChain;
    chain.erase(std::remove(chain.begin(), chain.end(), hhk), chain.end());
    return TRUE;
}

namespace {

// Runs the chain from position `start` down to the oldest hook.
LRESULT CallHooksFrom(int start, int nCode, WPARAM wParam, LPARAM lParam) {
    std::vector<HHOOK> chain = S().hookChain;
    for (int i = std::min(start, static_cast<int>(chain.size()) - 1); i >= 0; --i) {
        Hook* hook = S().hooks.Get(reinterpret_cast<uintptr_t>(chain[i]));
        if (!hook) continue;
        int saved = S().hookPosition;
        S().hookPosition = i;
        LRESULT r = hook->proc(nCode, wParam, lParam);
        S().hookPosition = saved;
        return r;
    }
    return 0;
}

}  // namespace

namespace plat::user {
bool RunKeyboardHooks(WPARAM msg, KBDLLHOOKSTRUCT& info) {
    return CallHooksFrom(static_cast<int>(S().hookChain.size()) - 1, HC_ACTION, msg,
                         reinterpret_cast<LPARAM>(&info)) != 0;
}
}  // namespace plat::user

// Calls the hook installed before the one running (or before `hhk`); 0 past the oldest.
LRESULT WINAPI CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam) {
    const auto& chain = S().hookChain;
    int position = S().hookPosition;
    for (int i = 0; hhk && i < static_cast<int>(chain.size()); ++i)
        if (chain[i] == hhk) position = i;
    if (position < 0) return 0;
    return CallHooksFrom(position - 1, nCode, wParam, lParam);
}
