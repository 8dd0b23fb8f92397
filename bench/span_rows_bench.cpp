// The span loops on their own: rows of one primitive shaded straight into a
// 512 x 64 target, for the state combinations a frame of Tumbral uses (lit
// cube faces, a gradient background, stretched and unscaled GUI sprites,
// glyph rows) and a few around them. No draw queue, threads or set-up: the
// time is the row loops' alone.
//
// Each case runs a fixed number of iterations, so instruction counts under
// callgrind are repeatable and comparable between builds:
//   valgrind --tool=callgrind span_rows_bench --benchmark_filter=<case>
// For times, report medians:
//   span_rows_bench --benchmark_repetitions=9 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "platform/d3d9/pipeline/pixel_processing.h"
#include "platform/d3d9/pipeline/span_shading.h"
#include "platform/d3d9/pipeline/span_vector.h"

namespace {

using namespace plat::d3d9;

constexpr int kWidth = 512, kHeight = 64, kTexSize = 64;

// What one case draws.
struct Case {
    int mode;  // span::CombineMode
    bool persp, depth, blend;
    DWORD address;  // stage 0's addressing
    bool linear;    // bilinear sampling
    bool flat;      // one colour along each row
    bool rect;      // rows of a point-clamped screen rectangle (span::PrepareRectRows)
};

class SpanRows {
  public:
    explicit SpanRows(const Case& k)
        : m_case(k), m_color(kWidth * kHeight), m_depth(kWidth * kHeight), m_texels(kTexSize * kTexSize) {
        for (size_t i = 0; i < m_texels.size(); ++i)
            m_texels[i] = (uint32_t(i * 2654435761u) & 0x00FFFFFFu) | (uint32_t(i * 7) & 0xFF) << 24;
        m_level = ImageLevel{m_texels.data(), kTexSize, kTexSize, kTexSize};
        m_config = Config();
        m_planes = Planes();
        Reset();
    }

    // Fills the targets as a cleared frame: colour, and depths the primitive partly passes. (Drawing
    // again writes the same depths, so later passes see the same test results.)
    void Reset() {
        for (size_t i = 0; i < m_color.size(); ++i) {
            m_color[i] = 0xFF2D3C5Au;
            m_depth[i] = 0.3f + 0.4f * float(i % 97) / 97.0f;
        }
    }

    // Shades every row of the target once; false when the case has no four-pixel loop.
    bool Draw() {
        SpanSetup setup;
        if (m_case.rect) {
            // Rectangles as wide as the column table, side by side.
            for (int x = 0; x < kWidth; x += SpanSetup::kRectColumns) {
                const int end = x + SpanSetup::kRectColumns;
                const SpanFn fn = span::PrepareRectRows(m_config, m_planes, setup, x, end, 0);
                if (!fn) return false;
                for (int y = 0; y < kHeight; ++y) fn(setup, y, x, end);
            }
            return true;
        }
        SpanFunctions functions;
        if (!span::ChooseVectorSpans(m_config, m_case.mode, m_case.depth, functions)) return false;
        const SpanFn fn = functions.Prepare(m_config, m_planes, setup);
        for (int y = 0; y < kHeight; ++y) fn(setup, y, 1, kWidth - 2);  // ragged ends: partial groups
        return true;
    }

  private:
    PixelConfig Config() {
        PixelConfig c;
        c.colorUsesTexture = c.alphaUsesTexture = m_case.mode != span::kDiffuse;
        c.colorUsesDiffuse = true;
        c.alphaUsesDiffuse = m_case.mode != span::kModulateTexA;
        c.clip = RECT{0, 0, kWidth, kHeight};
        c.blend = m_case.blend;
        c.srcBlend = D3DBLEND_SRCALPHA;
        c.destBlend = D3DBLEND_INVSRCALPHA;
        c.depthTest = c.depthWrite = m_case.depth;
        c.depthFunc = D3DCMP_LESSEQUAL;
        c.samplers[0].levels = &m_level;
        c.samplers[0].levelCount = 1;
        c.samplers[0].addressU = c.samplers[0].addressV = m_case.address;
        c.simpleCombiner = true;
        c.color = ColorTarget{m_color.data(), kWidth, kHeight, kWidth};
        c.depth = DepthTarget{m_depth.data(), kWidth, kHeight, kWidth};
        return c;
    }

