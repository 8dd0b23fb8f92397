// Keeping unchanged bands between flushes. A still scene is recorded again
// every frame; when a band's recorded work (primitives, vertices, clears,
// configurations with their texture levels) equals the previous flush's into
// the same targets, and that work starts by clearing the whole band, drawing
// it again would give the pixels it already holds, so it is not drawn.
//
// The pixels must still be those the previous flush left: anything that may
// change pixels outside the queue (locks, copies, fills, new or freed buffers)
// calls ForgetDrawn, another flush into the same target drops its kept work,
// and a flush that samples a texture the queue drew into after the kept work
// was recorded is drawn whole.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/d3d9/pipeline/draw_queue.h"

namespace plat::d3d9 {

struct DrawQueue::Reuse {
    // One flush's work into one colour target (and its depth target).
    struct Work {
        const void* color = nullptr;
        const void* depth = nullptr;
        int width = 0, height = 0, pitch = 0;
        int bandHeight = 0;
        uint64_t serial = 0;  // the flush that recorded it
        std::vector<Primitive> prims;
        std::vector<ScreenVertex> vertices;
        std::vector<ClearOp> clears;
        std::vector<ConfigRecord> configs;
    };

    bool enabled = true;
    std::vector<Work> kept;  // a few targets at most
    uint64_t serial = 0;     // flushes so far
    // Pixel memory flushes wrote since the last ForgetDrawn, with the last flush that wrote it.
    std::vector<std::pair<const void*, uint64_t>> rendered;

    bool WrittenAfter(const void* pixels, uint64_t flush) const {
        for (const auto& [p, when] : rendered)
            if (p == pixels) return when > flush;
        return false;
    }

    // The flush in progress.
    bool eligible = false;
    ColorTarget target;
    const void* depth = nullptr;
    int bandHeight = 0;
    std::vector<int> run;  // bands to draw
    int drawnBands = 0, keptBands = 0;

    // Rows of one watched target written since it was last taken.
    const void* watched = nullptr;
    uint64_t forgets = 0, forgetsSeen = ~uint64_t(0);
    std::vector<std::pair<int, int>> changed;

    // The one colour target and at most one depth target (not sampled) of all the queue's work;
    // false when the work is not of that shape.
    static bool OneTarget(const DrawQueue& q, const ColorTarget*& color, const void*& depth);
    // The work kept for these targets and the band height in use, unless a texture `sampled` names
    // was drawn into since then (it may hold other texels); null when there is none.
    const Work* KeptFor(const ColorTarget& color, const void* depth,
                        const std::unordered_set<const void*>& sampled) const;
    class BandMatch;

