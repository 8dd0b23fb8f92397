// Keeping unchanged bands: a queue that keeps bands whose work repeats gives,
// frame after frame, exactly the pixels and depths of a queue that draws
// everything, through still frames, moved primitives, changed textures,
// frames that build on the previous one and textures drawn and then sampled;
// the rows it reports as changed hold every pixel that changed.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/d3d9/pipeline/draw_queue.h"
#include "platform/d3d9/pipeline/worker_pool.h"

namespace tumbral_test {
namespace {

using namespace plat::d3d9;

constexpr int kW = 150, kH = 200, kTex = 16;

// What one frame of the scripted run draws.
struct FrameSpec {
    float shift = 0;             // moves the last triangle down by this many rows
    uint32_t texel = 0;          // the texture's colour (changed between frames: "locked and written")
    bool clear = true;           // false: the frame blends over the previous one
    bool renderTexture = false;  // the texture is drawn first (its colour from `texel`) and then sampled
};

// One target, its depth, a texture, and a queue; `reuse` chooses the mode.
class Scene {
  public:
    explicit Scene(bool reuse)
        : m_color(kW * kH, 0xFF000000u), m_depth(kW * kH, 1.0f), m_texels(kTex * kTex) {
        m_queue.SetReuse(reuse);
        m_queue.SetParallelThreshold(0);
        m_level = ImageLevel{m_texels.data(), kTex, kTex, kTex};
    }

    void Frame(const FrameSpec& f, WorkerPool& pool) {
        if (f.texel != m_texel) {
            // Texels written outside the queue: the device tells the queue, as a lock does.
            m_queue.Flush(pool);
            m_queue.ForgetDrawn();
            std::fill(m_texels.begin(), m_texels.end(), f.texel);
            m_texel = f.texel;
        }
        if (f.renderTexture) {
            ColorTarget tex{m_texels.data(), kTex, kTex, kTex};
            m_queue.Clear(&tex, 0xFF000000u | (f.texel ^ 0x00FFFFFF), nullptr, 1.0f,
                          RECT{0, 0, kTex, kTex / 2});
            m_queue.Flush(pool);
        }
        ColorTarget ct{m_color.data(), kW, kH, kW};
        DepthTarget dt{m_depth.data(), kW, kH, kW};
        if (f.clear) m_queue.Clear(&ct, 0xFF203040u, &dt, 1.0f, RECT{0, 0, kW, kH});

        PixelConfig solid = Base();
        solid.depthTest = solid.depthWrite = true;
        m_queue.BeginDraw(solid);
        m_queue.Triangle(V(10, 10, 0.5f), V(140, 30, 0.2f), V(60, 120, 0.9f), V(0, 0, 0));
        m_queue.Triangle(V(20, 150, 0.4f), V(130, 140, 0.4f), V(70, 190, 0.4f), V(0, 0, 0));

        PixelConfig textured = Base();
        textured.blend = true;
        textured.srcBlend = D3DBLEND_SRCALPHA;
        textured.destBlend = D3DBLEND_INVSRCALPHA;
        textured.stageCount = 1;
        textured.stages[0].colorOp = textured.stages[0].alphaOp = D3DTOP_MODULATE;
        textured.stages[0].sampler = 0;
        textured.samplers[0].levels = &m_level;
        textured.samplers[0].levelCount = 1;
        textured.colorUsesTexture = textured.alphaUsesTexture = true;
        m_queue.BeginDraw(textured);
        m_queue.Triangle(V(5, 40 + f.shift, 0.3f, 128), V(145, 60 + f.shift, 0.3f, 128),
                         V(75, 80 + f.shift, 0.3f, 128), V(0, 0, 0));
        m_queue.Flush(pool);  // end of scene
    }

    std::vector<uint32_t> m_color;
    std::vector<float> m_depth;
    DrawQueue m_queue;

