// Frame-rate bookkeeping and the statistics texts for the application's HUD.
#pragma once

#include "platform/win32.h"

// Once per frame: counts the frame and, after more than a second, updates the rate and its text.
void KitTickFrameStats();
// The frame statistics: the settings text with the frame rate (when asked) in its slot.
const WCHAR* KitFrameStatsText(bool bIncludeFPS);
// The device statistics.
const WCHAR* KitDeviceStatsText();
