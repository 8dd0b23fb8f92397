// Writing ARGB texels in the texture formats the loaders create.
#pragma once

#include <cstdint>

#include "platform/d3d9.h"

namespace plat {

// Bytes per texel of a format the loaders can write; 0 for any other.
UINT TexelSize(D3DFORMAT format);

// Writes count texels; format must have a non-zero TexelSize.
void EncodeTexels(const uint32_t* argb, UINT count, D3DFORMAT format, uint8_t* out);

}  // namespace plat
