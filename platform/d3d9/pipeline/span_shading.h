// Pixel stage, span loops: the scalar span shader for every state combination
// and the pieces the four-pixel shader (span_vector.cpp) shares with it, so
// both step colours, depth and texture coordinates with the same arithmetic
// and produce the same pixels. Internal to the pixel stage.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "platform/d3d9/pipeline/pixel_processing.h"
#include "platform/d3d9/pipeline/texture_sampling.h"

namespace plat::d3d9::span {

inline uint32_t Channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

inline uint32_t AddSpecular(uint32_t c, uint32_t s) {
    uint32_t r = std::min<uint32_t>(255, Channel(c, 16) + Channel(s, 16));
    uint32_t g = std::min<uint32_t>(255, Channel(c, 8) + Channel(s, 8));
    uint32_t b = std::min<uint32_t>(255, (c & 0xFF) + (s & 0xFF));
    return (c & 0xFF000000u) | (r << 16) | (g << 8) | b;
}

inline bool DepthPasses(DWORD func, float z, float stored) {
    if (func == D3DCMP_LESSEQUAL) return z <= stored;
    if (func == D3DCMP_LESS) return z < stored;
    return CompareFunc(func, z, stored);
}

// Fixed-point (16.16) stepping of a colour channel along a span, rounded.
// Pixel centres lie inside the primitive, so the values stay within the
// vertex colours (0..255) up to float error; the start is clamped and the
// read-out saturates at 255 to keep that error from reaching the next channel.
struct Stepper {
    int32_t value, step;
    Stepper(float start, float delta)
        : value(static_cast<int32_t>(std::clamp(start, 0.0f, 255.0f) * 65536.0f) + 32768),
          step(static_cast<int32_t>(delta * 65536.0f)) {}
    uint32_t Byte() const { return std::min<uint32_t>(uint32_t(value) >> 16, 255u); }
    void Next() { value = int32_t(uint32_t(value) + uint32_t(step)); }
};

// Texel fetch for one span: point sampling with wrap on power-of-two sizes,
// or with clamp on any size, is done inline; everything else goes through
// the general sampler.
struct SpanTexture {
    const uint32_t* texels = nullptr;
    int pitch = 0;
    float width = 0, height = 0;
    int lastU = 0, lastV = 0;  // size - 1: the wrap mask, or the clamp limit
    bool fast = false, clamp = false;

    SpanTexture(const TriangleSampling& ts, const Sampler& s) {
        if (!ts.level) return;
        const ImageLevel& img = *ts.level;
        texels = img.texels;
        pitch = img.pitch;
        width = static_cast<float>(img.width);
        height = static_cast<float>(img.height);
        lastU = img.width - 1;
        lastV = img.height - 1;
        bool wrap = s.addressU == D3DTADDRESS_WRAP && s.addressV == D3DTADDRESS_WRAP &&
                    (img.width & lastU) == 0 && (img.height & lastV) == 0;
        clamp = s.addressU == D3DTADDRESS_CLAMP && s.addressV == D3DTADDRESS_CLAMP;
        fast = !ts.linear && (wrap || clamp);
    }
    uint32_t At(int x, int y) const {
        if (clamp) return texels[std::clamp(y, 0, lastV) * pitch + std::clamp(x, 0, lastU)];
        return texels[(y & lastV) * pitch + (x & lastU)];
    }
    uint32_t Fetch(const TriangleSampling& ts, const Sampler& s, float u, float v) const {
        if (fast) return At(FloorToInt(u * width), FloorToInt(v * height));
        return Sample(ts, s, u, v);
    }
    // Point fetch at 16.16 texel coordinates (fast textures only).
    uint32_t FetchFixed(int32_t tu, int32_t tv) const { return At(tu >> 16, tv >> 16); }
};

// Point-sampled fast textures step their texel coordinates in 16.16 fixed
// point over segments of kSegment pixels; the perspective division happens at
// the segment ends only. A clamped segment reaching beyond the fixed-point
// range is sampled per pixel instead (`general`).
constexpr int kSegment = 16;

struct TexSegment {
    int32_t tu = 0, tv = 0, dtu = 0, dtv = 0;
    bool general = false;
};

// Walks the texture segments of one span in order. Each segment starts where
// the previous one ended, so the end's coordinates (and their perspective
// division) carry over.
class SegmentWalker {
  public:
    // Texture coordinates (times rhw when `persp`) start at u, v, q and step by du, dv, dq per pixel.
    SegmentWalker(const SpanTexture& t, bool persp, float u, float v, float q, float du, float dv, float dq)
        : m_t(t),
          m_persp(persp),
          m_u(u),
          m_v(v),
          m_q(q),
          m_du(du),
          m_dv(dv),
          m_dq(dq),
          m_invWidth(t.clamp ? 0.0f : 1.0f / t.width),
          m_invHeight(t.clamp ? 0.0f : 1.0f / t.height) {}

