// Span loops: the four-pixel span functions give exactly the pixels and
// depths of the scalar loop, for every state combination they take (wrap and
// clamp addressing, alpha tests, write masks, bilinear filtering), on spans of
// every length and alignment, so partial last groups are covered.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d9/pipeline/span_shading.h"
#include "platform/d3d9/pipeline/span_vector.h"
#include "tests/platform/d3d9/target_bits.h"

namespace tumbral_test {
namespace {

using namespace plat::d3d9;
using namespace plat::d3d9::span;

uint32_t Noise(uint32_t i) {
    i ^= i >> 13;
    i *= 0x5bd1e995u;
    return i ^ (i >> 15);
}

class SpanTest : public ::testing::Test {
  protected:
    static constexpr int kWidth = 41, kHeight = 4;

    SpanTest() : m_texels(16 * 8) {
        for (size_t i = 0; i < m_texels.size(); ++i) m_texels[i] = Noise(uint32_t(i) + 7);
        m_level = ImageLevel{m_texels.data(), 16, 8, 16};
    }

    PixelConfig Config(bool depth, bool blend, DWORD depthFunc, uint32_t writeMask, int mode = kModulate) {
        PixelConfig c;
        c.colorUsesTexture = c.alphaUsesTexture = mode != kDiffuse;
        c.alphaUsesDiffuse = mode != kModulateTexA;
        c.clip = RECT{0, 0, kWidth, kHeight};
        c.blend = blend;
        c.srcBlend = D3DBLEND_SRCALPHA;
        c.destBlend = D3DBLEND_INVSRCALPHA;
        c.depthTest = c.depthWrite = depth;
        c.depthFunc = depthFunc;
        c.writeMask = writeMask;
        c.specularAdd = false;
        c.samplers[0].levels = &m_level;
        c.samplers[0].levelCount = 1;
        return c;
    }

    // Colours swing across 0..255, depth crosses the stored values, texture
    // coordinates cover several texels and periods, rhw varies for perspective.
    Gradients Plane(bool persp) {
        Gradients g;
        g.perspective = persp;
        float base[kInterpCount] = {0.3f, 1.0f, 12.0f, 250.0f, 128.4f, 40.0f, 0, 0, 0, 0.13f, -0.4f, 0, 0};
        float ddx[kInterpCount] = {0.011f, 0.0f, 5.9f, -5.7f, 0.37f, 4.9f, 0, 0, 0, 0.047f, 0.011f, 0, 0};
        float ddy[kInterpCount] = {0.05f, 0.0f, 1.0f, -1.0f, 2.0f, 3.0f, 0, 0, 0, 0.01f, 0.09f, 0, 0};
        if (persp) {
            base[kRhw] = 0.5f, ddx[kRhw] = 0.013f, ddy[kRhw] = 0.02f;
            base[kU0] *= 0.5f, base[kV0] *= 0.5f;
        }
        for (int i = 0; i < kInterpCount; ++i) g.base[i] = base[i], g.ddx[i] = ddx[i], g.ddy[i] = ddy[i];
        g.sampling[0].level = &m_level;
        return g;
    }

    // Fills the targets, shades every span [x0, x1) of row 1..2 with `fn`, returns colours then depths.
    std::vector<uint32_t> Run(bool fourPixel, int mode, PixelConfig c, const Gradients& g, int x0, int x1) {
        std::vector<uint32_t> color(kWidth * kHeight);
        std::vector<float> depth(kWidth * kHeight);
        for (int i = 0; i < kWidth * kHeight; ++i) {
            color[size_t(i)] = Noise(uint32_t(i) * 3 + 1);
            depth[size_t(i)] = 0.2f + 0.013f * float(i % 37);
        }
        c.color = ColorTarget{color.data(), kWidth, kHeight, kWidth};
        c.depth = DepthTarget{depth.data(), kWidth, kHeight, kWidth};
        SpanFunctions functions = ChooseScalarSpanFunctions(c);
        if (fourPixel && !ChooseVectorSpans(c, mode, c.depthTest || c.depthWrite, functions))
            ADD_FAILURE() << "no four-pixel loop for mode " << mode;
        SpanSetup setup;
        const SpanFn fn = functions.Prepare(c, g, setup);
        for (int y = 1; y < 3; ++y) fn(setup, y, x0, x1);
        return ColorsThenDepthBits(color, depth);
    }

