// Maps SDL scancodes to Windows-style virtual-key codes and set-1 scan codes.
#pragma once

#include <SDL2/SDL_scancode.h>

#include "platform/win32types.h"

namespace plat {

struct KeyCode {
    UINT vk = 0;        // 0: no virtual key
    UINT scanCode = 0;  // set-1 make code
    bool extended = false;
};

KeyCode KeyFromScancode(SDL_Scancode sc);

}  // namespace plat
