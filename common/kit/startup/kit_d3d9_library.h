// The Direct3D library loaded at run time: the Direct3D object and the
// performance-marker entry points.
#pragma once

#include "platform/d3d9.h"

// Loads d3d9.dll from the system folder once and resolves its entry points;
// false (and another try at the next call) when it cannot be had.
bool KitLoadD3D9();
// A new Direct3D object, or null when the library or its entry is missing.
IDirect3D9* KitCreateD3D9(UINT SDKVersion);
// Performance markers; -1 when the entry points are missing.
int KitPerfBeginEvent(D3DCOLOR col, const WCHAR* wszName);
int KitPerfEndEvent();
