// Setup stage: turns a screen-space triangle into plane equations (value at a
// reference point plus x and y gradients) for every interpolated quantity, and
// picks each texture's level and filter for the triangle.
#pragma once

#include <cstdint>

#include "platform/d3d9/pipeline/pipeline_types.h"
#include "platform/d3d9/pipeline/texture_sampling.h"

namespace plat::d3d9 {

// Interpolated quantities. Depth and colours are affine in screen space;
// texture coordinates are interpolated divided by w (times rhw) together with
// rhw when the triangle needs perspective correction.
enum Interp { kZ, kRhw, kR, kG, kB, kA, kSR, kSG, kSB, kU0, kV0, kU1, kV1, kInterpCount };
// The planes are set up four quantities at a time; the arrays are padded to whole groups.
constexpr int kInterpPadded = (kInterpCount + 3) / 4 * 4;

struct Gradients {
    float x0 = 0, y0 = 0;  // reference point
    alignas(16) float base[kInterpPadded] = {};
    alignas(16) float ddx[kInterpPadded] = {};
    alignas(16) float ddy[kInterpPadded] = {};
    bool perspective = false;
    // The colour steps along x vanish in the span loops' 16.16 fixed point
    // (ColorConstantAlongX), decided once per primitive; false is always safe.
    bool constantColor = false;
    TriangleSampling sampling[kPipelineTexStages];

    float At(int i, float x, float y) const { return base[i] + ddx[i] * (x - x0) + ddy[i] * (y - y0); }
};

// True when every colour channel's x step is zero in 16.16 fixed point, so a
// row's colour is the same at every pixel.
inline bool ColorConstantAlongX(const Gradients& g) {
    return int32_t(g.ddx[kR] * 65536.0f) == 0 && int32_t(g.ddx[kG] * 65536.0f) == 0 &&
           int32_t(g.ddx[kB] * 65536.0f) == 0 && int32_t(g.ddx[kA] * 65536.0f) == 0;
}

// Signed area times two; positive for clockwise triangles on the screen (y down).
inline float SignedArea2(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
}

// False when the triangle has no area. `flatColor` is the vertex whose colours a
// flat-shaded triangle uses.
bool SetupTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                   const PixelConfig& config, const ScreenVertex& flatColor, Gradients& out);

// Constant plane equations holding one vertex's values (points and line pixels).
void SetupConstant(const ScreenVertex& v, const PixelConfig& config, bool perspective, Gradients& out);

}  // namespace plat::d3d9
