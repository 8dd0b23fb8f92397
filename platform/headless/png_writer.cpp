// PNG output of presented frames through stb_image_write (kept private to
// this file so other users of stb in the program do not clash).
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <vector>

#include "platform/headless/headless_backend.h"

namespace plat {

bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitchPixels,
              std::string& error) {
    if (!pixels || width <= 0 || height <= 0 || pitchPixels < width) {
        error = path + ": no frame to write";
        return false;
    }
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t p = pixels[static_cast<size_t>(y) * pitchPixels + x];
            unsigned char* d = &rgb[(static_cast<size_t>(y) * width + x) * 3];
            d[0] = static_cast<unsigned char>(p >> 16);
            d[1] = static_cast<unsigned char>(p >> 8);
            d[2] = static_cast<unsigned char>(p);
        }
    }
    if (!stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3)) {
        error = path + ": cannot write the PNG file";
        return false;
    }
    return true;
}

}  // namespace plat
