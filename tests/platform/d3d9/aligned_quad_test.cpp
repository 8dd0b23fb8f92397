// Screen-aligned quads and the other shortcuts of the GUI's drawing: the quad
// path gives the scalar span loop's pixels bit for bit over many random quads
// (sizes, sub-pixel offsets, clipping at the target's edges and a scissor,
// blending, colour modulation, texture alpha, address modes, magnified and
// shrunk textures, quads wider than one column table), and leaves alone what
// it cannot match; opaque gradients and all-opaque or all-clear groups skip
// the blend and glyphs drawn one texel per pixel read four texels at once,
// without changing a pixel; one thread drawing large work in bands
// gives the pixels of drawing each primitive over the whole target in turn,
// and its clears fill rows of any width.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/d3d9/pipeline/aligned_quad.h"
#include "platform/d3d9/pipeline/draw_queue.h"
#include "platform/d3d9/pipeline/rasterizer.h"
#include "platform/d3d9/pipeline/span_shading.h"
#include "platform/d3d9/pipeline/span_vector.h"
#include "platform/d3d9/pipeline/worker_pool.h"

namespace tumbral_test {
namespace {

using namespace plat::d3d9;

constexpr int kWidth = 700, kHeight = 40;

int CeilToInt(float f) { return int(std::ceil(f)); }

class AlignedQuadTest : public ::testing::Test {
  protected:
    AlignedQuadTest() : m_random(20261207u) {
        // A power-of-two image, an odd-sized one and a glyph-like one (alpha only 0 or 255).
        const int sizes[3][2] = {{64, 32}, {37, 23}, {16, 16}};
        for (int k = 0; k < 3; ++k) {
            const int w = sizes[k][0], h = sizes[k][1], pitch = w + 3;
            m_texels[k].resize(size_t(pitch * h));
            for (uint32_t& t : m_texels[k]) {
                t = m_random();
                if (k == 2 || Pick(3) == 0) t = (t & 0x00FFFFFFu) | (Pick(2) ? 0xFF000000u : 0u);
            }
            m_levels[k] = ImageLevel{m_texels[k].data(), w, h, pitch};
        }
    }

    float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(m_random); }
    int Pick(int n) { return int(m_random() % uint32_t(n)); }

    // A sprite's state: texture x diffuse (or texture alpha alone), bilinear, source-alpha blending
    // with the "alpha > 0" test, or variations of it that the quad path also takes.
    PixelConfig SpriteConfig(int image) {
        PixelConfig c;
        c.clip = RECT{0, 0, kWidth, kHeight};
        if (Pick(3) == 0)
            c.clip = RECT{LONG(Pick(60)), LONG(Pick(10)), LONG(kWidth - Pick(60)), LONG(30 + Pick(10))};
        c.blend = Pick(4) != 0;
        c.srcBlend = D3DBLEND_SRCALPHA;
        c.destBlend = D3DBLEND_INVSRCALPHA;
        c.alphaTest = c.blend && Pick(2);
        c.alphaFunc = D3DCMP_GREATER;
        c.alphaRef = 0;
        c.colorUsesTexture = c.alphaUsesTexture = true;
        c.alphaUsesDiffuse = Pick(4) != 0;
        c.samplers[0].levels = &m_levels[image];
        c.samplers[0].levelCount = 1;
        c.samplers[0].minFilter = c.samplers[0].magFilter = D3DTEXF_LINEAR;
        const DWORD modes[] = {D3DTADDRESS_CLAMP, D3DTADDRESS_WRAP, D3DTADDRESS_MIRROR, D3DTADDRESS_BORDER};
        c.samplers[0].addressU = modes[Pick(4)];
        c.samplers[0].addressV = modes[Pick(4)];
        c.samplers[0].borderColor = m_random();
        return c;
    }

