// Deferred, banded drawing (see draw_queue.h).
#include "platform/d3d9/pipeline/draw_queue.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#ifdef __SSE2__
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

#include "platform/d3d9/pipeline/rasterizer.h"

namespace plat::d3d9 {

namespace {

static_assert(std::is_trivially_copyable_v<PixelConfig>, "configurations are compared and copied as bytes");

// Primitives kept before a flush is forced, so one enormous draw cannot grow
// the queue without bound.
constexpr size_t kMaxPending = 1 << 16;

// Work (pixels of bounding boxes) from which one thread draws in bands of kCacheBandRows rows.
constexpr uint64_t kCacheBandWork = 64 * 1024;
constexpr int kCacheBandRows = 32;

// A screen vertex is 15 floats: x, y, z, rhw, colour, specular, texture coordinates.
static_assert(sizeof(ScreenVertex) == 15 * sizeof(float) && kPipelineTexStages == 2,
              "vertices are compared as 15 floats");

// Lane-wise float equality of floats [first, first + 4) of two vertices (so -0 equals 0, NaN nothing).
inline int Equal4(const ScreenVertex& p, const ScreenVertex& q, int first) {
    const float* a = &p.x + first;
    const float* b = &q.x + first;
#ifdef __SSE2__
    return _mm_movemask_ps(_mm_cmpeq_ps(_mm_loadu_ps(a), _mm_loadu_ps(b)));
#else
    int mask = 0;
    for (int i = 0; i < 4; ++i) mask |= (a[i] == b[i]) << i;
    return mask;
#endif
}

// Every float equal (the floats at 11..14 overlap the third group).
bool SameVertex(const ScreenVertex& p, const ScreenVertex& q) {
    return (Equal4(p, q, 0) & Equal4(p, q, 4) & Equal4(p, q, 8) & Equal4(p, q, 11)) == 15;
}

// Every interpolated value (all but x and y) of the four corners lies on one plane: tl + br == tr + bl.
bool Planar(const ScreenVertex& tl, const ScreenVertex& tr, const ScreenVertex& bl, const ScreenVertex& br) {
    int all = 15;
    for (int first : {2, 6, 10, 11}) {
#ifdef __SSE2__
        const __m128 left = _mm_add_ps(_mm_loadu_ps(&tl.x + first), _mm_loadu_ps(&br.x + first));
        const __m128 right = _mm_add_ps(_mm_loadu_ps(&tr.x + first), _mm_loadu_ps(&bl.x + first));
        all &= _mm_movemask_ps(_mm_cmpeq_ps(left, right));
#else
        for (int i = 0; i < 4; ++i)
            if (!((&tl.x)[first + i] + (&br.x)[first + i] == (&tr.x)[first + i] + (&bl.x)[first + i]))
                all = 0;
#endif
    }
    return all == 15;
}

bool SameLevels(const ImageLevel* a, const ImageLevel* b, int count) {
    for (int i = 0; i < count; ++i)
        if (a[i].texels != b[i].texels || a[i].width != b[i].width || a[i].height != b[i].height ||
            a[i].pitch != b[i].pitch)
            return false;
    return true;
}

// Sets `count` 32-bit values to `value`, sixteen bytes per store (the compiler leaves a plain fill
// of 32-bit values as one store per value).
void FillRow(uint32_t* row, int count, uint32_t value) {
    int i = 0;
#ifdef __SSE2__
    const __m128i four = _mm_set1_epi32(int32_t(value));
    for (; i + 4 <= count; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), four);
#endif
    for (; i < count; ++i) row[i] = value;
}

// Rounding without a library call; values beyond ±1e9 saturate (they lie far off any target).
inline int FloorToRow(float f) {
    if (f <= -1e9f) return -1000000000;
    if (f >= 1e9f) return 1000000000;
    int i = int(f);
    return float(i) > f ? i - 1 : i;
}
inline int CeilToRow(float f) {
    if (f <= -1e9f) return -1000000000;
    if (f >= 1e9f) return 1000000000;
    int i = int(f);
    return float(i) < f ? i + 1 : i;
}

}  // namespace

