// Names of Direct3D enumeration values, as shown by the settings dialog and
// the device statistics line. Every result is a constant string.
#pragma once

#include "platform/d3d9.h"

// Name of a surface format; with bWithPrefix false the "D3DFMT_" prefix is left off.
const WCHAR* KitFormatName(D3DFORMAT format, bool bWithPrefix);
const WCHAR* KitDeviceTypeName(D3DDEVTYPE devType);
const WCHAR* KitSampleTypeName(D3DMULTISAMPLE_TYPE sampleType);
// Label of one vertex-processing behaviour flag (0x10, 0x20, 0x40 or 0x80).
const WCHAR* KitVertexProcessingName(DWORD behaviorFlag);
const WCHAR* KitPresentIntervalName(UINT presentInterval);
