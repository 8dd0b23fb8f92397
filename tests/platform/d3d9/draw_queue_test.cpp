// Deferred, banded drawing: drawing the queue in bands on several threads
// gives exactly the pixels and depths of drawing it on one, and the worker
// pool runs every task of every job exactly once.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/d3d9/pipeline/draw_queue.h"
#include "platform/d3d9/pipeline/rasterizer.h"
#include "platform/d3d9/pipeline/worker_pool.h"

namespace tumbral_test {
namespace {

using namespace plat::d3d9;

uint32_t Noise(uint32_t i) {
    i ^= i >> 13;
    i *= 0x5bd1e995u;
    return i ^ (i >> 15);
}

// A target, a texture and a fixed random sequence of clears, triangles (three
// state combinations), lines and points, recorded into a queue.
class Scene {
  public:
    static constexpr int kWidth = 173, kHeight = 131;

    Scene() : m_color(kWidth * kHeight, 0xFF102030), m_depth(kWidth * kHeight, 1.0f), m_texels(32 * 32) {
        for (size_t i = 0; i < m_texels.size(); ++i) m_texels[i] = Noise(uint32_t(i) * 3 + 1);
        m_level = ImageLevel{m_texels.data(), 32, 32, 32};
    }

    void Record(DrawQueue& q) {
        PixelConfig opaque = Base();
        opaque.depthTest = opaque.depthWrite = true;
        opaque.depthFunc = D3DCMP_LESSEQUAL;
        PixelConfig blended = Base();
        blended.blend = true;
        blended.srcBlend = D3DBLEND_SRCALPHA;
        blended.destBlend = D3DBLEND_INVSRCALPHA;
        blended.stageCount = 1;
        blended.stages[0].colorOp = D3DTOP_MODULATE;
        blended.stages[0].alphaOp = D3DTOP_MODULATE;
        blended.stages[0].sampler = 0;
        blended.samplers[0].levels = &m_level;
        blended.samplers[0].levelCount = 1;
        blended.colorUsesTexture = blended.alphaUsesTexture = true;
        PixelConfig scissored = opaque;
        scissored.clip = RECT{20, 17, 150, 119};
        scissored.writeMask = 0x00FF00FF;

        RECT all{0, 0, kWidth, kHeight};
        ColorTarget ct{m_color.data(), kWidth, kHeight, kWidth};
        DepthTarget dt{m_depth.data(), kWidth, kHeight, kWidth};
        q.Clear(&ct, 0xFF405060, &dt, 1.0f, all);
        uint32_t seed = 1;
        auto next = [&] { return Noise(seed++); };
        auto coord = [&](int range) { return float(int(next() % uint32_t(range * 16)) - 8 * 16) / 16.0f; };
        for (int i = 0; i < 300; ++i) {
            const PixelConfig* configs[3] = {&opaque, &blended, &scissored};
            const PixelConfig& c = *configs[next() % 3];
            q.BeginDraw(c);
            ScreenVertex v[3];
            for (ScreenVertex& s : v) {
                s = ScreenVertex{};
                s.x = coord(kWidth + 16);
                s.y = coord(kHeight + 16);
                s.z = float(next() % 1000) / 1000.0f;
                s.rhw = 1.0f;
                for (float& ch : s.color) ch = float(next() % 256);
                s.tex[0][0] = float(next() % 300) / 100.0f;
                s.tex[0][1] = float(next() % 300) / 100.0f;
            }
            switch (next() % 10) {
                case 0:
                    q.Line(v[0], v[1], true);
                    break;
                case 1:
                    q.Point(v[2]);
                    break;
                case 2: {
                    RECT r{LONG(next() % kWidth), LONG(next() % kHeight), 0, 0};
                    r.right = std::min<LONG>(kWidth, r.left + 1 + LONG(next() % 60));
                    r.bottom = std::min<LONG>(kHeight, r.top + 1 + LONG(next() % 60));
                    q.Clear(&ct, next() | 0xFF000000u, (next() & 1) ? &dt : nullptr, 0.5f, r);
                    break;
                }
                default:
                    q.Triangle(v[0], v[1], v[2], v[0]);
                    break;
            }
        }
    }

    std::vector<uint32_t> m_color;
    std::vector<float> m_depth;