void DrawQueue::BeginDraw(const PixelConfig& config) {
    if (!m_configs.empty() && std::memcmp(&config, &m_lastSeen, sizeof config) == 0) {
        const ConfigRecord& last = m_configs.back();
        bool same = true;
        for (int st = 0; st < kPipelineTexStages && same; ++st) {
            const Sampler& s = config.samplers[st];
            int n = std::min(s.levelCount, kMaxLevels);
            same = !s.levels || SameLevels(s.levels, last.levels[st], n);
        }
        if (same) return;
    }
    // Drawing into a texture that pending draws sample: they must see it as it was.
    if (Sampled(config.color.pixels) || Sampled(config.depth.depth)) Flush();
    std::memcpy(&m_lastSeen, &config, sizeof config);
    ConfigRecord& rec = m_configs.emplace_back();
    std::memcpy(&rec.config, &config, sizeof config);
    AddTarget(config.color.pixels);
    AddTarget(config.depth.depth);
    for (int st = 0; st < kPipelineTexStages; ++st) {
        Sampler& s = rec.config.samplers[st];
        if (!s.levels) continue;
        s.levelCount = std::min(s.levelCount, kMaxLevels);
        std::copy(s.levels, s.levels + s.levelCount, rec.levels[st]);
        for (int i = 0; i < s.levelCount; ++i) {
            const void* texels = s.levels[i].texels;
            if (texels == config.color.pixels) m_oneBand = true;
            if (texels) m_sampled.insert(texels);
        }
        // Pointed at the record's own copy when the queue is flushed (the vector may still move).
    }
}

bool DrawQueue::Add(Kind kind, float minX, float maxX, float minY, float maxY, bool last) {
    if (m_configs.empty()) return false;
    const RECT clip = m_configs.back().config.clip;
    // One pixel of margin: lines and points round to the nearest pixel.
    int top = std::max<int>(FloorToRow(minY) - 1, clip.top);
    int bottom = std::min<int>(CeilToRow(maxY) + 2, clip.bottom);
    if (top >= bottom || !(maxX >= float(clip.left) - 1.0f) || !(minX <= float(clip.right) + 1.0f))
        return false;
    if (m_prims.size() >= kMaxPending) {
        Flush();
        if (m_configs.empty()) return false;
    }
    if (m_prims.empty()) {
        m_top = top;
        m_bottom = bottom;
    } else {
        m_top = std::min(m_top, top);
        m_bottom = std::max(m_bottom, bottom);
    }
    float width = std::clamp(maxX, float(clip.left), float(clip.right)) -
                  std::clamp(minX, float(clip.left), float(clip.right)) + 1.0f;
    m_work += uint64_t(width) * uint64_t(bottom - top);
    m_prims.push_back(
        Primitive{kind, last, uint32_t(m_configs.size() - 1), top, bottom, uint32_t(m_vertices.size())});
    return true;
}

