// The table of backends and the choice of the one in use.
//
// TUMBRAL_BACKEND=headless|sdl|auto (any case) picks the backend on first use; auto (the
// default) takes SDL when a display is reachable (DISPLAY or WAYLAND_DISPLAY)
// and falls back to headless otherwise, with a note on standard error.
#include "platform/backend/backend_table.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "platform/headless/headless_backend.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/base/printable_text.h"

namespace plat {

namespace {

const BackendEntry kBackends[] = {
    {"sdl", &CreateSdlBackend},
    {"headless", &CreateHeadlessBackend},
};

Backend*& Current() {
    static Backend* current = nullptr;
    return current;
}

bool DisplayReachable() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

std::unique_ptr<Backend> ChooseBackend() {
    const char* env = std::getenv("TUMBRAL_BACKEND");
    std::string wanted = env && *env ? env : "auto";
    // Names are not case-sensitive: HEADLESS is headless.
    for (char& c : wanted) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (wanted == "auto") {
        const bool display = DisplayReachable();
        if (display)
            if (auto b = CreateBackendByName("sdl")) return b;
        std::fprintf(
            stderr,
            "tumbral: %s; running headless (no window is shown). Set DISPLAY to an X server "
            "(or run under xvfb-run) for a window; TUMBRAL_BACKEND=headless chooses this "
            "without the note.\n",
            display ? "the display could not be opened" : "no display is reachable (DISPLAY is not set)");
        return CreateHeadlessBackend();
    }
    if (auto b = CreateBackendByName(wanted)) return b;
    std::fprintf(stderr, "tumbral: backend \"%s\" is not available; using headless\n",
                 PrintableText(env).c_str());
    return CreateHeadlessBackend();
}

}  // namespace

std::span<const BackendEntry> Backends() { return kBackends; }

std::unique_ptr<Backend> CreateBackendByName(const std::string& name) {
    for (const BackendEntry& entry : kBackends)
        if (name == entry.name) return entry.create();
    return nullptr;
}

// Never destroyed: the window system still uses the backend at process exit.
Backend& CurrentBackend() {
    Backend*& current = Current();
    if (!current) current = ChooseBackend().release();
    return *current;
}

Backend* ChosenBackend() { return Current(); }

void SetBackend(std::unique_ptr<Backend> backend) {
    Backend*& current = Current();
    delete current;
    current = backend.release();
}

}  // namespace plat
