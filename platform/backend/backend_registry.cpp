// Backend selection: factories by name, the backend in use, forced device losses.
//
// TUMBRAL_BACKEND=headless|sdl|auto (any case) picks the backend on first use; auto (the
// default) takes SDL when a display is reachable (DISPLAY or WAYLAND_DISPLAY)
// and an "sdl" factory is registered, and falls back to headless otherwise.
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "platform/backend.h"
#include "platform/headless/headless_backend.h"
#include "platform/win32/kernel_printable_text.h"

namespace plat {

namespace {

// Never destroyed: the window system still uses the backend at process exit.
std::map<std::string, BackendFactory>& Factories() {
    static auto* factories = new std::map<std::string, BackendFactory>();
    return *factories;
}

Backend*& Current() {
    static Backend* current = nullptr;
    return current;
}

std::atomic<uint64_t>& LossCount() {
    static std::atomic<uint64_t> count{0};
    return count;
}

std::unique_ptr<Backend> ChooseBackend() {
    const char* env = std::getenv("TUMBRAL_BACKEND");
    std::string wanted = env && *env ? env : "auto";
    // Names are not case-sensitive: HEADLESS is headless.
    for (char& c : wanted) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (wanted == "auto") {
        bool display = (std::getenv("DISPLAY") && *std::getenv("DISPLAY")) ||
                       (std::getenv("WAYLAND_DISPLAY") && *std::getenv("WAYLAND_DISPLAY"));
        if (display && Factories().count("sdl"))
            if (auto b = CreateBackendByName("sdl")) return b;
        if (Factories().count("sdl"))
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

void RegisterBackendFactory(const char* name, BackendFactory factory) {
    if (name && factory) Factories()[name] = factory;
}

std::unique_ptr<Backend> CreateBackendByName(const std::string& name) {
    if (name == "headless") return CreateHeadlessBackend();
    auto it = Factories().find(name);
    if (it == Factories().end()) return nullptr;
    return it->second();
}

Backend& CurrentBackend() {
    Backend*& current = Current();
    if (!current) current = ChooseBackend().release();
    return *current;
}

void SetBackend(std::unique_ptr<Backend> backend) {
    Backend*& current = Current();
    delete current;
    current = backend.release();
}

uint64_t ForcedDeviceLossCount() { return LossCount().load(); }

void ForceDeviceLoss() { LossCount()++; }

}  // namespace plat
