// The two switches the hot keys offer.
#pragma once

#include "platform/win32.h"

// Windowed <-> full screen, and HAL <-> REF; a failed switch falls back to the previous settings.
HRESULT KitFlipFullScreen();
HRESULT KitFlipReferenceDevice();
