// Small images in every format the texture loaders read, built in memory for
// the tests: BMP, PNG, JPEG and TGA through stb_image_write, DDS by hand.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum class TestImageKind { Bmp, Png, Jpeg, Tga };

// Encodes w x h RGBA pixels (0xAARRGGBB each, rows top to bottom) with the
// given number of channels (3 drops alpha, 4 keeps it).
std::vector<uint8_t> EncodeTestImage(TestImageKind kind, int w, int h, int channels,
                                     const std::vector<uint32_t>& argb);

// A DDS file: header with the given channel masks and pixel-format flags,
// then the texel bytes as given. Caps for cube maps (six faces) and volumes
// (depth > 1) as requested.
std::vector<uint8_t> MakeDds(uint32_t w, uint32_t h, uint32_t bits, uint32_t r, uint32_t g, uint32_t b,
                             uint32_t a, uint32_t pfFlags, const std::vector<uint8_t>& texels,
                             uint32_t depth = 1, bool cube = false, uint32_t mips = 1);

// A PNG of any colour type and bit depth from its raw rows (each starting
// with its filter byte), deflated; `chunks` (type, data) go before the image
// data. Checksums are real.
std::vector<uint8_t> MakePng(uint32_t w, uint32_t h, uint8_t bitDepth, uint8_t colourType,
                             const std::vector<uint8_t>& rows,
                             const std::vector<std::pair<std::string, std::vector<uint8_t>>>& chunks = {});
