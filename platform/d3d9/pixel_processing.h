// Pixel stage: texture-stage combining, specular add, alpha test, depth test
// and write, blending and the colour write mask, applied along a span of one
// row. A span function is chosen once per draw from a few booleans of the
// configuration (templates), so the per-pixel loop carries no virtual calls
// and only branches that stay constant over the draw.
#pragma once

#include <cstdint>

#include "platform/d3d9/pipeline_types.h"
#include "platform/d3d9/setup.h"

namespace plat::d3d9 {

// Shades pixels [x0, x1) of row y of one primitive.
using SpanFn = void (*)(const PixelConfig& config, const Gradients& g, int y, int x0, int x1);

struct SpanFunctions {
    SpanFn affine = nullptr;       // triangles with one w for every vertex
    SpanFn perspective = nullptr;  // triangles needing perspective-correct texture coordinates
    SpanFn For(bool persp) const { return persp ? perspective : affine; }
};

SpanFunctions ChooseSpanFunctions(const PixelConfig& config);

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
    if (c.srcBlend != D3DBLEND_SRCALPHA || c.destBlend != D3DBLEND_INVSRCALPHA || c.blendOp != D3DBLENDOP_ADD ||
        c.separateAlpha)
        return BlendGeneral(c, src, dst);
    uint32_t a = src >> 24, ia = 255 - a;
    // Each channel is s * a + d * (255 - a), at most 255 * 255, so no clamping is needed.
    uint32_t r = Div255(((src >> 16) & 0xFF) * a + ((dst >> 16) & 0xFF) * ia);
    uint32_t g = Div255(((src >> 8) & 0xFF) * a + ((dst >> 8) & 0xFF) * ia);
    uint32_t b = Div255((src & 0xFF) * a + (dst & 0xFF) * ia);
    uint32_t al = Div255(a * a + (dst >> 24) * ia);
    return (al << 24) | (r << 16) | (g << 8) | b;
}
uint32_t CombineStages(const PixelConfig& config, uint32_t diffuse, uint32_t specular, const uint32_t texel[kPipelineTexStages]);

}  // namespace plat::d3d9
