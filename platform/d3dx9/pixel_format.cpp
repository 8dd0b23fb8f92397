// Texel encoders from 32-bit ARGB to the common 8-, 16-, 24- and 32-bit formats.
#include "platform/d3dx9/pixel_format.h"

namespace plat {
namespace {

// The top `bits` bits of an 8-bit channel, rounded.
uint32_t Narrow(uint32_t v8, int bits) {
    const uint32_t max = (1u << bits) - 1;
    return (v8 * max + 127) / 255;
}

uint32_t Luminance(uint32_t r, uint32_t g, uint32_t b) { return (r * 77 + g * 150 + b * 29 + 128) >> 8; }

}  // namespace

UINT TexelSize(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
        case D3DFMT_A8B8G8R8:
        case D3DFMT_X8B8G8R8:
            return 4;
        case D3DFMT_R8G8B8:
            return 3;
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
        case D3DFMT_A4R4G4B4:
        case D3DFMT_X4R4G4B4:
        case D3DFMT_A8L8:
            return 2;
        case D3DFMT_A8:
        case D3DFMT_L8:
            return 1;
        default:
            return 0;
    }
}

void EncodeTexels(const uint32_t* argb, UINT count, D3DFORMAT format, uint8_t* out) {
    const UINT size = TexelSize(format);
    for (UINT i = 0; i < count; ++i, out += size) {
        const uint32_t p = argb[i];
        const uint32_t a = p >> 24, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        uint32_t v = 0;
        switch (format) {
            case D3DFMT_A8R8G8B8:
                v = p;
                break;
            case D3DFMT_X8R8G8B8:
                v = p | 0xFF000000u;
                break;
            case D3DFMT_A8B8G8R8:
                v = a << 24 | b << 16 | g << 8 | r;
                break;
            case D3DFMT_X8B8G8R8:
                v = 0xFF000000u | b << 16 | g << 8 | r;
                break;
            case D3DFMT_R8G8B8:
                v = p & 0xFFFFFF;
                break;
            case D3DFMT_R5G6B5:
                v = Narrow(r, 5) << 11 | Narrow(g, 6) << 5 | Narrow(b, 5);
                break;
            case D3DFMT_X1R5G5B5:
                v = 0x8000 | Narrow(r, 5) << 10 | Narrow(g, 5) << 5 | Narrow(b, 5);
                break;
            case D3DFMT_A1R5G5B5:
                v = (a >= 128 ? 0x8000 : 0) | Narrow(r, 5) << 10 | Narrow(g, 5) << 5 | Narrow(b, 5);
                break;
            case D3DFMT_A4R4G4B4:
                v = Narrow(a, 4) << 12 | Narrow(r, 4) << 8 | Narrow(g, 4) << 4 | Narrow(b, 4);
                break;
            case D3DFMT_X4R4G4B4:
                v = 0xF000 | Narrow(r, 4) << 8 | Narrow(g, 4) << 4 | Narrow(b, 4);
                break;
            case D3DFMT_A8L8:
                v = a << 8 | Luminance(r, g, b);
                break;
            case D3DFMT_A8:
                v = a;
                break;
            case D3DFMT_L8:
                v = Luminance(r, g, b);
                break;
            default:
                break;
        }
        for (UINT k = 0; k < size; ++k) out[k] = static_cast<uint8_t>(v >> (8 * k));
    }
}

}  // namespace plat