  private:
    PixelConfig Base() const {
        PixelConfig c;
        c.color = ColorTarget{const_cast<uint32_t*>(m_color.data()), kWidth, kHeight, kWidth};
        c.depth = DepthTarget{const_cast<float*>(m_depth.data()), kWidth, kHeight, kWidth};
        c.clip = RECT{0, 0, kWidth, kHeight};
        c.cullMode = D3DCULL_NONE;
        return c;
    }

    std::vector<uint32_t> m_texels;
    ImageLevel m_level;
};

TEST(DrawQueueTest, BandsOnSeveralThreadsGiveThePixelsOfOneThread) {
    Scene one, many;
    DrawQueue q1, q3;
    q1.SetParallelThreshold(0);
    q3.SetParallelThreshold(0);
    one.Record(q1);
    many.Record(q3);
    EXPECT_TRUE(q1.Writes(one.m_color.data()));
    EXPECT_FALSE(q1.Writes(many.m_color.data()));
    WorkerPool single(1), three(3);
    q1.Flush(single);
    q3.Flush(three);
    EXPECT_TRUE(q1.Empty());
    EXPECT_FALSE(q1.Writes(one.m_color.data()));

    size_t changed = 0;
    for (size_t i = 0; i < one.m_color.size(); ++i) {
        ASSERT_EQ(one.m_color[i], many.m_color[i])
            << "pixel " << i % Scene::kWidth << "," << i / Scene::kWidth;
        ASSERT_EQ(one.m_depth[i], many.m_depth[i])
            << "depth " << i % Scene::kWidth << "," << i / Scene::kWidth;
        changed += one.m_color[i] != 0xFF405060u;
    }
    // The scene really drew something over most of the target.
    EXPECT_GT(changed, one.m_color.size() / 2);
}

TEST(DrawQueueTest, NothingIsDrawnBeforeTheFlush) {
    Scene s;
    DrawQueue q;
    s.Record(q);
    for (uint32_t p : s.m_color) ASSERT_EQ(p, 0xFF102030u);
    q.Flush(WorkerPool::Shared());
    EXPECT_NE(s.m_color[Scene::kWidth * 5 + 5], 0xFF102030u);
}

// Two triangles through the queue (which draws a screen-aligned rectangle
// with planar values as one) against the same triangles drawn one by one.
class QuadPairTest : public ::testing::Test {
  protected:
    static constexpr int kSize = 48;

    QuadPairTest() : m_queued(kSize * kSize, 0xFF000000), m_direct(kSize * kSize, 0xFF000000) {}

    PixelConfig Additive(std::vector<uint32_t>& target) {
        PixelConfig c;
        c.color = ColorTarget{target.data(), kSize, kSize, kSize};
        c.clip = RECT{0, 0, kSize, kSize};
        c.cullMode = D3DCULL_NONE;
        c.blend = true;  // ONE + ONE: a pixel covered twice shows twice the colour
        c.srcBlend = c.destBlend = D3DBLEND_ONE;
        return c;
    }

    static ScreenVertex V(float x, float y, float red, float u = 0.0f, float rhw = 1.0f) {
        ScreenVertex v{};
        v.x = x, v.y = y, v.z = 0.5f, v.rhw = rhw;
        v.color[0] = red, v.color[1] = 40, v.color[2] = 0, v.color[3] = 255;
        v.tex[0][0] = u;
        return v;
    }

    // Draws the pair both ways and compares every pixel; `merged`: the queue keeps one primitive (a
    // rectangle, or a pair known to cover one).
    void ExpectSame(const ScreenVertex (&t)[6], bool merged, bool sourceAlpha = false) {
        PixelConfig q = Additive(m_queued), d = Additive(m_direct);
        if (sourceAlpha) {
            q.srcBlend = d.srcBlend = D3DBLEND_SRCALPHA;
            q.destBlend = d.destBlend = D3DBLEND_INVSRCALPHA;
        }
        DrawQueue queue;
        queue.BeginDraw(q);
        queue.Triangle(t[0], t[1], t[2], t[0]);
        queue.Triangle(t[3], t[4], t[5], t[3]);
        EXPECT_EQ(queue.Pending(), merged ? 1u : 2u);
        queue.Flush(WorkerPool::Shared());
        Rasterizer direct;
        direct.Begin(d);
        direct.Triangle(t[0], t[1], t[2], t[0]);
        direct.Triangle(t[3], t[4], t[5], t[3]);
        for (int i = 0; i < kSize * kSize; ++i)
            ASSERT_EQ(m_queued[size_t(i)], m_direct[size_t(i)]) << "pixel " << i % kSize << "," << i / kSize;
    }

