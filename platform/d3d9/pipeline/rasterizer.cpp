// Rasterization stage: triangle edge walking into spans, lines and points.
#include "platform/d3d9/pipeline/rasterizer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/d3d9/pipeline/aligned_quad.h"
#include "platform/d3d9/pipeline/setup.h"
#include "platform/d3d9/pipeline/span_vector.h"

namespace plat::d3d9 {

namespace {

// Screen coordinates beyond this are refused (only pre-transformed vertices,
// which are not clipped, can get there): no primitive reaches that far into
// a target, and the integer conversions below stay defined.
constexpr float kMaxCoordinate = 1 << 24;

inline bool Reasonable(const ScreenVertex& v) {
    return std::fabs(v.x) <= kMaxCoordinate && std::fabs(v.y) <= kMaxCoordinate;  // false for NaN too
}

// First integer >= f, as int (f within kMaxCoordinate).
inline int CeilToInt(float f) {
    int i = static_cast<int>(f);
    return (static_cast<float>(i) < f) ? i + 1 : i;
}

// An edge from its upper to its lower end; x at a row is computed from the
// upper end, so every triangle sharing the edge gets the same value.
struct Edge {
    float x, y, slope;
    Edge(const ScreenVertex& top, const ScreenVertex& bottom)
        : x(top.x), y(top.y), slope((bottom.x - top.x) / (bottom.y - top.y)) {}
    float At(float row) const { return x + (row - y) * slope; }
};

}  // namespace

void Rasterizer::Begin(const PixelConfig& config) {
    m_config = &config;
    m_spans = ChooseSpanFunctions(config);
}

void Rasterizer::Triangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                          const ScreenVertex& flat) {
    const PixelConfig& cfg = *m_config;
    if (!Reasonable(a) || !Reasonable(b) || !Reasonable(c)) return;
    Gradients g;
    if (!SetupTriangle(a, b, c, cfg, flat, g)) return;
    SpanSetup spans;
    SpanFn span = m_spans.Prepare(cfg, g, spans);

    // By y, keeping the given order among equal ys (as a stable sort would).
    const ScreenVertex* v[3] = {&a, &b, &c};
    if (v[1]->y < v[0]->y) std::swap(v[0], v[1]);
    if (v[2]->y < v[1]->y) std::swap(v[1], v[2]);
    if (v[1]->y < v[0]->y) std::swap(v[0], v[1]);
    const ScreenVertex &top = *v[0], &mid = *v[1], &bottom = *v[2];
    if (bottom.y == top.y) return;

    Edge longEdge(top, bottom);
    // The middle vertex lies right of the long edge when it is right of the long edge's x at its row.
    bool midRight = mid.x > longEdge.At(mid.y);

    int yStart = std::max<int>({CeilToInt(top.y), int(cfg.clip.top), m_rowTop});
    int yEnd = std::min<int>({CeilToInt(bottom.y), int(cfg.clip.bottom), m_rowBottom});
    int yMid = CeilToInt(mid.y);
    for (int pass = 0; pass < 2; ++pass) {
        int y0 = pass == 0 ? yStart : std::max(yStart, yMid);
        int y1 = pass == 0 ? std::min(yEnd, yMid) : yEnd;
        if (y0 >= y1) continue;
        const ScreenVertex& s0 = pass == 0 ? top : mid;
        const ScreenVertex& s1 = pass == 0 ? mid : bottom;
        if (s1.y == s0.y) continue;
        Edge shortEdge(s0, s1);
        for (int y = y0; y < y1; ++y) {
            float row = static_cast<float>(y);
            float xl = longEdge.At(row), xr = shortEdge.At(row);
            if (midRight == false) std::swap(xl, xr);
            int x0 = std::max<int>(CeilToInt(xl), cfg.clip.left);
            int x1 = std::min<int>(CeilToInt(xr), cfg.clip.right);
            if (x0 < x1) span(spans, y, x0, x1);
        }
    }
}

void Rasterizer::Rectangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    const PixelConfig& cfg = *m_config;
    if (!Reasonable(a) || !Reasonable(b) || !Reasonable(c)) return;
    Gradients g;
    if (!SetupTriangle(a, b, c, cfg, a, g)) return;
    float left = std::min({a.x, b.x, c.x}), right = std::max({a.x, b.x, c.x});
    float top = std::min({a.y, b.y, c.y}), bottom = std::max({a.y, b.y, c.y});
    int x0 = std::max<int>(CeilToInt(left), cfg.clip.left);
    int x1 = std::min<int>(CeilToInt(right), cfg.clip.right);
    int y0 = std::max<int>({CeilToInt(top), int(cfg.clip.top), m_rowTop});
    int y1 = std::min<int>({CeilToInt(bottom), int(cfg.clip.bottom), m_rowBottom});
    if (x0 >= x1 || y0 >= y1) return;
    if (AlignedQuadApplies(cfg, g)) {
        ShadeAlignedQuad(cfg, g, x0, x1, y0, y1);
        return;
    }
    SpanSetup spans;
    SpanFn span = span::PrepareRectRows(cfg, g, spans, x0, x1, y0);
    if (!span) span = m_spans.Prepare(cfg, g, spans);
    for (int y = y0; y < y1; ++y) span(spans, y, x0, x1);
}