bool DrawQueue::MergeIntoRectangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    if (m_prims.empty()) return false;
    Primitive& last = m_prims.back();
    const ConfigRecord& rec = m_configs.back();
    if (last.kind != kTriangle || last.config != m_configs.size() - 1 || rec.config.flatShading) return false;
    const ScreenVertex* v[6] = {
        &m_vertices[last.vertex], &m_vertices[last.vertex + 1], &m_vertices[last.vertex + 2], &a, &b, &c};
    // A sprite's quad, p-q-r then p-r-s around an axis-aligned rectangle: the first of the shapes
    // the general test below accepts, found with a few comparisons.
    const ScreenVertex &p = *v[0], &q = *v[1], &r = *v[2];
    if (SameVertex(a, p) && SameVertex(b, r) && p.rhw == q.rhw && p.rhw == r.rhw && p.rhw == c.rhw) {
        const bool acrossFirst =
            p.y == q.y && q.x == r.x && r.y == c.y && c.x == p.x && p.x != q.x && p.y != r.y;
        const bool downFirst =
            p.x == q.x && q.y == r.y && r.x == c.x && c.y == p.y && p.y != q.y && p.x != r.x;
        if (acrossFirst || downFirst) return Merged(last, Planar(p, q, c, r), a, b, c);
    }
    // Two distinct x and two distinct y values, one rhw: a screen-aligned rectangle drawn without
    // perspective; each corner appears once per triangle at most.
    float x0 = v[0]->x, y0 = v[0]->y, x1 = x0, y1 = y0;
    for (const ScreenVertex* p : v) {
        if (p->rhw != v[0]->rhw) return false;
        if (p->x != x0 && p->x != x1) {
            if (x1 != x0) return false;
            x1 = p->x;
        }
        if (p->y != y0 && p->y != y1) {
            if (y1 != y0) return false;
            y1 = p->y;
        }
    }
    if (x0 == x1 || y0 == y1) return false;
    const ScreenVertex* corner[2][2] = {};  // [y == y1][x == x1]
    int missing[2] = {};                    // the corner each triangle leaves out, as 2 * cy + cx
    for (int t = 0; t < 2; ++t) {
        bool seen[2][2] = {};
        for (int i = 0; i < 3; ++i) {
            const ScreenVertex* p = v[3 * t + i];
            int cy = p->y == y1, cx = p->x == x1;
            if (seen[cy][cx]) return false;  // a degenerate triangle
            seen[cy][cx] = true;
            if (!corner[cy][cx])
                corner[cy][cx] = p;
            else if (!SameVertex(*corner[cy][cx], *p))
                return false;
        }
        for (int k = 0; k < 4; ++k)
            if (!seen[k / 2][k % 2]) missing[t] = k;
    }
    // Each leaves out the corner opposite the other's: they share a diagonal and
    // cover the rectangle once (sharing an edge they would overlap).
    if (missing[0] + missing[1] != 3) return false;
    return Merged(last, Planar(*corner[0][0], *corner[0][1], *corner[1][0], *corner[1][1]), a, b, c);
}

bool DrawQueue::Merged(Primitive& last, bool planar, const ScreenVertex& a, const ScreenVertex& b,
                       const ScreenVertex& c) {
    // One plane through all four corners: one rectangle. Otherwise the two triangles are kept.
    if (planar) {
        last.kind = kRectangle;
    } else {
        last.kind = kTrianglePair;
        m_vertices.push_back(a);
        m_vertices.push_back(b);
        m_vertices.push_back(c);
    }
    return true;
}

bool DrawQueue::OverwritesClear(const Primitive& p, const ClearOp& op, int top, int bottom) const {
    if (p.kind != kRectangle && p.kind != kTrianglePair) return false;
    const ConfigRecord& rec = m_configs[p.config];
    const PixelConfig& c = rec.config;
    const ScreenVertex* v = &m_vertices[p.vertex];
    // Every covered pixel written whatever it held: no test that may refuse it, all bits, and no
    // blending unless it is source-alpha blending of an alpha of 255 everywhere (the source itself).
    if (c.color.pixels != op.color.pixels || c.color.pitch != op.color.pitch || c.alphaTest ||
        c.writeMask != 0xFFFFFFFFu || (c.depth.depth && c.depthTest))
        return false;
    if (c.blend) {
        if (c.srcBlend != D3DBLEND_SRCALPHA || c.destBlend != D3DBLEND_INVSRCALPHA ||
            c.blendOp != D3DBLENDOP_ADD || c.separateAlpha || !c.simpleCombiner || c.alphaUsesTexture)
            return false;
        // An alpha of exactly 255 at every corner is 255 at every pixel (its steps are zero).
        const int corners = p.kind == kTrianglePair ? 6 : 3;
        for (int i = 0; c.alphaUsesDiffuse && i < corners; ++i)
            if (v[i].color[3] != 255.0f) return false;
    }
    // Nor may it read the target it overwrites.
    for (int st = 0; st < kPipelineTexStages; ++st)
        for (int i = 0; c.samplers[st].levels && i < c.samplers[st].levelCount; ++i)
            if (rec.levels[st][i].texels == op.color.pixels) return false;
    RECT covered;
    if (!Rasterizer::RectangleCovers(v[0], v[1], v[2], c, covered)) return false;
    const LONG y0 = std::max<LONG>(op.rect.top, top), y1 = std::min<LONG>(op.rect.bottom, bottom);
    return covered.left <= op.rect.left && covered.right >= op.rect.right && covered.top <= y0 &&
           covered.bottom >= y1;
}

