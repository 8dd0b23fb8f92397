// The SDL2 backend: a real window per shown top-level window, input, displays,
// presenting through a streaming texture, clipboard, message boxes, game pads.
#pragma once

#include <memory>

#include "platform/backend/backend.h"

namespace plat {

// A backend on SDL's video subsystem, or null when no real display can be
// reached (no DISPLAY/WAYLAND_DISPLAY, or SDL would fall back to an offscreen driver).
std::unique_ptr<Backend> CreateSdlBackend();

}  // namespace plat