    // The segment of `length` pixels from pixel `i`.
    __attribute__((always_inline)) TexSegment Next(int i, int length) {
        float ua = m_endU, va = m_endV;
        if (i != m_end) Texels(i, ua, va);
        float ub, vb;
        Texels(i + length, ub, vb);
        m_end = i + length, m_endU = ub, m_endV = vb;
        TexSegment s;
        if (m_t.clamp) {
            s.general = !(std::fabs(ua) <= 16384.0f && std::fabs(va) <= 16384.0f &&
                          std::fabs(ub) <= 16384.0f && std::fabs(vb) <= 16384.0f);
            if (s.general) return s;
        } else {
            // Keep the fixed-point values in range: wrap whole periods off the start
            // (coordinates beyond any sensible range are held at 0). Sizes are
            // powers of two here, so the reciprocals are exact.
            if (!(std::fabs(ua) < 1e6f && std::fabs(va) < 1e6f)) ua = va = 0.0f;
            float pu = static_cast<float>(FloorToInt(ua * m_invWidth)) * m_t.width;
            float pv = static_cast<float>(FloorToInt(va * m_invHeight)) * m_t.height;
            ua -= pu, ub -= pu, va -= pv, vb -= pv;
            if (std::fabs(ub) > 16384.0f || std::fabs(vb) > 16384.0f || !(std::fabs(ua) <= 16384.0f) ||
                !(std::fabs(va) <= 16384.0f)) {
                ub = ua, vb = va;  // degenerate steps: hold the segment start
            }
        }
        s.tu = static_cast<int32_t>(ua * 65536.0f);
        s.tv = static_cast<int32_t>(va * 65536.0f);
        const float perPixel = 65536.0f / static_cast<float>(length);
        s.dtu = static_cast<int32_t>((ub - ua) * perPixel);
        s.dtv = static_cast<int32_t>((vb - va) * perPixel);
        return s;
    }

  private:
    // Texel coordinates of pixel i.
    void Texels(int i, float& u, float& v) const {
        const float f = static_cast<float>(i);
        const float r = m_persp ? 1.0f / (m_q + m_dq * f) : 1.0f;
        u = (m_u + m_du * f) * r * m_t.width;
        v = (m_v + m_dv * f) * r * m_t.height;
    }

    const SpanTexture& m_t;
    bool m_persp;
    float m_u, m_v, m_q, m_du, m_dv, m_dq;
    float m_invWidth, m_invHeight;
    int m_end = -1;  // pixel where the last segment ended
    float m_endU = 0, m_endV = 0;
};

// How a span combines texture and diffuse colour, fixed per draw.
enum CombineMode {
    kGeneral,       // the general combiner over the configured stages
    kDiffuse,       // colour and alpha are the diffuse colour
    kModulate,      // texture x diffuse, for colour and alpha
    kModulateTexA,  // texture x diffuse for colour, texture alpha
    kSimpleFlags,   // (texture or 1) x (diffuse or 1) from the configuration's flags
};

// The scalar loop over one span. Interpolated values are evaluated at pixel i
// of the span as start + step * i (not summed pixel by pixel), so any pixel's
// value is the same whichever loop shades it. Everything the loop reads is
// held here, copied out of the configuration first: the colour stores could
// otherwise alias the configuration and force reloads per pixel. (The texture
// and its segments are the caller's and Run's: an object whose address is
// taken stays in memory, and so would everything else held here.)
template <bool kPersp, int kMode, bool kDepth, bool kBlend>
class SpanShader {
    static constexpr bool kTexModes = kMode == kModulate || kMode == kModulateTexA;