void DrawQueue::Triangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                         const ScreenVertex& flat) {
    // NaN coordinates fail every comparison and are dropped here; the rasterizer refuses absurd ones.
    float minX = std::min({a.x, b.x, c.x}), maxX = std::max({a.x, b.x, c.x});
    float minY = std::min({a.y, b.y, c.y}), maxY = std::max({a.y, b.y, c.y});
    if (!(minY <= maxY) || !(minX <= maxX)) return;
    if (MergeIntoRectangle(a, b, c)) return;
    if (!Add(kTriangle, minX, maxX, minY, maxY, false)) return;
    m_vertices.push_back(a);
    m_vertices.push_back(b);
    m_vertices.push_back(c);
    // The flat-shading vertex only matters under flat shading.
    if (m_configs.back().config.flatShading) m_vertices.push_back(flat);
}

void DrawQueue::Line(const ScreenVertex& a, const ScreenVertex& b, bool last) {
    float minY = std::min(a.y, b.y), maxY = std::max(a.y, b.y);
    float minX = std::min(a.x, b.x), maxX = std::max(a.x, b.x);
    if (!(minY <= maxY) || !(minX <= maxX)) return;
    if (!Add(kLine, minX, maxX, minY, maxY, last)) return;
    m_vertices.push_back(a);
    m_vertices.push_back(b);
}

void DrawQueue::Point(const ScreenVertex& v) {
    if (!(v.y == v.y) || !(v.x == v.x)) return;
    if (!Add(kPoint, v.x, v.x, v.y, v.y, false)) return;
    m_vertices.push_back(v);
}

void DrawQueue::Clear(const ColorTarget* color, uint32_t argb, const DepthTarget* depth, float z,
                      const RECT& rect) {
    if (rect.left >= rect.right || rect.top >= rect.bottom || (!color && !depth)) return;
    if ((color && Sampled(color->pixels)) || (depth && Sampled(depth->depth))) Flush();
    if (m_prims.size() >= kMaxPending) Flush();
    ClearOp op{color ? *color : ColorTarget{}, depth ? *depth : DepthTarget{}, argb, z, rect};
    if (m_prims.empty()) {
        m_top = rect.top;
        m_bottom = rect.bottom;
    } else {
        m_top = std::min<int>(m_top, rect.top);
        m_bottom = std::max<int>(m_bottom, rect.bottom);
    }
    // Filling is several times cheaper per pixel than shading.
    m_work += uint64_t(rect.right - rect.left) * uint64_t(rect.bottom - rect.top) / 4;
    m_prims.push_back(Primitive{kClear, false, uint32_t(m_clears.size()), rect.top, rect.bottom, 0});
    m_clears.push_back(op);
    AddTarget(op.color.pixels);
    AddTarget(op.depth.depth);
}

void DrawQueue::AddTarget(const void* pixels) {
    if (pixels && std::find(m_targets.begin(), m_targets.end(), pixels) == m_targets.end())
        m_targets.push_back(pixels);
}

bool DrawQueue::Sampled(const void* pixels) const {
    return !m_prims.empty() && pixels && m_sampled.count(pixels) != 0;
}

bool DrawQueue::Writes(const void* pixels) const {
    return !m_prims.empty() && pixels &&
           std::find(m_targets.begin(), m_targets.end(), pixels) != m_targets.end();
}

