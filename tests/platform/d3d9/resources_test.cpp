// Resources beyond textures: render targets, surface copies, colour fills,
// 16-bit back buffers, cube and volume textures, and the full-screen cursor.
#include <cstring>

#include "tests/platform/d3d9/device_fixture.h"

namespace tumbral_test {
namespace {

class ResourceTest : public DeviceTest {
  protected:
    void SetUp() override {
        DeviceTest::SetUp();
        CreateSmallDevice(32, 32);
        ClearTo(0xFF000000);
    }
};

TEST_F(ResourceTest, RenderToTextureThenSampleIt) {
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(m_device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT,
                                      &target, nullptr),
              S_OK);
    IDirect3DSurface9* level = nullptr;
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(target->GetSurfaceLevel(0, &level), S_OK);
    ASSERT_EQ(m_device->GetRenderTarget(0, &back), S_OK);
    ASSERT_EQ(m_device->SetRenderTarget(0, level), S_OK);
    D3DVIEWPORT9 vp{};
    m_device->GetViewport(&vp);
    EXPECT_EQ(vp.Width, 16u);  // setting a render target resets the viewport to it
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), S_OK);
    FillRect(-0.5f, -0.5f, 7.5f, 15.5f, 0xFFFF0000);  // left half red
    ASSERT_EQ(m_device->SetRenderTarget(0, back), S_OK);

    m_device->SetTexture(0, target);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    TLVertex q[4] = {{-0.5f, -0.5f, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                     {31.5f, -0.5f, 0.5f, 1, 0xFFFFFFFF, 1, 0},
                     {31.5f, 31.5f, 0.5f, 1, 0xFFFFFFFF, 1, 1},
                     {-0.5f, 31.5f, 0.5f, 1, 0xFFFFFFFF, 0, 1}};
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(TLVertex)), S_OK);
    EXPECT_EQ(Pixel(4, 16) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Pixel(28, 16) & 0xFFFFFF, 0x00FF00u);
    m_device->SetTexture(0, nullptr);
    level->Release();
    back->Release();
    EXPECT_EQ(target->Release(), 0u);
}

TEST_F(ResourceTest, SurfaceCopiesAndFills) {
    IDirect3DSurface9* rt = nullptr;
    IDirect3DSurface9* sys = nullptr;
    ASSERT_EQ(
        m_device->CreateRenderTarget(8, 8, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &rt, nullptr),
        S_OK);
    ASSERT_EQ(m_device->CreateOffscreenPlainSurface(8, 8, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &sys, nullptr),
              S_OK);
    RECT r{2, 2, 6, 6};
    ASSERT_EQ(m_device->ColorFill(rt, nullptr, 0xFF0000FF), S_OK);
    ASSERT_EQ(m_device->ColorFill(rt, &r, 0xFFFFFF00), S_OK);
    ASSERT_EQ(m_device->GetRenderTargetData(rt, sys), S_OK);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(sys->LockRect(&lr, nullptr, D3DLOCK_READONLY), S_OK);
    auto at = [&](int x, int y) {
        return reinterpret_cast<const uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x];
    };
    EXPECT_EQ(at(0, 0) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(at(3, 3) & 0xFFFFFF, 0xFFFF00u);
    sys->UnlockRect();
    EXPECT_EQ(rt->LockRect(&lr, nullptr, 0), D3DERR_INVALIDCALL);  // not lockable

    IDirect3DSurface9* back = nullptr;
    m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    RECT dst{10, 10, 26, 26};
    ASSERT_EQ(m_device->StretchRect(rt, nullptr, back, &dst, D3DTEXF_POINT), S_OK);  // 2x enlargement
    EXPECT_EQ(Pixel(11, 11) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(Pixel(16, 16) & 0xFFFFFF, 0xFFFF00u);
    EXPECT_EQ(Pixel(9, 9) & 0xFFFFFF, 0u);
    back->Release();
    EXPECT_EQ(sys->Release(), 0u);
    EXPECT_EQ(rt->Release(), 0u);
}

// An X8R8G8B8 texture's unused byte never reaches blending: whatever a lock
// wrote there, the texture is sampled opaque.
TEST_F(ResourceTest, XrgbTextureSamplesOpaqueWhateverItsUnusedByte) {
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(m_device->CreateTexture(4, 4, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &tex, nullptr), S_OK);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(tex->LockRect(0, &lr, nullptr, 0), S_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x] = 0x0000FF00u;
    ASSERT_EQ(tex->UnlockRect(0), S_OK);

    // Texture alpha blended over the black frame: an alpha of 0 would leave it black.
    m_device->SetTexture(0, tex);
    m_device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    m_device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    m_device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    TLVertex q[4] = {{-0.5f, -0.5f, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                     {31.5f, -0.5f, 0.5f, 1, 0xFFFFFFFF, 1, 0},
                     {31.5f, 31.5f, 0.5f, 1, 0xFFFFFFFF, 1, 1},
                     {-0.5f, 31.5f, 0.5f, 1, 0xFFFFFFFF, 0, 1}};
    ASSERT_EQ(m_device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, q, sizeof(TLVertex)), S_OK);
    EXPECT_EQ(Pixel(16, 16) & 0xFFFFFF, 0x00FF00u);
    m_device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_device->SetTexture(0, nullptr);
    EXPECT_EQ(tex->Release(), 0u);
}

TEST_F(ResourceTest, SixteenBitBackBufferLocksInItsFormat) {
    D3DPRESENT_PARAMETERS pp = Params(16, 16);
    pp.BackBufferFormat = D3DFMT_R5G6B5;
    ASSERT_EQ(m_device->Reset(&pp), S_OK);
    m_device->SetRenderState(D3DRS_LIGHTING, FALSE);
    ASSERT_EQ(m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), S_OK);
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(m_device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), S_OK);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(back->LockRect(&lr, nullptr, 0), S_OK);
    EXPECT_EQ(*static_cast<uint16_t*>(lr.pBits), 0xF800);
    *static_cast<uint16_t*>(lr.pBits) = 0x07E0;  // write green back through the lock
    ASSERT_EQ(back->UnlockRect(), S_OK);
    back->Release();
    ASSERT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    const auto* record = Backend().Window(plat::NativeWindowOf(m_window));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->frame[0] & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(record->frame[1] & 0xFFFFFF, 0xFF0000u);
}

