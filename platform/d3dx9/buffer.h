// Internal helpers around ID3DXBuffer and the IUnknown identifier.
#pragma once

#include <cstddef>

#include "platform/d3dx9mesh.h"

namespace plat {

// IUnknown's interface identifier, for QueryInterface implementations.
const IID& IIDUnknown();

// A new buffer holding a copy of the given bytes.
HRESULT CreateBufferWith(const void* bytes, size_t size, ID3DXBuffer** ppBuffer);

}  // namespace plat
