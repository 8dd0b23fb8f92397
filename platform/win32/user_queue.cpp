// The message queue: posting, sending, peeking, waiting, translating keys to
// characters and dispatching. Input waiting in the backend becomes messages
// whenever the queue is read.
#include <algorithm>

#include "platform/win32/user_state.h"

using namespace plat::user;

namespace plat::user {

LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* w = Peek(hwnd);
    if (!w || !w->proc) return 0;
    return w->proc(hwnd, msg, wParam, lParam);
}

void Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    State::Posted p;
    p.msg.hwnd = hwnd;
    p.msg.message = msg;
    p.msg.wParam = wParam;
    p.msg.lParam = lParam;
    p.msg.time = Now();
    GetCursorPos(&p.msg.pt);
    S().posted.push_back(p);
}

void PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Post(hwnd, msg, wParam, lParam);
    State::Posted& p = S().posted.back();
    p.input = true;
    std::copy(std::begin(S().asyncKeys), std::end(S().asyncKeys), p.keys.begin());
}

void PumpBackend() {
    static int depth = 0;
    if (depth > 0) return;  // a message handler that reads the queue sees what is already there
    ++depth;
    Backend& backend = CurrentBackend();
    Event e;
    while (backend.PollEvent(e)) HandleEvent(e);
    --depth;
}

}  // namespace plat::user

namespace {

bool Matches(const MSG& m, HWND hWnd, UINT lo, UINT hi) {
    if (hWnd == reinterpret_cast<HWND>(-1)) {
        if (m.hwnd) return false;
    } else if (hWnd && m.hwnd != hWnd && !IsChild(hWnd, m.hwnd)) {
        return false;
    }
    if (lo == 0 && hi == 0) return true;
    return m.message >= lo && m.message <= hi;
}

bool Take(LPMSG out, HWND hWnd, UINT lo, UINT hi, UINT remove) {
    State& s = S();
    for (auto it = s.posted.begin(); it != s.posted.end(); ++it) {
        if (!Matches(it->msg, hWnd, lo, hi)) continue;
        *out = it->msg;
        if (remove & PM_REMOVE) {
            // Reading an input message moves the thread's key state on.
            if (it->input) std::copy(it->keys.begin(), it->keys.end(), std::begin(s.keys));
            s.posted.erase(it);
        }
        s.messageTime = out->time;
        s.messagePos = out->pt;
        return true;
    }
    if (s.quitPosted && (!hWnd || hWnd == reinterpret_cast<HWND>(-1)) &&
        ((lo == 0 && hi == 0) || (WM_QUIT >= lo && WM_QUIT <= hi))) {
        *out = MSG{};
        out->message = WM_QUIT;
        out->wParam = static_cast<WPARAM>(s.quitCode);
        out->time = Now();
        GetCursorPos(&out->pt);
        if (remove & PM_REMOVE) s.quitPosted = false;
        return true;
    }
    // WM_PAINT for an invalid window, while it stays invalid.
    if ((lo == 0 && hi == 0) || (WM_PAINT >= lo && WM_PAINT <= hi)) {
        for (uintptr_t h : s.windows.All()) {
            Window* w = s.windows.Get(h);
            HWND hwnd = reinterpret_cast<HWND>(h);
            if (!w || !w->invalid || !(w->style & WS_VISIBLE) || w->destroying) continue;
            if (hWnd == reinterpret_cast<HWND>(-1) || (hWnd && hwnd != hWnd && !IsChild(hWnd, hwnd)))
                continue;
            *out = MSG{};
            out->hwnd = hwnd;
            out->message = WM_PAINT;
            out->time = Now();
            GetCursorPos(&out->pt);
            return true;
        }
    }
    return false;
}

}  // namespace

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    if (!lpMsg) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    PumpBackend();
    return Take(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg) ? TRUE : FALSE;
}

BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    if (!lpMsg) {
        Fail(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (hWnd && hWnd != reinterpret_cast<HWND>(-1) && !W(hWnd)) return -1;
    for (;;) {
        if (PeekMessageW(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, PM_REMOVE))
            return lpMsg->message == WM_QUIT ? FALSE : TRUE;
        plat::CurrentBackend().WaitEvent(100);
    }
}

BOOL WINAPI WaitMessage() {
    PumpBackend();
    if (S().posted.empty() && !S().quitPosted) plat::CurrentBackend().WaitEvent(100);
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (!lpMsg) return FALSE;
    if (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN) return FALSE;
    const BYTE* keys = S().keys;
    bool ctrl = keys[VK_CONTROL] & 0x80;
    bool alt = keys[VK_MENU] & 0x80;
    if (ctrl && alt) return FALSE;
    char32_t ch = plat::CharacterOfKey(static_cast<UINT>(lpMsg->wParam), keys[VK_SHIFT] & 0x80, ctrl,
                                       keys[VK_CAPITAL] & 1);
    if (!ch) return FALSE;
    State::Posted p;
    p.msg = *lpMsg;
    p.msg.message = lpMsg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    p.msg.wParam = static_cast<WPARAM>(ch);
    S().posted.push_front(p);
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
    if (!lpMsg || !lpMsg->hwnd) return 0;
    Window* w = W(lpMsg->hwnd);
    if (!w) return 0;
    return Send(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd == HWND_BROADCAST) {
        for (uintptr_t h : S().windows.All()) {
            Window* w = S().windows.Get(h);
            if (w && !(w->style & WS_CHILD)) Send(reinterpret_cast<HWND>(h), Msg, wParam, lParam);
        }
        return 0;
    }
    if (!W(hWnd)) return 0;
    return Send(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (hWnd == HWND_BROADCAST) {
        for (uintptr_t h : S().windows.All()) {
            Window* w = S().windows.Get(h);
            if (w && !(w->style & WS_CHILD)) Post(reinterpret_cast<HWND>(h), Msg, wParam, lParam);
        }
        return TRUE;
    }
    if (hWnd && !W(hWnd)) return FALSE;
    Post(hWnd, Msg, wParam, lParam);
    return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
    S().quitPosted = true;
    S().quitCode = nExitCode;
}

LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    if (!lpPrevWndFunc) return 0;
    return lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

DWORD WINAPI GetMessageTime() { return S().messageTime; }

DWORD WINAPI GetMessagePos() {
    POINT p = S().messagePos;
    return static_cast<DWORD>(MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

int WINAPI TranslateAcceleratorW(HWND, HACCEL hAccTable, LPMSG) {
    if (hAccTable) Fail(ERROR_INVALID_HANDLE);
    return 0;
}

BOOL WINAPI DestroyAcceleratorTable(HACCEL) { return FALSE; }
