// DDS reader: uncompressed images described by channel bit masks (RGB, RGBA,
// luminance, alpha), as 2D textures, cube maps (all six faces) or volumes.
// Compressed (four-character-code) images are refused. Only the top level of
// each face or slice is read; mip levels are rebuilt by the loader. Every
// length is checked against the bytes present before anything is read.
#include <cstring>

#include "platform/d3dx9/image.h"

namespace plat {
namespace {

constexpr uint32_t kMagic = 0x20534444;  // "DDS "
constexpr uint32_t kHeaderSize = 124;

// Header flags.
constexpr uint32_t DDSD_DEPTH = 0x800000;
constexpr uint32_t DDSD_MIPMAPCOUNT = 0x20000;
// Pixel-format flags.
constexpr uint32_t DDPF_ALPHAPIXELS = 0x1;
constexpr uint32_t DDPF_ALPHA = 0x2;
constexpr uint32_t DDPF_FOURCC = 0x4;
constexpr uint32_t DDPF_RGB = 0x40;
constexpr uint32_t DDPF_LUMINANCE = 0x20000;
// Caps2.
constexpr uint32_t DDSCAPS2_CUBEMAP = 0x200;
constexpr uint32_t DDSCAPS2_CUBEMAP_ALLFACES = 0xFC00;
constexpr uint32_t DDSCAPS2_VOLUME = 0x200000;

uint32_t Read32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// One channel: where its bits are and how to widen them to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t max = 0;  // mask >> shift

    explicit Channel(uint32_t m) : mask(m) {
        if (!m) return;
        while (!((m >> shift) & 1)) ++shift;
        max = m >> shift;
    }
    uint32_t Extract(uint32_t pixel, uint32_t absent) const {
        if (!mask) return absent;
        const uint64_t v = (pixel & mask) >> shift;
        return static_cast<uint32_t>((v * 255 + max / 2) / max);
    }
};

struct MaskFormat {
    uint32_t bits, r, g, b, a;
    D3DFORMAT format;
};

// The device format whose layout the masks describe, if any.
D3DFORMAT FormatOf(uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    static const MaskFormat kFormats[] = {
        {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, D3DFMT_A8R8G8B8},
        {32, 0xFF0000, 0xFF00, 0xFF, 0, D3DFMT_X8R8G8B8},
        {32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000, D3DFMT_A8B8G8R8},
        {32, 0xFF, 0xFF00, 0xFF0000, 0, D3DFMT_X8B8G8R8},
        {24, 0xFF0000, 0xFF00, 0xFF, 0, D3DFMT_R8G8B8},
        {16, 0xF800, 0x7E0, 0x1F, 0, D3DFMT_R5G6B5},
        {16, 0x7C00, 0x3E0, 0x1F, 0x8000, D3DFMT_A1R5G5B5},
        {16, 0x7C00, 0x3E0, 0x1F, 0, D3DFMT_X1R5G5B5},
        {16, 0xF00, 0xF0, 0xF, 0xF000, D3DFMT_A4R4G4B4},
        {16, 0xF00, 0xF0, 0xF, 0, D3DFMT_X4R4G4B4},
        {8, 0xE0, 0x1C, 0x3, 0, D3DFMT_R3G3B2},
    };
    for (const MaskFormat& f : kFormats)
        if (f.bits == bits && f.r == r && f.g == g && f.b == b && f.a == a) return f.format;
    return D3DFMT_UNKNOWN;
}

}  // namespace

