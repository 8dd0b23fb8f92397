// Drawing through the software device: every subset of every cubie once per
// frame, the highlight on every subset of a selected cubie (textures kept),
// and the camera's world matrix having no effect.
#include <cmath>

#include "tests/app/cube_test_env.h"

namespace {

constexpr float kR = 10.0f;

BYTE Red(DWORD c) { return BYTE(c >> 16); }
BYTE Green(DWORD c) { return BYTE(c >> 8); }
BYTE Blue(DWORD c) { return BYTE(c); }

// Pixel of world point (x, y) under the orthographic test view.
UINT PixelX(float x) { return UINT(320.0f + 10.0f * x); }
UINT PixelY(float y) { return UINT(240.0f - 10.0f * y); }

}  // namespace

class CubeDrawTest : public CubeDeviceTest {
  protected:
    void DrawFrame() {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);
        ASSERT_TRUE(SUCCEEDED(m_pDevice->BeginScene()));
        m_pCube->DrawCubies(m_pDevice);
        m_pDevice->EndScene();
    }
};

// Two subsets of one square each, emitting 4 units of red and of green. With
// additive blending and no depth test each cell of the 3 x 3 view shows the
// three cubies behind one another: 12 units per subset when each cubie drew
// each subset exactly once.
TEST_F(CubeDrawTest, EverySubsetOfEveryCubieIsDrawnOncePerFrame) {
    const float e = 4.4f / 255.0f;
    const std::vector<XMaterial> materials = {{0, 0, 0, 1, e, 0, 0, ""}, {0, 0, 0, 1, 0, e, 0, ""}};
    WriteTextFile("box.x",
                  MakeXFile({FrontQuad(-1, -1, 1, 1, 0, 0), FrontQuad(-1, -1, 1, 1, 0, 1)}, materials, kR));
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    ASSERT_EQ(m_pCube->GetMaterialCount(), 2u);

    ASSERT_TRUE(SUCCEEDED(CPuzzleCube::SetupLightAndStates(m_pDevice)));
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    SetOrthoView();
    DrawFrame();
    for (int x = -1; x <= 1; ++x)
        for (int y = -1; y <= 1; ++y) {
            const DWORD c = ReadPixel(PixelX(x * kR), PixelY(y * kR));
            EXPECT_EQ(Red(c), 12) << x << "," << y;
            EXPECT_EQ(Green(c), 12) << x << "," << y;
            EXPECT_EQ(Blue(c), 0) << x << "," << y;
        }
    // Between the cells nothing is drawn.
    EXPECT_EQ(ReadPixel(PixelX(5), PixelY(5)), 0u);

    // Released device objects draw nothing.
    m_pCube->ReleaseDeviceObjects();
    DrawFrame();
    EXPECT_EQ(ReadPixel(PixelX(0), PixelY(0)), 0u);
}

// Left half of each cubie: a red subset; right half: a green subset with a
// texture. A selected cubie shows white on the left and the texture at full
// brightness on the right.
class CubeHighlightTest : public CubeDrawTest {
  protected:
    void SetUp() override {
        CubeDrawTest::SetUp();
        WriteSolidBmp("sticker.bmp", 8, 8, 60, 120, 240);
        const std::vector<XMaterial> materials = {{1, 0, 0, 1, 0, 0, 0, ""},
                                                  {0, 1, 0, 1, 0, 0, 0, "sticker.bmp"}};
        WriteTextFile(
            "box.x", MakeXFile({FrontQuad(-3, -3, 0, 3, 0, 0), FrontQuad(0, -3, 3, 3, 0, 1)}, materials, kR));
        ASSERT_TRUE(m_pCube->Build(m_pDevice));
        ASSERT_EQ(m_pCube->ComputeRadius(), kR);
        ASSERT_NE(m_pCube->GetTexture(1), nullptr);
        ASSERT_TRUE(SUCCEEDED(CPuzzleCube::SetupLightAndStates(m_pDevice)));
        SetOrthoView();
    }
    DWORD Left(float cx, float cy) { return ReadPixel(PixelX(cx - 1.5f), PixelY(cy)); }
    DWORD Right(float cx, float cy) { return ReadPixel(PixelX(cx + 1.5f), PixelY(cy)); }

    void ExpectPlain(float cx, float cy) {
        const DWORD l = Left(cx, cy), r = Right(cx, cy);
        EXPECT_GT(Red(l), 150) << cx << "," << cy;
        EXPECT_LT(Green(l), 10);
        EXPECT_LT(Blue(l), 10);
        // Texture modulated by the lit green material: green only, darker than the texture.
        EXPECT_LT(Red(r), 10);
        EXPECT_GT(Green(r), 60);
        EXPECT_LT(Green(r), 120);
        EXPECT_LT(Blue(r), 10);
    }
    void ExpectHighlighted(float cx, float cy) {
        const DWORD l = Left(cx, cy), r = Right(cx, cy);
        EXPECT_GE(Red(l), 250) << cx << "," << cy;
        EXPECT_GE(Green(l), 250);
        EXPECT_GE(Blue(l), 250);
        EXPECT_NEAR(Red(r), 60, 3);
        EXPECT_NEAR(Green(r), 120, 3);
        EXPECT_NEAR(Blue(r), 240, 3);
    }
};

TEST_F(CubeHighlightTest, SelectedCubieUsesTheHighlightOnEverySubset) {
    m_pCube->GetCubie(12).bSelected = true;  // (0, 0, -R): the front centre
    DrawFrame();
    ExpectHighlighted(0, 0);
    ExpectPlain(-kR, 0);
    ExpectPlain(kR, kR);
}

TEST_F(CubeHighlightTest, CameraWorldMatrixDoesNotMoveTheCube) {
    DrawFrame();
    const DWORD before[3] = {Left(0, 0), Right(-kR, kR), ReadPixel(PixelX(5), PixelY(5))};
    D3DXMATRIX mSpin;
    D3DXMatrixRotationYawPitchRoll(&mSpin, 0.7f, 0.3f, 0.1f);
    m_pDevice->SetTransform(D3DTS_WORLD, &mSpin);
    DrawFrame();
    EXPECT_EQ(Left(0, 0), before[0]);
    EXPECT_EQ(Right(-kR, kR), before[1]);
    EXPECT_EQ(ReadPixel(PixelX(5), PixelY(5)), before[2]);
}

TEST_F(CubeHighlightTest, RejectedPairShowsForOneFrameThenClears) {
    // Cubies 3 (-R, 0, -R) and 12 (0, 0, -R) share two coordinates: not a turn.
    m_pCube->GetCubie(3).bSelected = true;
    m_pCube->GetCubie(12).bSelected = true;
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    ASSERT_TRUE(SUCCEEDED(m_pDevice->BeginScene()));
    m_pCube->AdvanceTurn(m_pDevice);
    m_pDevice->EndScene();
    ExpectHighlighted(0, 0);
    ExpectHighlighted(-kR, 0);
    EXPECT_FALSE(m_pCube->GetCubie(3).bSelected);
    EXPECT_FALSE(m_pCube->GetCubie(12).bSelected);

    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    ASSERT_TRUE(SUCCEEDED(m_pDevice->BeginScene()));
    m_pCube->AdvanceTurn(m_pDevice);
    m_pDevice->EndScene();
    ExpectPlain(0, 0);
    ExpectPlain(-kR, 0);
}
