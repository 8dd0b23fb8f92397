// The window side of a device change. Leaving windowed mode saves the
// window's placement, style, top-most state and menu; coming back restores
// them. A windowed back buffer of a given size gets a window to match.
#include "common/kit/device/kit_apply_window.h"

#include <algorithm>

#include "common/kit/base/kit_window_devices.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"

namespace {

bool IsWindowed(const KitDeviceSetup* pSetup) {
    return pSetup != nullptr && pSetup->PresentParams.Windowed != 0;
}

// Work area of the monitor of an adapter.
RECT AdapterWorkArea(UINT nAdapter) {
    MONITORINFO info{};
    info.cbSize = sizeof(MONITORINFO);
    IDirect3D9* pD3D = KitGetD3DObject();
    if (pD3D != nullptr) KitGetMonitorInfo(pD3D->GetAdapterMonitor(nAdapter), &info);
    return info.rcWork;
}

// Whether the window's frame includes a menu bar: it has a menu now, or its
// menu is put away while full screen.
bool HasMenu(HWND hWnd) {
    return GetMenu(hWnd) != nullptr || KitCore().Get(&CKitCoreState::m_hSavedMenu) != nullptr;
}

// Any edge of the rectangle lies outside the work area.
bool OutsideWorkArea(const RECT& rc, const RECT& rcWork) {
    return rc.left < rcWork.left || rc.right > rcWork.right || rc.top < rcWork.top ||
           rc.bottom > rcWork.bottom;
}

// The client size of the windowed device window, also while it is minimised.
SIZE WindowedClientSize(HWND hWnd) {
    CKitCoreState& s = KitCore();
    RECT rcClient = {0, 0, 0, 0};
    if (IsIconic(hWnd)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(WINDOWPLACEMENT);
        GetWindowPlacement(hWnd, &placement);
        if ((placement.flags & WPF_RESTORETOMAXIMIZED) != 0 && placement.showCmd == SW_SHOWMINIMIZED) {
            // Restoring would maximise it: ask the maximised window.
            ShowWindow(hWnd, SW_RESTORE);
            GetClientRect(hWnd, &rcClient);
            ShowWindow(hWnd, SW_MINIMIZE);
        } else {
            RECT rcFrame = {0, 0, 0, 0};
            AdjustWindowRect(&rcFrame, s.Get(&CKitCoreState::m_dwWindowedStyle), HasMenu(hWnd));
            const RECT& rcNormal = placement.rcNormalPosition;
            rcClient.right = (rcNormal.right - rcNormal.left) - (rcFrame.right - rcFrame.left);
            rcClient.bottom = (rcNormal.bottom - rcNormal.top) - (rcFrame.bottom - rcFrame.top);
        }
    } else {
        GetClientRect(hWnd, &rcClient);
    }
    return SIZE{rcClient.right - rcClient.left, rcClient.bottom - rcClient.top};
}

// Whether the windowed device window already wears the full-screen popup
// style: a change that is repeated after a failed reset finds the window
// prepared, and what it would save now is not the windowed placement and style.
bool AlreadyFullScreenStyle(HWND hWndFullScreen, HWND hWndWindowed) {
    const DWORD dwIgnored = WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE;
    const DWORD dwFullScreen = WS_POPUP | WS_SYSMENU;
    DWORD dwStyle = static_cast<DWORD>(GetWindowLongW(hWndWindowed, GWL_STYLE));
    return hWndFullScreen == hWndWindowed && (dwStyle & ~dwIgnored) == dwFullScreen;
}

}  // namespace

