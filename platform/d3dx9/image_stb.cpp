// BMP, PNG, JPEG and TGA images through stb_image. The implementation is
// compiled here with static linkage, limited to these four formats and to
// kMaxImageDimension pixels a side.
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

    int dw = 0, dh = 0, dc = 0;
    stbi_uc* pixels = stbi_load_from_memory(data, len, &dw, &dh, &dc, 4);
    if (!pixels) return D3DXERR_INVALIDDATA;
    if (dw != w || dh != h) {
        stbi_image_free(pixels);
        return D3DXERR_INVALIDDATA;
    }
    out->argb.resize(size_t(w) * h);
    for (size_t i = 0; i < out->argb.size(); ++i) {
        const stbi_uc* p = pixels + i * 4;  // R, G, B, A
        out->argb[i] = uint32_t(p[3]) << 24 | uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2];
    }
    stbi_image_free(pixels);
    return S_OK;
}

HRESULT DecodeImage(const uint8_t* data, size_t size, bool infoOnly, Image* out) {
    if (data && size >= 4 && std::memcmp(data, "DDS ", 4) == 0) return DecodeDds(data, size, infoOnly, out);
    return DecodeWithStb(data, size, infoOnly, out);
}

}  // namespace plat
