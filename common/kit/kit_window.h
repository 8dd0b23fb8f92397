// Window and message handling: the window procedure, the full-screen cursor
// and the accessibility-key policy. Defined with the window handling.
#pragma once

#include "platform/d3d9.h"

// Applies the full-screen cursor switches (hide/show, clip) to the current device.
void KitApplyCursorPolicy();
