// Lower bounds on the file size of BMP, TGA, JPEG and PNG images from their
// headers (BMP and TGA little-endian, JPEG segments and PNG chunks big-endian).
#include "platform/d3dx9/image_extent.h"

#include <algorithm>
#include <vector>

namespace plat {
namespace {

uint32_t Le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t Le32(const uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }
uint32_t Be16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t Be32(const uint8_t* p) { return Be16(p) << 16 | Be16(p + 2); }

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

// Where the entropy-coded data that starts at `pos` ends: at the first marker
// other than a stuffed zero byte or a restart marker.
size_t EntropyEnd(const uint8_t* d, size_t size, size_t pos) {
    for (; pos + 1 < size; ++pos)
        if (d[pos] == 0xFF && d[pos + 1] != 0x00 && !(d[pos + 1] >= 0xD0 && d[pos + 1] <= 0xD7)) return pos;
    return size;
}

// The 8 x 8 blocks of each component of a frame of w x h pixels, from the
// frame header's sampling factors; empty when the header is malformed.
struct JpegComponent {
    uint8_t id;
    uint64_t blocks;
    bool hasDc;  // a first DC scan codes it
};
std::vector<JpegComponent> FrameComponents(const uint8_t* sof, size_t length, uint64_t w, uint64_t h) {
    std::vector<JpegComponent> components;
    if (length < 8) return components;
    const size_t count = sof[7];
    if (count == 0 || length < 8 + count * 3) return components;
    uint64_t hMax = 1, vMax = 1;
    for (size_t i = 0; i < count; ++i) {
        hMax = std::max<uint64_t>(hMax, sof[8 + i * 3 + 1] >> 4);
        vMax = std::max<uint64_t>(vMax, sof[8 + i * 3 + 1] & 15);
    }
    for (size_t i = 0; i < count; ++i) {
        const uint64_t hs = sof[8 + i * 3 + 1] >> 4, vs = sof[8 + i * 3 + 1] & 15;
        const uint64_t cw = (w * hs + hMax - 1) / hMax, ch = (h * vs + vMax - 1) / vMax;
        components.push_back(JpegComponent{sof[8 + i * 3], ((cw + 7) / 8) * ((ch + 7) / 8), false});
    }
    return components;
}

// A progressive JPEG codes the DC value of every block of every component in
// a first DC scan before anything else of it, at least one bit per block (a
// Huffman code of one bit for "no change"). Its later scans can pass over
// whole runs of blocks in a few bits, so the first DC scans are what bounds
// the size: each must hold a bit per block of its components, and every
// component needs one. A frame without them would be decoded as grey from
// nothing.
bool ProgressiveCovers(const uint8_t* d, size_t size, size_t pos, std::vector<JpegComponent> components) {
    if (components.empty()) return false;
    while (pos + 4 <= size) {
        if (d[pos] != 0xFF) return false;  // not a segment where one must start
        const uint8_t marker = d[pos + 1];
        if (marker == 0xFF) {
            ++pos;
            continue;
        }
        if (marker == 0xD9) break;  // end of image
        const size_t length = Be16(d + pos + 2);
        if (length < 2 || pos + 2 + length > size) return false;
        size_t next = pos + 2 + length;
        if (marker == 0xDA) {
            const uint8_t* sos = d + pos + 2;
            const size_t count = length >= 3 ? sos[2] : 0;
            if (count == 0 || length < 6 + count * 2) return false;
            const uint8_t start = sos[3 + count * 2], high = sos[5 + count * 2] >> 4;
            const size_t end = EntropyEnd(d, size, next);
            if (start == 0 && high == 0) {  // first DC scan
                uint64_t blocks = 0;
                for (size_t i = 0; i < count; ++i)
                    for (JpegComponent& c : components)
                        if (c.id == sos[3 + i * 2]) {
                            blocks += c.blocks;
                            c.hasDc = true;
                        }
                if (uint64_t(end - next) * 8 < blocks) return false;
            }
            next = end;
        }
        pos = next;
    }
    return std::all_of(components.begin(), components.end(), [](const JpegComponent& c) { return c.hasDc; });
}

// A sequential (baseline or extended) JPEG spends at least two bits on each
// 8 x 8 block of its largest component: a DC code and an end-of-block code.
// Progressive ones are bounded by their first DC scans (above).
bool JpegCovers(const uint8_t* d, size_t size, uint64_t w, uint64_t h) {
    size_t pos = 2;
    while (pos + 4 <= size) {
        if (d[pos] != 0xFF) return true;  // not a segment: the decoder decides
        const uint8_t marker = d[pos + 1];
        if (marker == 0xFF) {  // fill byte
            ++pos;
            continue;
        }
        const size_t length = Be16(d + pos + 2);
        if (marker == 0xC0 || marker == 0xC1) {
            const uint64_t blocks = ((w + 7) / 8) * ((h + 7) / 8);
            return (blocks * 2 + 7) / 8 <= size - pos;
        }
        if (marker == 0xC2) {
            if (pos + 2 + length > size) return false;
            return ProgressiveCovers(d, size, pos + 2 + length, FrameComponents(d + pos + 2, length, w, h));
        }
        if (marker == 0xDA ||
            (marker >= 0xC3 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC))
            return true;  // lossless or arithmetic-coded (the decoder refuses them), or a scan before any
                          // frame
        pos += 2 + length;
    }
    return true;
}

// Deflate codes at most 258 bytes in two bits (a one-bit length code for 258
// and a one-bit distance code), so a PNG's compressed data expands at most
// 1032 times. Its rows need at least width x height x bits-per-pixel / 8 bytes
// (more with filter bytes and interlacing).
bool PngCovers(const uint8_t* d, size_t size, uint64_t w, uint64_t h) {
    if (size < 33 || Be32(d + 8) != 13 || d[12] != 'I' || d[13] != 'H' || d[14] != 'D' || d[15] != 'R')
        return true;  // no header where it belongs: the decoder refuses the file
    uint64_t channels = 0;
    switch (d[25]) {
        case 0:  // grey
        case 3:  // palette indices
            channels = 1;
            break;
        case 2:  // RGB
            channels = 3;
            break;
        case 4:  // grey and alpha
            channels = 2;
            break;
        case 6:  // RGBA
            channels = 4;
            break;
        default:
            return true;
    }
    const uint64_t rawBytes = w * h * channels * d[24] / 8;
    uint64_t compressed = 0;
    for (size_t pos = 8; pos + 8 <= size;) {
        const uint64_t length = Be32(d + pos);
        const uint8_t* type = d + pos + 4;
        const uint64_t present = std::min<uint64_t>(length, size - (pos + 8));
        if (type[0] == 'I' && type[1] == 'D' && type[2] == 'A' && type[3] == 'T') compressed += present;
        if (type[0] == 'I' && type[1] == 'E' && type[2] == 'N' && type[3] == 'D') break;
        if (present < length) break;
        pos += 12 + length;  // length, type, data and CRC
    }
    return rawBytes <= compressed * 1032 + 1032;
}

}  // namespace

bool ImageDataCoversHeader(const uint8_t* data, size_t size, uint32_t width, uint32_t height) {
    if (!data || size < 3) return false;
    if (data[0] == 'B' && data[1] == 'M') return BmpCovers(data, size, width, height);
    if (data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return JpegCovers(data, size, width, height);
    if (size >= 8 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G')
        return PngCovers(data, size, width, height);
    return TgaCovers(data, size, width, height);
}

}  // namespace plat
