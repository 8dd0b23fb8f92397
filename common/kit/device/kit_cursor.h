// The cursor in full-screen mode, and the copy of a window cursor into the device.
#pragma once

#include "platform/d3d9.h"

// Stores the full-screen cursor switches and applies them to the current device.
void KitSetCursorPolicy(bool bShowCursorWhenFullScreen, bool bClipCursorWhenFullScreen);
// Applies the full-screen cursor switches (hide/show, clip) to the current device.
void KitApplyCursorPolicy();
// Copies a window cursor into the device's cursor (A8R8G8B8, transparent where the mask is set).
HRESULT KitCopyCursorToDevice(IDirect3DDevice9* pd3dDevice, HCURSOR hCursor);