    std::vector<uint32_t> m_texels;
    ImageLevel m_level;
};

TEST_F(SpanTest, FourPixelSpansMatchTheScalarLoop) {
    int checked = 0;
    for (int mode : {kDiffuse, kModulate, kModulateTexA})
        for (bool persp : {false, true})
            for (bool depth : {false, true})
                for (bool blend : {false, true})
                    for (DWORD func : {D3DCMP_LESSEQUAL, D3DCMP_LESS})
                        for (int variant = 0; variant < 5; ++variant) {
                            // Variants: write mask, clamp addressing, alpha tests, huge texture steps,
                            // one colour along each row.
                            PixelConfig c =
                                Config(depth, blend, func, variant == 1 ? 0x00FF00FFu : 0xFFFFFFFFu, mode);
                            if (variant == 2 || variant == 3) {
                                c.samplers[0].addressU = c.samplers[0].addressV = D3DTADDRESS_CLAMP;
                                c.alphaTest = true;
                                c.alphaFunc = variant == 2 ? D3DCMP_GREATER : D3DCMP_LESSEQUAL;
                                c.alphaRef = variant == 2 ? 0 : 100;
                            }
                            SpanFunctions vector;
                            ASSERT_TRUE(ChooseVectorSpans(c, mode, depth, vector));
                            Gradients g = Plane(persp);
                            if (variant == 3) g.ddx[kU0] = 3000.0f;
                            if (variant == 4) {
                                for (int k : {kR, kG, kB, kA}) g.ddx[k] = 0.0f;
                                g.constantColor = ColorConstantAlongX(g);
                                ASSERT_TRUE(g.constantColor);
                            }
                            if (variant == 1 || variant == 4) {
                                c.alphaTest = true;
                                c.alphaFunc = variant == 1 ? D3DCMP_LESS : D3DCMP_NOTEQUAL;
                                c.alphaRef = variant == 1 ? 200 : 255;
                            }
                            for (int x0 : {0, 1, 3, 6})
                                for (int x1 = x0 + 1; x1 <= kWidth; ++x1) {
                                    SCOPED_TRACE("mode " + std::to_string(mode) + " persp " +
                                                 std::to_string(persp) + " depth " + std::to_string(depth) +
                                                 " blend " + std::to_string(blend) + " variant " +
                                                 std::to_string(variant) + " span " + std::to_string(x0) +
                                                 ".." + std::to_string(x1));
                                    ASSERT_EQ(Run(true, mode, c, g, x0, x1), Run(false, mode, c, g, x0, x1));
                                    ++checked;
                                }
                        }
    EXPECT_GT(checked, 10000);
}

// Bilinear filtering (stretched and shrunk sprites, magnified faces): the four-pixel loop samples
// inside the texture itself and leaves groups at or beyond its edges to the scalar sampler; both
// must give SampleLinear's pixels under every address mode.
TEST_F(SpanTest, BilinearFourPixelSpansMatchTheScalarLoop) {
    // Texture coordinates per plane: well inside (a shrunk sprite), magnified across the left and
    // top edges, magnified across the right and bottom edges, minified over several periods, and
    // far out of range.
    struct Coords {
        float u, du, dudy, v, dv, dvdy;
    };
    const Coords planes[] = {
        {0.1f, 0.019f, 0.003f, 0.2f, 0.004f, 0.1f},   {-0.05f, 0.003f, 0.0f, -0.04f, 0.0005f, 0.02f},
        {0.9f, 0.005f, 0.0f, 0.5f, 0.0f, 0.3f},       {0.3f, 0.002f, 0.0f, 0.85f, 0.006f, 0.01f},
        {0.13f, 0.091f, 0.01f, -0.4f, 0.037f, 0.09f}, {3e9f, 1e8f, 0.0f, -2e9f, 0.0f, 1e9f}};
    int checked = 0;
    for (int mode : {kModulate, kModulateTexA})
        for (bool persp : {false, true})
            for (bool depth : {false, true})
                for (bool blend : {false, true})
                    for (DWORD address :
                         {D3DTADDRESS_WRAP, D3DTADDRESS_CLAMP, D3DTADDRESS_MIRROR, D3DTADDRESS_BORDER})
                        for (const Coords& k : planes) {
                            PixelConfig c = Config(depth, blend, D3DCMP_LESSEQUAL, 0xFFFFFFFFu, mode);
                            c.samplers[0].addressU = c.samplers[0].addressV = address;
                            c.samplers[0].borderColor = 0x80FF4020u;
                            Gradients g = Plane(persp);
                            g.sampling[0].linear = true;
                            const float rhw = persp ? 0.5f : 1.0f;
                            g.base[kU0] = k.u * rhw, g.ddx[kU0] = k.du, g.ddy[kU0] = k.dudy;
                            g.base[kV0] = k.v * rhw, g.ddx[kV0] = k.dv, g.ddy[kV0] = k.dvdy;
                            // The four-pixel loop really runs (it is not the scalar loop handed back).
                            SpanFunctions vector;
                            ASSERT_TRUE(ChooseVectorSpans(c, mode, depth, vector));
                            SpanSetup a, b;
                            ASSERT_NE(vector.Prepare(c, g, a), ChooseScalarSpanFunctions(c).Prepare(c, g, b));
                            for (int x0 : {0, 2})
                                for (int x1 = x0 + 1; x1 <= kWidth; ++x1) {
                                    SCOPED_TRACE("mode " + std::to_string(mode) + " persp " +
                                                 std::to_string(persp) + " depth " + std::to_string(depth) +
                                                 " blend " + std::to_string(blend) + " address " +
                                                 std::to_string(address) + " plane " +
                                                 std::to_string(&k - planes) + " span " + std::to_string(x0) +
                                                 ".." + std::to_string(x1));
                                    ASSERT_EQ(Run(true, mode, c, g, x0, x1), Run(false, mode, c, g, x0, x1));
                                    ++checked;
                                }
                        }
    EXPECT_GT(checked, 10000);
}

// Specular added after the texture is modulated, channel by channel with saturation, the specular
// colour stepping along the span as the diffuse one does (the four-pixel loops leave this to the
// scalar loop).
TEST_F(SpanTest, TheScalarLoopAddsSpecularAfterModulating) {
    const uint32_t texel = 0xFF80C0F0u;
    ImageLevel one{&texel, 1, 1, 1};
    for (bool depth : {false, true}) {
        SCOPED_TRACE(depth);
        PixelConfig c = Config(depth, false, D3DCMP_LESSEQUAL, 0xFFFFFFFFu);
        c.specularAdd = true;
        c.samplers[0].levels = &one;
        Gradients g = Plane(false);
        g.sampling[0].level = &one;
        g.base[kZ] = 0.1f;  // in front of the stored depths at first, behind them further on
        const float diffuse[4] = {200, 100, 50, 255};  // r, g, b, a
        const float specular[3] = {60, 10, 3};         // r, g, b at x = 0, each +2 per pixel
        for (int k = 0; k < 4; ++k) g.base[kR + k] = diffuse[k], g.ddx[kR + k] = g.ddy[kR + k] = 0;
        for (int k = 0; k < 3; ++k) g.base[kSR + k] = specular[k], g.ddx[kSR + k] = 2, g.ddy[kSR + k] = 0;
        const std::vector<uint32_t> shaded = Run(false, kModulate, c, g, 0, kWidth);
        int checked = 0;
        for (int x = 0; x < kWidth; ++x) {
            const uint32_t pixel = shaded[size_t(kWidth + x)];                    // row 1
            if (depth && pixel == Noise(uint32_t(kWidth + x) * 3 + 1)) continue;  // failed the depth test
            uint32_t expected = 0xFF000000u;
            for (int ch = 0; ch < 3; ++ch) {
                const uint32_t shift = 16 - 8 * uint32_t(ch);
                const uint32_t modulated = Mul255(uint32_t(diffuse[ch]), (texel >> shift) & 0xFF);
                expected |= std::min(255u, modulated + uint32_t(specular[ch]) + 2 * uint32_t(x)) << shift;
            }
            ASSERT_EQ(pixel, expected) << "x " << x;
            ++checked;
        }
        EXPECT_GT(checked, kWidth / 3);
    }
}

TEST_F(SpanTest, StatesTheFourPixelLoopsDoNotTakeAreLeftToTheScalarLoop) {
    SpanFunctions out;
    PixelConfig c = Config(true, false, D3DCMP_GREATER, 0xFFFFFFFFu);
    EXPECT_FALSE(ChooseVectorSpans(c, kModulate, true, out));
    c = Config(false, true, D3DCMP_LESSEQUAL, 0xFFFFFFFFu);
    c.destBlend = D3DBLEND_ONE;
    EXPECT_FALSE(ChooseVectorSpans(c, kModulate, false, out));
    c = Config(false, false, D3DCMP_LESSEQUAL, 0xFFFFFFFFu);
    c.specularAdd = true;
    EXPECT_FALSE(ChooseVectorSpans(c, kDiffuse, false, out));
    EXPECT_FALSE(ChooseVectorSpans(Config(false, false, D3DCMP_LESSEQUAL, ~0u), kGeneral, false, out));
}

}  // namespace
}  // namespace tumbral_test
