// Drawing is deferred until its pixels are needed: what a draw samples is what
// its texture held when the draw was issued, drawing into a texture is
// finished before the texture is sampled, and pixels are complete whenever
// they are read, copied or freed.
#include "tests/platform/d3d9/device_fixture.h"

namespace tumbral_test {
namespace {

class DeferredTest : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        CreateSmallDevice();
        ClearTo(0xFF000000);
    }

    IDirect3DTexture9* SolidTexture(D3DCOLOR color, DWORD usage = 0, D3DPOOL pool = D3DPOOL_MANAGED) {
        IDirect3DTexture9* t = nullptr;
        EXPECT_EQ(m_device->CreateTexture(8, 8, 1, usage, D3DFMT_A8R8G8B8, pool, &t, nullptr), S_OK);
        if (t && pool != D3DPOOL_DEFAULT) Fill(t, color);
        return t;
    }

    static void Fill(IDirect3DTexture9* t, D3DCOLOR color) {
        D3DLOCKED_RECT lr;
        ASSERT_EQ(t->LockRect(0, &lr, nullptr, 0), S_OK);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x] = color;
        t->UnlockRect(0);
    }

    void UseTexture(IDirect3DTexture9* t) {
        m_device->SetTexture(0, t);
        m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
        m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    }
};

TEST_F(DeferredTest, ADrawSamplesItsTextureAsItWasWhenDrawn) {
    IDirect3DTexture9* t = SolidTexture(0xFFFF0000);
    ASSERT_TRUE(t);
    UseTexture(t);
    ASSERT_EQ(m_device->BeginScene(), S_OK);
    FillRect(0, 0, 16, 16, 0xFFFFFFFF);
    Fill(t, 0xFF00FF00);  // changed between two draws, without a state change
    FillRect(32, 32, 48, 48, 0xFFFFFFFF);
    ASSERT_EQ(m_device->EndScene(), S_OK);
    EXPECT_EQ(Pixel(8, 8), 0xFFFF0000u);
    EXPECT_EQ(Pixel(40, 40), 0xFF00FF00u);
    m_device->SetTexture(0, nullptr);
    t->Release();
}

TEST_F(DeferredTest, DrawingIntoATextureIsFinishedBeforeItIsSampled) {
    IDirect3DTexture9* target = SolidTexture(0, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
    ASSERT_TRUE(target);
    IDirect3DSurface9 *level = nullptr, *back = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &level), S_OK);
    ASSERT_EQ(m_device->GetRenderTarget(0, &back), S_OK);
    ASSERT_EQ(m_device->BeginScene(), S_OK);
    ASSERT_EQ(m_device->SetRenderTarget(0, level), S_OK);
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), S_OK);
    FillRect(0, 0, 8, 4, 0xFFFFFF00);  // top half yellow, bottom half stays blue
    ASSERT_EQ(m_device->SetRenderTarget(0, back), S_OK);
    UseTexture(target);
    FillRect(0, 0, 64, 64, 0xFFFFFFFF);  // the texture stretched over the whole back buffer
    ASSERT_EQ(m_device->EndScene(), S_OK);
    EXPECT_EQ(Pixel(10, 5), 0xFFFFFF00u);
    EXPECT_EQ(Pixel(10, 60), 0xFF0000FFu);
    m_device->SetTexture(0, nullptr);
    level->Release();
    back->Release();
    target->Release();
}

TEST_F(DeferredTest, PixelsAreCompleteWhenCopiedOrWhenTheirSurfaceIsFreed) {
    IDirect3DSurface9* rt = nullptr;
    ASSERT_EQ(
        m_device->CreateRenderTarget(64, 64, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &rt, nullptr),
        S_OK);
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(m_device->GetRenderTarget(0, &back), S_OK);
    ASSERT_EQ(m_device->SetRenderTarget(0, rt), S_OK);
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), S_OK);
    FillRect(0, 0, 32, 64, 0xFFFF0000);
    // Copied while still queued: the copy sees the finished drawing.
    ASSERT_EQ(m_device->StretchRect(rt, nullptr, back, nullptr, D3DTEXF_NONE), S_OK);
    EXPECT_EQ(Pixel(10, 10), 0xFFFF0000u);
    EXPECT_EQ(Pixel(50, 10), 0xFF00FF00u);
    // Drawing queued into a surface that is then released must not touch freed memory.
    FillRect(0, 0, 64, 64, 0xFF0000FF);
    ASSERT_EQ(m_device->SetRenderTarget(0, back), S_OK);
    EXPECT_EQ(rt->Release(), 0u);
    FillRect(0, 0, 4, 4, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(1, 1), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(10, 10), 0xFFFF0000u);
    back->Release();
}

