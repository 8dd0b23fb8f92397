// SDL displays as monitors: bounds, usable bounds, desktop mode and modes.
// SDL keeps displays and modes up to date from the events it takes in; the
// usable bounds are read from the X server on every call, so the list is
// kept until the next event poll or mode change.
#include <algorithm>

#include "platform/sdl/sdl_backend_impl.h"

namespace plat {
namespace {

bool ToMode(const SDL_DisplayMode& m, DisplayMode& out) {
    int bpp = SDL_BITSPERPIXEL(m.format);
    if (bpp == 24) bpp = 32;  // X8R8G8B8 reports 24 significant bits
    if (bpp != 32 && bpp != 16) return false;
    out = DisplayMode{m.w, m.h, m.refresh_rate, bpp};
    return true;
}

RECT ToRect(const SDL_Rect& r) { return RECT{r.x, r.y, r.x + r.w, r.y + r.h}; }

}  // namespace

std::vector<MonitorDesc> SdlBackend::Monitors() {
    if (monitors_) return *monitors_;
    std::vector<MonitorDesc> out;
    int n = SDL_GetNumVideoDisplays();
    for (int i = 0; i < n; ++i) {
        MonitorDesc m;
        const char* name = SDL_GetDisplayName(i);
        m.name = name ? name : "Display " + std::to_string(i + 1);
        SDL_Rect b{}, u{};
        if (SDL_GetDisplayBounds(i, &b) != 0) continue;
        if (SDL_GetDisplayUsableBounds(i, &u) != 0) u = b;
        m.bounds = ToRect(b);
        m.workArea = ToRect(u);
        m.primary = i == 0;
        // SDL's "desktop" mode is the one from before any full-screen switch; the current
        // mode is what the display shows now.
        SDL_DisplayMode dm{};
        if (SDL_GetDesktopDisplayMode(i, &dm) == 0) ToMode(dm, m.registryMode);
        if (SDL_GetCurrentDisplayMode(i, &dm) == 0) ToMode(dm, m.desktop);
        if (m.desktop.width == 0) m.desktop = m.registryMode;
        if (m.desktop.width == 0) m.desktop = DisplayMode{b.w, b.h, 0, 32};
        int count = SDL_GetNumDisplayModes(i);
        for (int k = 0; k < count; ++k) {
            DisplayMode mode;
            if (SDL_GetDisplayMode(i, k, &dm) == 0 && ToMode(dm, mode)) {
                bool dup = std::any_of(m.modes.begin(), m.modes.end(), [&](const DisplayMode& x) {
                    return x.width == mode.width && x.height == mode.height &&
                           x.refreshHz == mode.refreshHz && x.bitsPerPixel == mode.bitsPerPixel;
                });
                if (!dup) m.modes.push_back(mode);
            }
        }
        if (m.modes.empty()) m.modes.push_back(m.desktop);
        out.push_back(std::move(m));
    }
    monitors_ = out;
    return out;
}

bool SdlBackend::SetDisplayMode(int monitor, const DisplayMode& mode) {
    ForgetMonitors();
    if (monitor < 0 || monitor >= SDL_GetNumVideoDisplays()) return false;
    SDL_DisplayMode want{}, closest{};
    want.w = mode.width;
    want.h = mode.height;
    want.refresh_rate = mode.refreshHz;
    if (!SDL_GetClosestDisplayMode(monitor, &want, &closest)) return false;
    // Applied when a window goes full screen on this monitor.
    requestedModes_[monitor] = mode;
    return true;
}

void SdlBackend::RestoreDisplayMode(int monitor) {
    // SDL puts the desktop mode back when the full-screen window leaves full screen.
    requestedModes_.erase(monitor);
}

}  // namespace plat
