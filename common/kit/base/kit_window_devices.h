// System services the window handling reaches by name: the monitor functions
// and the game pads.
#pragma once

#include "platform/win32.h"

// Stops the vibration of all four game pads (xinput1_3.dll, loaded on first use).
void KitStopGamepadVibration();
// The monitor functions, looked up in user32 on first use; without them the
// screen counts as one primary monitor.
HMONITOR KitMonitorFromWindow(HWND hWnd, DWORD dwFlags);
BOOL KitGetMonitorInfo(HMONITOR hMonitor, LPMONITORINFO lpMonitorInfo);
