// Setup stage: plane equations and per-triangle sampling choices.
#include "platform/d3d9/pipeline/setup.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace plat::d3d9 {

namespace {

// Four floats in one register (GCC vector extension: element-wise arithmetic).
typedef float Float4 __attribute__((vector_size(16)));

inline Float4 Load4(const float* p) {
    Float4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline void Store4(float* p, Float4 v) { std::memcpy(p, &v, sizeof v); }

__attribute__((always_inline)) inline void LoadValues(const ScreenVertex& v, bool perspective,
                                                      float out[kInterpPadded]) {
    out[kZ] = v.z;
    out[kRhw] = v.rhw;
    for (int i = 0; i < 4; ++i) out[kR + i] = v.color[i];
    for (int i = 0; i < 3; ++i) out[kSR + i] = v.specular[i];
    float q = perspective ? v.rhw : 1.0f;
    out[kU0] = v.tex[0][0] * q;
    out[kV0] = v.tex[0][1] * q;
    out[kU1] = v.tex[1][0] * q;
    out[kV1] = v.tex[1][1] * q;
    for (int i = kInterpCount; i < kInterpPadded; ++i) out[i] = 0.0f;
}

// Texels per pixel step of level 0 at the triangle's centroid, for one texture stage.
float TexelFootprint(const Gradients& g, int uIndex, const ImageLevel& level0, float cx, float cy) {
    float dudx = g.ddx[uIndex], dudy = g.ddy[uIndex];
    float dvdx = g.ddx[uIndex + 1], dvdy = g.ddy[uIndex + 1];
    if (g.perspective) {
        float q = g.At(kRhw, cx, cy);
        if (q <= 0.0f) return 1.0f;
        float u = g.At(uIndex, cx, cy) / q, v = g.At(uIndex + 1, cx, cy) / q;
        dudx = (dudx - u * g.ddx[kRhw]) / q;
        dudy = (dudy - u * g.ddy[kRhw]) / q;
        dvdx = (dvdx - v * g.ddx[kRhw]) / q;
        dvdy = (dvdy - v * g.ddy[kRhw]) / q;
    }
    float w = static_cast<float>(level0.width), h = static_cast<float>(level0.height);
    float fx = std::sqrt(dudx * dudx * w * w + dvdx * dvdx * h * h);
    float fy = std::sqrt(dudy * dudy * w * w + dvdy * dvdy * h * h);
    return std::max(fx, fy);
}

void ChooseTriangleSampling(const PixelConfig& config, float cx, float cy, Gradients& g) {
    for (int s = 0; s < kPipelineTexStages; ++s) {
        const Sampler& sampler = config.samplers[s];
        if (!sampler.levels) {
            g.sampling[s] = TriangleSampling{};
            continue;
        }
        float footprint = TexelFootprint(g, s == 0 ? kU0 : kU1, sampler.levels[0], cx, cy);
        g.sampling[s] = ChooseSampling(sampler, footprint);
    }
}

}  // namespace

bool SetupTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                   const PixelConfig& config, const ScreenVertex& flatColor, Gradients& out) {
    float area = SignedArea2(a, b, c);
    if (area == 0.0f || !std::isfinite(area)) return false;
    out.perspective = !(a.rhw == b.rhw && b.rhw == c.rhw);
    alignas(16) float va[kInterpPadded], vb[kInterpPadded], vc[kInterpPadded];
    LoadValues(a, out.perspective, va);
    LoadValues(b, out.perspective, vb);
    LoadValues(c, out.perspective, vc);
    if (config.flatShading) {
        for (int i = 0; i < 4; ++i) va[kR + i] = vb[kR + i] = vc[kR + i] = flatColor.color[i];
        for (int i = 0; i < 3; ++i) va[kSR + i] = vb[kSR + i] = vc[kSR + i] = flatColor.specular[i];
    }
    float inv = 1.0f / area;
    float dx1 = b.x - a.x, dy1 = b.y - a.y, dx2 = c.x - a.x, dy2 = c.y - a.y;
    out.x0 = a.x;
    out.y0 = a.y;
    for (int i = 0; i < kInterpPadded; i += 4) {
        const Float4 a4 = Load4(va + i), d1 = Load4(vb + i) - a4, d2 = Load4(vc + i) - a4;
        Store4(out.base + i, a4);
        Store4(out.ddx + i, (d1 * dy2 - d2 * dy1) * inv);
        Store4(out.ddy + i, (d2 * dx1 - d1 * dx2) * inv);
    }
    out.constantColor = ColorConstantAlongX(out);
    ChooseTriangleSampling(config, (a.x + b.x + c.x) / 3.0f, (a.y + b.y + c.y) / 3.0f, out);
    return true;
}

void SetupConstant(const ScreenVertex& v, const PixelConfig& config, bool perspective, Gradients& out) {
    out.perspective = perspective;
    out.x0 = v.x;
    out.y0 = v.y;
    LoadValues(v, perspective, out.base);
    for (int i = 0; i < kInterpPadded; ++i) out.ddx[i] = out.ddy[i] = 0.0f;
    out.constantColor = true;
    for (int s = 0; s < kPipelineTexStages; ++s)
        out.sampling[s] =
            config.samplers[s].levels ? ChooseSampling(config.samplers[s], 1.0f) : TriangleSampling{};
}

}  // namespace plat::d3d9
