// Span loops on whole triangles: for many random triangles (planes from the
// setup stage, which also picks point or bilinear sampling from the filters)
// and random states the four-pixel loops take, every span of
// every row gives the same colours and depths as the scalar loops, bit for bit.
// Rows run to the target's right edge too, where partial groups work on copies.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "platform/d3d9/pipeline/span_shading.h"
#include "platform/d3d9/pipeline/span_vector.h"
#include "tests/platform/d3d9/target_bits.h"

namespace tumbral_test {
namespace {

using namespace plat::d3d9;
using namespace plat::d3d9::span;

constexpr int kWidth = 37, kHeight = 23;

class SpanTriangleTest : public ::testing::Test {
  protected:
    SpanTriangleTest() : m_random(20261207u) {
        // A 16 x 8 power-of-two texture (pitch 17) and a 12 x 6 one, with random texels.
        m_texels.resize(17 * 8 + 12 * 6);
        for (uint32_t& t : m_texels) t = m_random();
        m_levels[0] = ImageLevel{m_texels.data(), 16, 8, 17};
        m_levels[1] = ImageLevel{m_texels.data() + 17 * 8, 12, 6, 12};
    }

    float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(m_random); }
    int Pick(int n) { return int(m_random() % uint32_t(n)); }

    // A random configuration the four-pixel loops take in combine mode `mode`.
    PixelConfig RandomConfig(int mode) {
        PixelConfig c;
        c.clip = RECT{0, 0, kWidth, kHeight};
        c.depthTest = Pick(4) != 0;
        c.depthWrite = Pick(3) != 0;
        c.depthFunc = Pick(2) ? D3DCMP_LESSEQUAL : D3DCMP_LESS;
        c.alphaTest = Pick(2) != 0;
        c.alphaFunc = DWORD(D3DCMP_NEVER + Pick(8));
        c.alphaRef = uint32_t(Pick(256));
        c.blend = Pick(2) != 0;
        c.srcBlend = D3DBLEND_SRCALPHA;
        c.destBlend = D3DBLEND_INVSRCALPHA;
        c.writeMask = Pick(4) ? 0xFFFFFFFFu : m_random();
        c.colorUsesTexture = c.alphaUsesTexture = mode != kDiffuse;
        c.alphaUsesDiffuse = mode != kModulateTexA;
        if (mode != kDiffuse) {
            const int image = Pick(3) == 0 ? 1 : 0;  // the second is not a power of two: clamp only
            c.samplers[0].levels = &m_levels[image];
            c.samplers[0].levelCount = 1;
            c.samplers[0].addressU = c.samplers[0].addressV =
                image == 0 && Pick(2) ? D3DTADDRESS_WRAP : D3DTADDRESS_CLAMP;
            if (Pick(2)) {
                // Bilinear filtering, under any address mode.
                c.samplers[0].minFilter = c.samplers[0].magFilter = D3DTEXF_LINEAR;
                c.samplers[0].addressU = DWORD(D3DTADDRESS_WRAP + Pick(5));
                c.samplers[0].addressV = DWORD(D3DTADDRESS_WRAP + Pick(5));
                c.samplers[0].borderColor = m_random();
            }
        }
        return c;
    }

    ScreenVertex RandomVertex(bool persp, bool flatColor, const float color[4]) {
        ScreenVertex v{};
        v.x = Uniform(-8.0f, kWidth + 8.0f);
        v.y = Uniform(-8.0f, kHeight + 8.0f);
        v.z = Uniform(0.0f, 1.0f);
        v.rhw = persp ? Uniform(0.1f, 2.0f) : 1.0f;
        for (int k = 0; k < 4; ++k) v.color[k] = flatColor ? color[k] : Uniform(0.0f, 255.0f);
        const float range = Pick(6) == 0 ? 500.0f : 3.0f;  // far outside the image now and then
        v.tex[0][0] = Uniform(-range, range);
        v.tex[0][1] = Uniform(-range, range);
        return v;
    }

