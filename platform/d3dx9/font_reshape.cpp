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

// One reshaping: the recent paragraph (old text, runs and glyphs), the new
// text and its runs, the changed stretch and the cut before it.
struct FontEngine::EditReshape {
    FontEngine& engine;
    const std::u32string& old;
    const std::vector<Run>& oldRuns;
    const std::vector<Shaped>& og;
    const std::u32string& text;
    const std::vector<Run>& runs;
    const int oldLen, newLen;
    // The changed stretch: [a, oldLen - b) in the old text, [a, newLen - b) in the new.
    int a = 0, b = 0, delta = 0;
    // The cut before the edit and the old glyph there.
    int s = 0;
    size_t gs = 0;
    std::vector<ShapedGlyph> piece;  // scratch for one run's glyphs

    EditReshape(FontEngine& e, const Recent& before, const std::u32string& t, const std::vector<Run>& r)
        : engine(e),
          old(before.text),
          oldRuns(before.runs),
          og(*before.glyphs),
          text(t),
          runs(r),
          oldLen(static_cast<int>(before.text.size())),
          newLen(static_cast<int>(t.size())) {}

    // Index of the first old glyph of the cluster at or after character c.
    size_t ByCluster(int c) const {
        return static_cast<size_t>(
            std::lower_bound(og.begin(), og.end(), static_cast<uint32_t>(c),
                             [](const Shaped& g, uint32_t v) { return g.cluster < v; }) -
            og.begin());
    }

    // The changed stretch; false when the texts are equal.
    bool FindStretch() {
        while (a < oldLen && a < newLen && old[a] == text[a]) ++a;
        while (b < oldLen - a && b < newLen - a && old[oldLen - 1 - b] == text[newLen - 1 - b]) ++b;
        delta = newLen - oldLen;
        return !(a == oldLen && a == newLen);
    }

    // Cut before the edit: a cluster start before a whose glyph is safe, else the start.
    void CutBefore() {
        const size_t first = ByCluster(a);
        for (size_t k = 0, i = first; k < kSearchGlyphs && i > 0; ++k) {
            --i;
            if (FirstOfCluster(og, i) && !og[i].unsafe && static_cast<int>(og[i].cluster) < a) {
                s = static_cast<int>(og[i].cluster);
                gs = i;
                break;
            }
        }
    }

    // The old runs and the new must agree outside [s, e2): the head's runs
    // agree by construction (s < a); a run crossing s must have the same script
    // in both; past e they must match one for one, shifted. Gives the new runs
    // at s and at e2.
    bool RunsAgree(int e, int e2, size_t* newHead, size_t* newTail) const {
        const size_t oldHead = RunIndexAt(oldRuns, s);
        *newHead = RunIndexAt(runs, s);
        if (s > 0 && oldRuns[oldHead].start < s) {
            const Run& n = runs[*newHead];
            const Run& o = oldRuns[oldHead];
            if (n.start != o.start || n.slot != o.slot || n.script != o.script) return false;
        }
        *newTail = runs.size();
        if (e < oldLen) {
            size_t oi = RunIndexAt(oldRuns, e);
            *newTail = RunIndexAt(runs, e2);
            if ((oldRuns[oi].start == e) != (runs[*newTail].start == e2)) return false;
            if (oldRuns.size() - oi != runs.size() - *newTail) return false;
            for (size_t k = 0; oi + k < oldRuns.size(); ++k) {
                const Run& o = oldRuns[oi + k];
                const Run& n = runs[*newTail + k];
                if (o.end + delta != n.end || o.slot != n.slot || o.script != n.script) return false;
                if (k > 0 && o.start + delta != n.start) return false;
            }
        }
        return true;
    }

    // Whether the new glyphs of the cluster at e2, piece[keep...], are the old
    // glyphs og[ge, nextOld) already kept for the tail.
    bool SameTailCluster(int slot, size_t keep, size_t ge, size_t nextOld) const {
        if (piece.size() - keep != nextOld - ge) return false;
        for (size_t k = keep; k < piece.size(); ++k) {
            const Shaped& o = og[ge + k - keep];
            const ShapedGlyph& n = piece[k];
            if (o.slot != slot || o.glyph != n.glyph || o.advance != n.advance || o.xOffset != n.xOffset ||
                o.yOffset != n.yOffset || o.cluster + delta != n.cluster)
                return false;
        }
        return true;
    }