    std::vector<uint32_t> m_queued, m_direct;
};

TEST_F(QuadPairTest, RectanglesCoverWhatTheirTwoTrianglesCover) {
    // Sprite-like quads at fractional, half-pixel and whole-pixel edges, both diagonals.
    const float edges[][4] = {{3.2f, 4.7f, 20.9f, 17.1f},
                              {9.5f, 0.5f, 25.5f, 33.5f},
                              {-6, -3, 12, 9},
                              {30, 30, 60, 44},
                              {2.5f, 40.25f, 46.75f, 41.0f}};
    for (const auto& e : edges) {
        float l = e[0], t = e[1], r = e[2], b = e[3];
        ScreenVertex tl = V(l, t, 30), tr = V(r, t, 30), br = V(r, b, 30), bl = V(l, b, 30);
        const ScreenVertex fan[6] = {tl, tr, br, tl, br, bl};
        ExpectSame(fan, true);
        const ScreenVertex other[6] = {tr, br, bl, tr, bl, tl};
        ExpectSame(other, true);
    }
    // The colour really landed, once per pass over (30, 30)-(60, 44): two passes.
    EXPECT_EQ(m_queued[size_t(35 * kSize + 35)], 0xFF000000u + 2 * ((30u << 16) | (40u << 8)));
    // A rectangle from 40.25 to 41.0 covers no row at all (pixel centres at integers).
    EXPECT_EQ(m_queued[size_t(40 * kSize + 20)], 0xFF000000u);
    // Half-transparent, through the four-pixel loops (additive blending takes the scalar ones).
    ScreenVertex a = V(1.5f, 2.5f, 90), b = V(44.5f, 2.5f, 90), c = V(44.5f, 29.5f, 90),
                 e = V(1.5f, 29.5f, 90);
    for (ScreenVertex* p : {&a, &b, &c, &e}) p->color[3] = 128;
    const ScreenVertex glass[6] = {a, b, c, a, c, e};
    ExpectSame(glass, true, true);
}

TEST_F(QuadPairTest, PairsThatAreNotOneRectangleStayTriangles) {
    ScreenVertex tl = V(4, 4, 20), tr = V(40, 4, 20), br = V(40, 40, 20), bl = V(4, 40, 20);
    // Sharing an edge, not the diagonal: the two overlap, and the overlap is drawn twice.
    const ScreenVertex overlapping[6] = {tl, tr, br, tr, br, bl};
    ExpectSame(overlapping, false);
    // Values that are not one plane (a colour only at one corner): still one primitive, the two
    // triangles as they are. Values that need perspective: two.
    ScreenVertex hot = V(40, 40, 200, 0.0f);
    const ScreenVertex curved[6] = {tl, tr, hot, tl, hot, bl};
    ExpectSame(curved, true);
    ScreenVertex far = V(40, 40, 20, 1.0f, 0.25f);
    const ScreenVertex perspective[6] = {tl, tr, far, tl, far, bl};
    ExpectSame(perspective, false);
    // Not axis-aligned.
    const ScreenVertex slanted[6] = {V(4, 4, 20), V(40, 6, 20),  V(40, 40, 20),
                                     V(4, 4, 20), V(40, 40, 20), V(4, 40, 20)};
    ExpectSame(slanted, false);
}

// A clear followed by a background over it (a page's four-colour gradient): the clear's colour must
// show exactly where the background does not replace it, whether or not the queue fills it first.
class ClearUnderBackgroundTest : public QuadPairTest {
  protected:
    // Clears to red, draws the two triangles of `corners` (tl, tr, br, bl) with `c`'s states over
    // it through the queue and directly, and compares every pixel.
    void ExpectSame(const ScreenVertex (&corners)[4], PixelConfig c) {
        std::fill(m_queued.begin(), m_queued.end(), 0xFF000000u);
        std::fill(m_direct.begin(), m_direct.end(), 0xFFFF0000u);
        c.color = ColorTarget{m_queued.data(), kSize, kSize, kSize};
        DrawQueue queue;
        queue.SetParallelThreshold(0);  // bands on every thread
        const RECT all{0, 0, kSize, kSize};
        queue.Clear(&c.color, 0xFFFF0000u, nullptr, 1.0f, all);
        queue.BeginDraw(c);
        const ScreenVertex& tl = corners[0];
        const ScreenVertex& tr = corners[1];
        const ScreenVertex& br = corners[2];
        const ScreenVertex& bl = corners[3];
        queue.Triangle(tl, tr, br, tl);
        queue.Triangle(tl, br, bl, tl);
        queue.Flush(WorkerPool::Shared());
        c.color.pixels = m_direct.data();
        Rasterizer direct;
        direct.Begin(c);
        direct.Triangle(tl, tr, br, tl);
        direct.Triangle(tl, br, bl, tl);
        for (int i = 0; i < kSize * kSize; ++i)
            ASSERT_EQ(m_queued[size_t(i)], m_direct[size_t(i)]) << "pixel " << i % kSize << "," << i / kSize;
    }