  private:
    PixelConfig Base() {
        PixelConfig c;
        c.color = ColorTarget{m_color.data(), kW, kH, kW};
        c.depth = DepthTarget{m_depth.data(), kW, kH, kW};
        c.clip = RECT{0, 0, kW, kH};
        c.cullMode = D3DCULL_NONE;
        return c;
    }
    static ScreenVertex V(float x, float y, float z, float alpha = 255) {
        ScreenVertex v{};
        v.x = x, v.y = y, v.z = z, v.rhw = 1.0f;
        v.color[0] = x, v.color[1] = y, v.color[2] = 200, v.color[3] = alpha;
        v.tex[0][0] = x / kW, v.tex[0][1] = y / kH;
        return v;
    }

    std::vector<uint32_t> m_texels;
    ImageLevel m_level;
    uint32_t m_texel = ~0u;
};

TEST(DrawReuseTest, KeptBandsGiveThePixelsOfDrawingEverythingAndReportEveryChangedRow) {
    const FrameSpec frames[] = {
        {0, 0xFF808080u, true, false},    // 0 first frame: nothing known
        {0, 0xFF808080u, true, false},    // 1 still: every band kept
        {0, 0xFF808080u, true, false},    // 2 still again
        {30, 0xFF808080u, true, false},   // 3 one triangle moves: its old and new bands drawn
        {30, 0xFF808080u, true, false},   // 4 still
        {30, 0xFF2060A0u, true, false},   // 5 the texture changes: drawn again
        {30, 0xFF2060A0u, true, false},   // 6 still
        {30, 0xFF2060A0u, false, false},  // 7 no clear: blended over the last frame
        {30, 0xFF2060A0u, false, false},  // 8 ... and again: the result differs once more
        {30, 0xFF2060A0u, true, true},    // 9 the texture is drawn, then sampled
        {30, 0xFF2060A0u, true, true},    // 10 drawn and sampled again
        {30, 0xFF2060A0u, true, false},   // 11 sampled, not drawn
        {30, 0xFF2060A0u, true, false},   // 12 still
    };
    for (int threads : {1, 3}) {
        SCOPED_TRACE(threads);
        WorkerPool pool(threads);
        Scene kept(true), all(false);
        std::vector<uint32_t> before = kept.m_color;
        std::vector<int> keptBands;
        for (size_t f = 0; f < std::size(frames); ++f) {
            SCOPED_TRACE("frame " + std::to_string(f));
            std::vector<std::pair<int, int>> rows;
            kept.m_queue.TakeChangedRows(kept.m_color.data(), rows);  // the present before this frame
            kept.Frame(frames[f], pool);
            all.Frame(frames[f], pool);
            keptBands.push_back(kept.m_queue.LastKeptBands());
            ASSERT_EQ(kept.m_color, all.m_color);
            ASSERT_EQ(kept.m_depth, all.m_depth);
            // Rows known to have changed since the last present cover every changed pixel.
            if (kept.m_queue.TakeChangedRows(kept.m_color.data(), rows)) {
                for (int y = 0; y < kH; ++y) {
                    bool listed = false;
                    for (auto [top, bottom] : rows) listed |= y >= top && y < bottom;
                    if (listed) continue;
                    for (int x = 0; x < kW; ++x)
                        ASSERT_EQ(kept.m_color[size_t(y) * kW + x], before[size_t(y) * kW + x])
                            << x << "," << y;
                }
            }
            before = kept.m_color;
        }
        // Bands were really kept in still frames and drawn where work changed.
        EXPECT_EQ(keptBands[0], 0);
        EXPECT_GT(keptBands[1], 0);
        EXPECT_EQ(kept.m_queue.LastDrawnBands(), 0);  // the last frame repeats the one before
        EXPECT_EQ(keptBands[5], 0);                   // new texels: nothing kept
        EXPECT_EQ(keptBands[8], 0);                   // no clear: the band's result depends on its pixels
        EXPECT_EQ(keptBands[10], 0);                  // samples a texture the queue drew since frame 9
        EXPECT_GT(keptBands[11], 0);                  // ... which it did not draw again
        EXPECT_GT(keptBands[12], 0);
    }
}

TEST(DrawReuseTest, StillFramesReportNoChangedRowsAndForgettingReportsAll) {
    WorkerPool pool(2);
    Scene s(true);
    std::vector<std::pair<int, int>> rows;
    const FrameSpec still{0, 0xFF808080u, true, false};
    s.Frame(still, pool);
    EXPECT_FALSE(s.m_queue.TakeChangedRows(s.m_color.data(), rows));  // first present: all of it
    s.Frame(still, pool);
    ASSERT_TRUE(s.m_queue.TakeChangedRows(s.m_color.data(), rows));
    EXPECT_TRUE(rows.empty());
    FrameSpec moved = still;
    moved.shift = 100;  // the band of rows 40..80 and the one of 140..180
    s.Frame(moved, pool);
    ASSERT_TRUE(s.m_queue.TakeChangedRows(s.m_color.data(), rows));
    ASSERT_FALSE(rows.empty());
    EXPECT_LE(rows.front().first, 40);
    EXPECT_GE(rows.back().second, 180);
    int listed = 0;
    for (auto [top, bottom] : rows) listed += bottom - top;
    EXPECT_LT(listed, kH);
    s.m_queue.ForgetDrawn();  // a lock of the target, for example
    EXPECT_FALSE(s.m_queue.TakeChangedRows(s.m_color.data(), rows));
    // Another target's rows are not this one's.
    uint32_t other = 0;
    EXPECT_FALSE(s.m_queue.TakeChangedRows(&other, rows));
}

// What one flush of the second scene records: a triangle, a flat-shaded triangle and a textured one
// into the main target, each changed on its own between flushes.
struct Work {
    float thirdX = 120;        // the plain triangle's third vertex (its rows do not change)
    float flatRed = 40;        // red of the flat-shaded triangle's colour vertex
    uint32_t writeMask = ~0u;  // of the textured triangle's configuration
    bool otherTexels = false;  // the textured triangle samples the second texture (same size)
    bool otherTarget = false;  // the flush also clears a second colour target
    bool onlyOther = false;    // the flush only clears the second target (another colour)
};

class ChangingScene {
  public:
    explicit ChangingScene(bool reuse) : m_color(kW * kH), m_other(kTex * kTex), m_texels{{}, {}} {
        m_queue.SetReuse(reuse);
        m_queue.SetParallelThreshold(0);
        for (int t = 0; t < 2; ++t) {
            m_texels[t].assign(kTex * kTex, t ? 0xFF20C040u : 0xFFC02040u);
            m_levels[t] = ImageLevel{m_texels[t].data(), kTex, kTex, kTex};
        }
        // Set up once and changed field by field, as the device keeps its configuration: the queue
        // compares configurations byte by byte, padding included.
        for (PixelConfig* c : {&m_plain, &m_flat, &m_textured}) {
            c->color = ColorTarget{m_color.data(), kW, kH, kW};
            c->clip = RECT{0, 0, kW, kH};
            c->cullMode = D3DCULL_NONE;
        }
        m_flat.flatShading = true;
        m_textured.stageCount = 1;
        m_textured.stages[0].colorOp = m_textured.stages[0].alphaOp = D3DTOP_MODULATE;
        m_textured.stages[0].sampler = 0;
        m_textured.samplers[0].levelCount = 1;
        m_textured.colorUsesTexture = m_textured.alphaUsesTexture = true;
    }

