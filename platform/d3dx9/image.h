// A decoded source image: its description for D3DXIMAGE_INFO and its top
// level, either as 32-bit ARGB texels or as the decoder's own 8-bit channels
// (faces of a cube map one after another, slices of a volume one after
// another). Readers take it a row at a time, as ARGB.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/d3dx9tex.h"

namespace plat {

// Largest width, height or depth accepted from a file; bounds what a few
// header bytes can make us allocate.
constexpr uint32_t kMaxImageDimension = 8192;

// Memory from the C allocator (the image decoder's), freed with free().
struct FreeDeleter {
    void operator()(uint8_t* p) const { std::free(p); }
};

struct Image {
    D3DXIMAGE_INFO
    info{};  // Width, Height, Depth, MipLevels (in the file), Format, ResourceType, ImageFileFormat
    uint32_t faces = 1;          // 6 for a cube map
    bool hasAlpha = false;       // the file carries an alpha channel
    std::vector<uint32_t> argb;  // faces * depth * height * width texels, rows top to bottom
    // Instead of argb: `channels` bytes a texel (grey, grey and alpha, RGB or
    // RGBA), as decoded; a quarter of the ARGB size for a grey image.
    std::unique_ptr<uint8_t, FreeDeleter> packed;
    uint32_t channels = 0;

    // Row `row` of the whole image (counting through faces and slices) as ARGB.
    void ReadRow(size_t row, uint32_t* out) const;
};

// Decodes BMP, PNG, JPEG, TGA (through stb_image) and uncompressed DDS.
// With infoOnly, fills info, faces and hasAlpha without decoding texels.
// D3DXERR_INVALIDDATA for anything else.
HRESULT DecodeImage(const uint8_t* data, size_t size, bool infoOnly, Image* out);

// Our own DDS reader (also used directly by the fuzzer).
HRESULT DecodeDds(const uint8_t* data, size_t size, bool infoOnly, Image* out);

// stb_image for the other formats.
HRESULT DecodeWithStb(const uint8_t* data, size_t size, bool infoOnly, Image* out);

}  // namespace plat
