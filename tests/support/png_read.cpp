// PNG pixel reads for tests, through stb_image (private to this file).
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include "tests/support/headless_fixture.h"

namespace tumbral_test {

bool ReadPngPixel(const std::string& path, int x, int y, uint32_t& rgb, int* width, int* height) {
    int w = 0, h = 0, channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &w, &h, &channels, 3);
    if (!data) return false;
    bool inside = x >= 0 && y >= 0 && x < w && y < h;
    if (inside) {
        const unsigned char* p = data + (static_cast<size_t>(y) * w + x) * 3;
        rgb = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
    if (width) *width = w;
    if (height) *height = h;
    stbi_image_free(data);
    return inside;
}

}  // namespace tumbral_test