HRESULT DecodeDds(const uint8_t* data, size_t size, bool infoOnly, Image* out) {
    *out = Image();
    if (!data || size < 4 + kHeaderSize || Read32(data) != kMagic) return D3DXERR_INVALIDDATA;
    const uint8_t* h = data + 4;
    if (Read32(h) != kHeaderSize) return D3DXERR_INVALIDDATA;
    const uint32_t flags = Read32(h + 4);
    const uint32_t height = Read32(h + 8), width = Read32(h + 12);
    const uint32_t depthField = Read32(h + 20), mipField = Read32(h + 24);
    const uint8_t* pf = h + 72;  // DDS_PIXELFORMAT
    if (Read32(pf) != 32) return D3DXERR_INVALIDDATA;
    const uint32_t pfFlags = Read32(pf + 4);
    const uint32_t bits = Read32(pf + 12);
    uint32_t rMask = Read32(pf + 16), gMask = Read32(pf + 20), bMask = Read32(pf + 24),
             aMask = Read32(pf + 28);
    const uint32_t caps2 = Read32(h + 108);

    if (pfFlags & DDPF_FOURCC) return D3DXERR_INVALIDDATA;  // compressed or otherwise coded
    if (!(pfFlags & (DDPF_RGB | DDPF_LUMINANCE | DDPF_ALPHA))) return D3DXERR_INVALIDDATA;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return D3DXERR_INVALIDDATA;
    if (!(pfFlags & (DDPF_ALPHAPIXELS | DDPF_ALPHA))) aMask = 0;
    if (pfFlags & DDPF_ALPHA && !(pfFlags & (DDPF_RGB | DDPF_LUMINANCE))) rMask = gMask = bMask = 0;
    // Masks must fit in the pixel.
    const uint64_t limit = bits == 32 ? 0xFFFFFFFFull : ((1ull << bits) - 1);
    if ((uint64_t(rMask) | gMask | bMask | aMask) > limit) return D3DXERR_INVALIDDATA;
    if (!(rMask | gMask | bMask | aMask)) return D3DXERR_INVALIDDATA;

    const bool cube = (caps2 & DDSCAPS2_CUBEMAP) != 0;
    const bool volume = (caps2 & DDSCAPS2_VOLUME) != 0 && (flags & DDSD_DEPTH) != 0;
    if (cube && volume) return D3DXERR_INVALIDDATA;
    if (cube && (caps2 & DDSCAPS2_CUBEMAP_ALLFACES) != DDSCAPS2_CUBEMAP_ALLFACES) return D3DXERR_INVALIDDATA;
    if (cube && width != height) return D3DXERR_INVALIDDATA;
    const uint32_t depth = volume ? depthField : 1;
    if (width == 0 || height == 0 || depth == 0 || width > kMaxImageDimension ||
        height > kMaxImageDimension || depth > kMaxImageDimension)
        return D3DXERR_INVALIDDATA;
    uint32_t mips = (flags & DDSD_MIPMAPCOUNT) && mipField ? mipField : 1;
    uint32_t chain = 1;
    for (uint32_t w = width, hh = height, d = depth; w > 1 || hh > 1 || d > 1; w /= 2, hh /= 2, d /= 2)
        ++chain;
    if (mips > chain) return D3DXERR_INVALIDDATA;

    const uint32_t faces = cube ? 6 : 1;
    const uint32_t bpp = bits / 8;
    const uint64_t pitch = uint64_t(width) * bpp;
    // Bytes of one face or volume with its mip chain, as stored.
    uint64_t perFace = 0;
    for (uint32_t l = 0, w = width, hh = height, d = depth; l < mips; ++l) {
        perFace += uint64_t(w) * bpp * hh * d;
        w = w > 1 ? w / 2 : 1;
        hh = hh > 1 ? hh / 2 : 1;
        d = d > 1 ? d / 2 : 1;
    }
    const uint64_t needed = 4 + kHeaderSize + perFace * faces;
    if (needed > size) return D3DXERR_INVALIDDATA;  // truncated

    out->info.Width = width;
    out->info.Height = height;
    out->info.Depth = depth;
    out->info.MipLevels = mips;
    const D3DFORMAT known = FormatOf(bits, rMask, gMask, bMask, aMask);
    if (known != D3DFMT_UNKNOWN)
        out->info.Format = known;
    else if (pfFlags & DDPF_LUMINANCE)
        out->info.Format = aMask ? D3DFMT_A8L8 : D3DFMT_L8;
    else if (!(rMask | gMask | bMask))
        out->info.Format = D3DFMT_A8;
    else
        out->info.Format = aMask ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    out->info.ResourceType = cube ? D3DRTYPE_CUBETEXTURE : volume ? D3DRTYPE_VOLUMETEXTURE : D3DRTYPE_TEXTURE;
    out->info.ImageFileFormat = D3DXIFF_DDS;
    out->faces = faces;
    out->hasAlpha = aMask != 0;
    if (infoOnly) return S_OK;

    const Channel r(rMask), g(gMask), b(bMask), a(aMask);
    const bool luminance = (pfFlags & DDPF_LUMINANCE) != 0;
    const uint64_t texels = uint64_t(width) * height * depth * faces;
    out->argb.resize(texels);
    uint32_t* dst = out->argb.data();
    for (uint32_t f = 0; f < faces; ++f) {
        const uint8_t* src = data + 4 + kHeaderSize + perFace * f;
        for (uint64_t row = 0; row < uint64_t(height) * depth; ++row, src += pitch) {
            for (uint32_t x = 0; x < width; ++x) {
                uint32_t pixel = 0;
                for (uint32_t k = 0; k < bpp; ++k) pixel |= uint32_t(src[x * bpp + k]) << (8 * k);
                uint32_t rr = r.Extract(pixel, 0), gg = g.Extract(pixel, 0), bb = b.Extract(pixel, 0);
                if (luminance) gg = bb = rr;
                const uint32_t aa = a.Extract(pixel, 255);
                *dst++ = aa << 24 | rr << 16 | gg << 8 | bb;
            }
        }
    }
    return S_OK;
}

}  // namespace plat
