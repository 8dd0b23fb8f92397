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
inline uint32_t Mul255(uint32_t a, uint32_t b) {
    uint32_t t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}
bool CompareFunc(DWORD func, float value, float reference);
bool CompareFunc(DWORD func, uint32_t value, uint32_t reference);
uint32_t BlendPixel(const PixelConfig& config, uint32_t src, uint32_t dst);
uint32_t CombineStages(const PixelConfig& config, uint32_t diffuse, uint32_t specular, const uint32_t texel[kPipelineTexStages]);

}  // namespace plat::d3d9
