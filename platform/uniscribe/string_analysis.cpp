// String analysis: HarfBuzz shaping through the font's engine gives each
// shaping cluster its advance; a cluster holding several grapheme clusters (a
// ligature) shares its advance evenly among its code points; caret stops are
// the grapheme-cluster boundaries, so a caret never lands inside a cluster.
#include "platform/uniscribe/string_analysis.h"

#include <algorithm>
#include <cstring>

#include "platform/d3dx9/font_engine.h"
#include "platform/uniscribe/text_segments.h"

namespace plat {

namespace {

// The segmentation and the shaping's measures, kept per thread so that an
// analysis allocates only what it keeps.
struct Scratch {
    TextSegments seg;
    std::vector<int> advances;
    std::vector<uint8_t> starts;
};
Scratch& TheScratch() {
    thread_local Scratch scratch;
    return scratch;
}

// Where each flag of a logical attribute lies in its byte.
struct AttrBits {
    unsigned charStop, whiteSpace, wordStop, invalid;
};
static_assert(sizeof(SCRIPT_LOGATTR) == 1);
const AttrBits& TheAttrBits() {
    static const AttrBits bits = [] {
        auto byteOf = [](SCRIPT_LOGATTR a) {
            unsigned char b = 0;
            std::memcpy(&b, &a, 1);
            return unsigned{b};
        };
        SCRIPT_LOGATTR c{}, w{}, s{}, v{};
        c.fCharStop = 1;
        w.fWhiteSpace = 1;
        s.fWordStop = 1;
        v.fInvalid = 1;
        return AttrBits{byteOf(c), byteOf(w), byteOf(s), byteOf(v)};
    }();
    return bits;
}

}  // namespace

StringAnalysis::StringAnalysis(FontEngine& engine, const WCHAR* text, int count)
    : m_chars(std::max(count, 0)) {
    Scratch& scratch = TheScratch();
    TextSegments& seg = scratch.seg;
    SegmentText(text, m_chars, &seg);
    engine.MeasureClusters(seg.codePoints, &scratch.advances, &scratch.starts);
    const int* advances = scratch.advances.data();
    const uint8_t* starts = scratch.starts.data();
    const uint8_t* clusterStart = seg.clusterStart.data();
    const int* firstCharOf = seg.firstCharOf.data();

    // Caret stops at the grapheme boundaries, with the x before their code
    // point: each shaping cluster's advance spread over its code points. A
    // cluster is nearly always one code point, so a first pass assumes so (a
    // code point that starts none has no advance of its own) and the share is
    // worked out only when some cluster holds several.
    const size_t points = seg.codePoints.size();
    m_stops.resize(points + 1);
    m_edgeX.resize(points + 1);
    int* stopAt = m_stops.data();
    int* stopX = m_edgeX.data();
    size_t stops = 0;
    int pen = 0;
    bool shared = false;
    for (size_t k = 0; k < points; ++k) {
        const int i = firstCharOf[k];
        stopAt[stops] = i;
        stopX[stops] = pen;
        stops += clusterStart[i] != 0;
        pen += advances[k];
        shared |= !starts[k];
    }
    if (shared) {
        stops = 0;
        pen = 0;
        for (size_t a = 0; a < points;) {
            size_t b = a + 1;
            while (b < points && !starts[b]) ++b;
            const long long width = advances[a];
            const long long span = static_cast<long long>(b - a);
            for (size_t k = a; k < b; ++k) {
                const int i = firstCharOf[k];
                if (!clusterStart[i]) continue;
                stopAt[stops] = i;
                stopX[stops++] = pen + static_cast<int>(width * static_cast<long long>(k - a) / span);
            }
            pen += static_cast<int>(width);
            a = b;
        }
    }
    stopAt[stops] = m_chars;
    stopX[stops++] = pen;
    m_stops.resize(stops);
    m_edgeX.resize(stops);

    // The logical attributes, byte by byte from the segmentation's 0/1 flags.
    if (m_chars == 0) return;
    m_attrs.reset(new SCRIPT_LOGATTR[static_cast<size_t>(m_chars)]);
    const AttrBits bits = TheAttrBits();
    auto* attrs = reinterpret_cast<unsigned char*>(m_attrs.get());
    const uint8_t* white = seg.whiteSpace.data();
    const uint8_t* wordStart = seg.wordStart.data();
    const uint8_t* invalid = seg.invalid.data();
    for (int i = 0; i < m_chars; ++i) {
        const unsigned c = clusterStart[i], w = white[i];
        attrs[i] = static_cast<unsigned char>(((0u - c) & bits.charStop) | ((0u - w) & bits.whiteSpace) |
                                              ((0u - (wordStart[i] & c & (w ^ 1u))) & bits.wordStop) |
                                              ((0u - invalid[i]) & bits.invalid));
    }
}

HRESULT StringAnalysis::CaretToX(int cp, bool trailing, int* x) const {
    if (!x) return E_INVALIDARG;
    *x = 0;
    if (cp < 0 || cp > m_chars) return E_INVALIDARG;
    if (cp == m_chars) {
        *x = Width();
        return S_OK;
    }
    // The stops are the cluster starts in order, the first at 0: the last at or
    // before cp starts its cluster, the next one ends it.
    const size_t s =
        static_cast<size_t>(std::upper_bound(m_stops.begin(), m_stops.end(), cp) - m_stops.begin()) - 1;
    *x = m_edgeX[trailing ? s + 1 : s];
    return S_OK;
}

void StringAnalysis::XToCaret(int x, int* cp, int* trailing) const {
    if (x < 0) {
        *cp = -1;
        *trailing = 1;
        return;
    }
    if (x >= Width()) {
        *cp = m_chars;
        *trailing = 0;
        return;
    }
    // The last stop at or left of x starts the cluster hit (zero-width clusters are passed over).
    const size_t s =
        static_cast<size_t>(std::upper_bound(m_edgeX.begin(), m_edgeX.end(), x) - m_edgeX.begin()) - 1;
    const int left = m_edgeX[s], right = m_edgeX[s + 1];
    if (2 * (x - left) >= right - left) {
        *cp = m_stops[s + 1] - 1;
        *trailing = 1;
    } else {
        *cp = m_stops[s];
        *trailing = 0;
    }
}

}  // namespace plat