    // Colours then depth bits after shading rows [0, kHeight) of the triangle, each row's span
    // [x0, x1) chosen at random, with the four-pixel or the scalar loops.
    std::vector<uint32_t> Shade(bool fourPixel, int mode, PixelConfig c, const Gradients& g,
                                const std::vector<std::pair<int, int>>& spans) {
        std::vector<uint32_t> color(kWidth * kHeight);
        std::vector<float> depth(kWidth * kHeight);
        for (int i = 0; i < kWidth * kHeight; ++i) {
            color[size_t(i)] = uint32_t(i) * 2654435761u;
            depth[size_t(i)] = float(i % 29) / 29.0f;
        }
        c.color = ColorTarget{color.data(), kWidth, kHeight, kWidth};
        c.depth = DepthTarget{depth.data(), kWidth, kHeight, kWidth};
        SpanFunctions functions = ChooseScalarSpanFunctions(c);
        if (fourPixel) {
            EXPECT_TRUE(ChooseVectorSpans(c, mode, c.depthTest || c.depthWrite, functions));
        }
        SpanSetup setup;
        const SpanFn fn = functions.Prepare(c, g, setup);
        for (int y = 0; y < kHeight; ++y)
            if (spans[size_t(y)].first < spans[size_t(y)].second)
                fn(setup, y, spans[size_t(y)].first, spans[size_t(y)].second);
        return ColorsThenDepthBits(color, depth);
    }

    std::mt19937 m_random;
    std::vector<uint32_t> m_texels;
    ImageLevel m_levels[2];
};

TEST_F(SpanTriangleTest, RandomTrianglesAndStatesGiveTheScalarPixels) {
    int compared = 0;
    for (int n = 0; n < 3000; ++n) {
        const int mode = std::array<int, 3>{kDiffuse, kModulate, kModulateTexA}[size_t(Pick(3))];
        const PixelConfig c = RandomConfig(mode);
        const bool persp = Pick(2) != 0, flat = Pick(3) == 0;
        const float color[4] = {Uniform(0, 255), Uniform(0, 255), Uniform(0, 255), Uniform(0, 255)};
        const ScreenVertex a = RandomVertex(persp, flat, color), b = RandomVertex(persp, flat, color);
        const ScreenVertex v = RandomVertex(persp, flat, color);
        Gradients g;
        if (!SetupTriangle(a, b, v, c, a, g)) continue;
        std::vector<std::pair<int, int>> spans;
        for (int y = 0; y < kHeight; ++y) {
            const int x0 = Pick(kWidth), x1 = Pick(4) == 0 ? kWidth : std::min(kWidth, x0 + Pick(12));
            spans.emplace_back(x0, x1);
        }
        SCOPED_TRACE("triangle " + std::to_string(n) + " mode " + std::to_string(mode));
        ASSERT_EQ(Shade(true, mode, c, g, spans), Shade(false, mode, c, g, spans));
        ++compared;
    }
    EXPECT_GT(compared, 2900);
}

// Spans of one pixel past the last group, two, three: the lanes past the span
// leave the pixels and depths beside it as they were.
TEST_F(SpanTriangleTest, PartialGroupsLeaveNeighboursUntouched) {
    PixelConfig c = RandomConfig(kModulate);
    c.depthTest = c.depthWrite = true;
    c.alphaTest = c.blend = false;
    c.writeMask = 0xFFFFFFFFu;
    const float color[4] = {200, 100, 50, 255};
    ScreenVertex a = RandomVertex(false, true, color);
    a.z = 0.0f;  // passes every stored depth
    ScreenVertex b = a, v = a;
    b.x += 100.0f;
    v.y += 100.0f;
    Gradients g;
    ASSERT_TRUE(SetupTriangle(a, b, v, c, a, g));
    for (int length = 1; length <= 7; ++length) {
        std::vector<std::pair<int, int>> spans(kHeight, {0, 0});
        spans[3] = {5, 5 + length};
        const std::vector<std::pair<int, int>> none(kHeight, {0, 0});
        const std::vector<uint32_t> untouched = Shade(false, kModulate, c, g, none);
        const std::vector<uint32_t> shaded = Shade(true, kModulate, c, g, spans);
        for (size_t i = 0; i < untouched.size(); ++i) {
            const int pixel = int(i % size_t(kWidth * kHeight));
            const bool inside = pixel / kWidth == 3 && pixel % kWidth >= 5 && pixel % kWidth < 5 + length;
            if (!inside) {
                ASSERT_EQ(shaded[i], untouched[i]) << "length " << length << " value " << i;
            }
        }
    }
}

}  // namespace
}  // namespace tumbral_test
