// Deferred, banded drawing: drawing the queue in bands on several threads
// gives exactly the pixels and depths of drawing it on one, and the worker
// pool runs every task of every job exactly once.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/d3d9/draw_queue.h"
#include "platform/d3d9/worker_pool.h"

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
            case 0: q.Line(v[0], v[1], true); break;
            case 1: q.Point(v[2]); break;
            case 2: {
                RECT r{LONG(next() % kWidth), LONG(next() % kHeight), 0, 0};
                r.right = std::min<LONG>(kWidth, r.left + 1 + LONG(next() % 60));
                r.bottom = std::min<LONG>(kHeight, r.top + 1 + LONG(next() % 60));
                q.Clear(&ct, next() | 0xFF000000u, (next() & 1) ? &dt : nullptr, 0.5f, r);
                break;
            }
            default: q.Triangle(v[0], v[1], v[2], v[0]); break;
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
        ASSERT_EQ(one.m_color[i], many.m_color[i]) << "pixel " << i % Scene::kWidth << "," << i / Scene::kWidth;
        ASSERT_EQ(one.m_depth[i], many.m_depth[i]) << "depth " << i % Scene::kWidth << "," << i / Scene::kWidth;
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

TEST(WorkerPoolTest, EveryTaskOfEveryJobRunsExactlyOnce) {
    WorkerPool pool(3);
    struct Job {
        std::vector<std::atomic<int>> runs;
        explicit Job(int n) : runs(size_t(n)) {}
    };
    for (int round = 0; round < 300; ++round) {
        int tasks = 1 + round % 13;
        Job job(tasks);
        pool.Run(tasks, [](void* ctx, int t) { static_cast<Job*>(ctx)->runs[size_t(t)].fetch_add(1); }, &job);
        for (int t = 0; t < tasks; ++t) ASSERT_EQ(job.runs[size_t(t)].load(), 1) << "round " << round << " task " << t;
    }
}

}  // namespace
}  // namespace tumbral_test
