// The window side of a device change: preparing the windows for windowed or
// full-screen use, restoring the windowed placement, and fitting the window
// to the back buffer.
#pragma once

#include "common/kit/state/kit_callbacks.h"

// Saves or restores the windowed style, placement, top-most state and menu,
// and remembers the size of the mode being left.
void KitPrepareWindowsForSetup(const KitDeviceSetup* pOld, const KitDeviceSetup* pNext);
// Back from full screen: the saved placement and top-most state.
void KitRestoreWindowedPlacement();
// Whether the windowed device window must be resized for the back buffer (and the work area, with clipping).
bool KitWindowNeedsResize(const KitDeviceSetup* pNext, bool bClipWindowToAdapter);
// Resizes the windowed device window for the back buffer; with clipping it is
// limited to, and if needed centred on, the adapter monitor's work area.
void KitResizeWindowForBackBuffer(const KitDeviceSetup* pNext, bool bClipWindowToAdapter);
