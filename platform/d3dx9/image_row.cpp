// Reading a decoded image a row at a time as 32-bit ARGB, whichever form the
// decoder left it in.
#include <cstring>

#include "platform/d3dx9/image.h"

namespace plat {

void Image::ReadRow(size_t row, uint32_t* out) const {
    const size_t width = info.Width;
    if (!packed) {
        std::memcpy(out, argb.data() + row * width, width * 4);
        return;
    }
    const uint8_t* p = packed.get() + row * width * channels;
    switch (channels) {
        case 1:  // grey
            for (size_t x = 0; x < width; ++x, ++p) out[x] = 0xFF000000u | uint32_t(p[0]) * 0x010101u;
            break;
        case 2:  // grey and alpha
            for (size_t x = 0; x < width; ++x, p += 2)
                out[x] = uint32_t(p[1]) << 24 | uint32_t(p[0]) * 0x010101u;
            break;
        case 3:  // RGB
            for (size_t x = 0; x < width; ++x, p += 3)
                out[x] = 0xFF000000u | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
            break;
        default:  // RGBA
            for (size_t x = 0; x < width; ++x, p += 4)
                out[x] = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
            break;
    }
}

}  // namespace plat
