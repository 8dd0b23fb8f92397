// A window of the platform's window system whose messages go to the camera or
// arcball under test; helpers send mouse, wheel and key messages with the
// parameter layouts a real backend produces.
#pragma once

#include <functional>
#include <utility>

#include "platform/win32.h"

class CameraTestWindow {
  public:
    typedef std::function<void(HWND, UINT, WPARAM, LPARAM)> Handler;

    explicit CameraTestWindow(Handler handler) : m_handler(std::move(handler)) {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &CameraTestWindow::WndProc;
        wc.lpszClassName = kClassName;
        RegisterClassExW(&wc);  // fails harmlessly when a fixture registered it already
        m_hWnd = CreateWindowExW(0, kClassName, L"camera test", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                                 nullptr, nullptr, nullptr);
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CameraTestWindow() {
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
    }
    CameraTestWindow(const CameraTestWindow&) = delete;
    CameraTestWindow& operator=(const CameraTestWindow&) = delete;

    HWND hwnd() const { return m_hWnd; }

    LRESULT Send(UINT uMsg, WPARAM wParam, LPARAM lParam) {
        return SendMessageW(m_hWnd, uMsg, wParam, lParam);
    }

    // Client coordinates; wParam carries the MK_* buttons held after the event.
    void LeftDown(int x, int y) { Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
    void LeftUp(int x, int y) { Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
    void RightDown(int x, int y) { Send(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y)); }
    void RightUp(int x, int y) { Send(WM_RBUTTONUP, 0, MAKELPARAM(x, y)); }
    void Move(int x, int y, WPARAM mk) { Send(WM_MOUSEMOVE, mk, MAKELPARAM(x, y)); }

    // Delta in the high word of wParam; the point in screen coordinates.
    void Wheel(int delta, int x, int y) {
        POINT pt = {x, y};
        ClientToScreen(m_hWnd, &pt);
        Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<SHORT>(delta))),
             MAKELPARAM(pt.x, pt.y));
    }

    // Repeat count 1; a key-up has the previous-state and transition bits set.
    void KeyDown(UINT vk) { Send(WM_KEYDOWN, vk, 1); }
    void KeyUp(UINT vk) { Send(WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u)); }

  private:
    static constexpr const WCHAR* kClassName = L"CameraTestWindow";

    static LRESULT CALLBACK WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CameraTestWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (self && self->m_handler) self->m_handler(hWnd, uMsg, wParam, lParam);
        return DefWindowProcW(hWnd, uMsg, wParam, lParam);
    }

    Handler m_handler;
    HWND m_hWnd = nullptr;
};
