// Requests naming X windows that do not exist. Xlib's macros stay in this
// file, away from the test framework's headers.
#include "tests/platform/sdl/x_bad_request.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_syswm.h>
#include <X11/Xlib.h>

namespace tumbral_test {

bool SendRequestForAMissingWindow() {
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay) return false;
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(pDisplay, 0x3fffff0, DefaultRootWindow(pDisplay), 0, 0, &x, &y, &child);
    XSync(pDisplay, False);
    XCloseDisplay(pDisplay);
    return true;
}

bool AskWhereAGoneWindowIs(unsigned int sdlWindowId, unsigned long& gone) {
    SDL_Window* pWindow = SDL_GetWindowFromID(sdlWindowId);
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!pWindow || !SDL_GetWindowWMInfo(pWindow, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    Display* pSdl = info.info.x11.display;
    // The other client (a window manager with its frame) stays connected until the
    // question is answered, so that the window's id cannot be handed out again.
    Display* pOther = XOpenDisplay(nullptr);
    if (!pOther) return false;
    Window frame = XCreateSimpleWindow(pOther, DefaultRootWindow(pOther), 0, 0, 10, 10, 0, 0, 0);
    XDestroyWindow(pOther, frame);
    XSync(pOther, False);
    int x = 0;
    int y = 0;
    Window child = 0;
    XTranslateCoordinates(pSdl, frame, DefaultRootWindow(pSdl), 0, 0, &x, &y, &child);
    XSync(pSdl, False);
    XCloseDisplay(pOther);
    gone = frame;
    return true;
}

}  // namespace tumbral_test
