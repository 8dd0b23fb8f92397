// Creating, resetting and releasing the device itself, with the application's
// device callbacks and the resource cache.
#pragma once

#include "platform/d3d9.h"

// Creates (or adopts) the device from the current settings and runs the created and reset callbacks.
HRESULT KitOpen3DEnvironment(IDirect3DDevice9* pd3dDeviceFromApp);
// Lost callback, Reset, reset callback.
HRESULT KitRestore3DEnvironment();
// Lost and destroyed callbacks, then releases the device (and the current settings when asked).
void KitCleanup3DEnvironment(bool bReleaseSettings = true);
// Reads back buffer 0's description into the state.
void KitRefreshBackBufferDesc();
