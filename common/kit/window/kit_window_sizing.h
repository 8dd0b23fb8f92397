// Window size and monitor changes.
#pragma once

#include "platform/win32.h"

// WM_SIZE: pausing on minimise and resizing the back buffer.
void KitHandleSizeMessage(WPARAM wParam);
// A windowed back buffer follows the client area: changes the device when the sizes differ.
void KitCheckClientSize();
// Follows the window to another adapter's monitor (when the follow switch is on).
void KitCheckWindowMonitor();
// The first catalogue adapter whose monitor is hMonitor; E_FAIL when none.
HRESULT KitAdapterOfMonitor(HMONITOR hMonitor, UINT* pAdapterOrdinal);
