// Device lifecycle: building, changing, resetting and releasing the device,
// and terminating the framework. Defined with the device lifecycle.
#pragma once

#include "kit/state/kit_callbacks.h"

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
// The one place where devices change: veto, window preparation, reset or
// recreation with the device callbacks, window sizing and showing.
HRESULT KitApplyDeviceSetup(const KitDeviceSetup* pNewSetup, IDirect3DDevice9* pd3dDeviceFromApp,
                            bool bForceRecreate, bool bClipWindowToAdapter);
// The command line's adapter, mode, device type, size and vertex processing, written into the record.
void KitApplyCommandLineOverrides(KitDeviceSetup* pSetup);
// Windowed <-> full screen, and HAL <-> REF; a failed switch falls back to the previous settings.
HRESULT KitFlipFullScreen();
HRESULT KitFlipReferenceDevice();
// Creates (or adopts) the device from the current settings and runs the created and reset callbacks.
HRESULT KitOpen3DEnvironment(IDirect3DDevice9* pd3dDeviceFromApp);
// Lost callback, Reset, reset callback.
HRESULT KitRestore3DEnvironment();
// Lost and destroyed callbacks, then releases the device (and the current settings when asked).
void KitCleanup3DEnvironment(bool bReleaseSettings = true);
// Reads back buffer 0's description into the state.
void KitRefreshBackBufferDesc();

// Closes the window, stores the exit code, releases the device and the
// Direct3D object and gives the user's accessibility keys back. An exit code
// of 0 does not replace a failure code already stored.
void KitTerminate(int nExitCode = 0);
