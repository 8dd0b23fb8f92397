// Sprites on the headless device: quads land on the pixels their texels name,
// source rectangles, centres, transforms, colour modulation, alpha blending,
// and the device state saved around Begin/End.
#include <gtest/gtest.h>

#include "platform/d3dx9.h"
#include "tests/support/device_fixture.h"

namespace {

// A windowed 160 x 120 device with a readable back buffer.
class SpriteDraw : public ::testing::Test {
  protected:
    void SetUp() override {
        m_hwnd = tumbral_test::CreatePlainWindow(320, 240);
        m_pp = tumbral_test::WindowedParams(m_hwnd, 160, 120);
        m_pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
        ASSERT_NO_FATAL_FAILURE(tumbral_test::OpenDevice(m_pp, m_d3d, m_device));
        ASSERT_EQ(D3DXCreateSprite(m_device, &m_sprite), S_OK);
    }
    void TearDown() override {
        if (m_sprite) m_sprite->Release();
        if (m_texture) m_texture->Release();
        tumbral_test::CloseDevice(m_device, m_d3d, m_hwnd);
    }

    // A managed A8R8G8B8 texture whose texel (x, y) is red 40x, green 40y, blue 200, alpha 255.
    void MakeTexture(UINT w, UINT h) {
        ASSERT_EQ(m_device->CreateTexture(w, h, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_texture, nullptr),
                  S_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(m_texture->LockRect(0, &locked, nullptr, 0), S_OK);
        for (UINT y = 0; y < h; ++y)
            for (UINT x = 0; x < w; ++x)
                reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] =
                    D3DCOLOR_ARGB(255, 40 * x, 40 * y, 200);
        m_texture->UnlockRect(0);
    }
    static DWORD Texel(int x, int y) { return D3DCOLOR_XRGB(40 * x, 40 * y, 200) & 0x00FFFFFF; }

    void Clear(D3DCOLOR color) {
        ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, color, 1.f, 0), S_OK);
    }
    DWORD Pixel(int x, int y) {
        const DWORD value = tumbral_test::ReadBackBufferPixel(m_device, UINT(x), UINT(y));
        EXPECT_NE(value, 0xFFFFFFFFu) << "back buffer not readable";
        return value;
    }

    HWND m_hwnd = nullptr;
    IDirect3D9* m_d3d = nullptr;
    D3DPRESENT_PARAMETERS m_pp{};
    IDirect3DDevice9* m_device = nullptr;
    ID3DXSprite* m_sprite = nullptr;
    IDirect3DTexture9* m_texture = nullptr;
};

TEST_F(SpriteDraw, TexturedQuadLandsOnTheRightPixels) {
    MakeTexture(4, 4);
    Clear(0);
    m_device->BeginScene();
    ASSERT_EQ(m_sprite->Begin(0), S_OK);
    const D3DXVECTOR3 position(10, 20, 0);
    ASSERT_EQ(m_sprite->Draw(m_texture, nullptr, nullptr, &position, 0xFFFFFFFF), S_OK);
    ASSERT_EQ(m_sprite->End(), S_OK);
    m_device->EndScene();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(10 + x, 20 + y), Texel(x, y)) << x << "," << y;
    EXPECT_EQ(Pixel(9, 20), 0u);
    EXPECT_EQ(Pixel(14, 20), 0u);
    EXPECT_EQ(Pixel(10, 19), 0u);
    EXPECT_EQ(Pixel(10, 24), 0u);
}

TEST_F(SpriteDraw, SourceRectangleCentreTransformAndColour) {
    MakeTexture(4, 4);
    Clear(0);
    m_device->BeginScene();
    ASSERT_EQ(m_sprite->Begin(D3DXSPRITE_DONOTSAVESTATE), S_OK);
    // Texels (1..2, 1..2) with their centre point (1, 1) on (50, 50).
    const RECT src{1, 1, 3, 3};
    const D3DXVECTOR3 centre(1, 1, 0), at(50, 50, 0);
    ASSERT_EQ(m_sprite->Draw(m_texture, &src, &centre, &at, 0xFFFFFFFF), S_OK);
    // Green only: the texture is modulated by the colour.
    const D3DXVECTOR3 at2(100, 10, 0);
    ASSERT_EQ(m_sprite->Draw(m_texture, nullptr, nullptr, &at2, 0xFF00FF00), S_OK);
    ASSERT_EQ(m_sprite->Flush(), S_OK);
    // Scaled by 2: the whole texture at (30, 80) covers 8 x 8 pixels.
    D3DXMATRIX scale;
    D3DXMatrixScaling(&scale, 2.f, 2.f, 1.f);
    ASSERT_EQ(m_sprite->SetTransform(&scale), S_OK);
    D3DXMATRIX back;
    ASSERT_EQ(m_sprite->GetTransform(&back), S_OK);
    EXPECT_EQ(back, scale);
    const D3DXVECTOR3 at3(15, 40, 0);
    ASSERT_EQ(m_sprite->Draw(m_texture, nullptr, nullptr, &at3, 0xFFFFFFFF), S_OK);
    ASSERT_EQ(m_sprite->End(), S_OK);
    m_device->EndScene();

    EXPECT_EQ(Pixel(49, 49), Texel(1, 1));
    EXPECT_EQ(Pixel(50, 50), Texel(2, 2));
    EXPECT_EQ(Pixel(48, 49), 0u);
    EXPECT_EQ(Pixel(51, 51), 0u);
    EXPECT_EQ(Pixel(102, 11), Texel(2, 1) & 0x0000FF00);
    EXPECT_NE(Pixel(30, 80), 0u);
    EXPECT_NE(Pixel(37, 87), 0u);
    EXPECT_EQ(Pixel(38, 80), 0u);
    EXPECT_EQ(Pixel(30, 88), 0u);
    EXPECT_EQ(Pixel(29, 80), 0u);
}