    // One run's part of the new middle, as whole shaping would cut it. The last
    // piece runs on through the cluster at e2 so its glyph there shows whether
    // the middle ends safely; those glyphs must also be the old ones.
    bool ShapeMiddleRun(const Run& run, int e, size_t ge, std::vector<Shaped>* middle) {
        const int e2 = e + delta;
        const int from = std::max(run.start, s);
        int to = std::min(run.end, e2);
        const bool overlap = e < oldLen && run.end > e2;
        size_t nextOld = ge;
        if (overlap) {
            while (nextOld < og.size() && og[nextOld].cluster == og[ge].cluster) ++nextOld;
            const int clusterEnd = nextOld < og.size() ? static_cast<int>(og[nextOld].cluster) : oldLen;
            to = std::min(run.end, clusterEnd + delta);
        }
        if (to <= from) return true;
        piece.clear();
        engine.m_faces[run.slot]->Shape(text.data(), newLen, from, to - from, run.script, &piece);
        if (piece.empty()) return false;
        if (from == s && s > 0 && (piece.front().cluster != static_cast<uint32_t>(s) || piece.front().unsafe))
            return false;
        size_t keep = piece.size();
        if (overlap) {
            keep = 0;
            while (keep < piece.size() && piece[keep].cluster < static_cast<uint32_t>(e2)) ++keep;
            if (keep == piece.size() || piece[keep].cluster != static_cast<uint32_t>(e2) ||
                piece[keep].unsafe)
                return false;
            if (!SameTailCluster(run.slot, keep, ge, nextOld)) return false;
        }
        for (size_t k = 0; k < keep; ++k) {
            const ShapedGlyph& g = piece[k];
            middle->push_back(
                Shaped{run.slot, g.glyph, g.advance, g.xOffset, g.yOffset, g.cluster, g.unsafe});
        }
        return true;
    }

    // The middle from s to a cut e after the edit (ge: the old glyph there);
    // false when the new text does not join the head and tail safely there.
    bool ShapeMiddle(int e, size_t ge, std::vector<Shaped>* middle) {
        const int e2 = e + delta;  // the same place in the new text
        if (s > a || e2 < a || e2 > newLen || e2 <= s) return false;
        size_t newHead = 0, newTail = 0;
        if (!RunsAgree(e, e2, &newHead, &newTail)) return false;
        middle->clear();
        const size_t lastRun = e < oldLen ? newTail : runs.size() - 1;
        for (size_t r = newHead; r <= lastRun && r < runs.size(); ++r) {
            if (e < oldLen && runs[r].start >= e2) break;  // a run that starts at e2 is kept whole
            if (!ShapeMiddleRun(runs[r], e, ge, middle)) return false;
        }
        return true;
    }

    // The old head, the new middle and the old tail, its clusters shifted.
    void Join(const std::vector<Shaped>& middle, size_t ge, std::vector<Shaped>* out) const {
        out->clear();
        out->reserve(gs + middle.size() + (og.size() - ge));
        out->insert(out->end(), og.begin(), og.begin() + static_cast<ptrdiff_t>(gs));
        out->insert(out->end(), middle.begin(), middle.end());
        for (size_t i = ge; i < og.size(); ++i) {
            Shaped g = og[i];
            g.cluster = static_cast<uint32_t>(static_cast<int>(g.cluster) + delta);
            out->push_back(g);
        }
    }

    // Cut after the edit: a cluster start in the unchanged tail whose glyph is
    // safe, else the end. Where the new text does not join the tail safely
    // there (a typed letter that kerns with the next one), the next such
    // cluster start is tried, a few times.
    bool CutAfterAndJoin(std::vector<Shaped>* out) {
        std::vector<Shaped> middle;
        size_t next = ByCluster(oldLen - b), searched = 0;
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
            if (ShapeMiddle(e, ge, &middle)) {
                Join(middle, ge, out);
                return true;
            }
            if (ge == og.size() || attempt + 1 == kCutAttempts) return false;
            ++next;
            ++searched;
        }
    }
};

bool FontEngine::ShapeEdited(const Recent& before, const std::u32string& text, const std::vector<Run>& runs,
                             std::vector<Shaped>* out) {
    if (!before.glyphs) return false;
    if (before.text.empty() || text.empty() || before.glyphs->empty()) return false;
    for (const Run& r : before.runs)
        if (IsRightToLeft(r.script)) return false;
    for (const Run& r : runs)
        if (IsRightToLeft(r.script)) return false;
    EditReshape edit(*this, before, text, runs);
    if (!edit.FindStretch()) return false;
    edit.CutBefore();
    return edit.CutAfterAndJoin(out);
}

}  // namespace plat
