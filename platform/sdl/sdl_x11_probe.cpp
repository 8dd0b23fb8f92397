// X server questions for the SDL backend (see sdl_x11_probe.h).
#include "platform/sdl/sdl_x11_probe.h"

#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

namespace plat {

bool X11ServerOffersDri(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    int opcode = 0, event = 0, error = 0;
    return XQueryExtension(info.info.x11.display, "DRI3", &opcode, &event, &error) ||
           XQueryExtension(info.info.x11.display, "DRI2", &opcode, &event, &error);
}

}  // namespace plat
