// PNG output of presented frames through stb_image_write (kept private to
// this file so other users of stb in the program do not clash). The file is
// opened here, without blocking and only if it is a regular one, so that a
// FIFO or a device named as a shot is refused instead of hanging the run.
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/base/printable_text.h"
#include "platform/base/regular_file.h"
#include "platform/headless/headless_backend.h"

namespace plat {
namespace {

// Where the encoder's output goes; the first failed write is kept.
struct PngSink {
    int fd;
    int err;  // errno of the first failure, 0 while all went well
};

void WriteToFile(void* context, void* data, int size) {
    auto* sink = static_cast<PngSink*>(context);
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0 && sink->err == 0) {
        const ssize_t n = write(sink->fd, bytes, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            sink->err = n < 0 ? errno : EIO;
            return;
        }
        bytes += n;
        size -= static_cast<int>(n);
    }
}

}  // namespace

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
    FileStatus status = FileStatus::Ok;
    const int fd = OpenRegularFileForWrite(path.c_str(), &status);
    if (fd < 0) {
        error = PrintableText(path) + ": cannot write the PNG file (" + FileStatusText(status) + ")";
        return false;
    }
    PngSink sink{fd, 0};
    const bool encoded = stbi_write_png_to_func(WriteToFile, &sink, width, height, 3, rgb.data(), width * 3);
    const bool closed = close(fd) == 0;
    if (!encoded || sink.err != 0 || !closed) {
        const int err = sink.err != 0 ? sink.err : errno;
        error = PrintableText(path) + ": cannot write the PNG file (" +
                (encoded ? std::strerror(err) : "no memory") + ")";
        return false;
    }
    return true;
}

}  // namespace plat
