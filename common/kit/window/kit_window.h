// Window and message handling: the window procedure, the full-screen cursor
// and the accessibility-key policy. The window procedure and the cursor are
// defined with the window handling; the accessibility keys in
// kit_accessibility_keys.cpp.
#pragma once

#include "platform/d3d9.h"

// Creates the framework's window ("Direct3DWindowClass", 640 x 480 client area
// unless the command line says otherwise). It is shown by the first device
// change. A second call leaves the first window in place and returns S_OK.
HRESULT KitCreateWindow(const WCHAR* strWindowTitle = L"Direct3D Window", HINSTANCE hInstance = nullptr,
                        HICON hIcon = nullptr, HMENU hMenu = nullptr, int x = CW_USEDEFAULT,
                        int y = CW_USEDEFAULT);
// Adopts windows the application made; with bHandleMessages the focus
// window's procedure becomes KitWindowProc. E_INVALIDARG for a null window.
HRESULT KitSetWindow(HWND hWndFocus, HWND hWndDeviceFullScreen, HWND hWndDeviceWindowed,
                     bool bHandleMessages = true);
// The framework's window procedure: keyboard callback, mouse callback,
// message callback, the framework's own handling, DefWindowProc.
LRESULT CALLBACK KitWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
// A windowed back buffer follows the client area: changes the device when the sizes differ.
void KitCheckClientSize();
// Follows the window to another adapter's monitor (when the follow switch is on).
void KitCheckWindowMonitor();
// The first catalogue adapter whose monitor is hMonitor; E_FAIL when none.
HRESULT KitAdapterOfMonitor(HMONITOR hMonitor, UINT* pAdapterOrdinal);
// Copies a window cursor into the device's cursor (A8R8G8B8, transparent where the mask is set).
HRESULT KitCopyCursorToDevice(IDirect3DDevice9* pd3dDevice, HCURSOR hCursor);
// Stops the vibration of all four game pads (xinput1_3.dll, loaded on first use).
void KitStopGamepadVibration();
// The monitor functions, looked up in user32 on first use; without them the
// screen counts as one primary monitor.
HMONITOR KitMonitorFromWindow(HWND hWnd, DWORD dwFlags);
BOOL KitGetMonitorInfo(HMONITOR hMonitor, LPMONITORINFO lpMonitorInfo);

// Applies the full-screen cursor switches (hide/show, clip) to the current device.
void KitApplyCursorPolicy();

// Stores whether the accessibility shortcut keys stay available when full
// screen and when windowed; once the framework is initialised, applies the
// one for the current mode.
void KitSetAccessibilityKeyPolicy(bool bAllowWhenFullScreen, bool bAllowWhenWindowed);
// Allow: the user's start-up settings go back and the Windows-key hook is
// removed. Suppress: the hook is installed and the shortcut hot keys of the
// features that are off are disabled.
void KitAllowAccessibilityKeys(bool bAllowKeys);
// The low-level keyboard hook: swallows the Windows keys while the keys are suppressed.
LRESULT CALLBACK KitWindowsKeyHook(int nCode, WPARAM wParam, LPARAM lParam);
