// The built-in skin: a 256 x 256, 32-bit DDS image compiled into the program
// and found among its module resources under the identifier 0xFFFF.
#pragma once

#include "platform/win32types.h"

// The skin resource's identifier and module value.
#define KIT_SKIN_RESOURCE_ID 0xFFFF
#define KIT_SKIN_MODULE_VALUE 0xFFFF
// Size of the skin image: 128-byte header plus 256 x 256 x 4 bytes of pixels.
#define KIT_SKIN_IMAGE_BYTES 262272u

// Places the compiled-in image among the module's resources on first use
// (unless a resource of that identifier, a replacement skin, is already there;
// later replacements are left in place), then finds it there. False, with null
// and 0, when no such resource exists.
bool KitFindSkinImage(const void** ppBytes, UINT* pnSize);
