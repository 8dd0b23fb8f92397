// SDL's own state for tests; SDL's macros stay in this file.
#include "tests/platform/sdl/sdl_subsystems.h"

#include <SDL2/SDL.h>

namespace tumbral_test {

bool GameControllersOpen() { return SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0; }

}  // namespace tumbral_test
