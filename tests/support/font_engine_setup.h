// A font engine of a face, size and style, shared by the text tests and the
// edit-box benchmark. Header only and free of the test framework.
#pragma once

#include <cwchar>
#include <memory>

#include "platform/d3dx9/font_engine.h"

namespace tumbral_test {

// Null when the engine cannot be made.
inline std::unique_ptr<plat::FontEngine> MakeFontEngine(const wchar_t* face, int height,
                                                        UINT weight = FW_NORMAL, BOOL italic = FALSE,
                                                        BYTE quality = DEFAULT_QUALITY) {
    D3DXFONT_DESCW desc{};
    desc.Height = height;
    desc.Weight = weight;
    desc.Italic = italic;
    desc.Quality = quality;
    desc.MipLevels = 1;
    std::wcsncpy(desc.FaceName, face, LF_FACESIZE - 1);
    std::unique_ptr<plat::FontEngine> engine;
    if (FAILED(plat::FontEngine::Create(desc, &engine))) engine.reset();
    return engine;
}

}  // namespace tumbral_test
