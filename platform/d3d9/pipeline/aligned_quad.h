// Pixel stage, screen-aligned quads: a rectangle whose texture coordinates
// vary only with x (u) and only with y (v), filtered bilinearly and modulated
// by one diffuse colour (a stretched sprite or skin piece). Each column's
// texel index and weight are found once per quad and each row's texel rows
// and weight once per row, instead of per pixel; the pixels equal those of
// the span loops.
#pragma once

#include "platform/d3d9/pipeline/pipeline_types.h"
#include "platform/d3d9/pipeline/setup.h"

namespace plat::d3d9 {

// True when `config` and the rectangle's planes `g` are of that kind (and the
// build has SSE2).
bool AlignedQuadApplies(const PixelConfig& config, const Gradients& g);

// Shades pixels [x0, x1) of rows [y0, y1) (already clipped) of such a
// rectangle, as the span loops would shade the spans [x0, x1) of those rows.
// Rows this thread sampled before from the same texels are used again (their
// source texels are compared first).
void ShadeAlignedQuad(const PixelConfig& config, const Gradients& g, int x0, int x1, int y0, int y1);

}  // namespace plat::d3d9
