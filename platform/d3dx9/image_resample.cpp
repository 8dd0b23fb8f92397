// Area-averaging, point and unfiltered resampling of ARGB images.
#include "platform/d3dx9/image_resample.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/d3dx9tex.h"

namespace plat {
namespace {

// For one axis: the source cells a destination cell covers, with weights
// summing to 1.
struct Span {
    UINT first = 0;
    std::vector<float> weights;
};

std::vector<Span> Footprints(UINT srcLen, UINT dstLen) {
    std::vector<Span> spans(dstLen);
    const double scale = double(srcLen) / dstLen;
    for (UINT i = 0; i < dstLen; ++i) {
        const double lo = i * scale, hi = (i + 1) * scale;
        Span& s = spans[i];
        s.first = static_cast<UINT>(lo);
        const UINT last = std::min<UINT>(srcLen - 1, static_cast<UINT>(hi - 1e-9));
        for (UINT k = s.first; k <= last; ++k) {
            const double overlap = std::min<double>(hi, k + 1) - std::max<double>(lo, k);
            s.weights.push_back(static_cast<float>(overlap / scale));
        }
        if (s.weights.empty()) s.weights.push_back(1.0f);
    }
    return spans;
}

void AreaAverage(const uint32_t* src, UINT sw, UINT sh, UINT sd, uint32_t* dst, UINT dw, UINT dh, UINT dd) {
    const std::vector<Span> xs = Footprints(sw, dw), ys = Footprints(sh, dh), zs = Footprints(sd, dd);
    for (UINT z = 0; z < dd; ++z)
        for (UINT y = 0; y < dh; ++y)
            for (UINT x = 0; x < dw; ++x) {
                float acc[4] = {0, 0, 0, 0};
                for (size_t kz = 0; kz < zs[z].weights.size(); ++kz)
                    for (size_t ky = 0; ky < ys[y].weights.size(); ++ky)
                        for (size_t kx = 0; kx < xs[x].weights.size(); ++kx) {
                            const float w = zs[z].weights[kz] * ys[y].weights[ky] * xs[x].weights[kx];
                            const uint32_t p = src[(size_t(zs[z].first + kz) * sh + ys[y].first + ky) * sw +
                                                   xs[x].first + kx];
                            for (int c = 0; c < 4; ++c) acc[c] += w * float((p >> (8 * c)) & 0xFF);
                        }
                uint32_t out = 0;
                for (int c = 0; c < 4; ++c) {
                    const float v = std::clamp(acc[c] + 0.5f, 0.0f, 255.0f);
                    out |= uint32_t(v) << (8 * c);
                }
                dst[(size_t(z) * dh + y) * dw + x] = out;
            }
}

}  // namespace

void Resample(const uint32_t* src, UINT sw, UINT sh, UINT sd, uint32_t* dst, UINT dw, UINT dh, UINT dd,
              DWORD filter) {
    const DWORD method = filter & 0xFF;
    if (sw == dw && sh == dh && sd == dd) {
        std::memcpy(dst, src, size_t(sw) * sh * sd * 4);
        return;
    }
    if (method == D3DX_FILTER_NONE) {
        std::fill(dst, dst + size_t(dw) * dh * dd, 0u);
        for (UINT z = 0; z < std::min(sd, dd); ++z)
            for (UINT y = 0; y < std::min(sh, dh); ++y)
                std::memcpy(dst + (size_t(z) * dh + y) * dw, src + (size_t(z) * sh + y) * sw,
                            size_t(std::min(sw, dw)) * 4);
        return;
    }
    if (method == D3DX_FILTER_POINT) {
        for (UINT z = 0; z < dd; ++z)
            for (UINT y = 0; y < dh; ++y)
                for (UINT x = 0; x < dw; ++x) {
                    const UINT sx = UINT(uint64_t(x) * sw / dw), sy = UINT(uint64_t(y) * sh / dh),
                               sz = UINT(uint64_t(z) * sd / dd);
                    dst[(size_t(z) * dh + y) * dw + x] = src[(size_t(sz) * sh + sy) * sw + sx];
                }
        return;
    }
    AreaAverage(src, sw, sh, sd, dst, dw, dh, dd);
}

}  // namespace plat
