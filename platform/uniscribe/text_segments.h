// The text-layout service's view of a wide-character string: its code points
// (surrogate pairs joined, unpaired surrogates shown as U+FFFD), and from the
// ICU library the grapheme-cluster and word boundaries and the white space.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32types.h"

namespace plat {

struct TextSegments {
    std::u32string codePoints;          // the text as code points
    std::vector<int> codePointOf;       // per character: the code point it belongs to
    std::vector<int> firstCharOf;       // per code point (and one past the end): its first character
    std::vector<uint8_t> clusterStart;  // per character, and the end: a grapheme cluster starts here
    std::vector<uint8_t> wordStart;     // per character: a word boundary lies before it
    std::vector<uint8_t> whiteSpace;    // per character: Unicode white space
    std::vector<uint8_t> invalid;       // per character: an unpaired surrogate
};

// Segments count characters of text (count >= 0).
void SegmentText(const WCHAR* text, int count, TextSegments* out);

}  // namespace plat