void KitPrepareWindowsForSetup(const KitDeviceSetup* pOld, const KitDeviceSetup* pNext) {
    CKitCoreState& s = KitCore();
    HWND hWndFullScreen = KitFullScreenWindow();
    HWND hWndWindowed = KitWindowedWindow();

    if (IsWindowed(pNext)) {
        if (pOld != nullptr && !IsWindowed(pOld)) {
            {
                KitStateLock lock;
                s.m_nFullScreenWidthAtSwitch = pOld->PresentParams.BackBufferWidth;
                s.m_nFullScreenHeightAtSwitch = pOld->PresentParams.BackBufferHeight;
            }
            SetWindowLongW(hWndWindowed, GWL_STYLE,
                           static_cast<LONG>(s.Get(&CKitCoreState::m_dwWindowedStyle)));
        }
        HMENU hSavedMenu = s.Get(&CKitCoreState::m_hSavedMenu);
        if (hWndFullScreen != hWndWindowed)
            ShowWindow(hWndFullScreen, SW_HIDE);
        else if (hSavedMenu != nullptr)
            SetMenu(hWndWindowed, hSavedMenu);
        return;
    }

    bool bFromWindowed = pOld == nullptr || IsWindowed(pOld);
    if (bFromWindowed && (pOld == nullptr || !AlreadyFullScreenStyle(hWndFullScreen, hWndWindowed))) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof(WINDOWPLACEMENT);
        GetWindowPlacement(hWndWindowed, &placement);
        bool bTopmost = (GetWindowLongW(hWndWindowed, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        DWORD dwStyle = static_cast<DWORD>(GetWindowLongW(hWndWindowed, GWL_STYLE)) & 0xDEFFFFFFu;
        KitStateLock lock;
        s.m_WindowedPlacement = placement;
        s.m_bTopmostWhileWindowed = bTopmost;
        s.m_dwWindowedStyle = dwStyle;
        if (pOld != nullptr) {
            s.m_nWindowedWidthAtSwitch = pOld->PresentParams.BackBufferWidth;
            s.m_nWindowedHeightAtSwitch = pOld->PresentParams.BackBufferHeight;
        }
    }

    // Hidden while it changes from a framed window to a popup. A window that
    // is full screen already stays up: a full-screen device needs its window in front.
    if (bFromWindowed) ShowWindow(hWndFullScreen, SW_HIDE);
    LONG nVisible = GetWindowLongW(hWndFullScreen, GWL_STYLE) & WS_VISIBLE;
    SetWindowLongW(hWndFullScreen, GWL_STYLE, WS_POPUP | WS_SYSMENU | nVisible);
    if (hWndFullScreen == hWndWindowed) {
        // A change between two full-screen modes finds the menu already put away.
        HMENU hMenu = GetMenu(hWndFullScreen);
        if (hMenu != nullptr) {
            s.Set(&CKitCoreState::m_hSavedMenu, hMenu);
            SetMenu(hWndFullScreen, nullptr);
        }
    }

    WINDOWPLACEMENT placement{};
    placement.length = sizeof(WINDOWPLACEMENT);
    GetWindowPlacement(hWndFullScreen, &placement);
    if ((placement.flags & WPF_RESTORETOMAXIMIZED) != 0) {
        placement.flags &= ~static_cast<UINT>(WPF_RESTORETOMAXIMIZED);
        placement.showCmd = SW_RESTORE;
        SetWindowPlacement(hWndFullScreen, &placement);
    }
}

void KitRestoreWindowedPlacement() {
    CKitCoreState& s = KitCore();
    HWND hWndWindowed = KitWindowedWindow();
    WINDOWPLACEMENT placement = s.Get(&CKitCoreState::m_WindowedPlacement);
    SetWindowPlacement(hWndWindowed, &placement);
    HWND hWndInsertAfter = s.Get(&CKitCoreState::m_bTopmostWhileWindowed) ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(hWndWindowed, hWndInsertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOREDRAW);
}

bool KitWindowNeedsResize(const KitDeviceSetup* pNext, bool bClipWindowToAdapter) {
    HWND hWndWindowed = KitWindowedWindow();
    SIZE client = WindowedClientSize(hWndWindowed);
    bool bNeedsResize = static_cast<UINT>(client.cx) != pNext->PresentParams.BackBufferWidth ||
                        static_cast<UINT>(client.cy) != pNext->PresentParams.BackBufferHeight;

    if (bClipWindowToAdapter && !IsIconic(hWndWindowed)) {
        RECT rcWork = AdapterWorkArea(pNext->AdapterOrdinal);
        IDirect3D9* pD3D = KitGetD3DObject();
        HMONITOR hAdapterMonitor = pD3D != nullptr ? pD3D->GetAdapterMonitor(pNext->AdapterOrdinal) : nullptr;
        HMONITOR hWindowMonitor = KitMonitorFromWindow(KitActiveWindow(), MONITOR_DEFAULTTOPRIMARY);
        RECT rcWindow;
        GetWindowRect(hWndWindowed, &rcWindow);
        if (OutsideWorkArea(rcWindow, rcWork) &&
            !(hWindowMonitor == hAdapterMonitor && IsZoomed(hWndWindowed)))
            bNeedsResize = true;
    }
    return bNeedsResize;
}

void KitResizeWindowForBackBuffer(const KitDeviceSetup* pNext, bool bClipWindowToAdapter) {
    HWND hWndWindowed = KitWindowedWindow();
    if (IsIconic(hWndWindowed)) ShowWindow(hWndWindowed, SW_RESTORE);
    if (IsZoomed(hWndWindowed)) ShowWindow(hWndWindowed, SW_RESTORE);

    RECT rcWindow = {0, 0, static_cast<LONG>(pNext->PresentParams.BackBufferWidth),
                     static_cast<LONG>(pNext->PresentParams.BackBufferHeight)};
    AdjustWindowRect(&rcWindow, static_cast<DWORD>(GetWindowLongW(hWndWindowed, GWL_STYLE)),
                     HasMenu(hWndWindowed));
    int nWindowWidth = rcWindow.right - rcWindow.left;
    int nWindowHeight = rcWindow.bottom - rcWindow.top;

    if (!bClipWindowToAdapter) {
        SetWindowPos(hWndWindowed, nullptr, 0, 0, nWindowWidth, nWindowHeight, SWP_NOZORDER | SWP_NOMOVE);
        return;
    }

    RECT rcWork = AdapterWorkArea(pNext->AdapterOrdinal);
    int nWorkWidth = rcWork.right - rcWork.left;
    int nWorkHeight = rcWork.bottom - rcWork.top;
    if (nWindowWidth > nWorkWidth) nWindowWidth = nWorkWidth;
    if (nWindowHeight > nWorkHeight) nWindowHeight = nWorkHeight;
    // Never smaller than the frame around a one-pixel client area: on a screen
    // smaller than the frame the window reaches past the work area rather than
    // losing its client area (a back buffer cannot be empty).
    RECT rcSmallest = {0, 0, 1, 1};
    AdjustWindowRect(&rcSmallest, static_cast<DWORD>(GetWindowLongW(hWndWindowed, GWL_STYLE)),
                     HasMenu(hWndWindowed));
    nWindowWidth = std::max(nWindowWidth, static_cast<int>(rcSmallest.right - rcSmallest.left));
    nWindowHeight = std::max(nWindowHeight, static_cast<int>(rcSmallest.bottom - rcSmallest.top));
    int x = rcWindow.left;
    int y = rcWindow.top;
    if (OutsideWorkArea(rcWindow, rcWork)) {
        x = rcWork.left + (nWorkWidth - nWindowWidth) / 2;
        y = rcWork.top + (nWorkHeight - nWindowHeight) / 2;
    }
    SetWindowPos(hWndWindowed, nullptr, x, y, nWindowWidth, nWindowHeight, SWP_NOZORDER);
}
