// Questions to the X server behind an SDL window, kept apart because Xlib's
// macros (None, Status, Bool, ...) clash with ordinary names elsewhere.
#pragma once

#include <SDL2/SDL.h>

namespace plat {

// The window's X server offers direct rendering (the DRI3 or DRI2 extension).
// False for other video drivers or when the server cannot be asked.
bool X11ServerOffersDri(SDL_Window* window);

}  // namespace plat