TEST_F(DeferredTest, MipLevelsAreMadeFromFinishedDrawing) {
    IDirect3DTexture9* t = nullptr;
    ASSERT_EQ(m_device->CreateTexture(16, 16, 0, D3DUSAGE_RENDERTARGET | D3DUSAGE_AUTOGENMIPMAP,
                                      D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &t, nullptr),
              S_OK);
    IDirect3DSurface9 *level0 = nullptr, *back = nullptr;
    ASSERT_EQ(t->GetSurfaceLevel(0, &level0), S_OK);
    ASSERT_EQ(m_device->GetRenderTarget(0, &back), S_OK);
    ASSERT_EQ(m_device->BeginScene(), S_OK);
    ASSERT_EQ(m_device->SetRenderTarget(0, level0), S_OK);
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), S_OK);
    t->GenerateMipSubLevels();
    ASSERT_EQ(m_device->SetRenderTarget(0, back), S_OK);
    ASSERT_EQ(m_device->EndScene(), S_OK);
    IDirect3DSurface9* level1 = nullptr;
    ASSERT_EQ(t->GetSurfaceLevel(1, &level1), S_OK);
    IDirect3DSurface9* copy = nullptr;
    ASSERT_EQ(m_device->CreateOffscreenPlainSurface(8, 8, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr),
              S_OK);
    ASSERT_EQ(m_device->GetRenderTargetData(level1, copy), S_OK);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(copy->LockRect(&lr, nullptr, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(static_cast<const uint32_t*>(lr.pBits)[3], 0xFFFF0000u);
    copy->UnlockRect();
    for (IUnknown* u :
         {static_cast<IUnknown*>(copy), static_cast<IUnknown*>(level1), static_cast<IUnknown*>(level0),
          static_cast<IUnknown*>(back), static_cast<IUnknown*>(t)})
        u->Release();
}

// Big enough for the queue to draw in bands on several threads (where the machine has them).
class BandedDeferredTest : public DeferredTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        CreateSmallDevice(256, 256);
        ClearTo(0xFF000000);
    }
};

TEST_F(BandedDeferredTest, DrawingIntoATextureAfterSamplingItLeavesTheEarlierDrawAsItWas) {
    IDirect3DTexture9* t = SolidTexture(0, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
    ASSERT_TRUE(t);
    IDirect3DSurface9 *level = nullptr, *back = nullptr;
    ASSERT_EQ(t->GetSurfaceLevel(0, &level), S_OK);
    ASSERT_EQ(m_device->GetRenderTarget(0, &back), S_OK);
    ASSERT_EQ(m_device->BeginScene(), S_OK);
    ASSERT_EQ(m_device->SetRenderTarget(0, level), S_OK);
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), S_OK);
    ASSERT_EQ(m_device->SetRenderTarget(0, back), S_OK);
    UseTexture(t);
    FillRect(-0.5f, -0.5f, 255.5f, 255.5f, 0xFFFFFFFF);  // samples the red texture everywhere
    m_device->SetTexture(0, nullptr);
    ASSERT_EQ(m_device->SetRenderTarget(0, level), S_OK);
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), S_OK);
    ASSERT_EQ(m_device->SetRenderTarget(0, back), S_OK);
    ASSERT_EQ(m_device->EndScene(), S_OK);
    for (int y = 0; y < 256; y += 5) ASSERT_EQ(Pixel(128, y), 0xFFFF0000u) << "row " << y;
    level->Release();
    back->Release();
    t->Release();
}

}  // namespace
}  // namespace tumbral_test
