// String analysis: HarfBuzz shaping through the font's engine gives each
// shaping cluster its advance; a cluster holding several grapheme clusters (a
// ligature) shares its advance evenly among its code points; caret stops are
// the grapheme-cluster boundaries, so a caret never lands inside a cluster.
#include "platform/uniscribe/string_analysis.h"

#include <algorithm>

#include "platform/d3dx9/font_engine.h"
#include "platform/uniscribe/text_segments.h"

namespace plat {

StringAnalysis::StringAnalysis(FontEngine& engine, const WCHAR* text, int count)
    : m_chars(std::max(count, 0)) {
    TextSegments seg;
    SegmentText(text, m_chars, &seg);

    // x before every code point: each shaping cluster's advance spread over its code points.
    const size_t points = seg.codePoints.size();
    std::vector<int> advances;
    std::vector<uint8_t> starts;
    engine.MeasureClusters(seg.codePoints, &advances, &starts);
    std::vector<int> pointX(points + 1, 0);
    int pen = 0;
    for (size_t a = 0; a < points;) {
        size_t b = a + 1;
        while (b < points && !starts[b]) ++b;
        const long long width = advances[a];
        const long long span = static_cast<long long>(b - a);
        pointX[a] = pen;
        for (size_t k = a + 1; k < b; ++k)
            pointX[k] = pen + static_cast<int>(width * static_cast<long long>(k - a) / span);
        pen += static_cast<int>(width);
        a = b;
    }
    pointX[points] = pen;

    // Caret stops at the grapheme boundaries.
    m_clusterFirst.resize(m_chars);
    m_clusterEnd.resize(m_chars);
    m_stops.reserve(points + 1);
    m_edgeX.reserve(points + 1);
    for (int i = 0; i <= m_chars; ++i) {
        if (!seg.clusterStart[i]) continue;
        m_stops.push_back(i);
        m_edgeX.push_back(i == m_chars ? pen : pointX[seg.codePointOf[i]]);
    }
    for (size_t s = 0; s + 1 < m_stops.size(); ++s) {
        for (int i = m_stops[s]; i < m_stops[s + 1]; ++i) {
            m_clusterFirst[i] = m_stops[s];
            m_clusterEnd[i] = m_stops[s + 1];
        }
    }

    m_attrs.assign(m_chars, SCRIPT_LOGATTR{});
    for (int i = 0; i < m_chars; ++i) {
        SCRIPT_LOGATTR& a = m_attrs[i];
        a.fCharStop = seg.clusterStart[i];
        a.fWhiteSpace = seg.whiteSpace[i];
        a.fWordStop = seg.wordStart[i] && !seg.whiteSpace[i] && seg.clusterStart[i];
        a.fInvalid = seg.invalid[i];
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
    const int stop = trailing ? m_clusterEnd[cp] : m_clusterFirst[cp];
    const auto found = std::lower_bound(m_stops.begin(), m_stops.end(), stop);
    *x = m_edgeX[found - m_stops.begin()];
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
