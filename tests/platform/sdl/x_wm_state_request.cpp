// _NET_WM_STATE requests to the window manager (see x_wm_state_request.h).
#include "tests/platform/sdl/x_wm_state_request.h"

#include <X11/Xlib.h>

namespace tumbral_test {

bool AskManagerToMaximise(unsigned long xid, bool maximise) {
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay) return false;
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = xid;
    e.xclient.message_type = XInternAtom(pDisplay, "_NET_WM_STATE", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = maximise ? 1 : 0;  // _NET_WM_STATE_ADD or _NET_WM_STATE_REMOVE
    e.xclient.data.l[1] = long(XInternAtom(pDisplay, "_NET_WM_STATE_MAXIMIZED_VERT", False));
    e.xclient.data.l[2] = long(XInternAtom(pDisplay, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
    e.xclient.data.l[3] = 2;  // the request comes from a pager or task bar, not the program
    XSendEvent(pDisplay, DefaultRootWindow(pDisplay), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &e);
    XSync(pDisplay, False);
    XCloseDisplay(pDisplay);
    return true;
}

}  // namespace tumbral_test
