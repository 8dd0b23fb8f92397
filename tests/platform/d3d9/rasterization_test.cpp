// Rasterization rules: coverage, the top-left rule, culling, fill modes,
// depth test, blending and write masks, checked on back-buffer pixels.
#include <cmath>
#include <vector>

#include "tests/platform/d3d9/device_fixture.h"

namespace tumbral_test {
namespace {

class RasterTest : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        CreateSmallDevice();
        ClearTo(0xFF000000);
    }
};

TEST_F(RasterTest, QuadOffsetByHalfPixelCoversExactlyItsRectangle) {
    ASSERT_EQ(m_device->BeginScene(), S_OK);
    FillRect(10 - 0.5f, 20 - 0.5f, 30 - 0.5f, 25 - 0.5f, 0xFFFF0000);
    ASSERT_EQ(m_device->EndScene(), S_OK);
    for (int y = 15; y < 30; ++y)
        for (int x = 5; x < 35; ++x) {
            bool inside = x >= 10 && x < 30 && y >= 20 && y < 25;
            EXPECT_EQ(Pixel(x, y), inside ? 0xFFFF0000u : 0xFF000000u) << x << "," << y;
        }
}

TEST_F(RasterTest, QuadOnPixelCentresFollowsTopLeftRule) {
    // Edges through pixel centres: the left and top edges are in, the right and bottom ones out.
    FillRect(10, 10, 20, 20, 0xFF00FF00);
    EXPECT_EQ(Pixel(10, 10), 0xFF00FF00u);
    EXPECT_EQ(Pixel(19, 19), 0xFF00FF00u);
    EXPECT_EQ(Pixel(20, 15), 0xFF000000u);
    EXPECT_EQ(Pixel(15, 20), 0xFF000000u);
    EXPECT_EQ(Pixel(9, 15), 0xFF000000u);
}

// Additive blending makes double coverage visible as 2 x the colour and gaps as 0.
TEST_F(RasterTest, TrianglesSharingAnEdgeCoverEachPixelOnce) {
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    const float px[5] = {3.3f, 57.1f, 49.75f, 8.5f, 31.0f};
    const float py[5] = {5.2f, 2.9f, 60.25f, 44.0f, 30.5f};
    // A fan around an inner point: four triangles, every inner edge shared by two of them.
    std::vector<TLVertex> fan;
    const D3DCOLOR c = 0xFF000040;
    fan.push_back({px[4], py[4], 0.5f, 1, c, 0, 0});
    for (int i = 0; i <= 4; ++i) fan.push_back({px[i % 4], py[i % 4], 0.5f, 1, c, 0, 0});
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 4, fan.data(), sizeof(TLVertex)), S_OK);

    auto inside = [&](float x, float y, float margin) {
        // Inside the convex outline (clockwise on screen) by at least `margin` pixels.
        for (int i = 0; i < 4; ++i) {
            float ax = px[i], ay = py[i], bx = px[(i + 1) % 4], by = py[(i + 1) % 4];
            float cross = (bx - ax) * (y - ay) - (by - ay) * (x - ax);
            float len = std::sqrt((bx - ax) * (bx - ax) + (by - ay) * (by - ay));
            if (cross / len < margin) return false;
        }
        return true;
    };
    int covered = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            int b = Blue(Pixel(x, y));
            ASSERT_TRUE(b == 0 || b == 0x40) << "pixel " << x << "," << y << " blended " << b;
            if (inside(float(x), float(y), 0.01f)) {
                EXPECT_EQ(b, 0x40) << "gap at " << x << "," << y;
                ++covered;
            }
            if (!inside(float(x), float(y), -0.01f)) {
                EXPECT_EQ(b, 0) << "outside drawn at " << x << "," << y;
            }
        }
    EXPECT_GT(covered, 1500);
}

TEST_F(RasterTest, CullModesFollowScreenWinding) {
    TLVertex clockwise[3] = {{5, 5, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                             {25, 5, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                             {5, 25, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
    TLVertex counter[3] = {clockwise[0], clockwise[2], clockwise[1]};
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counter, sizeof(TLVertex));
    EXPECT_EQ(Pixel(8, 8), 0xFF000000u) << "counter-clockwise triangle must be culled";
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, sizeof(TLVertex));
    EXPECT_EQ(Pixel(8, 8), 0xFFFFFFFFu);

    ClearTo(0xFF000000);
    m_device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, clockwise, sizeof(TLVertex));
    EXPECT_EQ(Pixel(8, 8), 0xFF000000u) << "clockwise triangle must be culled";
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, counter, sizeof(TLVertex));
    EXPECT_EQ(Pixel(8, 8), 0xFFFFFFFFu);
}

