// X errors under SDL's X11 driver. Xlib's default handler ends the process on
// any error, also on one about a window that has just gone away (a window
// manager's frame that a full-screen switch replaced, asked for its position
// a moment too late). Such errors are logged and the program goes on.
#include "platform/sdl/sdl_x11_errors.h"

#include <X11/Xlib.h>

#include <cstdio>

namespace plat {
namespace {

int LogXError(Display* display, XErrorEvent* error) {
    char text[160] = "";
    XGetErrorText(display, error->error_code, text, sizeof text);
    std::fprintf(stderr, "tumbral: X error ignored: %s (request %d.%d, resource 0x%lx)\n", text,
                 int(error->request_code), int(error->minor_code), error->resourceid);
    return 0;
}

}  // namespace

void KeepGoingOnXErrors() { XSetErrorHandler(LogXError); }

}  // namespace plat
