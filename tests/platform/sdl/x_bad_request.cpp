// A request naming an X window that does not exist. Xlib's macros stay in
// this file, away from the test framework's headers.
#include "tests/platform/sdl/x_bad_request.h"

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

}  // namespace tumbral_test
