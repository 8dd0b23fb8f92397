// Whether an image file holds as many pixel bytes as its header declares.
// Decoders fill missing pixels in silently, so a few header bytes could
// otherwise make us allocate and decode a full 8192 x 8192 image.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat {

// False when the data is certainly shorter than the width x height image the
// header declares: uncompressed BMP and TGA rows, the least a run-length TGA,
// a sequential JPEG, a progressive JPEG's first DC scans or a PNG's
// compressed data at deflate's best ratio can encode that many pixels in.
// Other files are left to their decoders, which fail on truncated data.
bool ImageDataCoversHeader(const uint8_t* data, size_t size, uint32_t width, uint32_t height);

}  // namespace plat
