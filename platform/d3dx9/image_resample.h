// Resampling ARGB images between sizes: every destination texel averages the
// source texels its footprint covers (weighted by overlap), which is the box
// filter for halving and an area average for any other ratio.
#pragma once

#include <cstdint>

#include "platform/win32types.h"

namespace plat {

// Point sampling when filter is D3DX_FILTER_POINT, a plain copy of the
// overlapping corner (the rest transparent black) for D3DX_FILTER_NONE,
// area averaging otherwise. Volumes resample across slices too.
void Resample(const uint32_t* src, UINT sw, UINT sh, UINT sd, uint32_t* dst, UINT dw, UINT dh, UINT dd,
              DWORD filter);

}  // namespace plat
