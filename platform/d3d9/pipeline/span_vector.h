// Pixel stage, four pixels per step: span functions for the common state
// combinations (diffuse colour, or a texture modulated by it, point-sampled
// with wrap or clamp or filtered bilinearly with any addressing; depth
// less/less-equal; no blending or source-alpha blending; any alpha test; no
// specular), written with SSE2. They give the same pixels as the scalar loops
// of span_shading.h, which they fall back on per primitive for other point
// sampling.
#pragma once

#include "platform/d3d9/pipeline/pixel_processing.h"

namespace plat::d3d9::span {

// Span functions for combine mode `mode` (a span::CombineMode) when the
// configuration allows them; false otherwise (or without SSE2).
bool ChooseVectorSpans(const PixelConfig& config, int mode, bool depth, SpanFunctions& out);

// The rows [x0, x1) of a screen-aligned rectangle whose texture is point
// sampled with clamping, u following x and v following y, one colour along
// each row (a glyph, an unscaled sprite), from row y0 down: the texel columns
// are found once for all rows. Prepares `setup` and returns the row function
// (pixels as the span loops give them), or null when the rectangle is not of
// that kind.
SpanFn PrepareRectRows(const PixelConfig& config, const Gradients& g, SpanSetup& setup, int x0, int x1,
                       int y0);

}  // namespace plat::d3d9::span