    void Flush(const Work& w, WorkerPool& pool) {
        ColorTarget other{m_other.data(), kTex, kTex, kTex};
        if (w.onlyOther) {
            m_queue.Clear(&other, 0xFF0000FFu, nullptr, 1.0f, RECT{0, 0, kTex, kTex});
            return m_queue.Flush(pool);
        }
        ColorTarget ct{m_color.data(), kW, kH, kW};
        m_queue.Clear(&ct, 0xFF203040u, nullptr, 1.0f, RECT{0, 0, kW, kH});
        if (w.otherTarget) m_queue.Clear(&other, 0xFFFFFF00u, nullptr, 1.0f, RECT{0, 0, kTex, kTex});
        m_queue.BeginDraw(m_plain);
        m_queue.Triangle(V(10, 10, 0), V(140, 20, 0), V(w.thirdX, 60, 0), V(0, 0, 0));
        m_queue.BeginDraw(m_flat);
        m_queue.Triangle(V(10, 80, 0), V(140, 90, 0), V(60, 120, 0), V(0, 0, w.flatRed));
        m_textured.writeMask = w.writeMask;
        m_textured.samplers[0].levels = &m_levels[w.otherTexels ? 1 : 0];
        m_queue.BeginDraw(m_textured);
        m_queue.Triangle(V(5, 140, 0), V(145, 150, 0), V(75, 190, 0), V(0, 0, 0));
        m_queue.Flush(pool);
    }

