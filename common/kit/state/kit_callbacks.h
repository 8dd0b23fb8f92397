// The device settings record shared by the framework core, device
// enumeration, settings matching and the settings dialog, and the kinds of
// application callback the framework calls. Every callback gets back, as its
// last argument, the user context registered with it.
#pragma once

#include "platform/d3d9.h"
#include "platform/win32.h"

// One complete set of device settings; a plain record copied by value.
struct KitDeviceSetup {
    UINT AdapterOrdinal;                  // adapter as the Direct3D object numbers them
    D3DDEVTYPE DeviceType;                // 1 HAL, 2 REF, 3 SW
    D3DFORMAT AdapterFormat;              // display format of the adapter
    DWORD BehaviorFlags;                  // D3DCREATE_* device-creation flags
    D3DPRESENT_PARAMETERS PresentParams;  // windowed 0 x 0 = the client area's size
};

// A combination is acceptable (catalogue population).
typedef bool (*KitAcceptDeviceFn)(D3DCAPS9* pCaps, D3DFORMAT AdapterFormat, D3DFORMAT BackBufferFormat,
                                  bool bWindowed, void* pUserContext);
// May change the settings before every device change; false rejects the change.
typedef bool (*KitModifySetupFn)(KitDeviceSetup* pSetup, const D3DCAPS9* pCaps, void* pUserContext);
typedef HRESULT (*KitDeviceCreatedFn)(IDirect3DDevice9* pd3dDevice,
                                      const D3DSURFACE_DESC* pBackBufferSurfaceDesc, void* pUserContext);
typedef HRESULT (*KitDeviceResetFn)(IDirect3DDevice9* pd3dDevice,
                                    const D3DSURFACE_DESC* pBackBufferSurfaceDesc, void* pUserContext);
typedef void (*KitDeviceLostFn)(void* pUserContext);
typedef void (*KitDeviceDestroyedFn)(void* pUserContext);
typedef void (*KitFrameMoveFn)(IDirect3DDevice9* pd3dDevice, double fTime, float fElapsedTime,
                               void* pUserContext);
typedef void (*KitFrameRenderFn)(IDirect3DDevice9* pd3dDevice, double fTime, float fElapsedTime,
                                 void* pUserContext);
// nChar is the key message's whole wParam.
typedef void (*KitKeyboardFn)(UINT nChar, bool bKeyDown, bool bAltDown, void* pUserContext);
// Buttons: left, right, middle, first extra, second extra; x and y in client coordinates.
typedef void (*KitMouseFn)(bool bLeftButtonDown, bool bRightButtonDown, bool bMiddleButtonDown,
                           bool bSideButton1Down, bool bSideButton2Down, int nMouseWheelDelta, int xPos,
                           int yPos, void* pUserContext);
// *pbNoFurtherProcessing is false on entry; setting it true stops the framework's own handling.
typedef LRESULT (*KitMsgProcFn)(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                bool* pbNoFurtherProcessing, void* pUserContext);
// idEvent is the timer's identifier from KitSetTimer.
typedef void (*KitTimerFn)(UINT idEvent, void* pUserContext);

// Registration; the application calls these before KitStartup.
void KitRegisterDeviceCreated(KitDeviceCreatedFn pCallback, void* pUserContext = nullptr);
void KitRegisterDeviceReset(KitDeviceResetFn pCallback, void* pUserContext = nullptr);
void KitRegisterDeviceLost(KitDeviceLostFn pCallback, void* pUserContext = nullptr);
void KitRegisterDeviceDestroyed(KitDeviceDestroyedFn pCallback, void* pUserContext = nullptr);
void KitRegisterModifySetup(KitModifySetupFn pCallback, void* pUserContext = nullptr);
void KitRegisterFrameMove(KitFrameMoveFn pCallback, void* pUserContext = nullptr);
void KitRegisterFrameRender(KitFrameRenderFn pCallback, void* pUserContext = nullptr);
void KitRegisterKeyboard(KitKeyboardFn pCallback, void* pUserContext = nullptr);
void KitRegisterMouse(KitMouseFn pCallback, bool bIncludeMouseMove = false, void* pUserContext = nullptr);
void KitRegisterMsgProc(KitMsgProcFn pCallback, void* pUserContext = nullptr);
