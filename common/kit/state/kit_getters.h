// Getters and small setters of the framework state: how the application, the
// GUI and the framework's units read it. Each reads or writes under the state
// lock; settings and descriptions are handed out as copies.
#pragma once

#include "common/kit/state/kit_callbacks.h"

IDirect3D9* KitGetD3DObject();
IDirect3DDevice9* KitCurrentDevice();
const D3DSURFACE_DESC* KitGetBackBufferSurfaceDesc();
const D3DCAPS9* KitCurrentCaps();
HINSTANCE KitAppInstance();
HWND KitActiveWindow();  // windowed device window when windowed, else the full-screen one
HWND KitFocusWindow();
HWND KitFullScreenWindow();
HWND KitWindowedWindow();
RECT KitClientRect();  // client rectangle of KitActiveWindow
RECT KitWindowedSizeAtSwitch();
RECT KitFullScreenSizeAtSwitch();
double KitCurrentTime();
float KitFrameElapsed();
float KitFramesPerSecond();
const WCHAR* KitWindowTitle();
bool KitRenderingHeld();
bool KitTimeHeld();
bool KitAppActive();
int KitProcessExitCode();
bool KitErrorBoxesEnabled();
bool KitAutomationMode();
bool KitDefaultHotkeysEnabled();
bool KitInWindowedMode();
bool KitInFullScreenMode();        // current settings exist and are full screen
KitDeviceSetup KitCurrentSetup();  // all zero without current settings
D3DPRESENT_PARAMETERS KitCurrentPresentParams();
bool KitKeyDown(BYTE vKey);
bool KitMouseButtonDown(BYTE vButton);
void KitSetFollowMonitor(bool bFollow);
void KitSetDefaultWindowProcessing(bool bCallDefWindowProc);
void KitSetFixedFrameTime(bool bEnabled, float fTimePerFrame);
