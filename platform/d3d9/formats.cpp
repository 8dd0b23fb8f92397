// Pixel formats: sizes, classes and row conversions to and from A8R8G8B8.
#include "platform/d3d9/formats.h"

#include <cstring>

namespace plat::d3d9 {

UINT ColorFormatBytes(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
        case D3DFMT_A8B8G8R8:
        case D3DFMT_X8B8G8R8:
        case D3DFMT_A2R10G10B10:
            return 4;
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

bool IsDepthFormat(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_D16:
        case D3DFMT_D15S1:
        case D3DFMT_D24X8:
        case D3DFMT_D24S8:
        case D3DFMT_D24X4S4:
        case D3DFMT_D32:
            return true;
        default:
            return false;
    }
}

int StencilBits(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_D15S1:
            return 1;
        case D3DFMT_D24S8:
            return 8;
        case D3DFMT_D24X4S4:
            return 4;
        default:
            return 0;
    }
}

bool IsBackBufferFormat(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
        case D3DFMT_A2R10G10B10:
            return true;
        default:
            return false;
    }
}

bool IsDisplayFormat(D3DFORMAT format) {
    return format == D3DFMT_X8R8G8B8 || format == D3DFMT_R5G6B5 || format == D3DFMT_X1R5G5B5 ||
           format == D3DFMT_A2R10G10B10;
}

bool IsTextureFormat(D3DFORMAT format) { return ColorFormatBytes(format) != 0; }

bool IsRenderTargetFormat(D3DFORMAT format) { return IsBackBufferFormat(format); }

bool HasAlpha(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_A8B8G8R8:
        case D3DFMT_A2R10G10B10:
        case D3DFMT_A1R5G5B5:
        case D3DFMT_A4R4G4B4:
        case D3DFMT_A8:
        case D3DFMT_A8L8:
            return true;
        default:
            return false;
    }
}

namespace {

inline uint32_t Expand5(uint32_t v) { return (v << 3) | (v >> 2); }
inline uint32_t Expand6(uint32_t v) { return (v << 2) | (v >> 4); }
inline uint32_t Expand4(uint32_t v) { return v * 17; }
inline uint32_t Argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace

void ConvertRowToArgb(D3DFORMAT format, const void* src, uint32_t* dst, UINT count) {
    const uint8_t* s8 = static_cast<const uint8_t*>(src);
    for (UINT i = 0; i < count; ++i) {
        uint32_t p32 = 0;
        uint16_t p16 = 0;
        switch (ColorFormatBytes(format)) {
            case 4:
                std::memcpy(&p32, s8 + 4 * i, 4);
                break;
            case 2:
                std::memcpy(&p16, s8 + 2 * i, 2);
                break;
            default:
                break;
        }
        uint32_t out = 0;
        switch (format) {
            case D3DFMT_A8R8G8B8:
                out = p32;
                break;
            case D3DFMT_X8R8G8B8:
                out = p32 | 0xFF000000u;
                break;
            case D3DFMT_A8B8G8R8:
                out = (p32 & 0xFF00FF00u) | ((p32 >> 16) & 0xFF) | ((p32 & 0xFF) << 16);
                break;
            case D3DFMT_X8B8G8R8:
                out = (p32 & 0x0000FF00u) | ((p32 >> 16) & 0xFF) | ((p32 & 0xFF) << 16) | 0xFF000000u;
                break;
            case D3DFMT_A2R10G10B10:
                out = Argb(((p32 >> 30) & 3) * 85, (p32 >> 22) & 0xFF, (p32 >> 12) & 0xFF, (p32 >> 2) & 0xFF);
                break;
            case D3DFMT_R5G6B5:
                out = Argb(0xFF, Expand5(p16 >> 11), Expand6((p16 >> 5) & 0x3F), Expand5(p16 & 0x1F));
                break;
            case D3DFMT_X1R5G5B5:
                out =
                    Argb(0xFF, Expand5((p16 >> 10) & 0x1F), Expand5((p16 >> 5) & 0x1F), Expand5(p16 & 0x1F));
                break;
            case D3DFMT_A1R5G5B5:
                out = Argb((p16 & 0x8000) ? 0xFF : 0, Expand5((p16 >> 10) & 0x1F), Expand5((p16 >> 5) & 0x1F),
                           Expand5(p16 & 0x1F));
                break;
            case D3DFMT_A4R4G4B4:
                out = Argb(Expand4(p16 >> 12), Expand4((p16 >> 8) & 0xF), Expand4((p16 >> 4) & 0xF),
                           Expand4(p16 & 0xF));
                break;
            case D3DFMT_X4R4G4B4:
                out = Argb(0xFF, Expand4((p16 >> 8) & 0xF), Expand4((p16 >> 4) & 0xF), Expand4(p16 & 0xF));
                break;
            case D3DFMT_A8L8:
                out = Argb(p16 >> 8, p16 & 0xFF, p16 & 0xFF, p16 & 0xFF);
                break;
            case D3DFMT_A8:
                out = Argb(s8[i], 0, 0, 0);
                break;
            case D3DFMT_L8:
                out = Argb(0xFF, s8[i], s8[i], s8[i]);
                break;
            default:
                break;
        }
        dst[i] = out;
    }
}

void ConvertRowFromArgb(D3DFORMAT format, const uint32_t* src, void* dst, UINT count) {
    uint8_t* d8 = static_cast<uint8_t*>(dst);
    for (UINT i = 0; i < count; ++i) {
        uint32_t p = src[i];
        uint32_t a = p >> 24, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        uint32_t out32 = 0;
        uint16_t out16 = 0;
        switch (format) {
            case D3DFMT_A8R8G8B8:
            case D3DFMT_X8R8G8B8:
                out32 = p;
                break;
            case D3DFMT_A8B8G8R8:
            case D3DFMT_X8B8G8R8:
                out32 = (a << 24) | (b << 16) | (g << 8) | r;
                break;
            case D3DFMT_A2R10G10B10:
                out32 = ((a >> 6) << 30) | (((r << 2) | (r >> 6)) << 20) | (((g << 2) | (g >> 6)) << 10) |
                        ((b << 2) | (b >> 6));
                break;
            case D3DFMT_R5G6B5:
                out16 = uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
                break;
            case D3DFMT_X1R5G5B5:
                out16 = uint16_t(0x8000 | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                break;
            case D3DFMT_A1R5G5B5:
                out16 = uint16_t(((a >= 128) ? 0x8000 : 0) | ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                break;
            case D3DFMT_A4R4G4B4:
                out16 = uint16_t(((a >> 4) << 12) | ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4));
                break;
            case D3DFMT_X4R4G4B4:
                out16 = uint16_t(0xF000 | ((r >> 4) << 8) | ((g >> 4) << 4) | (b >> 4));
                break;
            case D3DFMT_A8L8:
                out16 = uint16_t((a << 8) | ((r * 77 + g * 150 + b * 29) >> 8));
                break;
            case D3DFMT_A8:
                d8[i] = uint8_t(a);
                break;
            case D3DFMT_L8:
                d8[i] = uint8_t((r * 77 + g * 150 + b * 29) >> 8);
                break;
            default:
                break;
        }
        switch (ColorFormatBytes(format)) {
            case 4:
                std::memcpy(d8 + 4 * i, &out32, 4);
                break;
            case 2:
                std::memcpy(d8 + 2 * i, &out16, 2);
                break;
            default:
                break;
        }
    }
}

}  // namespace plat::d3d9
