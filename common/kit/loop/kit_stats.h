// Frame-rate and device statistics texts for the application's HUD.
#pragma once

#include "platform/d3d9.h"

// Once per frame: counts the frame and, after more than a second, updates the rate and its text.
void KitTickFrameStats();
// After every device change: the settings text (vsync, back-buffer size, formats, multisampling).
void KitComposeStaticStats();
// After every device creation: device type, vertex processing and, for HAL, the adapter.
void KitComposeDeviceStats(D3DDEVTYPE DeviceType, DWORD BehaviorFlags,
                           D3DADAPTER_IDENTIFIER9* pAdapterIdentifier);