bool Rasterizer::RectangleCovers(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                                 const PixelConfig& cfg, RECT& out) {
    // As Triangle and Rectangle refuse: absurd coordinates, no area.
    if (!Reasonable(a) || !Reasonable(b) || !Reasonable(c)) return false;
    const float area = SignedArea2(a, b, c);
    if (area == 0.0f || !std::isfinite(area)) return false;
    const float left = std::min({a.x, b.x, c.x}), right = std::max({a.x, b.x, c.x});
    const float top = std::min({a.y, b.y, c.y}), bottom = std::max({a.y, b.y, c.y});
    out.left = std::max<LONG>(CeilToInt(left), cfg.clip.left);
    out.right = std::min<LONG>(CeilToInt(right), cfg.clip.right);
    out.top = std::max<LONG>(CeilToInt(top), cfg.clip.top);
    out.bottom = std::min<LONG>(CeilToInt(bottom), cfg.clip.bottom);
    return out.left < out.right && out.top < out.bottom;
}

void Rasterizer::ShadePixel(int x, int y, const ScreenVertex& v, bool perspective) {
    const PixelConfig& cfg = *m_config;
    if (x < cfg.clip.left || x >= cfg.clip.right || y < cfg.clip.top || y >= cfg.clip.bottom) return;
    if (y < m_rowTop || y >= m_rowBottom) return;
    Gradients g;
    SetupConstant(v, cfg, perspective, g);
    SpanSetup spans;
    m_spans.Prepare(cfg, g, spans)(spans, y, x, x + 1);
}

void Rasterizer::Line(const ScreenVertex& a, const ScreenVertex& b, bool last) {
    if (!Reasonable(a) || !Reasonable(b)) return;
    const PixelConfig& cfg = *m_config;
    float dx = b.x - a.x, dy = b.y - a.y;
    int steps = static_cast<int>(std::ceil(std::max(std::fabs(dx), std::fabs(dy))));
    // Only the part of the line inside the clip rectangle (plus a pixel) is stepped.
    float t0 = 0.0f, t1 = 1.0f;
    auto limit = [&](float p, float q) {
        if (p == 0.0f) return q >= 0.0f;
        float r = q / p;
        if (p < 0.0f)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        return t0 <= t1;
    };
    if (!limit(-dx, a.x - float(cfg.clip.left - 1)) || !limit(dx, float(cfg.clip.right + 1) - a.x) ||
        !limit(-dy, a.y - float(cfg.clip.top - 1)) || !limit(dy, float(cfg.clip.bottom + 1) - a.y))
        return;
    int first = static_cast<int>(std::floor(t0 * static_cast<float>(steps)));
    int end = static_cast<int>(std::ceil(t1 * static_cast<float>(steps)));
    bool perspective = a.rhw != b.rhw;
    int count = last ? steps + 1 : std::max(steps, 1);
    end = std::min(end + 1, count);
    int lastX = 0x7fffffff, lastY = 0x7fffffff;
    for (int i = std::max(first, 0); i < end; ++i) {
        float t = steps > 0 ? static_cast<float>(i) / static_cast<float>(steps) : 0.0f;
        ScreenVertex p;
        p.x = a.x + dx * t;
        p.y = a.y + dy * t;
        p.z = a.z + (b.z - a.z) * t;
        p.rhw = a.rhw + (b.rhw - a.rhw) * t;
        for (int k = 0; k < 4; ++k) p.color[k] = a.color[k] + (b.color[k] - a.color[k]) * t;
        for (int k = 0; k < 3; ++k) p.specular[k] = a.specular[k] + (b.specular[k] - a.specular[k]) * t;
        // Texture coordinates interpolate perspective-correctly along the line.
        float wa = perspective ? a.rhw : 1.0f, wb = perspective ? b.rhw : 1.0f;
        float q = wa + (wb - wa) * t;
        for (int st = 0; st < kPipelineTexStages; ++st)
            for (int k = 0; k < 2; ++k)
                p.tex[st][k] = (a.tex[st][k] * wa + (b.tex[st][k] * wb - a.tex[st][k] * wa) * t) / q;
        int px = static_cast<int>(std::floor(p.x + 0.5f)), py = static_cast<int>(std::floor(p.y + 0.5f));
        if (px == lastX && py == lastY) continue;
        lastX = px;
        lastY = py;
        ShadePixel(px, py, p, perspective);
    }
}

void Rasterizer::Point(const ScreenVertex& v) {
    if (!Reasonable(v)) return;
    ShadePixel(static_cast<int>(std::floor(v.x + 0.5f)), static_cast<int>(std::floor(v.y + 0.5f)), v, false);
}

}  // namespace plat::d3d9