    void NoteChanged(const void* pixels, int top, int bottom) {
        if (pixels != watched || top >= bottom) return;
        if (!changed.empty() && changed.back().second >= top && changed.back().first <= bottom) {
            changed.back().first = std::min(changed.back().first, top);
            changed.back().second = std::max(changed.back().second, bottom);
        } else {
            changed.emplace_back(top, bottom);
        }
        if (changed.size() > 256) {  // far more than a frame has bands: one span is enough
            int lo = changed.front().first, hi = changed.front().second;
            for (auto& [t, b] : changed) lo = std::min(lo, t), hi = std::max(hi, b);
            changed.assign(1, {lo, hi});
        }
    }
};

namespace {

// The configurations' texture-level pointers point into their own records, which
// move between flushes; the levels themselves are compared instead.
bool SameSampler(const Sampler& a, const Sampler& b) {
    constexpr size_t from = offsetof(Sampler, levelCount);
    return (a.levels == nullptr) == (b.levels == nullptr) &&
           std::memcmp(reinterpret_cast<const char*>(&a) + from, reinterpret_cast<const char*>(&b) + from,
                       sizeof(Sampler) - from) == 0;
}

bool SamePixelConfig(const PixelConfig& a, const PixelConfig& b) {
    constexpr size_t samplersAt = offsetof(PixelConfig, samplers);
    constexpr size_t afterSamplers = samplersAt + sizeof(PixelConfig::samplers);
    const char* pa = reinterpret_cast<const char*>(&a);
    const char* pb = reinterpret_cast<const char*>(&b);
    if (std::memcmp(pa, pb, samplersAt) != 0) return false;
    if (std::memcmp(pa + afterSamplers, pb + afterSamplers, sizeof(PixelConfig) - afterSamplers) != 0)
        return false;
    for (int st = 0; st < kPipelineTexStages; ++st)
        if (!SameSampler(a.samplers[st], b.samplers[st])) return false;
    return true;
}

bool SameLevel(const ImageLevel& a, const ImageLevel& b) {
    return a.texels == b.texels && a.width == b.width && a.height == b.height && a.pitch == b.pitch;
}

bool SameTarget(const ColorTarget& a, const ColorTarget& b) {
    return a.pixels == b.pixels && a.width == b.width && a.height == b.height && a.pitch == b.pitch;
}

bool SameDepth(const DepthTarget& a, const DepthTarget& b) {
    return a.depth == b.depth && a.width == b.width && a.height == b.height && a.pitch == b.pitch;
}

bool Contains(const std::vector<const void*>& list, const void* p) {
    return std::find(list.begin(), list.end(), p) != list.end();
}

}  // namespace

DrawQueue::DrawQueue() : m_reuse(std::make_unique<Reuse>()) {}
DrawQueue::~DrawQueue() = default;

void DrawQueue::SetReuse(bool on) {
    m_reuse->enabled = on;
    if (!on) m_reuse->kept.clear();
}

void DrawQueue::ForgetDrawn() {
    Reuse& r = *m_reuse;
    r.kept.clear();
    r.rendered.clear();
    r.forgets++;
}

bool DrawQueue::TakeChangedRows(const void* pixels, std::vector<std::pair<int, int>>& rows) {
    Reuse& r = *m_reuse;
    bool known = pixels && r.watched == pixels && r.forgetsSeen == r.forgets;
    r.watched = pixels;
    r.forgetsSeen = r.forgets;
    rows.clear();
    if (known) {
        std::sort(r.changed.begin(), r.changed.end());
        for (const auto& span : r.changed) {
            if (!rows.empty() && rows.back().second >= span.first)
                rows.back().second = std::max(rows.back().second, span.second);
            else
                rows.push_back(span);
        }
    }
    r.changed.clear();
    return known;
}

int DrawQueue::LastDrawnBands() const { return m_reuse->drawnBands; }
int DrawQueue::LastKeptBands() const { return m_reuse->keptBands; }

bool DrawQueue::Reuse::OneTarget(const DrawQueue& q, const ColorTarget*& color, const void*& depth) {
    auto sameDepth = [&](const void* d) {
        if (!d) return true;
        if (!depth) depth = d;
        return d == depth;
    };
    for (const Primitive& p : q.m_prims) {
        const ColorTarget* c;
        const void* d;
        if (p.kind == kClear) {
            c = q.m_clears[p.config].color.pixels ? &q.m_clears[p.config].color : nullptr;
            d = q.m_clears[p.config].depth.depth;
        } else {
            c = &q.m_configs[p.config].config.color;
            d = q.m_configs[p.config].config.depth.depth;
        }
        if (c) {
            if (!c->pixels) return false;
            if (!color) color = c;
            if (!SameTarget(*c, *color)) return false;
        }
        if (!sameDepth(d)) return false;
    }
    if (!color || color->height <= 0) return false;
    for (const void* texels : q.m_sampled)
        if (texels == depth) return false;
    return true;
}

const DrawQueue::Reuse::Work* DrawQueue::Reuse::KeptFor(
    const ColorTarget& color, const void* depth, const std::unordered_set<const void*>& sampled) const {
    const Work* last = nullptr;
    for (const Work& w : kept)
        if (w.color == color.pixels && w.depth == depth && w.width == color.width &&
            w.height == color.height && w.pitch == color.pitch && w.bandHeight == bandHeight)
            last = &w;
    if (last)
        for (const void* texels : sampled)
            if (WrittenAfter(texels, last->serial)) return nullptr;
    return last;
}

// This flush's work against the work kept from the last flush into the same targets, band by band.
class DrawQueue::Reuse::BandMatch {
  public:
    BandMatch(const DrawQueue& q, const Work* last) : m_q(q), m_last(last) {}

    // Rows [top, bottom) hold what this flush's work would draw there (there is kept work).
    bool Keeps(int top, int bottom) { return SameBand(top, bottom) && StartsWithClear(top, bottom); }

