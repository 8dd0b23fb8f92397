// Clipping stage: clip-space primitives against the view volume. Near and far
// planes are exact; the side planes lie at a guard band of twice the viewport
// so that most triangles crossing the viewport edge are not split (the
// rasterizer scissors them to the viewport instead).
#pragma once

#include "platform/d3d9/pipeline/pipeline_types.h"

namespace plat::d3d9 {

constexpr float kGuardBand = 2.0f;
constexpr int kMaxClippedVertices = 3 + 6;

enum ClipPlane : uint32_t {
    kClipLeft = 1,
    kClipRight = 2,
    kClipBottom = 4,
    kClipTop = 8,
    kClipNear = 16,
    kClipFar = 32,
};

uint32_t Outcode(const ClipVertex& v);

// Clips a convex polygon; returns the number of vertices written to `out`
// (0 when nothing is left). `out` holds kMaxClippedVertices.
int ClipPolygon(const ClipVertex* in, int count, ClipVertex* out);

// Clips a segment in place; false when nothing is left.
bool ClipSegment(ClipVertex& a, ClipVertex& b);

}  // namespace plat::d3d9