void DrawQueue::DrawBand(int top, int bottom) const {
    Rasterizer raster;
    raster.SetRows(top, bottom);
    uint32_t current = UINT32_MAX;
    bool flat = false;
    const auto touches = [top, bottom](const Primitive& p) { return p.bottom > top && p.top < bottom; };
    for (auto it = m_prims.begin(); it != m_prims.end(); ++it) {
        const Primitive& p = *it;
        if (!touches(p)) continue;
        if (p.kind == kClear) {
            const ClearOp& op = m_clears[p.config];
            int y0 = std::max<int>(op.rect.top, top), y1 = std::min<int>(op.rect.bottom, bottom);
            uint32_t depthBits;
            std::memcpy(&depthBits, &op.z, sizeof depthBits);
            const int width = int(op.rect.right - op.rect.left);
            // A background drawn over the whole clear next (a page's gradient) makes filling it first
            // a wasted pass over the band.
            auto next = std::find_if(it + 1, m_prims.end(), touches);
            const bool colorSeen =
                op.color.pixels && !(next != m_prims.end() && OverwritesClear(*next, op, y0, y1));
            for (int y = y0; y < y1; ++y) {
                if (colorSeen)
                    FillRow(op.color.pixels + size_t(y) * op.color.pitch + op.rect.left, width, op.argb);
                if (op.depth.depth) {
                    float* row = op.depth.depth + size_t(y) * op.depth.pitch + op.rect.left;
                    FillRow(reinterpret_cast<uint32_t*>(row), width, depthBits);
                }
            }
            continue;
        }
        if (p.config != current) {
            current = p.config;
            raster.Begin(m_configs[current].config);
            flat = m_configs[current].config.flatShading;
        }
        const ScreenVertex* v = &m_vertices[p.vertex];
        switch (p.kind) {
            case kTriangle:
                raster.Triangle(v[0], v[1], v[2], flat ? v[3] : v[0]);
                break;
            case kRectangle:
                raster.Rectangle(v[0], v[1], v[2]);
                break;
            case kTrianglePair:
                raster.Triangle(v[0], v[1], v[2], v[0]);
                raster.Triangle(v[3], v[4], v[5], v[3]);
                break;
            case kLine:
                raster.Line(v[0], v[1], p.last);
                break;
            case kPoint:
                raster.Point(v[0]);
                break;
            default:
                break;
        }
    }
}

void DrawQueue::DrawBandTask(void* self, int band) {
    auto* q = static_cast<DrawQueue*>(self);
    int top = q->m_bandTop + band * q->m_bandHeight;
    int bottom = band + 1 == q->m_bandCount ? q->m_bottom : top + q->m_bandHeight;
    q->DrawBand(top, bottom);
}

void DrawQueue::Flush(WorkerPool& pool) {
    if (m_prims.empty()) return;
    for (ConfigRecord& rec : m_configs)
        for (int st = 0; st < kPipelineTexStages; ++st)
            if (rec.config.samplers[st].levels) rec.config.samplers[st].levels = rec.levels[st];

    bool reused = DrawReusing(pool);
    int rows = m_bottom - m_top;
    int threads = pool.Threads();
    if (reused) {
        // Drawn above, band by band, keeping unchanged bands.
    } else if (threads <= 1 || m_work < m_parallelThreshold || rows < 16 || m_oneBand) {
        // Large work in bands of a few rows, each replaying every primitive, so a clear and what
        // is drawn over it meet in the cache rather than each passing over the whole target.
        const int height = m_work < kCacheBandWork || m_oneBand ? rows : kCacheBandRows;
        for (int top = m_top; top < m_bottom; top += height) DrawBand(top, std::min(top + height, m_bottom));
    } else {
        // Several bands per thread, so a thread that drew an empty band takes another.
        int bands = std::min(threads * 4, rows / 8);
        m_bandTop = m_top;
        m_bandHeight = (rows + bands - 1) / bands;
        m_bandCount = (rows + m_bandHeight - 1) / m_bandHeight;
        pool.Run(m_bandCount, &DrawQueue::DrawBandTask, this);
    }
    AfterFlush(reused);

    m_prims.clear();
    m_vertices.clear();
    m_clears.clear();
    m_work = 0;
    // The last configuration stays: a draw being recorded goes on using it.
    if (m_configs.size() > 1) {
        m_configs.front() = m_configs.back();
        m_configs.resize(1);
    }
    // What the kept configuration writes and reads goes on counting for later primitives.
    m_targets.clear();
    m_sampled.clear();
    m_oneBand = false;
    if (!m_configs.empty()) {
        const ConfigRecord& kept = m_configs.front();
        AddTarget(kept.config.color.pixels);
        AddTarget(kept.config.depth.depth);
        for (int st = 0; st < kPipelineTexStages; ++st)
            for (int i = 0; i < kept.config.samplers[st].levelCount && kept.config.samplers[st].levels; ++i) {
                const void* texels = kept.levels[st][i].texels;
                if (texels == kept.config.color.pixels) m_oneBand = true;
                if (texels) m_sampled.insert(texels);
            }
    }
}

}  // namespace plat::d3d9
