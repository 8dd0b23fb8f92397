// Pixel stage: texture-stage combining, specular add, alpha test, depth test
// and write, blending and the colour write mask, applied along a span of one
// row. A span function is chosen once per draw from a few booleans of the
// configuration (templates), so the per-pixel loop carries no virtual calls
// and only branches that stay constant over the draw.
#pragma once

#include <cstdint>

#include "platform/d3d9/pipeline/pipeline_types.h"
#include "platform/d3d9/pipeline/setup.h"

namespace plat::d3d9 {

// What the span loops of one primitive read: the configuration and plane
// equations, plus whatever depends only on them (targets, tests, colour and
// texture stepping), prepared once per primitive so that a row pays only for
// its own start values.
struct SpanSetup {
    const PixelConfig* config = nullptr;
    const Gradients* gradients = nullptr;

    // Row starts: the planes of [z, rhw, u0, v0] and [b, g, r, a] (one lane each).
    alignas(16) float base[2][4];
    alignas(16) float ddx[2][4];
    alignas(16) float ddy[2][4];
    float x0 = 0, y0 = 0;              // the planes' reference point
    alignas(16) int32_t colorStep[4];  // 16.16 steps of b, g, r, a along a row

    uint32_t* pixels = nullptr;  // colour target
    int pitch = 0, width = 0;
    float* depth = nullptr;  // depth target when the loop tests or writes depth
    int depthPitch = 0, depthWidth = 0;
    bool depthTest = false, depthWrite = false, depthLessEqual = false;

    bool alphaTest = false, maskWrites = false;
    // Per lane: the alpha test passes low < alpha < high, or the opposite when invert is -1.
    alignas(16) int32_t alphaLow[4], alphaHigh[4], alphaInvert[4];
    alignas(16) uint32_t writeMask[4];

    // Stage 0's texture: point-sampled with wrap (power-of-two sizes) or clamp, or bilinear.
    const uint32_t* texels = nullptr;
    int texelPitch = 0, lastU = 0, lastV = 0;  // lastU/V: size - 1, the wrap mask or the clamp limit
    alignas(16) float texSize[4];              // width, height, width, height
    alignas(16) float texInvSize[4];           // their reciprocals (wrap only)
    alignas(16) float texStep[4];              // du, dv, du, dv per pixel
    alignas(16) int16_t texLimits[8];          // clamp: lastU x 4, lastV x 4; wrap: lastU, lastV per lane
    alignas(16) int32_t texRowAndOne[4];       // 16-bit pairs (1, pitch): y * pitch + x in one multiply-add

    // A point-clamped rectangle's rows (span::PrepareRectRows): each column's texel offset in the
    // first row (whole groups of four), and that row's texel row.
    static constexpr int kRectColumns = 128;
    alignas(16) int32_t rectColumns[kRectColumns];
    int rectFirstRow = 0;
};

// Shades pixels [x0, x1) of row y of the primitive `setup` was prepared for.
// The four-pixel loops may read and write back, unchanged, up to three pixels
// and depths past x1 within the same row of the target (never another row).
using SpanFn = void (*)(const SpanSetup& setup, int y, int x0, int x1);
// Prepares `setup` for one primitive and returns the span function for its
// rows. `config` and `g` must outlive the primitive's spans.
using PrepareFn = SpanFn (*)(const PixelConfig& config, const Gradients& g, SpanSetup& setup);

struct SpanFunctions {
    PrepareFn affine = nullptr;       // triangles with one w for every vertex
    PrepareFn perspective = nullptr;  // triangles needing perspective-correct texture coordinates
    SpanFn Prepare(const PixelConfig& config, const Gradients& g, SpanSetup& setup) const {
        return (g.perspective ? perspective : affine)(config, g, setup);
    }
};

// The span functions for a draw: four-pixel loops where the configuration
// allows them, the scalar loops otherwise.
SpanFunctions ChooseSpanFunctions(const PixelConfig& config);
// The scalar loops for any configuration: the reference the four-pixel loops are held to.
SpanFunctions ChooseScalarSpanFunctions(const PixelConfig& config);

// Building blocks, exposed for the tests.
// x / 255 rounded, for x up to 255 * 255.
inline uint32_t Div255(uint32_t x) {
    uint32_t t = x + 128;
    return (t + (t >> 8)) >> 8;
}
inline uint32_t Mul255(uint32_t a, uint32_t b) { return Div255(a * b); }
bool CompareFunc(DWORD func, float value, float reference);
bool CompareFunc(DWORD func, uint32_t value, uint32_t reference);
uint32_t BlendGeneral(const PixelConfig& config, uint32_t src, uint32_t dst);
// Source-alpha blending inline, every other factor through BlendGeneral.
inline uint32_t BlendPixel(const PixelConfig& c, uint32_t src, uint32_t dst) {
    if (c.srcBlend != D3DBLEND_SRCALPHA || c.destBlend != D3DBLEND_INVSRCALPHA ||
        c.blendOp != D3DBLENDOP_ADD || c.separateAlpha)
        return BlendGeneral(c, src, dst);
    uint32_t a = src >> 24, ia = 255 - a;
    // Each channel is s * a + d * (255 - a), at most 255 * 255, so no clamping is needed.
    uint32_t r = Div255(((src >> 16) & 0xFF) * a + ((dst >> 16) & 0xFF) * ia);
    uint32_t g = Div255(((src >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * ia);
    uint32_t b = Div255((src & 0xFF) * a + (dst & 0xFF) * ia);
    uint32_t al = Div255(a * a + (dst >> 24) * ia);
    return (al << 24) | (r << 16) | (g << 8) | b;
}
uint32_t CombineStages(const PixelConfig& config, uint32_t diffuse, uint32_t specular,
                       const uint32_t texel[kPipelineTexStages]);

}  // namespace plat::d3d9