TEST_F(ResourceTest, CubeAndVolumeTexturesLockEveryLevel) {
    IDirect3DCubeTexture9* cube = nullptr;
    ASSERT_EQ(m_device->CreateCubeTexture(8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &cube, nullptr), S_OK);
    EXPECT_EQ(cube->GetLevelCount(), 4u);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(cube->LockRect(D3DCUBEMAP_FACE_NEGATIVE_Z, 3, &lr, nullptr, 0), S_OK);
    EXPECT_EQ(cube->LockRect(D3DCUBEMAP_FACE_NEGATIVE_Z, 3, &lr, nullptr, 0),
              D3DERR_INVALIDCALL);  // already locked
    ASSERT_EQ(cube->UnlockRect(D3DCUBEMAP_FACE_NEGATIVE_Z, 3), S_OK);
    EXPECT_EQ(cube->LockRect(D3DCUBEMAP_FACES(6), 0, &lr, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(cube->Release(), 0u);

    IDirect3DVolumeTexture9* volume = nullptr;
    ASSERT_EQ(
        m_device->CreateVolumeTexture(8, 4, 2, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &volume, nullptr),
        S_OK);
    EXPECT_EQ(volume->GetLevelCount(), 4u);
    D3DVOLUME_DESC vd;
    ASSERT_EQ(volume->GetLevelDesc(1, &vd), S_OK);
    EXPECT_EQ(vd.Width, 4u);
    EXPECT_EQ(vd.Height, 2u);
    EXPECT_EQ(vd.Depth, 1u);
    D3DLOCKED_BOX box;
    ASSERT_EQ(volume->LockBox(0, &box, nullptr, 0), S_OK);
    EXPECT_EQ(box.RowPitch, 32);
    EXPECT_EQ(box.SlicePitch, 128);
    std::memset(box.pBits, 0xAB, 256);
    ASSERT_EQ(volume->UnlockBox(0), S_OK);
    IDirect3DVolumeTexture9* giant = nullptr;
    EXPECT_EQ(m_device->CreateVolumeTexture(4096, 4096, 4096, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &giant,
                                            nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(giant, nullptr);
    EXPECT_EQ(volume->Release(), 0u);
}

TEST_F(ResourceTest, FullScreenCursorIsDrawnOverTheFrame) {
    D3DPRESENT_PARAMETERS pp = Params(1920, 1080);
    pp.Windowed = FALSE;
    ASSERT_EQ(m_device->Reset(&pp), S_OK);
    IDirect3DSurface9* cursor = nullptr;
    ASSERT_EQ(m_device->CreateOffscreenPlainSurface(4, 4, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, &cursor, nullptr),
              S_OK);
    D3DLOCKED_RECT lr;
    ASSERT_EQ(cursor->LockRect(&lr, nullptr, 0), S_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(lr.pBits) + y * lr.Pitch)[x] =
                x == 3 ? 0 : 0xFFFFFFFF;
    cursor->UnlockRect();
    ASSERT_EQ(m_device->SetCursorProperties(1, 1, cursor), S_OK);
    m_device->SetCursorPosition(100, 50, 0);
    EXPECT_EQ(m_device->ShowCursor(TRUE), FALSE);
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(m_device->Present(nullptr, nullptr, nullptr, nullptr), S_OK);
    const auto* record = Backend().Window(plat::NativeWindowOf(m_window));
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->frameWidth, 1920);
    EXPECT_EQ(record->frame[49 * 1920 + 99] & 0xFFFFFF,
              0xFFFFFFu);  // top-left of the image at the hot spot offset
    EXPECT_EQ(record->frame[49 * 1920 + 101] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(record->frame[49 * 1920 + 102] & 0xFFFFFF, 0u);  // transparent column
    EXPECT_EQ(record->frame[60 * 1920 + 120] & 0xFFFFFF, 0u);
    // The back buffer itself is untouched.
    EXPECT_EQ(cursor->Release(), 0u);
    EXPECT_EQ(m_device->ShowCursor(FALSE), TRUE);
}

}  // namespace
}  // namespace tumbral_test