    PixelConfig Page() {
        PixelConfig c;
        c.clip = RECT{0, 0, kSize, kSize};
        c.cullMode = D3DCULL_NONE;
        c.blend = true;
        c.srcBlend = D3DBLEND_SRCALPHA;
        c.destBlend = D3DBLEND_INVSRCALPHA;
        return c;
    }

    // A gradient whose corners are not one plane, over [l, r) x [t, b).
    static void Gradient(float l, float t, float r, float b, ScreenVertex (&out)[4]) {
        out[0] = V(l, t, 98), out[1] = V(r, t, 54), out[2] = V(r, b, 10), out[3] = V(l, b, 54);
        out[0].color[2] = 206, out[1].color[2] = 192, out[2].color[2] = 179, out[3].color[2] = 192;
    }
};

TEST_F(ClearUnderBackgroundTest, TheClearShowsWhereverTheBackgroundDoesNotReplaceIt) {
    ScreenVertex g[4];
    // Over the whole target, opaque: no red anywhere.
    Gradient(0, 0, float(kSize), float(kSize), g);
    ASSERT_NO_FATAL_FAILURE(ExpectSame(g, Page()));
    EXPECT_EQ(m_queued[0] & 0xFF0000u, 98u << 16);
    EXPECT_EQ(std::count(m_queued.begin(), m_queued.end(), 0xFFFF0000u), 0);
    // Half a pixel in on every side: pixel centres lie at integers, so the first row and column stay
    // red and the last ones are drawn.
    Gradient(0.5f, 0.5f, kSize - 0.5f, kSize - 0.5f, g);
    ASSERT_NO_FATAL_FAILURE(ExpectSame(g, Page()));
    EXPECT_EQ(m_queued[size_t(kSize - 1)], 0xFFFF0000u);
    EXPECT_EQ(m_queued[size_t(kSize * (kSize - 1))], 0xFFFF0000u);
    EXPECT_NE(m_queued[size_t(kSize * kSize - 1)], 0xFFFF0000u);
    // One corner's alpha below 255: the red shows through, mixed.
    Gradient(0, 0, float(kSize), float(kSize), g);
    g[2].color[3] = 254;
    ASSERT_NO_FATAL_FAILURE(ExpectSame(g, Page()));
    // Drawing only part of the target (a smaller clip), or only some pixels (a depth or alpha test,
    // a write mask), leaves red elsewhere.
    g[2].color[3] = 255;
    PixelConfig clipped = Page();
    clipped.clip = RECT{3, 5, kSize - 7, kSize - 2};
    ASSERT_NO_FATAL_FAILURE(ExpectSame(g, clipped));
    EXPECT_EQ(m_queued[size_t(kSize + 1)], 0xFFFF0000u);
    PixelConfig masked = Page();
    masked.writeMask = 0xFF00FF00u;
    ASSERT_NO_FATAL_FAILURE(ExpectSame(g, masked));
    EXPECT_EQ(m_queued[0] & 0xFF0000u, 0xFF0000u);
    PixelConfig tested = Page();
    tested.alphaTest = true;
    tested.alphaFunc = D3DCMP_LESS;
    tested.alphaRef = 200;
    ASSERT_NO_FATAL_FAILURE(ExpectSame(g, tested));
    EXPECT_EQ(m_queued[0], 0xFFFF0000u);
    // Adding over the clear reads it.
    PixelConfig additive = Page();
    additive.srcBlend = additive.destBlend = D3DBLEND_ONE;
    ASSERT_NO_FATAL_FAILURE(ExpectSame(g, additive));
    EXPECT_EQ(m_queued[0] & 0xFF0000u, 0xFF0000u);
}

// A draw samples texture T; later queued work draws into T. Every band of
// the first draw must still see T as it was when the draw was issued.
TEST(DrawQueueTest, LaterDrawingIntoASampledTextureDoesNotReachEarlierDraws) {
    constexpr int kSize = 96;
    std::vector<uint32_t> target(kSize * kSize, 0), texels(8 * 8, 0xFFFF0000);
    ImageLevel level{texels.data(), 8, 8, 8};
    PixelConfig sample;
    sample.color = ColorTarget{target.data(), kSize, kSize, kSize};
    sample.clip = RECT{0, 0, kSize, kSize};
    sample.cullMode = D3DCULL_NONE;
    sample.stageCount = 1;
    sample.stages[0].colorOp = D3DTOP_SELECTARG1;
    sample.stages[0].sampler = 0;
    sample.samplers[0].levels = &level;
    sample.samplers[0].levelCount = 1;
    sample.colorUsesTexture = true;
    sample.colorUsesDiffuse = false;
    PixelConfig intoTexture;
    intoTexture.color = ColorTarget{texels.data(), 8, 8, 8};
    intoTexture.clip = RECT{0, 0, 8, 8};
    intoTexture.cullMode = D3DCULL_NONE;

    auto corner = [](float x, float y, float u, float v) {
        ScreenVertex s{};
        s.x = x, s.y = y, s.rhw = 1.0f;
        s.color[0] = s.color[1] = s.color[2] = s.color[3] = 255;
        s.tex[0][0] = u, s.tex[0][1] = v;
        return s;
    };
    for (int pass = 0; pass < 2; ++pass) {  // the texture changed by a clear, then by a draw
        std::fill(texels.begin(), texels.end(), 0xFFFF0000);
        DrawQueue q;
        q.SetParallelThreshold(0);
        q.BeginDraw(sample);
        ScreenVertex a = corner(-0.5f, -0.5f, 0, 0), b = corner(kSize - 0.5f, -0.5f, 1, 0),
                     c = corner(kSize - 0.5f, kSize - 0.5f, 1, 1), d = corner(-0.5f, kSize - 0.5f, 0, 1);
        q.Triangle(a, b, c, a);
        q.Triangle(a, c, d, a);
        if (pass == 0) {
            q.Clear(&intoTexture.color, 0xFF00FF00, nullptr, 0.0f, RECT{0, 0, 8, 8});
        } else {
            q.BeginDraw(intoTexture);
            ScreenVertex g = corner(-0.5f, -0.5f, 0, 0), h = corner(7.5f, -0.5f, 0, 0),
                         k = corner(7.5f, 7.5f, 0, 0);
            for (ScreenVertex* p : {&g, &h, &k}) p->color[0] = p->color[2] = 0;
            q.Triangle(g, h, k, g);
        }
        WorkerPool three(3);
        q.Flush(three);
        for (int i = 0; i < kSize * kSize; ++i)
            ASSERT_EQ(target[size_t(i)], 0xFFFF0000u)
                << "pass " << pass << " pixel " << i % kSize << "," << i / kSize;
        EXPECT_EQ(texels[0], 0xFF00FF00u) << "the later drawing into the texture happened too";
    }
}

TEST(WorkerPoolTest, EveryTaskOfEveryJobRunsExactlyOnce) {
    WorkerPool pool(3);
    struct Job {
        std::vector<std::atomic<int>> runs;
        explicit Job(int n) : runs(size_t(n)) {}
    };
    for (int round = 0; round < 300; ++round) {
        int tasks = 1 + round % 13;
        Job job(tasks);
        pool.Run(
            tasks, [](void* ctx, int t) { static_cast<Job*>(ctx)->runs[size_t(t)].fetch_add(1); }, &job);
        for (int t = 0; t < tasks; ++t)
            ASSERT_EQ(job.runs[size_t(t)].load(), 1) << "round " << round << " task " << t;
    }
}

}  // namespace
}  // namespace tumbral_test