    // The corners a sprite gives: top-left, top-right, bottom-right; u follows x and v follows y.
    void RandomQuad(ScreenVertex (&v)[3]) {
        const bool wide = Pick(8) == 0;  // more columns than one table holds
        const float left = Uniform(-30.0f, wide ? 20.0f : float(kWidth - 20));
        const float right = left + (wide ? Uniform(550.0f, 720.0f) : Uniform(0.3f, 160.0f));
        const float top = Uniform(-8.0f, float(kHeight - 4)), bottom = top + Uniform(0.3f, 45.0f);
        // Source rectangles inside the image, across its edges, or far beyond them.
        const float range = Pick(5) == 0 ? 3.0f : 1.0f;
        const float u0 = Uniform(-0.2f * range, 0.9f * range), u1 = u0 + Uniform(-0.3f, 1.2f) * range;
        const float v0 = Uniform(-0.2f * range, 0.9f * range), v1 = v0 + Uniform(-0.3f, 1.2f) * range;
        const float color[4] = {float(Pick(256)), float(Pick(256)), float(Pick(256)),
                                Pick(3) ? 255.0f : float(Pick(256))};
        const float xs[3] = {left, right, right}, ys[3] = {top, top, bottom};
        const float us[3] = {u0, u1, u1}, vs[3] = {v0, v0, v1};
        for (int k = 0; k < 3; ++k) {
            v[k] = ScreenVertex{};
            v[k].x = xs[k], v[k].y = ys[k], v[k].z = 0.5f, v[k].rhw = 1.0f;
            for (int ch = 0; ch < 4; ++ch) v[k].color[ch] = color[ch];
            v[k].tex[0][0] = us[k], v[k].tex[0][1] = vs[k];
        }
    }

    // The pixels Rasterizer::Rectangle covers, clipped.
    static bool Bounds(const PixelConfig& c, const ScreenVertex (&v)[3], RECT& r) {
        r.left = std::max<LONG>(CeilToInt(v[0].x), c.clip.left);
        r.right = std::min<LONG>(CeilToInt(v[1].x), c.clip.right);
        r.top = std::max<LONG>(CeilToInt(v[0].y), c.clip.top);
        r.bottom = std::min<LONG>(CeilToInt(v[2].y), c.clip.bottom);
        return r.left < r.right && r.top < r.bottom;
    }

    struct Span {
        int y, x0, x1;
    };
    static std::vector<Span> RowsOf(const RECT& r) {
        std::vector<Span> spans;
        for (int y = r.top; y < r.bottom; ++y) spans.push_back(Span{y, int(r.left), int(r.right)});
        return spans;
    }

    // `pixels` after `spans` were shaded into them under `c` (its colour target aside) by the scalar
    // span loop, or by the four-pixel loops of combine mode `vectorMode` when it is not negative.
    static void ShadeInto(std::vector<uint32_t>& pixels, PixelConfig c, const Gradients& g,
                          const std::vector<Span>& spans, int vectorMode = -1) {
        c.color = ColorTarget{pixels.data(), kWidth, kHeight, kWidth};
        SpanFunctions functions = ChooseScalarSpanFunctions(c);
        if (vectorMode >= 0 && !span::ChooseVectorSpans(c, vectorMode, false, functions)) {
            ADD_FAILURE() << "no four-pixel loops for mode " << vectorMode;
            pixels.clear();
            return;
        }
        SpanSetup setup;
        const SpanFn fn = functions.Prepare(c, g, setup);
        for (const Span& s : spans) fn(setup, s.y, s.x0, s.x1);
    }
    // The same on a fresh target.
    std::vector<uint32_t> Shaded(const PixelConfig& c, const Gradients& g, const std::vector<Span>& spans,
                                 int vectorMode = -1) {
        std::vector<uint32_t> pixels = Target();
        ShadeInto(pixels, c, g, spans, vectorMode);
        return pixels;
    }

    std::vector<uint32_t> Target() {
        std::vector<uint32_t> t(kWidth * kHeight);
        std::mt19937 fill(7);
        for (uint32_t& p : t) p = fill();
        return t;
    }

