// Creating the framework's window, or adopting the application's windows.
#pragma once

#include "platform/win32.h"

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
