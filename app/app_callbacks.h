// The application: its entry and the callbacks it registers with the
// framework, plus the HUD those callbacks draw.
#pragma once

#include "common/kit/state/kit_callbacks.h"
#include "platform/d3d9.h"

// Registers the callbacks, creates the window and the device, runs the main
// loop; returns the framework's exit code.
int AppMain();

bool AppAcceptDevice(D3DCAPS9* pCaps, D3DFORMAT AdapterFormat, D3DFORMAT BackBufferFormat, bool bWindowed,
                     void* pUserContext);
bool AppAdjustDeviceSetup(KitDeviceSetup* pSetup, const D3DCAPS9* pCaps, void* pUserContext);
HRESULT AppDeviceCreated(IDirect3DDevice9* pd3dDevice, const D3DSURFACE_DESC* pBackBufferSurfaceDesc,
                         void* pUserContext);
HRESULT AppDeviceReset(IDirect3DDevice9* pd3dDevice, const D3DSURFACE_DESC* pBackBufferSurfaceDesc,
                       void* pUserContext);
void AppDeviceLost(void* pUserContext);
void AppDeviceDestroyed(void* pUserContext);
void AppFrameMove(IDirect3DDevice9* pd3dDevice, double fTime, float fElapsedTime, void* pUserContext);
void AppFrameRender(IDirect3DDevice9* pd3dDevice, double fTime, float fElapsedTime, void* pUserContext);
LRESULT AppMsgProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, bool* pbNoFurtherProcessing,
                   void* pUserContext);
void AppKeyboard(UINT nChar, bool bKeyDown, bool bAltDown, void* pUserContext);

// The HUD: statistics at the top left, help or a hint near the bottom left.
void AppDrawHud();
// The HUD's share of the device callbacks: font and sprite.
HRESULT AppHudDeviceCreated(IDirect3DDevice9* pd3dDevice);
HRESULT AppHudDeviceReset(IDirect3DDevice9* pd3dDevice);
void AppHudDeviceLost();
void AppHudDeviceDestroyed();