  public:
    __attribute__((always_inline)) SpanShader(const PixelConfig& config, const Gradients& gradients,
                                              const SpanTexture& texture, int y, int x0)
        : c(config), g(gradients), tex0(texture), fx(static_cast<float>(x0)), fy(static_cast<float>(y)) {}

    // Pixels [x0, x1) of line y.
    __attribute__((always_inline)) void Run(int y, int x0, int x1) {
        uint32_t* dst = c.color.pixels + static_cast<ptrdiff_t>(y) * c.color.pitch + x0;
        float* zp = kDepth ? c.depth.depth + static_cast<ptrdiff_t>(y) * c.depth.pitch + x0 : nullptr;
        TexSegment seg;
        SegmentWalker segments(tex0, kPersp, u0s, v0s, qs, du0, dv0, dq);
        int segmentLeft = 0;
        for (int x = x0; x < x1; ++x) {
            const int i = x - x0;
            const float fi = static_cast<float>(i);
            if (segmented && segmentLeft == 0) {
                segmentLeft = std::min(kSegment, x1 - x);
                seg = segments.Next(i, segmentLeft);
            }
            const float z = zs + dz * fi;
            bool visible = true;
            if constexpr (kDepth) visible = !depthTest || DepthPasses(depthFunc, z, *zp);
            if (visible) {
                uint32_t color = PixelColor(fi, seg);
                if (specularAdd) color = AddSpecular(color, Specular());
                if (!alphaTest || CompareFunc(alphaFunc, color >> 24, alphaRef)) {
                    if constexpr (kBlend) color = BlendPixel(c, color, *dst);
                    *dst = (color & writeMask) | (*dst & keep);
                    if constexpr (kDepth) {
                        if (depthWrite) *zp = z;
                    }
                }
            }
            if (segmented) seg.tu += seg.dtu, seg.tv += seg.dtv, --segmentLeft;
            ++dst;
            if constexpr (kDepth) ++zp;
            r.Next(), gr.Next(), b.Next(), a.Next();
            if (stepSpecular) sr.Next(), sg.Next(), sb.Next();
        }
    }

  private:
    // Pixel i's (fi's) colour from the combine mode, before specular, alpha test and blending.
    __attribute__((always_inline)) uint32_t PixelColor(float fi, const TexSegment& seg) const {
        const float q = kPersp ? qs + dq * fi : 1.0f;
        const float u0 = u0s + du0 * fi, v0 = v0s + dv0 * fi;
        const float w = (kPersp && !kTexModes) ? 1.0f / q : 1.0f;
        uint32_t dr = r.Byte(), dg = gr.Byte(), db = b.Byte(), da = a.Byte();
        if constexpr (kMode == kDiffuse) {
            return (da << 24) | (dr << 16) | (dg << 8) | db;
        } else if constexpr (kTexModes) {
            uint32_t t;
            if (segmented && !seg.general) {
                t = tex0.FetchFixed(seg.tu, seg.tv);
            } else {
                const float wp = kPersp ? 1.0f / q : 1.0f;
                t = tex0.Fetch(g.sampling[0], c.samplers[0], u0 * wp, v0 * wp);
            }
            uint32_t alpha = kMode == kModulate ? Mul255(da, t >> 24) : t >> 24;
            return (alpha << 24) | (Mul255(dr, Channel(t, 16)) << 16) | (Mul255(dg, Channel(t, 8)) << 8) |
                   Mul255(db, t & 0xFF);
        } else if constexpr (kMode == kSimpleFlags) {
            uint32_t t = (hasTex0 && (colorTex || alphaTex))
                             ? tex0.Fetch(g.sampling[0], c.samplers[0], u0 * w, v0 * w)
                             : 0xFFFFFFFFu;
            if (!colorDiff) dr = dg = db = 255;
            if (!alphaDiff) da = 255;
            if (colorTex)
                dr = Mul255(dr, Channel(t, 16)), dg = Mul255(dg, Channel(t, 8)), db = Mul255(db, t & 0xFF);
            if (alphaTex) da = Mul255(da, t >> 24);
            return (da << 24) | (dr << 16) | (dg << 8) | db;
        } else {
            const float u1 = u1s + du1 * fi, v1 = v1s + dv1 * fi;
            uint32_t texels[kPipelineTexStages] = {0xFFFFFFFFu, 0xFFFFFFFFu};
            if (hasTex0) texels[0] = tex0.Fetch(g.sampling[0], c.samplers[0], u0 * w, v0 * w);
            if (g.sampling[1].level) texels[1] = Sample(g.sampling[1], c.samplers[1], u1 * w, v1 * w);
            return CombineStages(c, (da << 24) | (dr << 16) | (dg << 8) | db, Specular(), texels);
        }
    }

