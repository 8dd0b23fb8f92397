// Segmentation for the text-layout service. Boundaries come from ICU's break
// iterators (grapheme clusters, and words with its dictionaries for scripts
// written without spaces), run over a UTF-16 copy of the text whose units map
// back to the caller's characters. One iterator of each kind is kept per thread.
#include "platform/uniscribe/text_segments.h"

#include <unicode/ubrk.h>
#include <unicode/uchar.h>

#include <memory>

namespace plat {
namespace {

struct BreakCloser {
    void operator()(UBreakIterator* p) const { ubrk_close(p); }
};
using BreakIterator = std::unique_ptr<UBreakIterator, BreakCloser>;

UBreakIterator* Iterator(UBreakIteratorType type) {
    thread_local BreakIterator characters, words;
    BreakIterator& slot = type == UBRK_CHARACTER ? characters : words;
    if (!slot) {
        UErrorCode status = U_ZERO_ERROR;
        UBreakIterator* it = ubrk_open(type, "", nullptr, 0, &status);
        if (U_FAILURE(status)) return nullptr;
        slot.reset(it);
    }
    return slot.get();
}

bool IsHigh(WCHAR c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(WCHAR c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Marks in flags (indexed by character) every boundary the iterator finds in
// the UTF-16 text; unitChar maps each unit, and the end, to its character.
void MarkBoundaries(UBreakIteratorType type, const std::u16string& units, const std::vector<int>& unitChar,
                    std::vector<uint8_t>* flags) {
    UBreakIterator* it = Iterator(type);
    if (!it) return;
    UErrorCode status = U_ZERO_ERROR;
    ubrk_setText(it, units.data(), static_cast<int32_t>(units.size()), &status);
    if (U_FAILURE(status)) return;
    for (int32_t b = ubrk_first(it); b != UBRK_DONE; b = ubrk_next(it))
        if (b >= 0 && static_cast<size_t>(b) < unitChar.size()) (*flags)[unitChar[b]] = 1;
    // Leave no pointer to the caller's text behind in the kept iterator.
    ubrk_setText(it, nullptr, 0, &status);
}

}  // namespace

void SegmentText(const WCHAR* text, int count, TextSegments* out) {
    const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    out->codePoints.clear();
    out->codePointOf.assign(n, 0);
    out->firstCharOf.clear();
    out->clusterStart.assign(n + 1, 0);
    out->wordStart.assign(n + 1, 0);
    out->whiteSpace.assign(n, 0);
    out->invalid.assign(n, 0);

    std::u16string units;
    std::vector<int> unitChar;
    units.reserve(n + 1);
    unitChar.reserve(n + 2);
    for (size_t i = 0; i < n; ++i) {
        const WCHAR c = text[i];
        char32_t cp = static_cast<char32_t>(c);
        size_t used = 1;
        if (IsHigh(c) && i + 1 < n && IsLow(text[i + 1])) {
            cp = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) +
                 (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            used = 2;
        } else if (IsHigh(c) || IsLow(c) || cp > 0x10FFFF) {
            out->invalid[i] = 1;
            cp = 0xFFFD;
        }
        const int index = static_cast<int>(out->codePoints.size());
        out->codePoints.push_back(cp);
        out->firstCharOf.push_back(static_cast<int>(i));
        for (size_t k = 0; k < used; ++k) out->codePointOf[i + k] = index;
        out->whiteSpace[i] = u_isUWhiteSpace(static_cast<UChar32>(cp)) ? 1 : 0;
        if (cp >= 0x10000) {
            units.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            units.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
            // Both units of a pair belong to the pair's first character.
            unitChar.push_back(static_cast<int>(i));
            unitChar.push_back(static_cast<int>(i));
        } else {
            units.push_back(static_cast<char16_t>(cp));
            unitChar.push_back(static_cast<int>(i));
        }
        i += used - 1;
    }
    out->firstCharOf.push_back(static_cast<int>(n));
    unitChar.push_back(static_cast<int>(n));

    MarkBoundaries(UBRK_CHARACTER, units, unitChar, &out->clusterStart);
    MarkBoundaries(UBRK_WORD, units, unitChar, &out->wordStart);
    out->clusterStart[0] = out->clusterStart[n] = 1;
}

}  // namespace plat
