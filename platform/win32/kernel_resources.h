// Built-in resources: byte blocks compiled into the program and registered by
// name, standing in for module resources. Every module handle names the same
// table. Names compare without regard to ASCII case; an integer identifier n
// (MAKEINTRESOURCE) is the name "#n".
#pragma once

#include <cstddef>

#include "platform/win32types.h"

namespace plat {

// Registers (or replaces) a resource. The bytes are not copied: they must
// outlive the program's use of them (static data). Safe to call from static
// initialisers.
void RegisterBuiltinResource(LPCWSTR name, const void* bytes, size_t size);

// Looks a resource up by name or integer identifier.
bool FindBuiltinResource(LPCWSTR nameOrId, const void** bytes, size_t* size);

}  // namespace plat