  private:
    static bool Touches(const Primitive& p, int top, int bottom) { return p.top < bottom && p.bottom > top; }

    static int VertexCount(const Primitive& p, const PixelConfig& c) {
        switch (p.kind) {
            case kTriangle:
                return c.flatShading ? 4 : 3;
            case kRectangle:
                return 3;
            case kTrianglePair:
                return 6;
            case kLine:
                return 2;
            default:
                return 1;
        }
    }

    // Configurations a (new) and b (kept) draw alike, texture levels included; compared once per pair.
    bool SameConfig(uint32_t a, uint32_t b) {
        if (a == m_sameNew && b == m_sameOld) return true;
        const ConfigRecord& x = m_q.m_configs[a];
        const ConfigRecord& y = m_last->configs[b];
        if (!SamePixelConfig(x.config, y.config)) return false;
        for (int st = 0; st < kPipelineTexStages; ++st) {
            const Sampler& s = x.config.samplers[st];
            if (!s.levels) continue;
            for (int i = 0; i < s.levelCount; ++i)
                if (!SameLevel(x.levels[st][i], y.levels[st][i])) return false;
        }
        m_sameNew = a;
        m_sameOld = b;
        return true;
    }

    bool SamePrim(const Primitive& a, const Primitive& b) {
        if (a.kind != b.kind || a.last != b.last || a.top != b.top || a.bottom != b.bottom) return false;
        if (a.kind == kClear) {
            const ClearOp& x = m_q.m_clears[a.config];
            const ClearOp& y = m_last->clears[b.config];
            // Field by field: the targets' padding is not initialised.
            return SameTarget(x.color, y.color) && SameDepth(x.depth, y.depth) && x.argb == y.argb &&
                   std::memcmp(&x.z, &y.z, sizeof x.z) == 0 &&
                   std::memcmp(&x.rect, &y.rect, sizeof x.rect) == 0;
        }
        if (!SameConfig(a.config, b.config)) return false;
        int n = VertexCount(a, m_q.m_configs[a.config].config);
        return std::memcmp(&m_q.m_vertices[a.vertex], &m_last->vertices[b.vertex],
                           sizeof(ScreenVertex) * n) == 0;
    }

    // The band's work equals the kept work's for the same rows.
    bool SameBand(int top, int bottom) {
        const std::vector<Primitive>& now = m_q.m_prims;
        const std::vector<Primitive>& before = m_last->prims;
        size_t i = 0, j = 0;
        const size_t n = now.size(), m = before.size();
        for (;;) {
            while (i < n && !Touches(now[i], top, bottom)) ++i;
            while (j < m && !Touches(before[j], top, bottom)) ++j;
            if (i == n || j == m) return i == n && j == m;
            if (!SamePrim(now[i], before[j])) return false;
            ++i, ++j;
        }
    }

    // The band's work overwrites every colour (and depth, when used) in its rows before
    // reading any: its result does not depend on what the rows held before.
    bool StartsWithClear(int top, int bottom) const {
        bool colorCovered = false, depthCovered = false, usesDepth = false, drawing = false;
        for (const Primitive& p : m_q.m_prims) {
            if (!Touches(p, top, bottom)) continue;
            if (p.kind != kClear) {
                drawing = true;
                if (m_q.m_configs[p.config].config.depth.depth) usesDepth = true;
                continue;
            }
            const ClearOp& op = m_q.m_clears[p.config];
            if (op.depth.depth) usesDepth = true;
            if (drawing) continue;
            bool rows = op.rect.top <= top && op.rect.bottom >= bottom;
            if (rows && op.color.pixels && op.rect.left <= 0 && op.rect.right >= op.color.width)
                colorCovered = true;
            if (rows && op.depth.depth && op.rect.left <= 0 && op.rect.right >= op.depth.width)
                depthCovered = true;
        }
        return colorCovered && (depthCovered || !usesDepth);
    }

