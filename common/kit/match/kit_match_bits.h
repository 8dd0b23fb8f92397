// Colour, depth and stencil bits of the formats that settings matching compares.
#pragma once

#include "platform/d3d9.h"

// Colour bits (per channel; 5 for the 16-bit RGB formats), depth bits and
// stencil bits of a format; 0 for formats without them.
UINT KitColorBitsOf(D3DFORMAT format);
UINT KitDepthBitsOf(D3DFORMAT format);
UINT KitStencilBitsOf(D3DFORMAT format);
