// Texture sampling stage: texel addressing (wrap, mirror, clamp, border) and
// point or bilinear filtering of A8R8G8B8 images. Texel centres lie at
// (i + 0.5) / size, as in D3D9. Inline: it runs per pixel.
#pragma once

#include <cstdint>

#include "platform/d3d9/pipeline/pipeline_types.h"

namespace plat::d3d9 {

// Texel coordinates far beyond any texture (and NaN) are held to +-2^30, where
// a floor, its neighbours and a mirror period of any size still fit an int;
// that far out a float has no fraction left, so only texels of coordinates
// past 2^30 texels, which no sensible drawing reaches, can differ.
inline float InTexelRange(float f) {
    constexpr float kLimit = 1073741824.0f;
    return f > -kLimit ? (f < kLimit ? f : kLimit) : -kLimit;  // NaN: -kLimit
}

inline int FloorToInt(float f) {
    f = InTexelRange(f);
    int i = static_cast<int>(f);
    return (f < static_cast<float>(i)) ? i - 1 : i;
}

// Maps a texel index into [0, size) by the address mode; -1 selects the border colour.
inline int AddressTexel(int i, int size, DWORD mode) {
    if (i >= 0 && i < size) return i;
    switch (mode) {
        case D3DTADDRESS_WRAP: {
            int m = i % size;
            return m < 0 ? m + size : m;
        }
        case D3DTADDRESS_MIRROR: {
            int period = 2 * size;
            int m = i % period;
            if (m < 0) m += period;
            return m < size ? m : period - 1 - m;
        }
        case D3DTADDRESS_MIRRORONCE: {
            int m = i < 0 ? -i - 1 : i;
            return m < size ? m : size - 1;
        }
        case D3DTADDRESS_BORDER:
            return -1;
        default:
            return i < 0 ? 0 : size - 1;  // clamp
    }
}

inline uint32_t FetchTexel(const ImageLevel& img, const Sampler& s, int x, int y) {
    x = AddressTexel(x, img.width, s.addressU);
    y = AddressTexel(y, img.height, s.addressV);
    if ((x | y) < 0) return s.borderColor;
    return img.texels[y * img.pitch + x];
}

inline uint32_t SamplePoint(const ImageLevel& img, const Sampler& s, float u, float v) {
    return FetchTexel(img, s, FloorToInt(u * static_cast<float>(img.width)),
                      FloorToInt(v * static_cast<float>(img.height)));
}

// Weighted mix of two texels, weight w in 0..256 for b.
inline uint32_t LerpTexel(uint32_t a, uint32_t b, uint32_t w) {
    uint32_t rbA = a & 0x00FF00FFu, agA = (a >> 8) & 0x00FF00FFu;
    uint32_t rbB = b & 0x00FF00FFu, agB = (b >> 8) & 0x00FF00FFu;
    uint32_t rb = ((rbA * (256 - w) + rbB * w) >> 8) & 0x00FF00FFu;
    uint32_t ag = ((agA * (256 - w) + agB * w) >> 8) & 0x00FF00FFu;
    return rb | (ag << 8);
}

inline uint32_t SampleLinear(const ImageLevel& img, const Sampler& s, float u, float v) {
    float fu = InTexelRange(u * static_cast<float>(img.width) - 0.5f);
    float fv = InTexelRange(v * static_cast<float>(img.height) - 0.5f);
    int x0 = FloorToInt(fu), y0 = FloorToInt(fv);
    uint32_t wx = static_cast<uint32_t>((fu - static_cast<float>(x0)) * 256.0f + 0.5f);
    uint32_t wy = static_cast<uint32_t>((fv - static_cast<float>(y0)) * 256.0f + 0.5f);
    uint32_t t00, t10, t01, t11;
    if (x0 >= 0 && y0 >= 0 && x0 + 1 < img.width && y0 + 1 < img.height) {
        const uint32_t* row = img.texels + y0 * img.pitch + x0;
        t00 = row[0];
        t10 = row[1];
        t01 = row[img.pitch];
        t11 = row[img.pitch + 1];
    } else {
        t00 = FetchTexel(img, s, x0, y0);
        t10 = FetchTexel(img, s, x0 + 1, y0);
        t01 = FetchTexel(img, s, x0, y0 + 1);
        t11 = FetchTexel(img, s, x0 + 1, y0 + 1);
    }
    return LerpTexel(LerpTexel(t00, t10, wx), LerpTexel(t01, t11, wx), wy);
}

// The level and filter a triangle uses, chosen once per triangle from its texel density.
struct TriangleSampling {
    const ImageLevel* level = nullptr;
    bool linear = false;
};

// `texelsPerPixel`: texels of level 0 that one pixel step covers (the larger axis).
TriangleSampling ChooseSampling(const Sampler& sampler, float texelsPerPixel);

inline uint32_t Sample(const TriangleSampling& ts, const Sampler& s, float u, float v) {
    if (!ts.level) return 0xFFFFFFFFu;
    return ts.linear ? SampleLinear(*ts.level, s, u, v) : SamplePoint(*ts.level, s, u, v);
}

}  // namespace plat::d3d9
