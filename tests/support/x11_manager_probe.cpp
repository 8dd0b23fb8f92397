// A probe window that shows when the window manager handles new windows
// (see x11_manager_probe.h).
#include "tests/support/x11_manager_probe.h"

#include <chrono>
#include <thread>

#include <X11/Xlib.h>

namespace tumbral_test {
namespace {

// The probe's parent is no longer the root window: the manager framed it.
bool Framed(Display* pDisplay, Window probe) {
    Window root = 0, parent = 0;
    Window* pChildren = nullptr;
    unsigned int nChildren = 0;
    if (!XQueryTree(pDisplay, probe, &root, &parent, &pChildren, &nChildren)) return false;
    if (pChildren) XFree(pChildren);
    return parent != root;
}

// Nobody mapped the probe yet: the manager has not (yet) taken up a request to map it.
bool Unmapped(Display* pDisplay, Window probe) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(pDisplay, probe, &attributes) && attributes.map_state == IsUnmapped;
}

}  // namespace

bool WindowManagerFramesWindows(int timeoutMs) {
    Display* pDisplay = XOpenDisplay(nullptr);
    if (!pDisplay) return false;
    Window probe = XCreateSimpleWindow(pDisplay, DefaultRootWindow(pDisplay), 0, 0, 16, 16, 0, 0, 0);
    const auto start = std::chrono::steady_clock::now();
    auto elapsedMs = [&] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    };
    bool bFramed = false;
    for (long nextMapMs = 0; !bFramed && elapsedMs() < timeoutMs;) {
        if (elapsedMs() >= nextMapMs && Unmapped(pDisplay, probe)) {
            XMapWindow(pDisplay, probe);  // asks the manager (again) to map it
            nextMapMs = elapsedMs() + 1000;
        }
        XSync(pDisplay, False);
        bFramed = Framed(pDisplay, probe);
        if (!bFramed) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    XDestroyWindow(pDisplay, probe);
    XCloseDisplay(pDisplay);
    return bFramed;
}

}  // namespace tumbral_test
