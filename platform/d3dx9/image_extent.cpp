// Lower bounds on the file size of BMP, TGA and sequential JPEG images from
// their headers (all little-endian except JPEG's big-endian segments).
#include "platform/d3dx9/image_extent.h"

namespace plat {
namespace {

uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }

// File header (14 bytes), then an info header whose first field is its size.
// Only uncompressed rows (BI_RGB, BI_BITFIELDS) have a size known in advance.
bool BmpCovers(const uint8_t* d, size_t size, uint64_t w, uint64_t h) {
    if (size < 18) return false;
    const uint64_t dataOffset = Le32(d + 10);
    const uint64_t infoSize = Le32(d + 14);
    uint64_t bitsPerPixel = 0, compression = 0;
    if (infoSize == 12) {  // OS/2 core header
        if (size < 26) return false;
        bitsPerPixel = Le16(d + 24);
    } else {
        if (size < 34) return false;
        bitsPerPixel = Le16(d + 28);
        compression = Le32(d + 30);
    }
    if (compression != 0 && compression != 3) return true;
    const uint64_t rowBytes = (w * bitsPerPixel + 31) / 32 * 4;
    const uint64_t start = dataOffset > 14 + infoSize ? dataOffset : 14 + infoSize;
    return start + rowBytes * h <= size;
}

// 18-byte header, image id, colour map, then pixels: raw (types 1-3) or
// run-length packets of at most 128 pixels each (types 9-11).
bool TgaCovers(const uint8_t* d, size_t size, uint64_t w, uint64_t h) {
    if (size < 18) return false;
    const uint64_t idLength = d[0];
    const uint64_t mapLength = d[1] ? Le16(d + 5) : 0;
    const uint64_t mapEntryBytes = (d[7] + 7u) / 8;
    const uint64_t type = d[2];
    const uint64_t pixelBytes = (d[16] + 7u) / 8;
    const uint64_t start = 18 + idLength + mapLength * mapEntryBytes;
    const uint64_t pixels = w * h;
    if (type >= 1 && type <= 3) return start + pixels * pixelBytes <= size;
    if (type >= 9 && type <= 11) return start + (pixels + 127) / 128 * (1 + pixelBytes) <= size;
    return true;
}

// A sequential (baseline or extended) JPEG spends at least two bits on each
// 8 x 8 block of its largest component: a DC code and an end-of-block code.
// Progressive scans can code runs of empty blocks in a few bits, so they are
// left to the decoder.
bool JpegCovers(const uint8_t* d, size_t size, uint64_t w, uint64_t h) {
    size_t pos = 2;
    while (pos + 4 <= size) {
        if (d[pos] != 0xFF) return true;  // not a segment: the decoder decides
        const uint8_t marker = d[pos + 1];
        if (marker == 0xFF) {  // fill byte
            ++pos;
            continue;
        }
        const size_t length = (size_t(d[pos + 2]) << 8) | d[pos + 3];
        if (marker == 0xC0 || marker == 0xC1) {
            const uint64_t blocks = ((w + 7) / 8) * ((h + 7) / 8);
            return (blocks * 2 + 7) / 8 <= size - pos;
        }
        if (marker == 0xDA ||
            (marker >= 0xC2 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC))
            return true;  // progressive, lossless or arithmetic-coded, or a scan before any frame
        pos += 2 + length;
    }
    return true;
}

}  // namespace

bool ImageDataCoversHeader(const uint8_t* data, size_t size, uint32_t width, uint32_t height) {
    if (!data || size < 3) return false;
    if (data[0] == 'B' && data[1] == 'M') return BmpCovers(data, size, width, height);
    if (data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return JpegCovers(data, size, width, height);
    if (size >= 8 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G') return true;
    return TgaCovers(data, size, width, height);
}

}  // namespace plat
