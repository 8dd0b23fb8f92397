// Built-in modules: the "system libraries" LoadLibraryW finds. Each module
// registers its name and exports once, usually from a static initialiser in
// platform/builtin:
//
//   static const bool registered = plat::RegisterBuiltinModule(
//       "winmm.dll", {{"timeBeginPeriod", plat::Export(&timeBeginPeriod)}});
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/win32kernel.h"

namespace plat {

struct ModuleExport {
    const char* name;  // exact, case-sensitive, as GetProcAddress looks it up
    FARPROC proc;
};

// Turns any function pointer into the FARPROC GetProcAddress hands out.
template <typename Fn>
FARPROC Export(Fn* fn) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(fn));
}

// Adds a module under its file name ("d3d9.dll"; matched without regard to
// case). Registering a name again replaces its exports. Always returns true, so
// the call can initialise a static.
bool RegisterBuiltinModule(const std::string& fileName, std::vector<ModuleExport> exports);

// Reference count of a loaded module (0 when it is not loaded); for tests.
int BuiltinModuleRefCount(const std::string& fileName);

}  // namespace plat
