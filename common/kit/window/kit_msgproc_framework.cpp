// The framework's own handling of window messages: full-screen switching by
// Alt+Enter, closing, painting while paused, activation, the full-screen
// cursor and window commands, pausing around moves and menus, power events.
#include "common/kit/window/kit_msgproc_framework.h"

#include "common/kit/base/kit_clock.h"
#include "common/kit/base/kit_window_devices.h"
#include "common/kit/device/kit_device_flip.h"
#include "common/kit/startup/kit_accessibility_keys.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"
#include "common/kit/time/kit_timers.h"
#include "common/kit/window/kit_hotkeys.h"
#include "common/kit/window/kit_window_sizing.h"

namespace {

// WM_PAINT while rendering is paused: the last frame again.
void PaintWhilePaused() {
    CKitCoreState& s = KitCore();
    IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
    if (pd3dDevice == nullptr || !KitRenderingHeld()) return;
    KitFrameRenderFn pfnFrameRender;
    void* pContext;
    double fTime;
    float fElapsed;
    {
        KitStateLock lock;
        if (!s.m_bDeviceObjectsCreated || !s.m_bDeviceObjectsReset) return;
        pfnFrameRender = s.m_pfnFrameRender;
        pContext = s.m_pFrameRenderContext;
        fTime = s.m_fTime;
        fElapsed = s.m_fElapsed;
    }
    if (pfnFrameRender != nullptr) pfnFrameRender(pd3dDevice, fTime, fElapsed, pContext);
    HRESULT hr = pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
    if (hr == D3DERR_DEVICELOST || hr == D3DERR_DRIVERINTERNALERROR)
        s.Set(&CKitCoreState::m_bDeviceLost, true);
}

void Close(HWND hWnd) {
    HMENU hMenu = GetMenu(hWnd);
    if (hMenu != nullptr) DestroyMenu(hMenu);
    DestroyWindow(hWnd);
    UnregisterClassW(L"Direct3DWindowClass", nullptr);
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    s.m_hWndFocus = nullptr;
    s.m_hWndFullScreen = nullptr;
    s.m_hWndWindowed = nullptr;
}

void ActivateApp(bool bActivating) {
    CKitCoreState& s = KitCore();
    bool bActive = s.Get(&CKitCoreState::m_bActive);
    if (bActivating && !bActive) {
        s.Set(&CKitCoreState::m_bActive, true);
        if (s.Get(&CKitCoreState::m_bMinimizedWhileFullScreen)) {
            KitSuspend(false, false);
            s.Set(&CKitCoreState::m_bMinimizedWhileFullScreen, false);
        }
        KitAllowAccessibilityKeys(KitInWindowedMode() ? s.Get(&CKitCoreState::m_bAllowKeysWindowed)
                                                      : s.Get(&CKitCoreState::m_bAllowKeysFullScreen));
    } else if (!bActivating && bActive) {
        s.Set(&CKitCoreState::m_bActive, false);
        KitStopGamepadVibration();
        if (KitInFullScreenMode()) {
            ClipCursor(nullptr);
            KitSuspend(true, true);
            s.Set(&CKitCoreState::m_bMinimizedWhileFullScreen, true);
        }
        KitAllowAccessibilityKeys(true);
    }
}

bool IsDroppedFullScreenCommand(WPARAM wParam) {
    switch (wParam & 0xFFF0) {
        case SC_MOVE:
        case SC_SIZE:
        case SC_MAXIMIZE:
        case SC_KEYMENU:
        case SC_MONITORPOWER:
            return true;
        default:
            return false;
    }
}

}  // namespace

bool KitHandleFrameworkMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    CKitCoreState& s = KitCore();
    *pResult = 0;
    switch (uMsg) {
        case WM_SYSKEYDOWN:
            if (wParam == VK_RETURN && s.Get(&CKitCoreState::m_bHandleAltEnter) &&
                (lParam & (1 << 29)) != 0) {
                KitSuspend(true, true);
                KitFlipFullScreen();
                KitSuspend(false, false);
                return true;
            }
            return false;
        case WM_DESTROY:
            PostQuitMessage(0);
            return false;
        case WM_SIZE:
            KitHandleSizeMessage(wParam);
            return false;
        case WM_PAINT:
            PaintWhilePaused();
            return false;
        case WM_CLOSE:
            Close(hWnd);
            return true;
        case WM_ACTIVATEAPP:
            ActivateApp(wParam != 0);
            return false;
        case WM_SETCURSOR:
            if (KitAppActive() && KitInFullScreenMode()) {
                IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
                if (pd3dDevice != nullptr && s.Get(&CKitCoreState::m_bShowCursorFullScreen))
                    pd3dDevice->ShowCursor(TRUE);
                *pResult = TRUE;
                return true;
            }
            return false;
        case WM_GETMINMAXINFO: {
            MINMAXINFO* pInfo = reinterpret_cast<MINMAXINFO*>(lParam);
            pInfo->ptMinTrackSize.x = 200;
            pInfo->ptMinTrackSize.y = 200;
            return false;
        }
        case WM_NCHITTEST:
            if (KitInFullScreenMode()) {
                *pResult = HTCLIENT;
                return true;
            }
            return false;
        case WM_KEYDOWN:
            if (s.Get(&CKitCoreState::m_bHandleDefaultHotkeys)) KitHandleHotkey(hWnd, wParam);
            return false;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMQUERYSUSPEND) {
                *pResult = TRUE;
                return true;
            }
            if (wParam == PBT_APMRESUMESUSPEND) {
                KitClock()->Rewind();
                s.Set(&CKitCoreState::m_fLastStatsTime, 0.0);
                *pResult = TRUE;
                return true;
            }
            return false;
        case WM_ENTERSIZEMOVE:
            KitSuspend(true, true);
            s.Set(&CKitCoreState::m_bInSizeMove, true);
            return false;
        case WM_EXITSIZEMOVE:
            KitSuspend(false, false);
            KitCheckClientSize();
            KitCheckWindowMonitor();
            s.Set(&CKitCoreState::m_bInSizeMove, false);
            return false;
        case WM_ENTERMENULOOP:
            KitSuspend(true, true);
            return false;
        case WM_EXITMENULOOP:
            KitSuspend(false, false);
            return false;
        case WM_MOUSEMOVE:
            if (KitAppActive() && KitInFullScreenMode()) {
                IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
                if (pd3dDevice != nullptr) {
                    POINT ptCursor;
                    GetCursorPos(&ptCursor);
                    pd3dDevice->SetCursorPosition(ptCursor.x, ptCursor.y, 0);
                }
            }
            return false;
        case WM_SYSCOMMAND:
            if (KitInFullScreenMode() && IsDroppedFullScreenCommand(wParam)) return true;
            return false;
        case WM_MENUCHAR:
            *pResult = MAKELRESULT(0, MNC_CLOSE);
            return true;
        default:
            return false;
    }
}