TEST_F(RasterTest, WireframeDrawsOutlineOnly) {
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    FillRect(10, 10, 40, 30, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(10, 10), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(25, 10), 0xFFFFFFFFu);  // top edge
    EXPECT_EQ(Pixel(10, 20), 0xFFFFFFFFu);  // left edge
    EXPECT_EQ(Pixel(40, 20), 0xFFFFFFFFu);  // right edge
    EXPECT_EQ(Pixel(25, 30), 0xFFFFFFFFu);  // bottom edge
    EXPECT_EQ(Pixel(15, 25), 0xFF000000u);  // interior off the diagonal
    EXPECT_EQ(Pixel(35, 13), 0xFF000000u);
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_POINT);
    ClearTo(0xFF000000);
    FillRect(10, 10, 40, 30, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(40, 30), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(25, 10), 0xFF000000u);
}

TEST_F(RasterTest, DepthTestKeepsNearerSurfaceInEitherOrder) {
    FillRect(0, 0, 32, 32, 0xFFFF0000, 0.25f);  // near first
    FillRect(0, 0, 32, 32, 0xFF00FF00, 0.75f);
    EXPECT_EQ(Pixel(16, 16), 0xFFFF0000u);
    ClearTo(0xFF000000);
    FillRect(0, 0, 32, 32, 0xFF00FF00, 0.75f);  // far first
    FillRect(0, 0, 32, 32, 0xFFFF0000, 0.25f);
    EXPECT_EQ(Pixel(16, 16), 0xFFFF0000u);
    // GREATER inverts the choice; with depth writes off the buffer keeps the first depth.
    m_device->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER);
    FillRect(0, 0, 32, 32, 0xFF0000FF, 0.5f);
    EXPECT_EQ(Pixel(16, 16), 0xFF0000FFu);
    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    FillRect(0, 0, 32, 32, 0xFF00FF00, 0.0f);
    EXPECT_EQ(Pixel(16, 16), 0xFF00FF00u);
}

TEST_F(RasterTest, SourceAlphaBlendMixesWithTarget) {
    ClearTo(0xFF0000FF);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    FillRect(0, 0, 16, 16, 0x80FF0000);
    uint32_t p = Pixel(8, 8);
    EXPECT_NEAR(Red(p), 128, 1);
    EXPECT_EQ(Green(p), 0);
    EXPECT_NEAR(Blue(p), 127, 1);
    // A general factor pair: destination colour times source colour.
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCCOLOR);
    FillRect(0, 0, 16, 16, 0xFF808080);
    p = Pixel(8, 8);
    EXPECT_NEAR(Red(p), 64, 1);
    EXPECT_NEAR(Blue(p), 64, 1);
}

TEST_F(RasterTest, ColorWriteMaskAndAlphaTest) {
    m_device->SetRenderState(D3DRS_COLORWRITEENABLE, D3DCOLORWRITEENABLE_GREEN);
    FillRect(0, 0, 8, 8, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(4, 4) & 0x00FFFFFF, 0x0000FF00u);
    m_device->SetRenderState(D3DRS_COLORWRITEENABLE, 0xF);
    m_device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    m_device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    m_device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    FillRect(16, 0, 24, 8, 0x7FFF0000);  // rejected
    FillRect(24, 0, 32, 8, 0x80FF0000);  // passes
    EXPECT_EQ(Pixel(20, 4), 0xFF000000u);
    EXPECT_EQ(Pixel(28, 4) & 0x00FFFFFF, 0x00FF0000u);
}

TEST_F(RasterTest, GouraudInterpolatesAndFlatUsesFirstVertex) {
    TLVertex v[3] = {{0, 0, 0.5f, 1, 0xFFFF0000, 0, 0},
                     {64, 0, 0.5f, 1, 0xFF0000FF, 0, 0},
                     {0, 64, 0.5f, 1, 0xFFFF0000, 0, 0}};
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(TLVertex));
    uint32_t mid = Pixel(32, 0);
    EXPECT_NEAR(Red(mid), 128, 2);
    EXPECT_NEAR(Blue(mid), 128, 2);
    m_device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, v, sizeof(TLVertex));
    EXPECT_EQ(Pixel(32, 0), 0xFFFF0000u);
}

