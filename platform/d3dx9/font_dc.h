// Device contexts of fonts: ID3DXFont::GetDC hands out an HDC that names the
// font's engine, so the text-layout service can measure and shape with the
// same faces and sizes the font draws with.
#pragma once

#include "platform/win32types.h"

namespace plat {

class FontEngine;

// The engine behind an HDC from ID3DXFont::GetDC; null for any other handle
// or once the font has been released.
FontEngine* FontEngineFromDC(HDC dc);

// Registration, used by the font object for the life of its engine.
HDC RegisterFontDC(FontEngine* engine);
void UnregisterFontDC(HDC dc);

}  // namespace plat
