// The settings and device statistics texts, composed after device changes.
#pragma once

#include "platform/d3d9.h"

// After every device change: the settings text (vsync, back-buffer size, formats, multisampling).
void KitComposeStaticStats();
// After every device creation: device type, vertex processing and, for HAL, the adapter.
void KitComposeDeviceStats(D3DDEVTYPE DeviceType, DWORD BehaviorFlags,
                           D3DADAPTER_IDENTIFIER9* pAdapterIdentifier);
