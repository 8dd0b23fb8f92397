// Getting the first device: from a request matched against the catalogue,
// from a complete settings record, or by adopting the application's device.
#pragma once

#include "common/kit/state/kit_callbacks.h"

// The application's normal way to get a device: populates the catalogue,
// matches the request (and the command line) against it and applies it.
HRESULT KitBuildDevice(UINT AdapterOrdinal = 0, bool bWindowed = true, int nSuggestedWidth = 0,
                       int nSuggestedHeight = 0, KitAcceptDeviceFn pfnAcceptDevice = nullptr,
                       KitModifySetupFn pfnModifySetup = nullptr, void* pUserContext = nullptr);
// Applies a complete record (matched with every rule NEAREST unless bUseAsIs).
HRESULT KitBuildDeviceFromSetup(KitDeviceSetup* pSetup, bool bUseAsIs = false,
                                bool bClipWindowToAdapter = true);
// Adopts a device the application created.
HRESULT KitSetDevice(IDirect3DDevice9* pd3dDevice);
