// One formatted line on the debug output.
#pragma once

#include "platform/win32.h"

// Formats at most 511 characters (printf rules of the platform: %ls is wide
// text) and writes them to the debug output.
void KitDebugLine(const WCHAR* strFormat, ...);
