// Segmentation for the text-layout service. Boundaries come from ICU's break
// iterators (grapheme clusters, and words with its dictionaries for scripts
// written without spaces), run over a UTF-16 copy of the text whose units map
// back to the caller's characters. One iterator of each kind is kept per thread.
//
// An edit box analyses its whole text after every keystroke, so each thread
// also keeps the last text it segmented with its boundaries: a text that
// differs from it by an edit has ICU re-run only from an anchor before the
// edit to the first anchor after it, and the other boundaries are reused.
#include "platform/uniscribe/text_segments.h"

#include <unicode/ubrk.h>
#include <unicode/uchar.h>

#include <algorithm>
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

// The last text segmented on this thread and its boundaries.
struct Previous {
    std::vector<WCHAR> text;
    std::vector<uint8_t> clusterStart, wordStart, whiteSpace;
};
Previous& ThePrevious() {
    thread_local Previous previous;
    return previous;
}

bool IsHigh(WCHAR c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(WCHAR c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Whether character i (0 < i < count) is an anchor: it follows a plain space and
// is a character that neither attaches to what precedes it nor continues a run of
// spaces. Both a grapheme and a word boundary lie before an anchor, and no
// boundary elsewhere is decided by looking across the space and the anchor: the
// boundaries before it depend only on the text up to it, those after it only on
// the text from the space on.
bool IsAnchor(const WCHAR* text, size_t i) {
    if (text[i - 1] != L' ') return false;
    const WCHAR c = text[i];
    if (c < 0 || c > 0xFFFF || IsHigh(c) || IsLow(c)) return false;
    const UChar32 cp = static_cast<UChar32>(c);
    if (u_isUWhiteSpace(cp)) return false;
    if (u_getIntPropertyValue(cp, UCHAR_GRAPHEME_CLUSTER_BREAK) != U_GCB_OTHER) return false;
    switch (u_getIntPropertyValue(cp, UCHAR_WORD_BREAK)) {
        case U_WB_EXTEND:
        case U_WB_FORMAT:
        case U_WB_ZWJ:
        case U_WB_WSEGSPACE:
        case U_WB_REGIONAL_INDICATOR:
        case U_WB_CR:
        case U_WB_LF:
        case U_WB_NEWLINE:
            return false;
        default:
            return true;
    }
}

// Where the text differs from the previous one: the new text is the previous
// text's first `from` characters, a changed middle, and its last `tail`
// characters. ICU is re-run from the anchor `from` (0: the start of the text).
struct Edit {
    size_t from = 0;
    size_t tail = 0;
    bool reuse = false;  // the previous boundaries apply at all
};

Edit FindEdit(const WCHAR* text, size_t n, const Previous& old) {
    Edit edit;
    const size_t oldN = old.text.size();
    if (oldN == 0 || old.clusterStart.size() != oldN + 1 || old.wordStart.size() != oldN + 1 ||
        old.whiteSpace.size() != oldN)
        return edit;
    const size_t shorter = std::min(n, oldN);
    size_t head = 0;
    while (head < shorter && text[head] == old.text[head]) ++head;
    size_t tail = 0;
    while (tail < shorter - head && text[n - 1 - tail] == old.text[oldN - 1 - tail]) ++tail;
    // The nearest anchor whose space and character both lie in the unchanged head.
    for (size_t i = head; i-- > 1;) {
        if (IsAnchor(text, i) && old.clusterStart[i] && old.wordStart[i]) {
            edit.from = i;
            break;
        }
    }
    edit.tail = tail;
    edit.reuse = true;
    return edit;
}

// The text as ICU's UTF-16, each unit (and the end) mapped to its character;
// kept per thread so that an analysis allocates nothing once it has run.
struct Units {
    std::vector<char16_t> units;
    std::vector<int> unitChar;
    size_t count = 0;  // units in use
};
Units& TheUnits() {
    thread_local Units units;
    return units;
}

// Marks in flags (indexed by character) every boundary the iterator finds in
// the UTF-16 text. With an edit, flags arrive holding the previous boundaries
// up to edit.from, and only the boundaries from there to the first anchor
// inside the unchanged tail are found anew; the rest are the previous text's,
// shifted.
bool MarkBoundaries(UBreakIteratorType type, const Units& u, const WCHAR* text, const Edit& edit,
                    size_t fromUnit, const std::vector<uint8_t>& old, std::vector<uint8_t>* flags) {
    UBreakIterator* it = Iterator(type);
    if (!it) return false;
    UErrorCode status = U_ZERO_ERROR;
    ubrk_setText(it, u.units.data(), static_cast<int32_t>(u.count), &status);
    if (U_FAILURE(status)) return false;
    const size_t n = flags->size() - 1;
    const int* unitChar = u.unitChar.data();
    if (!edit.reuse) {
        for (int32_t b = ubrk_first(it); b != UBRK_DONE; b = ubrk_next(it))
            if (b >= 0 && static_cast<size_t>(b) <= u.count) (*flags)[unitChar[b]] = 1;
    } else {
        const size_t oldN = old.size() - 1;
        const size_t tailStart = n - edit.tail;
        for (int32_t b = ubrk_following(it, static_cast<int32_t>(fromUnit)); b != UBRK_DONE;
             b = ubrk_next(it)) {
            if (b < 0 || static_cast<size_t>(b) > u.count) continue;
            const size_t c = static_cast<size_t>(unitChar[b]);
            if (c > tailStart && c < n && IsAnchor(text, c) && old[c + oldN - n]) {
                // From here on the text, and so every boundary, is the previous one's.
                std::copy(old.begin() + static_cast<std::ptrdiff_t>(c + oldN - n), old.end(),
                          flags->begin() + static_cast<std::ptrdiff_t>(c));
                break;
            }
            (*flags)[c] = 1;
        }
    }
    // Leave no pointer to the caller's text behind in the kept iterator.
    ubrk_setText(it, nullptr, 0, &status);
    return true;
}

// Unicode white space, for a character that is not a surrogate.
bool IsWhite(char32_t cp) {
    if (cp < 0x80) return cp == U' ' || (cp >= U'\t' && cp <= U'\r');
    return u_isUWhiteSpace(static_cast<UChar32>(cp)) != 0;
}

// Fills the code points and their maps, the UTF-16 units and their characters,
// and the white space of the characters the edit changed (all, without an
// edit); gives the unit where the edit's anchor lies.
size_t ConvertText(const WCHAR* text, size_t n, const Edit& edit, TextSegments* out, Units& u) {
    char32_t* points = out->codePoints.data();
    int* pointOf = out->codePointOf.data();
    int* firstChar = out->firstCharOf.data();
    uint8_t* white = out->whiteSpace.data();
    char16_t* units = u.units.data();
    int* unitChar = u.unitChar.data();
    // White space depends on the character alone (never a surrogate): unchanged ones keep theirs.
    const size_t keptHead = edit.reuse ? edit.from : 0;
    const size_t keptTail = edit.reuse ? n - edit.tail : n;
    size_t p = 0, k = 0, fromUnit = 0;
    for (size_t i = 0; i < n; ++i) {
        if (i == edit.from) fromUnit = k;
        const WCHAR c = text[i];
        char32_t cp = static_cast<char32_t>(c);
        pointOf[i] = static_cast<int>(p);
        firstChar[p] = static_cast<int>(i);
        if (cp < 0xD800 || (cp >= 0xE000 && cp <= 0xFFFF)) {
            // A character of the basic plane: one code point, one unit.
            points[p++] = cp;
            units[k] = static_cast<char16_t>(cp);
            unitChar[k++] = static_cast<int>(i);
            if (i < keptHead || i >= keptTail) continue;
            white[i] = IsWhite(cp) ? 1 : 0;
            continue;
        }
        size_t used = 1;
        if (IsHigh(c) && i + 1 < n && IsLow(text[i + 1])) {
            cp = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) +
                 (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            used = 2;
        } else if (IsHigh(c) || IsLow(c) || cp > 0x10FFFF) {
            out->invalid[i] = 1;
            cp = 0xFFFD;
        }
        points[p++] = cp;
        if (used == 2) pointOf[i + 1] = pointOf[i];
        if (cp >= 0x10000) {
            units[k] = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            units[k + 1] = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            // Both units of a pair belong to the pair's first character.
            unitChar[k] = unitChar[k + 1] = static_cast<int>(i);
            k += 2;
        } else {
            units[k] = static_cast<char16_t>(cp);
            unitChar[k++] = static_cast<int>(i);
        }
        // No surrogate and nothing outside the basic plane is white space.
        white[i] = 0;
        if (used == 2) white[i + 1] = 0;
        i += used - 1;
    }
    firstChar[p] = static_cast<int>(n);
    out->codePoints.resize(p);
    out->firstCharOf.resize(p + 1);
    unitChar[k] = static_cast<int>(n);
    u.count = k;
    return fromUnit;
}

// With an edit: the white space outside the changed stretch and the boundaries
// up to the anchor are the previous text's.
void KeepUnchanged(const Previous& previous, const Edit& edit, size_t n, TextSegments* out) {
    const size_t oldN = previous.text.size();
    const size_t keptHead = edit.from, keptTail = n - edit.tail;
    std::copy(previous.whiteSpace.begin(),
              previous.whiteSpace.begin() + static_cast<std::ptrdiff_t>(keptHead), out->whiteSpace.begin());
    std::copy(previous.whiteSpace.begin() + static_cast<std::ptrdiff_t>(keptTail + oldN - n),
              previous.whiteSpace.end(), out->whiteSpace.begin() + static_cast<std::ptrdiff_t>(keptTail));
    const auto kept = static_cast<std::ptrdiff_t>(edit.from + 1);
    std::copy(previous.clusterStart.begin(), previous.clusterStart.begin() + kept, out->clusterStart.begin());
    std::copy(previous.wordStart.begin(), previous.wordStart.begin() + kept, out->wordStart.begin());
}

// Keeps this text for the next analysis, unless ICU failed on it.
void Remember(const WCHAR* text, size_t n, const TextSegments& segments, bool found, Previous& previous) {
    previous.text.clear();
    previous.clusterStart.clear();
    previous.wordStart.clear();
    previous.whiteSpace.clear();
    if (!found) return;
    previous.text.assign(text, text + n);
    previous.clusterStart = segments.clusterStart;
    previous.wordStart = segments.wordStart;
    previous.whiteSpace = segments.whiteSpace;
}

}  // namespace

void SegmentText(const WCHAR* text, int count, TextSegments* out) {
    const size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    Previous& previous = ThePrevious();
    const Edit edit = FindEdit(text, n, previous);

    // Every entry below is written, so the buffers are only sized, not cleared.
    out->codePoints.resize(n);
    out->codePointOf.resize(n);
    out->firstCharOf.resize(n + 1);
    out->clusterStart.assign(n + 1, 0);
    out->wordStart.assign(n + 1, 0);
    out->whiteSpace.resize(n);
    out->invalid.assign(n, 0);
    Units& u = TheUnits();
    u.units.resize(2 * n + 1);
    u.unitChar.resize(2 * n + 1);

    const size_t fromUnit = ConvertText(text, n, edit, out, u);
    if (edit.reuse) KeepUnchanged(previous, edit, n, out);
    const bool found =
        MarkBoundaries(UBRK_CHARACTER, u, text, edit, fromUnit, previous.clusterStart, &out->clusterStart) &&
        MarkBoundaries(UBRK_WORD, u, text, edit, fromUnit, previous.wordStart, &out->wordStart);
    out->clusterStart[0] = out->clusterStart[n] = 1;
    Remember(text, n, *out, found, previous);
}

}  // namespace plat
