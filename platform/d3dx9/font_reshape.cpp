// Reshaping after an edit: a paragraph that differs from a recently shaped one
// only in a stretch keeps that one's glyphs before and after the stretch and
// shapes only the stretch, where HarfBuzz's glyph flags say the text may be cut
// and joined there without changing the result. Left-to-right text only.
#include <algorithm>

#include "platform/d3dx9/font_engine.h"
#include "platform/d3dx9/font_face.h"

namespace plat {
namespace {

// How far to look for a safe cut on either side of the edit before giving up.
constexpr size_t kSearchGlyphs = 64;
// How many cuts after the edit to try before shaping the paragraph whole.
constexpr int kCutAttempts = 3;

// Index of the run containing character i (i < end of the last run).
template <typename RunT>
size_t RunIndexAt(const std::vector<RunT>& runs, int i) {
    auto it = std::upper_bound(runs.begin(), runs.end(), i, [](int v, const RunT& r) { return v < r.end; });
    return static_cast<size_t>(it - runs.begin());
}

bool FirstOfCluster(const std::vector<FontEngine::Shaped>& g, size_t i) {
    return i == 0 || g[i - 1].cluster != g[i].cluster;
}

}  // namespace

bool FontEngine::ShapeEdited(const Recent& before, const std::u32string& text, const std::vector<Run>& runs,
                             std::vector<Shaped>* out) {
    const std::u32string& old = before.text;
    const std::vector<Run>& oldRuns = before.runs;
    if (!before.glyphs) return false;
    const std::vector<Shaped>& og = *before.glyphs;
    if (old.empty() || text.empty() || og.empty()) return false;
    for (const Run& r : oldRuns)
        if (IsRightToLeft(r.script)) return false;
    for (const Run& r : runs)
        if (IsRightToLeft(r.script)) return false;

    // The changed stretch: [a, oldLen - b) in the old text, [a, newLen - b) in the new.
    const int oldLen = static_cast<int>(old.size()), newLen = static_cast<int>(text.size());
    int a = 0;
    while (a < oldLen && a < newLen && old[a] == text[a]) ++a;
    int b = 0;
    while (b < oldLen - a && b < newLen - a && old[oldLen - 1 - b] == text[newLen - 1 - b]) ++b;
    if (a == oldLen && a == newLen) return false;
    const int delta = newLen - oldLen;
    auto byCluster = [&](int c) {
        return static_cast<size_t>(
            std::lower_bound(og.begin(), og.end(), static_cast<uint32_t>(c),
                             [](const Shaped& g, uint32_t v) { return g.cluster < v; }) -
            og.begin());
    };

    // Cut before the edit: a cluster start before a whose glyph is safe, else the start.
    int s = 0;
    size_t gs = 0;
    {
        const size_t first = byCluster(a);
        for (size_t k = 0, i = first; k < kSearchGlyphs && i > 0; ++k) {
            --i;
            if (FirstOfCluster(og, i) && !og[i].unsafe && static_cast<int>(og[i].cluster) < a) {
                s = static_cast<int>(og[i].cluster);
                gs = i;
                break;
            }
        }
    }
    // The middle from s to a cut e after the edit (ge: the old glyph there);
    // false when the new text does not join the head and tail safely there.
    std::vector<ShapedGlyph> piece;
    auto shapeMiddle = [&](int e, size_t ge, std::vector<Shaped>* middle) {
        const int e2 = e + delta;  // the same place in the new text
        if (s > a || e2 < a || e2 > newLen || e2 <= s) return false;

        // The old runs and the new must agree outside [s, e2): the head's runs
        // agree by construction (s < a); a run crossing s must have the same script
        // in both; past e they must match one for one, shifted.
        const size_t oldHead = RunIndexAt(oldRuns, s), newHead = RunIndexAt(runs, s);
        if (s > 0 && oldRuns[oldHead].start < s) {
            if (runs[newHead].start != oldRuns[oldHead].start ||
                runs[newHead].slot != oldRuns[oldHead].slot ||
                runs[newHead].script != oldRuns[oldHead].script)
                return false;
        }
        size_t newTail = runs.size();
        if (e < oldLen) {
            size_t oi = RunIndexAt(oldRuns, e);
            newTail = RunIndexAt(runs, e2);
            if ((oldRuns[oi].start == e) != (runs[newTail].start == e2)) return false;
            if (oldRuns.size() - oi != runs.size() - newTail) return false;
            for (size_t k = 0; oi + k < oldRuns.size(); ++k) {
                const Run& o = oldRuns[oi + k];
                const Run& n = runs[newTail + k];
                if (o.end + delta != n.end || o.slot != n.slot || o.script != n.script) return false;
                if (k > 0 && o.start + delta != n.start) return false;
            }
        }

        // The new middle, run by run as whole shaping would cut it. The last piece
        // runs on through the cluster at e2 so its glyph there shows whether the
        // middle ends safely; those glyphs must also be the old ones.
        middle->clear();
        const size_t lastRun = e < oldLen ? newTail : runs.size() - 1;
        for (size_t r = newHead; r <= lastRun && r < runs.size(); ++r) {
            const Run& run = runs[r];
            if (e < oldLen && run.start >= e2) break;  // a run that starts at e2 is kept whole
            const int from = std::max(run.start, s);
            int to = std::min(run.end, e2);
            const bool overlap = e < oldLen && run.end > e2;
            size_t nextOld = ge;
            if (overlap) {
                while (nextOld < og.size() && og[nextOld].cluster == og[ge].cluster) ++nextOld;
                const int clusterEnd = nextOld < og.size() ? static_cast<int>(og[nextOld].cluster) : oldLen;
                to = std::min(run.end, clusterEnd + delta);
            }
            if (to <= from) continue;
            piece.clear();
            m_faces[run.slot]->Shape(text.data(), newLen, from, to - from, run.script, &piece);
            if (piece.empty()) return false;
            if (from == s && s > 0 &&
                (piece.front().cluster != static_cast<uint32_t>(s) || piece.front().unsafe))
                return false;
            size_t keep = piece.size();
            if (overlap) {
                keep = 0;
                while (keep < piece.size() && piece[keep].cluster < static_cast<uint32_t>(e2)) ++keep;
                if (keep == piece.size() || piece[keep].cluster != static_cast<uint32_t>(e2) ||
                    piece[keep].unsafe)
                    return false;
                // The glyphs of the cluster at e2 must be those already kept for the tail.
                if (piece.size() - keep != nextOld - ge) return false;
                for (size_t k = keep; k < piece.size(); ++k) {
                    const Shaped& o = og[ge + k - keep];
                    const ShapedGlyph& n = piece[k];
                    if (o.slot != run.slot || o.glyph != n.glyph || o.advance != n.advance ||
                        o.xOffset != n.xOffset || o.yOffset != n.yOffset || o.cluster + delta != n.cluster)
                        return false;
                }
            }
            for (size_t k = 0; k < keep; ++k) {
                const ShapedGlyph& g = piece[k];
                middle->push_back(
                    Shaped{run.slot, g.glyph, g.advance, g.xOffset, g.yOffset, g.cluster, g.unsafe});
            }
        }
        return true;
    };

    // Cut after the edit: a cluster start in the unchanged tail whose glyph is
    // safe, else the end. Where the new text does not join the tail safely
    // there (a typed letter that kerns with the next one), the next such
    // cluster start is tried, a few times.
    std::vector<Shaped> middle;
    size_t next = byCluster(oldLen - b), searched = 0;
    for (int attempt = 0;; ++attempt) {
        int e = oldLen;
        size_t ge = og.size();
        for (; searched < kSearchGlyphs && next < og.size(); ++searched, ++next) {
            if (FirstOfCluster(og, next) && !og[next].unsafe) {
                e = static_cast<int>(og[next].cluster);
                ge = next;
                break;
            }
        }
        if (shapeMiddle(e, ge, &middle)) {
            out->clear();
            out->reserve(gs + middle.size() + (og.size() - ge));
            out->insert(out->end(), og.begin(), og.begin() + static_cast<ptrdiff_t>(gs));
            out->insert(out->end(), middle.begin(), middle.end());
            for (size_t i = ge; i < og.size(); ++i) {
                Shaped g = og[i];
                g.cluster = static_cast<uint32_t>(static_cast<int>(g.cluster) + delta);
                out->push_back(g);
            }
            return true;
        }
        if (ge == og.size() || attempt + 1 == kCutAttempts) return false;
        ++next;
        ++searched;
    }
}

}  // namespace plat
