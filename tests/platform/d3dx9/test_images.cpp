// Test image encoders.
#include "tests/platform/d3dx9/test_images.h"

#include <cstring>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

void Append(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* p = static_cast<const uint8_t*>(data);
    out->insert(out->end(), p, p + size);
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> EncodeTestImage(TestImageKind kind, int w, int h, int channels,
                                     const std::vector<uint32_t>& argb) {
    std::vector<uint8_t> pixels;
    for (uint32_t p : argb) {
        pixels.push_back(uint8_t(p >> 16));
        pixels.push_back(uint8_t(p >> 8));
        pixels.push_back(uint8_t(p));
        if (channels == 4) pixels.push_back(uint8_t(p >> 24));
    }
    std::vector<uint8_t> out;
    switch (kind) {
        case TestImageKind::Bmp:
            stbi_write_bmp_to_func(Append, &out, w, h, channels, pixels.data());
            break;
        case TestImageKind::Png:
            stbi_write_png_to_func(Append, &out, w, h, channels, pixels.data(), w * channels);
            break;
        case TestImageKind::Jpeg:
            stbi_write_jpg_to_func(Append, &out, w, h, channels, pixels.data(), 100);
            break;
        case TestImageKind::Tga:
            stbi_write_tga_with_rle = 0;
            stbi_write_tga_to_func(Append, &out, w, h, channels, pixels.data());
            break;
    }
    return out;
}

std::vector<uint8_t> MakeDds(uint32_t w, uint32_t h, uint32_t bits, uint32_t r, uint32_t g, uint32_t b,
                             uint32_t a, uint32_t pfFlags, const std::vector<uint8_t>& texels, uint32_t depth,
                             bool cube, uint32_t mips) {
    std::vector<uint8_t> v = {'D', 'D', 'S', ' '};
    Put32(v, 124);
    Put32(v, 0x1007 | (mips > 1 ? 0x20000 : 0) | (depth > 1 ? 0x800000 : 0));
    Put32(v, h);
    Put32(v, w);
    Put32(v, w * bits / 8);
    Put32(v, depth > 1 ? depth : 0);
    Put32(v, mips);
    for (int i = 0; i < 11; ++i) Put32(v, 0);
    Put32(v, 32);
    Put32(v, pfFlags);
    Put32(v, 0);
    Put32(v, bits);
    Put32(v, r);
    Put32(v, g);
    Put32(v, b);
    Put32(v, a);
    Put32(v, 0x1000 | (cube ? 0x8 : 0));
    Put32(v, cube ? 0xFE00 : depth > 1 ? 0x200000 : 0);
    for (int i = 0; i < 3; ++i) Put32(v, 0);
    v.insert(v.end(), texels.begin(), texels.end());
    return v;
}

namespace {

void PutBe32(std::vector<uint8_t>& v, uint32_t x) {
    for (int shift = 24; shift >= 0; shift -= 8) v.push_back(uint8_t(x >> shift));
}

void PutChunk(std::vector<uint8_t>& png, const std::string& type, const std::vector<uint8_t>& data) {
    PutBe32(png, uint32_t(data.size()));
    const size_t start = png.size();
    png.insert(png.end(), type.begin(), type.end());
    png.insert(png.end(), data.begin(), data.end());
    PutBe32(png, stbiw__crc32(png.data() + start, int(png.size() - start)));
}

}  // namespace

std::vector<uint8_t> MakePng(uint32_t w, uint32_t h, uint8_t bitDepth, uint8_t colourType,
                             const std::vector<uint8_t>& rows,
                             const std::vector<std::pair<std::string, std::vector<uint8_t>>>& chunks) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBe32(header, w);
    PutBe32(header, h);
    header.insert(header.end(), {bitDepth, colourType, 0, 0, 0});
    PutChunk(png, "IHDR", header);
    for (const auto& [type, data] : chunks) PutChunk(png, type, data);
    int length = 0;
    unsigned char* z =
        stbi_zlib_compress(const_cast<unsigned char*>(rows.data()), int(rows.size()), &length, 8);
    PutChunk(png, "IDAT", std::vector<uint8_t>(z, z + length));
    STBIW_FREE(z);
    PutChunk(png, "IEND", {});
    return png;
}