    __attribute__((always_inline)) uint32_t Specular() const {
        return (sr.Byte() << 16) | (sg.Byte() << 8) | sb.Byte();
    }

    const PixelConfig& c;
    const Gradients& g;
    const SpanTexture& tex0;
    const float fx, fy;  // the span's first pixel
    const bool depthTest = c.depthTest, depthWrite = c.depthWrite;
    const DWORD depthFunc = c.depthFunc;
    const bool alphaTest = c.alphaTest;
    const DWORD alphaFunc = c.alphaFunc;
    const uint32_t alphaRef = c.alphaRef, writeMask = c.writeMask, keep = ~c.writeMask;
    const bool specularAdd = c.specularAdd;
    const bool colorTex = c.colorUsesTexture, colorDiff = c.colorUsesDiffuse;
    const bool alphaTex = c.alphaUsesTexture, alphaDiff = c.alphaUsesDiffuse;
    const bool stepSpecular = specularAdd || kMode == kGeneral;

    const float zs = g.At(kZ, fx, fy), dz = g.ddx[kZ];
    const float qs = g.At(kRhw, fx, fy), dq = g.ddx[kRhw];
    Stepper r{g.At(kR, fx, fy), g.ddx[kR]}, gr{g.At(kG, fx, fy), g.ddx[kG]};
    Stepper b{g.At(kB, fx, fy), g.ddx[kB]}, a{g.At(kA, fx, fy), g.ddx[kA]};
    const float u0s = g.At(kU0, fx, fy), v0s = g.At(kV0, fx, fy);
    const float du0 = g.ddx[kU0], dv0 = g.ddx[kV0];
    const float u1s = g.At(kU1, fx, fy), v1s = g.At(kV1, fx, fy);
    const float du1 = g.ddx[kU1], dv1 = g.ddx[kV1];
    Stepper sr{g.At(kSR, fx, fy), g.ddx[kSR]}, sg{g.At(kSG, fx, fy), g.ddx[kSG]},
        sb{g.At(kSB, fx, fy), g.ddx[kSB]};
    const bool hasTex0 = tex0.texels != nullptr;
    const bool segmented = kTexModes && tex0.fast;
};

template <bool kPersp, int kMode, bool kDepth, bool kBlend>
void ShadeSpan(const SpanSetup& setup, int y, int x0, int x1) {
    const SpanTexture tex0(setup.gradients->sampling[0], setup.config->samplers[0]);
    SpanShader<kPersp, kMode, kDepth, kBlend>(*setup.config, *setup.gradients, tex0, y, x0).Run(y, x0, x1);
}

// The scalar loop needs no preparation beyond the configuration and planes.
template <bool kPersp, int kMode, bool kDepth, bool kBlend>
SpanFn PrepareScalar(const PixelConfig& c, const Gradients& g, SpanSetup& setup) {
    setup.config = &c;
    setup.gradients = &g;
    return &ShadeSpan<kPersp, kMode, kDepth, kBlend>;
}

}  // namespace plat::d3d9::span