    std::mt19937 m_random;
    std::vector<uint32_t> m_texels[3];
    ImageLevel m_levels[3];
};

TEST_F(AlignedQuadTest, QuadsGiveTheScalarSpanPixels) {
    int compared = 0, partly = 0;
    for (int n = 0; n < 1500; ++n) {
        PixelConfig c = SpriteConfig(Pick(3));
        ScreenVertex v[3];
        RandomQuad(v);
        Gradients g;
        ASSERT_TRUE(SetupTriangle(v[0], v[1], v[2], c, v[0], g));
        RECT r;
        if (!Bounds(c, v, r)) continue;
        if (!g.sampling[0].linear) continue;  // shrunk past the minification filter: point sampled
        SCOPED_TRACE("quad " + std::to_string(n));
        ASSERT_TRUE(AlignedQuadApplies(c, g));

        const std::vector<uint32_t> expected = Shaded(c, g, RowsOf(r));
        std::vector<uint32_t> actual = Target();
        c.color = ColorTarget{actual.data(), kWidth, kHeight, kWidth};
        ShadeAlignedQuad(c, g, r.left, r.right, r.top, r.bottom);
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(actual[i], expected[i]) << "pixel " << i % kWidth << "," << i / kWidth;
        partly += r.right - r.left < CeilToInt(v[1].x) - CeilToInt(v[0].x);
        ++compared;
    }
    EXPECT_GT(compared, 1000);
    EXPECT_GT(partly, 100);  // clipped quads were among them
}

TEST_F(AlignedQuadTest, WhatTheQuadPathCannotMatchIsLeftToTheSpanLoops) {
    ScreenVertex v[3];
    RandomQuad(v);
    auto applies = [&](const PixelConfig& c, const ScreenVertex(&q)[3]) {
        Gradients g;
        return SetupTriangle(q[0], q[1], q[2], c, q[0], g) && AlignedQuadApplies(c, g);
    };
    auto linear = [&] {
        PixelConfig c = SpriteConfig(0);
        c.clip = RECT{0, 0, kWidth, kHeight};
        c.blend = true;
        c.alphaTest = false;
        c.alphaUsesDiffuse = true;
        return c;
    };
    // Stretched so that it is filtered bilinearly.
    v[1].x = v[0].x + 200.0f, v[2].x = v[1].x;
    v[2].y = v[0].y + 30.0f;
    v[1].tex[0][0] = v[2].tex[0][0] = v[0].tex[0][0] + 0.5f;
    v[2].tex[0][1] = v[0].tex[0][1] + 0.5f;
    ASSERT_TRUE(applies(linear(), v));

    PixelConfig c = linear();
    c.alphaFunc = D3DCMP_GREATER, c.alphaTest = true, c.alphaRef = 10;  // refuses visible alphas
    EXPECT_FALSE(applies(c, v));
    c = linear();
    c.blend = false, c.alphaTest = true, c.alphaRef = 0;  // alpha 0 pixels would otherwise be written
    EXPECT_FALSE(applies(c, v));
    c = linear();
    c.destBlend = D3DBLEND_ONE;
    EXPECT_FALSE(applies(c, v));
    c = linear();
    c.writeMask = 0x00FFFFFFu;
    EXPECT_FALSE(applies(c, v));
    c = linear();
    std::vector<float> depth(kWidth * kHeight, 1.0f);
    c.depth = DepthTarget{depth.data(), kWidth, kHeight, kWidth};
    c.depthTest = true;
    EXPECT_FALSE(applies(c, v));
    c = linear();
    c.color = ColorTarget{const_cast<uint32_t*>(m_levels[0].texels), 64, 32, 67};  // samples its own target
    EXPECT_FALSE(applies(c, v));
    c = linear();
    c.samplers[0].minFilter = c.samplers[0].magFilter = D3DTEXF_POINT;
    EXPECT_FALSE(applies(c, v));

    ScreenVertex w[3] = {v[0], v[1], v[2]};
    w[2].tex[0][0] += 0.1f;  // u changes down the quad
    EXPECT_FALSE(applies(linear(), w));
    w[2] = v[2], w[1].tex[0][1] += 0.1f;  // v changes along it
    EXPECT_FALSE(applies(linear(), w));
    w[1] = v[1], w[2].color[0] = v[0].color[0] + 100.0f;  // colour changes (down the quad: along too)
    w[1].color[0] = w[2].color[0];
    EXPECT_FALSE(applies(linear(), w));
    w[1] = v[1], w[2] = v[2], w[2].rhw = 0.5f;  // perspective
    EXPECT_FALSE(applies(linear(), w));
}

// Triangles with opaque colours (alpha 255 at every vertex) under source-alpha
// blending, and textures whose alpha is only 0 or 255: the four-pixel loops skip the blend for
// such pixels and still give the scalar loop's pixels.
TEST_F(AlignedQuadTest, SkippedBlendsGiveTheScalarPixels) {
    int compared = 0;
    for (int n = 0; n < 1500; ++n) {
        const bool textured = Pick(2) != 0;
        PixelConfig c = SpriteConfig(2);
        c.clip = RECT{0, 0, kWidth, kHeight};
        c.blend = true;
        c.alphaTest = false;
        c.colorUsesTexture = c.alphaUsesTexture = textured;
        c.alphaUsesDiffuse = true;
        c.samplers[0].addressU = c.samplers[0].addressV = D3DTADDRESS_WRAP;
        if (Pick(2)) c.samplers[0].minFilter = c.samplers[0].magFilter = D3DTEXF_POINT;
        ScreenVertex v[3];
        for (ScreenVertex& s : v) {
            s = ScreenVertex{};
            s.x = Uniform(-10.0f, 120.0f), s.y = Uniform(-5.0f, kHeight + 5.0f), s.z = 0.5f, s.rhw = 1.0f;
            for (int ch = 0; ch < 3; ++ch) s.color[ch] = Uniform(0.0f, 255.0f);
            s.color[3] = Pick(4) ? 255.0f : Uniform(200.0f, 255.0f);
            s.tex[0][0] = Uniform(-2.0f, 2.0f), s.tex[0][1] = Uniform(-2.0f, 2.0f);
        }
        Gradients g;
        if (!SetupTriangle(v[0], v[1], v[2], c, v[0], g)) continue;
        // The rows' spans: the pixels the rasterizer covers (the loops never shade beyond them).
        std::vector<uint32_t> coverage(kWidth * kHeight, 0);
        PixelConfig solid;
        solid.color = ColorTarget{coverage.data(), kWidth, kHeight, kWidth};
        solid.clip = RECT{0, 0, kWidth, kHeight};
        solid.cullMode = D3DCULL_NONE;
        Rasterizer cover;
        cover.Begin(solid);
        cover.Triangle(v[0], v[1], v[2], v[0]);
        std::vector<Span> spans;
        for (int y = 0; y < kHeight; ++y) {
            const auto row = coverage.begin() + y * kWidth;
            const auto first = std::find_if(row, row + kWidth, [](uint32_t p) { return p != 0; });
            const auto last = std::find_if(first, row + kWidth, [](uint32_t p) { return p == 0; });
            if (first != last) spans.push_back(Span{y, int(first - row), int(last - row)});
        }
        const std::vector<uint32_t> results[2] = {
            Shaded(c, g, spans), Shaded(c, g, spans, textured ? span::kModulate : span::kDiffuse)};
        ASSERT_EQ(results[1].size(), results[0].size());
        for (size_t i = 0; i < results[0].size(); ++i)
            ASSERT_EQ(results[1][i], results[0][i])
                << "triangle " << n << (textured ? " textured" : " coloured") << " pixel " << i % kWidth
                << "," << i / kWidth << " alpha " << v[0].color[3] << " " << v[1].color[3] << " "
                << v[2].color[3] << " tex " << c.samplers[0].magFilter;
        ++compared;
    }
    EXPECT_GT(compared, 1400);
}

// Glyphs: point-sampled quads drawn one texel per pixel, whose texels the four-pixel loops read four
// at a time, under wrap and clamp, at whole and half-texel offsets, over the image's edges.
TEST_F(AlignedQuadTest, OneTexelPerPixelGivesTheScalarPixels) {
    for (int n = 0; n < 400; ++n) {
        PixelConfig c = SpriteConfig(2);
        c.clip = RECT{0, 0, kWidth, kHeight};
        c.blend = Pick(4) != 0;
        c.alphaTest = false;
        c.alphaUsesDiffuse = true;
        c.samplers[0].minFilter = c.samplers[0].magFilter = D3DTEXF_POINT;
        c.samplers[0].addressU = c.samplers[0].addressV = Pick(2) ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP;
        const float left = float(Pick(60)) - 0.5f * float(Pick(2)), top = float(Pick(30)) - 0.5f;
        const float w = float(1 + Pick(40)), h = float(1 + Pick(20));
        const float u0 = float(Pick(40) - 20) / 16.0f, v0 = float(Pick(40) - 20) / 16.0f;
        ScreenVertex v[3];
        const float xs[3] = {left, left + w, left + w}, ys[3] = {top, top, top + h};
        const float us[3] = {u0, u0 + w / 16.0f, u0 + w / 16.0f}, vs[3] = {v0, v0, v0 + h / 16.0f};
        for (int k = 0; k < 3; ++k) {
            v[k] = ScreenVertex{};
            v[k].x = xs[k], v[k].y = ys[k], v[k].z = 0.5f, v[k].rhw = 1.0f;
            v[k].color[0] = 250, v[k].color[1] = 128, v[k].color[2] = 3, v[k].color[3] = 255;
            v[k].tex[0][0] = us[k], v[k].tex[0][1] = vs[k];
        }
        Gradients g;
        ASSERT_TRUE(SetupTriangle(v[0], v[1], v[2], c, v[0], g));
        RECT r;
        if (!Bounds(c, v, r)) continue;
        ASSERT_EQ(Shaded(c, g, RowsOf(r), span::kModulate), Shaded(c, g, RowsOf(r))) << "quad " << n;
    }
}

// One thread draws large work in bands of a few rows, each replaying every primitive: clears,
// overlapping blended triangles and quads still meet every pixel in the order they were given.
// Point-sampled, clamped rectangles (glyphs, unscaled sprites) drawn with the texel columns found
// once for all rows give the scalar loop's pixels: one texel per pixel or scaled, rows whose v lies
// beyond the fixed-point range, texture or diffuse alpha, blending, the alpha test, a write mask,
// the target's right edge; rectangles wider than the column table are left to the row loops.
TEST_F(AlignedQuadTest, PointSampledRectanglesGiveTheScalarPixels) {
    int rectRows = 0, refused = 0;
    for (int n = 0; n < 600; ++n) {
        PixelConfig c = SpriteConfig(Pick(3));
        c.clip = RECT{0, 0, kWidth, kHeight};
        c.samplers[0].minFilter = c.samplers[0].magFilter = D3DTEXF_POINT;
        c.samplers[0].addressU = c.samplers[0].addressV = D3DTADDRESS_CLAMP;
        if (Pick(5) == 0) c.writeMask = 0x00FFFF00u;
        const bool wide = Pick(10) == 0;
        const float w = wide ? float(129 + Pick(40)) : float(1 + Pick(60)), h = float(1 + Pick(30));
        const float left =
            Pick(6) == 0 ? float(kWidth) - w + float(Pick(3)) : float(Pick(500)) - 0.5f * float(Pick(2));
        const float top = float(Pick(20)) - 0.5f * float(Pick(2));
        const float scale = Pick(2) ? 1.0f / 64.0f : Uniform(0.001f, 0.05f);  // 1:1 on the 64-texel image
        const float u0 = Uniform(-0.5f, 1.2f);
        // Some rectangles reach far beyond the image along v: their lower rows leave the fixed-point range.
        const float v0 = Uniform(-0.3f, 1.2f), dv = Pick(8) == 0 ? Uniform(100.0f, 2000.0f) : h * scale;
        ScreenVertex v[3];
        const float xs[3] = {left, left + w, left + w}, ys[3] = {top, top, top + h};
        const float us[3] = {u0, u0 + w * scale, u0 + w * scale}, vs[3] = {v0, v0, v0 + dv};
        const float color[4] = {float(Pick(256)), float(Pick(256)), float(Pick(256)), float(Pick(256))};
        for (int k = 0; k < 3; ++k) {
            v[k] = ScreenVertex{};
            v[k].x = xs[k], v[k].y = ys[k], v[k].z = 0.5f, v[k].rhw = 1.0f;
            for (int ch = 0; ch < 4; ++ch) v[k].color[ch] = color[ch];
            v[k].tex[0][0] = us[k], v[k].tex[0][1] = vs[k];
        }
        Gradients g;
        ASSERT_TRUE(SetupTriangle(v[0], v[1], v[2], c, v[0], g));
        RECT r;
        if (!Bounds(c, v, r)) continue;
        SCOPED_TRACE("rectangle " + std::to_string(n));
        const std::vector<uint32_t> expected = Shaded(c, g, RowsOf(r));
        std::vector<uint32_t> actual = Target();
        c.color = ColorTarget{actual.data(), kWidth, kHeight, kWidth};
        SpanSetup probe;
        if (span::PrepareRectRows(c, g, probe, r.left, r.right, r.top))
            ++rectRows;
        else
            ++refused;
        Rasterizer raster;
        raster.Begin(c);
        raster.Rectangle(v[0], v[1], v[2]);
        for (size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(actual[i], expected[i]) << "pixel " << i % kWidth << "," << i / kWidth;
    }
    EXPECT_GT(rectRows, 300);
    EXPECT_GT(refused, 30);  // the wide ones, and those whose first row is out of range
}

TEST_F(AlignedQuadTest, BandsOfOneThreadKeepTheOrderOfPrimitives) {
    std::vector<uint32_t> banded = Target(), direct = Target();
    auto config = [&](std::vector<uint32_t>& target, int k) {
        PixelConfig c = k % 2 ? SpriteConfig(0) : PixelConfig{};
        c.color = ColorTarget{target.data(), kWidth, kHeight, kWidth};
        c.clip = RECT{0, 0, kWidth, kHeight};
        c.cullMode = D3DCULL_NONE;
        c.alphaTest = false;
        c.blend = true;
        c.srcBlend = D3DBLEND_SRCALPHA;
        c.destBlend = D3DBLEND_INVSRCALPHA;
        return c;
    };
    std::vector<PixelConfig> configs[2];
    std::vector<ScreenVertex> shapes;
    for (int k = 0; k < 40; ++k) {
        configs[0].push_back(config(banded, k));
        configs[1].push_back(configs[0].back());
        configs[1].back().color.pixels = direct.data();
        for (int i = 0; i < 3; ++i) {
            ScreenVertex s{};
            s.x = Uniform(-50.0f, kWidth + 50.0f), s.y = Uniform(-20.0f, kHeight + 20.0f), s.z = 0.5f;
            s.rhw = 1.0f;
            for (float& ch : s.color) ch = Uniform(0.0f, 255.0f);
            s.tex[0][0] = Uniform(0.0f, 1.0f), s.tex[0][1] = Uniform(0.0f, 1.0f);
            shapes.push_back(s);
        }
    }
    const RECT strip{3, 10, kWidth - 2, 25};  // rows of 695 pixels: whole groups of four and a rest
    DrawQueue queue;
    Rasterizer raster;
    for (int k = 0; k < 40; ++k) {
        const ScreenVertex* t = &shapes[size_t(3 * k)];
        if (k == 20) {
            ColorTarget ct{banded.data(), kWidth, kHeight, kWidth};
            queue.Clear(&ct, 0x80FF8000u, nullptr, 0.0f, strip);
            for (int y = strip.top; y < strip.bottom; ++y)
                std::fill(direct.begin() + y * kWidth + strip.left, direct.begin() + y * kWidth + strip.right,
                          0x80FF8000u);
        }
        queue.BeginDraw(configs[0][size_t(k)]);
        queue.Triangle(t[0], t[1], t[2], t[0]);
        raster.Begin(configs[1][size_t(k)]);
        raster.Triangle(t[0], t[1], t[2], t[0]);
    }
    WorkerPool one(1);
    queue.Flush(one);
    for (size_t i = 0; i < banded.size(); ++i)
        ASSERT_EQ(banded[i], direct[i]) << "pixel " << i % kWidth << "," << i / kWidth;
}

// A column of identical skin pieces (a page of combo boxes), frame after frame: rows sampled for
// the first piece are used for the others and in later frames, on every band and thread, with the
// pixels of drawing each alone; after the texture changed, wholly or in one texel, it is sampled
// afresh.
TEST_F(AlignedQuadTest, RepeatedPiecesGiveThePixelsOfEachDrawnAlone) {
    std::vector<uint32_t> queued = Target(), direct = Target();
    PixelConfig c = SpriteConfig(1);
    c.clip = RECT{0, 0, kWidth, kHeight};
    c.samplers[0].addressU = c.samplers[0].addressV = D3DTADDRESS_CLAMP;
    // Corners top-left, top-right, bottom-right, bottom-left of a piece 30 texels across and 20 down
    // stretched to 261 x 9 pixels: shrunk rows, widened columns.
    auto piece = [&](float left, float top, float alpha, ScreenVertex(&v)[4]) {
        const float xs[4] = {left, left + 261.0f, left + 261.0f, left},
                    ys[4] = {top, top, top + 9.0f, top + 9.0f};
        const float us[4] = {3.0f / 37, 33.0f / 37, 33.0f / 37, 3.0f / 37};
        const float vs[4] = {2.0f / 23, 2.0f / 23, 22.0f / 23, 22.0f / 23};
        for (int k = 0; k < 4; ++k) {
            v[k] = ScreenVertex{};
            v[k].x = xs[k], v[k].y = ys[k], v[k].z = 0.5f, v[k].rhw = 1.0f;
            v[k].color[0] = 200, v[k].color[1] = 180, v[k].color[2] = 160, v[k].color[3] = alpha;
            v[k].tex[0][0] = us[k], v[k].tex[0][1] = vs[k];
        }
    };
    auto drawBoth = [&](int round) {
        queued = direct = Target();
        DrawQueue queue;
        queue.SetParallelThreshold(0);
        for (int k = 0; k < 12; ++k) {
            ScreenVertex v[4];
            // Whole-pixel steps down and across (the same rows sampled), and one half-pixel shift.
            piece(float(7 + 300 * (k % 2)) + (k == 5 ? 0.5f : 0.0f), float(3 * (k / 2)), 255.0f - 20.0f * k,
                  v);
            c.color = ColorTarget{queued.data(), kWidth, kHeight, kWidth};
            queue.BeginDraw(c);
            queue.Triangle(v[0], v[1], v[2], v[0]);
            queue.Triangle(v[0], v[2], v[3], v[0]);
            // The reference: the scalar span loop, which keeps nothing from piece to piece.
            const ScreenVertex corners[3] = {v[0], v[1], v[2]};
            Gradients g;
            RECT r;
            ASSERT_TRUE(SetupTriangle(v[0], v[1], v[2], c, v[0], g));
            ASSERT_TRUE(AlignedQuadApplies(c, g));
            ASSERT_TRUE(Bounds(c, corners, r));
            ShadeInto(direct, c, g, RowsOf(r));
        }
        EXPECT_EQ(queue.Pending(), 12u);  // each piece one rectangle
        queue.Flush(WorkerPool::Shared());
        for (size_t i = 0; i < queued.size(); ++i)
            ASSERT_EQ(queued[i], direct[i])
                << "round " << round << ", pixel " << i % kWidth << "," << i / kWidth;
    };
    ASSERT_NO_FATAL_FAILURE(drawBoth(0));
    ASSERT_NO_FATAL_FAILURE(drawBoth(1));  // the same texels: the rows kept from the last frame
    // New texels at the same address: the rows sampled before must not be used.
    for (uint32_t& t : m_texels[1]) t = ~t;
    ASSERT_NO_FATAL_FAILURE(drawBoth(2));
    // Texels the pieces read (column 17 of the 40-texel pitch) changed from row 11 down only: the
    // row sampled between texel rows 10 and 11 keeps its first row and must still be sampled again.
    const std::vector<uint32_t> before = direct;
    for (int y = 11; y < 23; ++y) m_texels[1][size_t(y * 40 + 17)] ^= 0x00FFFFFFu;
    ASSERT_NO_FATAL_FAILURE(drawBoth(3));
    EXPECT_NE(direct, before);  // the change shows
}

}  // namespace
}  // namespace tumbral_test
