// Textures: creation, levels, locking in several formats, and point and
// linear sampling with wrap and clamp addressing.
#include <cstring>

#include "tests/platform/d3d9/device_fixture.h"

namespace tumbral_test {
namespace {

class SamplingTest : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        CreateSmallDevice();
        ClearTo(0xFF000000);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    }
    void TearDown() override {
        if (m_device) m_device->SetTexture(0, nullptr);
        if (m_texture) {
            EXPECT_EQ(m_texture->Release(), 0u);
        }
        DeviceTest::TearDown();
    }

    void MakeTexture(UINT w, UINT h, const uint32_t* pixels) {
        ASSERT_EQ(m_device->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_texture, nullptr),
                  S_OK);
        D3DLOCKED_RECT lr;
        ASSERT_EQ(m_texture->LockRect(0, &lr, nullptr, 0), S_OK);
        for (UINT y = 0; y < h; ++y)
            std::memcpy(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch, pixels + y * w, w * 4);
        ASSERT_EQ(m_texture->UnlockRect(0), S_OK);
        ASSERT_EQ(m_device->SetTexture(0, m_texture), S_OK);
    }

    // A quad whose pixel rectangle [x0, x1) x [y0, y1) maps to texture coordinates [u0, u1] x [v0, v1].
    void TexturedQuad(float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1) {
        TLVertex q[4] = {{x0 - 0.5f, y0 - 0.5f, 0.5f, 1, 0xFFFFFFFF, u0, v0},
                         {x1 - 0.5f, y0 - 0.5f, 0.5f, 1, 0xFFFFFFFF, u1, v0},
                         {x1 - 0.5f, y1 - 0.5f, 0.5f, 1, 0xFFFFFFFF, u1, v1},
                         {x0 - 0.5f, y1 - 0.5f, 0.5f, 1, 0xFFFFFFFF, u0, v1}};
        ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(TLVertex)), S_OK);
    }

    IDirect3DTexture9* m_texture = nullptr;
};

const uint32_t kChecker[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};