TEST_F(SpriteDraw, AlphaBlendingOnlyWhenAsked) {
    MakeTexture(2, 2);
    const D3DXVECTOR3 at(5, 5, 0);
    const D3DCOLOR halfWhite = 0x80FFFFFF;
    Clear(D3DCOLOR_XRGB(0, 0, 0));
    m_device->BeginScene();
    m_sprite->Begin(D3DXSPRITE_ALPHABLEND);
    m_sprite->Draw(m_texture, nullptr, nullptr, &at, halfWhite);
    m_sprite->End();
    m_device->EndScene();
    const DWORD blended = Pixel(5, 5);  // texel (0, 0) is (0, 0, 200): half of it
    EXPECT_NEAR(static_cast<int>(blended & 0xFF), 100, 2);

    Clear(D3DCOLOR_XRGB(0, 0, 0));
    m_device->BeginScene();
    m_sprite->Begin(0);
    m_sprite->Draw(m_texture, nullptr, nullptr, &at, halfWhite);
    m_sprite->End();
    m_device->EndScene();
    EXPECT_EQ(Pixel(5, 5), Texel(0, 0));
}

TEST_F(SpriteDraw, DeviceStateIsRestoredUnlessToldNotTo) {
    MakeTexture(2, 2);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    m_device->BeginScene();
    ASSERT_EQ(m_sprite->Begin(D3DXSPRITE_ALPHABLEND), S_OK);
    DWORD value = 0;
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(TRUE));
    ASSERT_EQ(m_sprite->End(), S_OK);
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(FALSE));
    m_device->GetRenderState(D3DRS_ZENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(D3DZB_TRUE));

    ASSERT_EQ(m_sprite->Begin(D3DXSPRITE_ALPHABLEND | D3DXSPRITE_DONOTSAVESTATE), S_OK);
    ASSERT_EQ(m_sprite->End(), S_OK);
    m_device->GetRenderState(D3DRS_ALPHABLENDENABLE, &value);
    EXPECT_EQ(value, static_cast<DWORD>(TRUE));
    m_device->EndScene();
}

TEST_F(SpriteDraw, CallsOutOfOrderFailAndTheSpriteSurvivesAReset) {
    MakeTexture(2, 2);
    const D3DXVECTOR3 at(3, 3, 0);
    EXPECT_EQ(m_sprite->Draw(m_texture, nullptr, nullptr, &at, 0xFFFFFFFF), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_sprite->End(), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_sprite->Flush(), D3DERR_INVALIDCALL);
    ASSERT_EQ(m_sprite->Begin(0), S_OK);
    EXPECT_EQ(m_sprite->Begin(0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_sprite->Draw(nullptr, nullptr, nullptr, &at, 0xFFFFFFFF), D3DERR_INVALIDCALL);
    ASSERT_EQ(m_sprite->End(), S_OK);
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(m_sprite->GetDevice(&device), S_OK);
    EXPECT_EQ(device, m_device);
    device->Release();

    // The saved-state block must go before a reset and come back after it; a
    // batch left open when the device was lost is dropped.
    ASSERT_EQ(m_sprite->Begin(0), S_OK);
    ASSERT_EQ(m_sprite->Draw(m_texture, nullptr, nullptr, &at, 0xFFFFFFFF), S_OK);
    ASSERT_EQ(m_sprite->OnLostDevice(), S_OK);
    ASSERT_EQ(m_device->Reset(&m_pp), S_OK);
    ASSERT_EQ(m_sprite->OnResetDevice(), S_OK);
    Clear(0);
    m_device->BeginScene();
    ASSERT_EQ(m_sprite->Begin(0), S_OK);
    ASSERT_EQ(m_sprite->Draw(m_texture, nullptr, nullptr, &at, 0xFFFFFFFF), S_OK);
    ASSERT_EQ(m_sprite->End(), S_OK);
    m_device->EndScene();
    EXPECT_EQ(Pixel(4, 4), Texel(1, 1));
}

TEST_F(SpriteDraw, SortingByTextureKeepsTheOrderWithinATexture) {
    MakeTexture(2, 2);
    IDirect3DTexture9* other = nullptr;
    ASSERT_EQ(m_device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &other, nullptr), S_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(other->LockRect(0, &locked, nullptr, 0), S_OK);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = 0xFFFFFFFF;
    other->UnlockRect(0);

    Clear(0);
    m_device->BeginScene();
    ASSERT_EQ(m_sprite->Begin(D3DXSPRITE_SORT_TEXTURE), S_OK);
    const D3DXVECTOR3 at(20, 20, 0);
    m_sprite->Draw(m_texture, nullptr, nullptr, &at, 0xFFFF0000);  // red
    m_sprite->Draw(other, nullptr, nullptr, &at, 0xFF00FF00);      // green, other texture
    m_sprite->Draw(m_texture, nullptr, nullptr, &at, 0xFF0000FF);  // blue, after red on the same texture
    ASSERT_EQ(m_sprite->End(), S_OK);
    m_device->EndScene();
    other->Release();
    const DWORD top = Pixel(20, 20);
    // Whichever texture went first, blue follows red; green lies above or below both.
    EXPECT_TRUE(top == (Texel(0, 0) & 0x000000FF) || top == 0x0000FF00) << std::hex << top;
}

}  // namespace
