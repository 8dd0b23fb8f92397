// The table of backends and the backend in use.
//
// Every backend is named once in the table (backend_table.cpp), with the
// function that creates it; there is no registration at start-up.
// TUMBRAL_BACKEND=headless|sdl|auto picks one on first use (auto: SDL when a
// display is reachable, headless otherwise).
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>

#include "platform/backend/backend.h"

namespace plat {

struct BackendEntry {
    const char* name;
    // Null when the backend cannot run here (for SDL: no reachable display).
    std::unique_ptr<Backend> (*create)();
};

// Every backend built into the program, in the order "auto" prefers them.
std::span<const BackendEntry> Backends();

// Creates a backend by name; null when the name is unknown or creation failed.
std::unique_ptr<Backend> CreateBackendByName(const std::string& name);

// The backend in use, chosen on first use.
Backend& CurrentBackend();
// The backend in use, or null while nothing has needed one yet (no display
// has been opened and no input script read).
Backend* ChosenBackend();
// Replaces the backend (tests); the window system must hold no windows.
void SetBackend(std::unique_ptr<Backend> backend);

}  // namespace plat
