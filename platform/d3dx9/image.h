// A decoded source image: its description for D3DXIMAGE_INFO and its top
// level as 32-bit ARGB texels (faces of a cube map one after another, slices
// of a volume one after another).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/d3dx9tex.h"

namespace plat {

// Largest width, height or depth accepted from a file; bounds what a few
// header bytes can make us allocate.
constexpr uint32_t kMaxImageDimension = 8192;

struct Image {
    D3DXIMAGE_INFO
    info{};  // Width, Height, Depth, MipLevels (in the file), Format, ResourceType, ImageFileFormat
    uint32_t faces = 1;          // 6 for a cube map
    bool hasAlpha = false;       // the file carries an alpha channel
    std::vector<uint32_t> argb;  // faces * depth * height * width texels, rows top to bottom
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
