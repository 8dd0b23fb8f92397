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

}  // namespace plat::d3d9::span