TEST_F(SamplingTest, PointSamplingAtTexelCentresIsExact) {
    MakeTexture(2, 2, kChecker);
    TexturedQuad(0, 0, 8, 8, 0, 0, 1, 1);  // 4 x 4 pixels per texel
    EXPECT_EQ(Pixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(Pixel(6, 1), 0xFF00FF00u);
    EXPECT_EQ(Pixel(1, 6), 0xFF0000FFu);
    EXPECT_EQ(Pixel(6, 6), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(3, 3), 0xFFFF0000u);
    EXPECT_EQ(Pixel(4, 4), 0xFFFFFFFFu);
}

TEST_F(SamplingTest, LinearSamplingAtTexelCentresIsExactAndBlendsBetween) {
    const uint32_t ramp[2] = {0xFF000000, 0xFFFFFFFF};
    MakeTexture(2, 1, ramp);
    m_device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    m_device->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    m_device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    // Two pixels: each centre is a texel centre.
    TexturedQuad(0, 0, 2, 1, 0, 0, 1, 1);
    EXPECT_EQ(Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(Pixel(1, 0), 0xFFFFFFFFu);
    // Four pixels: centres at texel coordinates -0.25, 0.25, 0.75 and 1.25.
    TexturedQuad(0, 2, 4, 3, 0, 0, 1, 1);
    EXPECT_EQ(Red(Pixel(0, 2)), 0);
    EXPECT_NEAR(Red(Pixel(1, 2)), 64, 1);
    EXPECT_NEAR(Red(Pixel(2, 2)), 191, 1);
    EXPECT_EQ(Red(Pixel(3, 2)), 255);
}

TEST_F(SamplingTest, WrapRepeatsAndClampStretchesEdges) {
    MakeTexture(2, 2, kChecker);
    TexturedQuad(0, 0, 8, 8, 0, 0, 2, 2);  // wrap: the pattern twice
    EXPECT_EQ(Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(4, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(6, 0), 0xFF00FF00u);
    m_device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    m_device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    TexturedQuad(16, 0, 24, 8, 0, 0, 2, 2);
    EXPECT_EQ(Pixel(16, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(23, 0), 0xFF00FF00u);
    EXPECT_EQ(Pixel(23, 7), 0xFFFFFFFFu);
}

TEST_F(SamplingTest, ModulateWithDiffuseAndMissingTextureIsWhite) {
    MakeTexture(2, 2, kChecker);
    TLVertex q[4] = {{-0.5f, -0.5f, 0.5f, 1, 0xFF808080, 0, 0},
                     {7.5f, -0.5f, 0.5f, 1, 0xFF808080, 1, 0},
                     {7.5f, 7.5f, 0.5f, 1, 0xFF808080, 1, 1},
                     {-0.5f, 7.5f, 0.5f, 1, 0xFF808080, 0, 1}};
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(TLVertex));
    EXPECT_EQ(Pixel(6, 6), 0xFF808080u);
    EXPECT_EQ(Pixel(1, 1), 0xFF800000u);
    m_device->SetTexture(0, nullptr);
    m_device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(TLVertex));
    EXPECT_EQ(Pixel(1, 1), 0xFF808080u);
}

// The right edge is four times as far away as the left one: the texel boundary at
// u = 0.5 lies at 80% of the width on screen, not at the middle.
TEST_F(SamplingTest, TextureCoordinatesArePerspectiveCorrect) {
    MakeTexture(2, 2, kChecker);
    TLVertex q[4] = {{-0.5f, -0.5f, 0.5f, 1.0f, 0xFFFFFFFF, 0, 0},
                     {63.5f, -0.5f, 0.5f, 0.25f, 0xFFFFFFFF, 1, 0},
                     {63.5f, 15.5f, 0.5f, 0.25f, 0xFFFFFFFF, 1, 0.4f},
                     {-0.5f, 15.5f, 0.5f, 1.0f, 0xFFFFFFFF, 0, 0.4f}};
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(TLVertex)), S_OK);
    for (int y : {2, 8, 13}) {
        EXPECT_EQ(Pixel(32, y), 0xFFFF0000u) << y;  // an affine mapping would switch here
        EXPECT_EQ(Pixel(48, y), 0xFFFF0000u) << y;
        EXPECT_EQ(Pixel(53, y), 0xFF00FF00u) << y;
        EXPECT_EQ(Pixel(62, y), 0xFF00FF00u) << y;
    }
}

TEST_F(SamplingTest, SixteenBitTextureRoundTripsThroughLock) {
    ASSERT_EQ(m_device->CreateTexture(4, 4, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &m_texture, nullptr), S_OK);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(m_texture->LockRect(0, &lr, nullptr, 0), S_OK);
    EXPECT_EQ(lr.Pitch, 8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            reinterpret_cast<uint16_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x] = 0xF800;
    ASSERT_EQ(m_texture->UnlockRect(0), S_OK);
    m_device->SetTexture(0, m_texture);
    TexturedQuad(0, 0, 4, 4, 0, 0, 1, 1);
    EXPECT_EQ(Pixel(2, 2), 0xFFFF0000u);
}

TEST_F(SamplingTest, FullMipChainHasHalvingLevels) {
    ASSERT_EQ(m_device->CreateTexture(64, 16, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_texture, nullptr),
              S_OK);
    ASSERT_EQ(m_texture->GetLevelCount(), 7u);
    D3DSURFACE_DESC d;
    ASSERT_EQ(m_texture->GetLevelDesc(2, &d), S_OK);
    EXPECT_EQ(d.Width, 16u);
    EXPECT_EQ(d.Height, 4u);
    ASSERT_EQ(m_texture->GetLevelDesc(6, &d), S_OK);
    EXPECT_EQ(d.Width, 1u);
    EXPECT_EQ(d.Height, 1u);
    EXPECT_EQ(m_texture->GetLevelDesc(7, &d), D3DERR_INVALIDCALL);
    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(m_texture->GetSurfaceLevel(1, &level), S_OK);
    IDirect3DTexture9* container = nullptr;
    ASSERT_EQ(level->GetContainer(IID_IDirect3DTexture9, reinterpret_cast<void**>(&container)), S_OK);
    EXPECT_EQ(container, m_texture);
    container->Release();
    level->Release();
}

}  // namespace
}  // namespace tumbral_test
