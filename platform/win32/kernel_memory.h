// Global and local memory blocks, kept in a table so that every handle is
// checked before use. Internal to the platform: the clipboard owns blocks.
#pragma once

#include <cstddef>

#include "platform/win32kernel.h"

namespace plat {

// True when `handle` is a live block (global or local).
bool IsMemoryBlock(HGLOBAL handle);
// The block's bytes and size without touching its lock count; false for a bad handle.
bool PeekMemoryBlock(HGLOBAL handle, const void** data, size_t* size);

}  // namespace plat