    // Depth crosses the stored values; the texture is stretched over the target and stays inside
    // its edges (as on a cube face or a sprite; with perspective, rhw grows along x, so u and v only
    // shrink); colours vary along rows unless flat.
    Gradients Planes() {
        Gradients g;
        g.perspective = m_case.persp;
        g.base[kZ] = 0.2f, g.ddx[kZ] = 0.0012f, g.ddy[kZ] = 0.002f;
        g.base[kRhw] = 1.0f;
        if (m_case.persp) g.base[kRhw] = 0.5f, g.ddx[kRhw] = 0.0009f;
        const float rhw = g.base[kRhw];
        g.base[kU0] = 0.01f * rhw, g.ddx[kU0] = 0.95f / kWidth * rhw;
        g.base[kV0] = 0.02f * rhw, g.ddy[kV0] = 0.95f / kHeight * rhw;
        if (!m_case.rect) g.ddx[kV0] = 0.02f / kWidth * rhw;  // a rectangle's v follows y alone
        const float start[4] = {40.0f, 200.0f, 120.0f, 230.0f};
        for (int k = 0; k < 4; ++k) {
            g.base[kB + k] = start[k];
            g.ddx[kB + k] = m_case.flat ? 0.0f : 0.2f;
            g.ddy[kB + k] = 0.5f;
        }
        g.constantColor = ColorConstantAlongX(g);
        g.sampling[0].level = &m_level;
        g.sampling[0].linear = m_case.linear;
        return g;
    }

    Case m_case;
    std::vector<uint32_t> m_color;
    std::vector<float> m_depth;
    std::vector<uint32_t> m_texels;
    ImageLevel m_level{};
    PixelConfig m_config;
    Gradients m_planes;
};

void BM_SpanRows(benchmark::State& state, Case k) {
    SpanRows rows(k);
    for (auto _ : state)
        if (!rows.Draw()) return state.SkipWithError("no four-pixel loop for this case");
    state.SetItemsProcessed(int64_t(state.iterations()) * kWidth * kHeight);
}

constexpr int kIterations = 300;
constexpr DWORD kWrap = D3DTADDRESS_WRAP, kClamp = D3DTADDRESS_CLAMP;

// mode, persp, depth, blend, address, linear, flat, rect
BENCHMARK_CAPTURE(BM_SpanRows, cube_face,
                  Case{span::kModulateTexA, true, true, false, kWrap, false, true, false})
    ->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_SpanRows, cube_face_gouraud,
                  Case{span::kModulateTexA, true, true, false, kWrap, false, false, false})
    ->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_SpanRows, cube_face_bilinear,
                  Case{span::kModulateTexA, true, true, false, kWrap, true, true, false})
    ->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_SpanRows, gradient,
                  Case{span::kDiffuse, false, false, false, kWrap, false, false, false})
    ->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_SpanRows, gradient_blended,
                  Case{span::kDiffuse, false, false, true, kWrap, false, false, false})
    ->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_SpanRows, sprite_stretched,
                  Case{span::kModulate, false, false, true, kClamp, true, true, false})
    ->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_SpanRows, sprite_stretched_depth,
                  Case{span::kModulate, false, true, true, kWrap, true, false, false})
    ->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_SpanRows, sprite_clamped,
                  Case{span::kModulate, false, false, true, kClamp, false, true, false})
    ->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_SpanRows, glyph_rows,
                  Case{span::kModulate, false, false, true, kClamp, false, true, true})
    ->Iterations(kIterations);
BENCHMARK_CAPTURE(BM_SpanRows, textured_blended_depth,
                  Case{span::kModulate, true, true, true, kWrap, false, false, false})
    ->Iterations(kIterations);

}  // namespace

BENCHMARK_MAIN();
