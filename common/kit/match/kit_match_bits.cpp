// Colour, depth and stencil bits of the formats that settings matching compares.
#include "common/kit/match/kit_match_bits.h"

UINT KitColorBitsOf(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_R8G8B8:
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
        case D3DFMT_A8B8G8R8:
            return 8;
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
            return 5;
        case D3DFMT_A4R4G4B4:
        case D3DFMT_X4R4G4B4:
            return 4;
        case D3DFMT_R3G3B2:
        case D3DFMT_A8R3G3B2:
            return 2;
        case D3DFMT_A2B10G10R10:
        case D3DFMT_A2R10G10B10:
            return 10;
        case D3DFMT_A16B16G16R16:
            return 16;
        default:
            return 0;
    }
}

UINT KitDepthBitsOf(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_D16_LOCKABLE:
        case D3DFMT_D16:
            return 16;
        case D3DFMT_D32:
        case D3DFMT_D32F_LOCKABLE:
            return 32;
        case D3DFMT_D15S1:
            return 15;
        case D3DFMT_D24S8:
        case D3DFMT_D24X8:
        case D3DFMT_D24X4S4:
        case D3DFMT_D24FS8:
            return 24;
        default:
            return 0;
    }
}

UINT KitStencilBitsOf(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_D15S1:
            return 1;
        case D3DFMT_D24S8:
        case D3DFMT_D24FS8:
            return 8;
        case D3DFMT_D24X4S4:
            return 4;
        default:
            return 0;
    }
}
