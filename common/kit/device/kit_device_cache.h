// The resource cache follows the device: the lifecycle forwards creation,
// reset, loss and destruction to it.
#pragma once

#include "platform/d3d9.h"

HRESULT KitCacheOnCreateDevice(IDirect3DDevice9* pd3dDevice);
HRESULT KitCacheOnResetDevice(IDirect3DDevice9* pd3dDevice);
void KitCacheOnDeviceLost();
void KitCacheOnDeviceDestroyed();