    std::vector<uint32_t> m_color, m_other;
    DrawQueue m_queue;

  private:
    static ScreenVertex V(float x, float y, float red) {
        ScreenVertex v{};
        v.x = x, v.y = y, v.z = 0.5f, v.rhw = 1.0f;
        v.color[0] = red, v.color[1] = y, v.color[2] = 200, v.color[3] = 255;
        v.tex[0][0] = x / kW, v.tex[0][1] = y / kH;
        return v;
    }

    std::vector<uint32_t> m_texels[2];
    ImageLevel m_levels[2];
    PixelConfig m_plain, m_flat, m_textured;
};

// Work that differs from the kept work only where a band comparison could overlook it (a vertex
// after the first, the colour vertex of flat shading, the configuration, the texture's texels) is
// drawn again; work into two colour targets in one flush keeps nothing, so a flush into one of
// them alone in between cannot leave its pixels stale.
TEST(DrawReuseTest, EveryChangeOfTheWorkIsDrawnAgain) {
    // Each change adds to the ones before, so that it is the only difference from the flush before.
    Work moved;
    moved.thirdX = 100;
    Work flat = moved;
    flat.flatRed = 90;
    Work masked = flat;
    masked.writeMask = 0xFF00FF00u;
    Work texels = masked;
    texels.otherTexels = true;
    Work twoTargets = texels;
    twoTargets.otherTarget = true;
    Work onlyOther;
    onlyOther.onlyOther = true;
    const std::pair<Work, const char*> flushes[] = {{Work{}, "first"},
                                                    {Work{}, "still"},
                                                    {moved, "third vertex"},
                                                    {moved, "still"},
                                                    {flat, "flat colour"},
                                                    {flat, "still"},
                                                    {masked, "write mask"},
                                                    {masked, "still"},
                                                    {texels, "texels"},
                                                    {texels, "still"},
                                                    {twoTargets, "two targets"},
                                                    {onlyOther, "other target"},
                                                    {twoTargets, "two targets again"}};
    WorkerPool pool(1);
    ChangingScene kept(true), all(false);
    for (const auto& [work, what] : flushes) {
        SCOPED_TRACE(what);
        kept.Flush(work, pool);
        all.Flush(work, pool);
        ASSERT_EQ(kept.m_color, all.m_color);
        ASSERT_EQ(kept.m_other, all.m_other);
        // A repeat keeps bands (so the changes above were really compared); two targets keep none.
        if (std::string(what) == "still") {
            EXPECT_GT(kept.m_queue.LastKeptBands(), 0);
        }
        if (work.otherTarget) {
            EXPECT_EQ(kept.m_queue.LastKeptBands(), 0);
        }
    }
}

}  // namespace
}  // namespace tumbral_test