TEST_F(RasterTest, ScissorAndViewportLimitDrawing) {
    D3DVIEWPORT9 vp{8, 8, 16, 16, 0.0f, 1.0f};
    ASSERT_EQ(m_device->SetViewport(&vp), S_OK);
    FillRect(0, 0, 64, 64, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(7, 7), 0xFF000000u);
    EXPECT_EQ(Pixel(8, 8), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(24, 24), 0xFF000000u);
    // Clear is limited to the viewport too.
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), S_OK);
    EXPECT_EQ(Pixel(8, 8), 0xFF00FF00u);
    EXPECT_EQ(Pixel(30, 30), 0xFF000000u);
    D3DVIEWPORT9 full{0, 0, 64, 64, 0.0f, 1.0f};
    m_device->SetViewport(&full);
    RECT scissor{40, 40, 50, 50};
    m_device->SetScissorRect(&scissor);
    m_device->SetRenderState(D3DRS_SCISSORTESTENABLE, TRUE);
    FillRect(0, 0, 64, 64, 0xFFFF0000);
    EXPECT_EQ(Pixel(45, 45), 0xFFFF0000u);
    EXPECT_EQ(Pixel(39, 45), 0xFF000000u);
}

// Transformed geometry crossing the near plane is clipped, not wrapped around.
TEST_F(RasterTest, NearPlaneClipsTransformedTriangle) {
    struct V {
        float x, y, z;
        D3DCOLOR c;
    };
    m_device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    D3DMATRIX proj{};  // perspective: w = z, depth (z - 1) * 2 / ... near plane at z = 1, far at 3
    proj._11 = 1;
    proj._22 = 1;
    proj._33 = 1.5f;
    proj._34 = 1;
    proj._43 = -1.5f;
    m_device->SetTransform(D3DTS_PROJECTION, &proj);
    // One vertex behind the near plane (z = 0.5), two in front (z = 2): the part in front is drawn.
    V tri[3] = {
        {-0.5f, -0.5f, 2.0f, 0xFFFFFFFF}, {0.5f, -0.5f, 2.0f, 0xFFFFFFFF}, {0.0f, 0.5f, 0.5f, 0xFFFFFFFF}};
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(V)), S_OK);
    EXPECT_EQ(Pixel(32, 38), 0xFFFFFFFFu);  // just above the bottom edge (y = -0.25 at w = 2)
    EXPECT_EQ(Pixel(32, 2), 0xFF000000u);   // the clipped-away tip would reach beyond the top
    EXPECT_EQ(Pixel(2, 60), 0xFF000000u);
}

// Pre-transformed vertices are not clipped: absurd coordinates must neither
// crash nor stall the rasterizer, in any fill mode.
TEST_F(RasterTest, AbsurdPretransformedCoordinatesAreHarmless) {
    const float nan = std::nanf("");
    TLVertex tri[3] = {{-3e9f, 10, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                       {3e9f, 20, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                       {30, 4e9f, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
    TLVertex bad[3] = {{nan, 10, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                       {20, nan, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                       {30, 40, nan, nan, 0xFFFFFFFF, nan, 0}};
    TLVertex longLine[3] = {{-1e7f, 5, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                            {1e7f, 6, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                            {0, 1e7f, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
    for (DWORD fill : {D3DFILL_SOLID, D3DFILL_WIREFRAME, D3DFILL_POINT}) {
        m_device->SetRenderState(D3DRS_FILLMODE, fill);
        EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(TLVertex)), S_OK);
        EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, bad, sizeof(TLVertex)), S_OK);
        EXPECT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, longLine, sizeof(TLVertex)), S_OK);
    }
    // The long, shallow line still crosses the target.
    m_device->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    ClearTo(0xFF000000);
    m_device->DrawPrimitiveUP(D3DPT_LINELIST, 1, longLine, sizeof(TLVertex));
    int lit = 0;
    for (int x = 0; x < 64; ++x) lit += (Pixel(x, 5) | Pixel(x, 6)) == 0xFFFFFFFFu;
    EXPECT_GT(lit, 48);
}

}  // namespace
}  // namespace tumbral_test
