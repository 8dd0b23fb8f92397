// BMP, PNG, JPEG and TGA images through stb_image. The implementation is
// compiled here with static linkage, limited to these four formats and to
// kMaxImageDimension pixels a side. Pixels are kept with the file's own
// channels (a grey image a byte a texel); readers widen them a row at a time.
#include <cstdlib>
#include <cstring>

#include "platform/d3dx9/image.h"
#include "platform/d3dx9/image_extent.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_ONLY_BMP
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_TGA
#define STBI_MAX_DIMENSIONS 8192
// The decoder's pixels are handed on to Image::packed, which frees them with free().
#define STBI_MALLOC(size) std::malloc(size)
#define STBI_REALLOC(p, size) std::realloc(p, size)
#define STBI_FREE(p) std::free(p)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace plat {
namespace {

static_assert(STBI_MAX_DIMENSIONS == kMaxImageDimension);

D3DXIMAGE_FILEFORMAT FileFormatOf(const uint8_t* data, size_t size) {
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return D3DXIFF_BMP;
    if (size >= 8 && std::memcmp(data, "\x89PNG\r\n\x1a\n", 8) == 0) return D3DXIFF_PNG;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return D3DXIFF_JPG;
    return D3DXIFF_TGA;  // no signature: stb decides whether it is one
}

uint32_t BigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// Whether a PNG has a transparency chunk before its image data: the decoder
// then gives grey and RGB images an alpha channel.
bool PngHasTransparency(const uint8_t* data, size_t size) {
    size_t at = 8;
    while (size - at >= 12) {
        const size_t length = BigEndian32(data + at);
        const uint8_t* type = data + at + 4;
        if (std::memcmp(type, "tRNS", 4) == 0) return true;
        if (std::memcmp(type, "IDAT", 4) == 0 || length > size - at - 12) return false;
        at += 12 + length;
    }
    return false;
}

// The channels to decode to: the file's own, plus the alpha a transparency
// chunk adds, so the decoder never makes a converted copy.
int DecodedChannels(const uint8_t* data, size_t size, D3DXIMAGE_FILEFORMAT format, int channels) {
    if (format == D3DXIFF_PNG && (channels == 1 || channels == 3) && PngHasTransparency(data, size))
        return channels + 1;
    return channels;
}

}  // namespace

HRESULT DecodeWithStb(const uint8_t* data, size_t size, bool infoOnly, Image* out) {
    *out = Image();
    if (!data || size == 0 || size > 0x7FFFFFFF) return D3DXERR_INVALIDDATA;
    const int len = static_cast<int>(size);
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(data, len, &w, &h, &channels) || w <= 0 || h <= 0 ||
        w > int(kMaxImageDimension) || h > int(kMaxImageDimension))
        return D3DXERR_INVALIDDATA;

    out->info.Width = static_cast<UINT>(w);
    out->info.Height = static_cast<UINT>(h);
    out->info.Depth = 1;
    out->info.MipLevels = 1;
    out->info.ResourceType = D3DRTYPE_TEXTURE;
    out->info.ImageFileFormat = FileFormatOf(data, size);
    switch (channels) {
        case 1:
            out->info.Format = D3DFMT_L8;
            break;
        case 2:
            out->info.Format = D3DFMT_A8L8;
            break;
        case 3:
            out->info.Format = out->info.ImageFileFormat == D3DXIFF_BMP ? D3DFMT_R8G8B8 : D3DFMT_X8R8G8B8;
            break;
        default:
            out->info.Format = D3DFMT_A8R8G8B8;
            break;
    }
    out->hasAlpha = channels == 2 || channels == 4;
    if (infoOnly) return S_OK;
    // Data shorter than the header declares is invalid, not padded with black.
    if (!ImageDataCoversHeader(data, size, uint32_t(w), uint32_t(h))) return D3DXERR_INVALIDDATA;

    const int wanted = DecodedChannels(data, size, out->info.ImageFileFormat, channels);
    int dw = 0, dh = 0, dc = 0;
    out->packed.reset(stbi_load_from_memory(data, len, &dw, &dh, &dc, wanted));
    if (!out->packed) return D3DXERR_INVALIDDATA;
    if (dw != w || dh != h) {
        out->packed.reset();
        return D3DXERR_INVALIDDATA;
    }
    out->channels = uint32_t(wanted);
    return S_OK;
}

HRESULT DecodeImage(const uint8_t* data, size_t size, bool infoOnly, Image* out) {
    if (data && size >= 4 && std::memcmp(data, "DDS ", 4) == 0) return DecodeDds(data, size, infoOnly, out);
    return DecodeWithStb(data, size, infoOnly, out);
}

}  // namespace plat