    const DrawQueue& m_q;
    const Work* m_last;
    uint32_t m_sameNew = UINT32_MAX, m_sameOld = UINT32_MAX;  // the pair SameConfig found equal last
};

bool DrawQueue::DrawReusing(WorkerPool& pool) {
    Reuse& r = *m_reuse;
    r.eligible = false;
    r.drawnBands = r.keptBands = 0;
    r.run.clear();
    if (!r.enabled || m_oneBand) return false;
    const ColorTarget* color = nullptr;
    const void* depth = nullptr;
    if (!Reuse::OneTarget(*this, color, depth)) return false;

    r.eligible = true;
    r.target = *color;
    r.depth = depth;
    const int height = color->height;
    // Bands aligned to the target, so that the same rows are compared every flush.
    int bands = std::max(1, pool.Threads() * 4);
    r.bandHeight = std::max(16, ((height + bands - 1) / bands + 7) / 8 * 8);
    const int bandCount = (height + r.bandHeight - 1) / r.bandHeight;

    const Reuse::Work* last = r.KeptFor(*color, depth, m_sampled);
    Reuse::BandMatch match(*this, last);
    for (int b = 0; b < bandCount; ++b) {
        int top = b * r.bandHeight, bottom = std::min(height, top + r.bandHeight);
        if (bottom <= m_top || top >= m_bottom) continue;  // no work in these rows
        if (last && match.Keeps(top, bottom)) {
            r.keptBands++;
            continue;
        }
        r.run.push_back(b);
    }
    r.drawnBands = int(r.run.size());
    if (r.run.empty()) return true;
    if (pool.Threads() <= 1 || m_work < m_parallelThreshold || r.run.size() == 1) {
        for (size_t i = 0; i < r.run.size(); ++i) DrawListedBandTask(this, int(i));
    } else {
        pool.Run(int(r.run.size()), &DrawQueue::DrawListedBandTask, this);
    }
    return true;
}

void DrawQueue::DrawListedBandTask(void* self, int index) {
    auto* q = static_cast<DrawQueue*>(self);
    const Reuse& r = *q->m_reuse;
    int top = r.run[size_t(index)] * r.bandHeight;
    q->DrawBand(top, std::min(r.target.height, top + r.bandHeight));
}

void DrawQueue::AfterFlush(bool reused) {
    Reuse& r = *m_reuse;
    r.serial++;
    for (const void* t : m_targets) {
        auto it =
            std::find_if(r.rendered.begin(), r.rendered.end(), [&](const auto& e) { return e.first == t; });
        if (it != r.rendered.end())
            it->second = r.serial;
        else
            r.rendered.emplace_back(t, r.serial);
    }
    if (!reused || !r.eligible) {
        // Everything pending was drawn; kept work of the targets it wrote no longer matches their pixels.
        std::erase_if(r.kept, [&](const Reuse::Work& w) {
            return Contains(m_targets, w.color) || Contains(m_targets, w.depth);
        });
        for (const void* t : m_targets) r.NoteChanged(t, m_top, m_bottom);
        if (!reused) r.drawnBands = r.keptBands = 0;
        return;
    }
    for (int b : r.run)
        r.NoteChanged(r.target.pixels, b * r.bandHeight, std::min(r.target.height, (b + 1) * r.bandHeight));
    // Keep this work for the next flush into the same targets (in the storage of the work
    // kept before, so that a still scene allocates nothing); work kept for others sharing one goes.
    auto shares = [&](const Reuse::Work& w) {
        return w.color == r.target.pixels || (r.depth && w.depth == r.depth) || w.depth == r.target.pixels ||
               (r.depth && w.color == r.depth);
    };
    Reuse::Work slot;
    for (Reuse::Work& w : r.kept)
        if (w.color == r.target.pixels) {
            slot = std::move(w);
            break;
        }
    std::erase_if(r.kept, shares);
    if (r.kept.size() >= 4) r.kept.erase(r.kept.begin());
    slot.color = r.target.pixels;
    slot.depth = r.depth;
    slot.width = r.target.width;
    slot.height = r.target.height;
    slot.pitch = r.target.pitch;
    slot.bandHeight = r.bandHeight;
    slot.serial = r.serial;
    slot.prims.swap(m_prims);
    slot.vertices.swap(m_vertices);
    slot.clears.swap(m_clears);
    slot.configs.swap(m_configs);
    // A draw being recorded goes on with the last configuration.
    m_configs.clear();
    if (!slot.configs.empty()) m_configs.push_back(slot.configs.back());
    r.kept.push_back(std::move(slot));
}

}  // namespace plat::d3d9
