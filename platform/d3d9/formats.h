// Pixel formats the device stores, samples and renders: sizes, classes and
// conversions to and from 32-bit A8R8G8B8.
#pragma once

#include <cstdint>

#include "platform/d3d9types.h"

namespace plat::d3d9 {

// Bytes per pixel of a colour format the device stores; 0 if it does not.
UINT ColorFormatBytes(D3DFORMAT format);
bool IsDepthFormat(D3DFORMAT format);
// Formats that can be displayed: back buffers and adapter (display) formats.
bool IsBackBufferFormat(D3DFORMAT format);
bool IsDisplayFormat(D3DFORMAT format);
// Colour formats textures and plain surfaces may have.
bool IsTextureFormat(D3DFORMAT format);
// Colour formats the device can render into.
bool IsRenderTargetFormat(D3DFORMAT format);
bool HasAlpha(D3DFORMAT format);
int StencilBits(D3DFORMAT format);

// Row conversions between a stored format and A8R8G8B8 (alpha 0xFF where the format has none).
void ConvertRowToArgb(D3DFORMAT format, const void* src, uint32_t* dst, UINT count);
void ConvertRowFromArgb(D3DFORMAT format, const uint32_t* src, void* dst, UINT count);

}  // namespace plat::d3d9
