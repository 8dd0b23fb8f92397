// Internal helpers around ID3DXBuffer.
#pragma once

#include <cstddef>

#include "platform/d3dx9mesh.h"

namespace plat {

// A new buffer holding a copy of the given bytes.
HRESULT CreateBufferWith(const void* bytes, size_t size, ID3DXBuffer** ppBuffer);

}  // namespace plat
