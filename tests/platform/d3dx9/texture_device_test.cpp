// Textures on a device: every image format decodes to the right texels,
// sizes and mip levels follow the request, DDS cube maps and volumes, the
// colour key, built-in resources, image information and bad input.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/platform/d3dx9/d3dx_device_env.h"
#include "platform/d3dx9/image_resample.h"
#include "platform/win32/kernel_resources.h"
#include "tests/platform/d3dx9/test_images.h"

namespace {

// 3 x 2 pixels: red, green, blue / white, black, half-transparent grey.
const std::vector<uint32_t> kPixels = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                       0xFFFFFFFF, 0xFF000000, 0x80808080};

class TextureDeviceTest : public D3dxDeviceTest {
  protected:
    // Loads from memory at the file's own size with one level.
    IDirect3DTexture9* LoadExact(const std::vector<uint8_t>& bytes, D3DXIMAGE_INFO* info = nullptr,
                                 D3DFORMAT format = D3DFMT_UNKNOWN, D3DCOLOR key = 0) {
        IDirect3DTexture9* tex = nullptr;
        const HRESULT hr = D3DXCreateTextureFromFileInMemoryEx(
            m_pDevice, bytes.data(), UINT(bytes.size()), D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, 1, 0,
            format, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, key, info, nullptr, &tex);
        EXPECT_EQ(hr, S_OK);
        return tex;
    }
};

TEST_F(TextureDeviceTest, LosslessFormatsDecodeToTheirTexels) {
    const struct {
        TestImageKind kind;
        int channels;
        D3DXIMAGE_FILEFORMAT fileFormat;
    } cases[] = {
        {TestImageKind::Bmp, 3, D3DXIFF_BMP},
        {TestImageKind::Png, 4, D3DXIFF_PNG},
        {TestImageKind::Png, 3, D3DXIFF_PNG},
        {TestImageKind::Tga, 4, D3DXIFF_TGA},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.fileFormat) * 10 + c.channels);
        D3DXIMAGE_INFO info{};
        IDirect3DTexture9* tex = LoadExact(EncodeTestImage(c.kind, 3, 2, c.channels, kPixels), &info);
        ASSERT_NE(tex, nullptr);
        EXPECT_EQ(info.Width, 3u);
        EXPECT_EQ(info.Height, 2u);
        EXPECT_EQ(info.ImageFileFormat, c.fileFormat);
        EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
        D3DSURFACE_DESC desc{};
        tex->GetLevelDesc(0, &desc);
        EXPECT_EQ(desc.Format, c.channels == 4 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8);
        EXPECT_EQ(tex->GetLevelCount(), 1u);
        const std::vector<DWORD> texels = ReadTexels(tex, 0);
        ASSERT_EQ(texels.size(), 6u);
        for (size_t i = 0; i < 6; ++i) {
            const DWORD expected = c.channels == 4 ? kPixels[i] : (kPixels[i] | 0xFF000000);
            EXPECT_EQ(texels[i], expected) << "texel " << i;
        }
        tex->Release();
    }
}

// Grey PNGs keep a byte a texel until they are read into the texture: grey
// fills the colour channels; a grey alpha, or a transparency chunk, gives alpha.
TEST_F(TextureDeviceTest, GreyPngsWidenWithTheirAlpha) {
    const struct {
        std::vector<uint8_t> png;
        D3DFORMAT format;
        DWORD texels[2];
    } cases[] = {
        {MakePng(2, 1, 8, 0, {0, 0x40, 0xC0}), D3DFMT_X8R8G8B8, {0xFF404040, 0xFFC0C0C0}},
        {MakePng(2, 1, 1, 0, {0, 0x80}), D3DFMT_X8R8G8B8, {0xFFFFFFFF, 0xFF000000}},
        {MakePng(2, 1, 8, 4, {0, 0x40, 0x80, 0xC0, 0xFF}), D3DFMT_A8R8G8B8, {0x80404040, 0xFFC0C0C0}},
        {MakePng(2, 1, 8, 0, {0, 0x40, 0xC0}, {{"tRNS", {0x00, 0x40}}}),
         D3DFMT_A8R8G8B8,
         {0x00404040, 0xFFC0C0C0}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        IDirect3DTexture9* tex = LoadExact(cases[i].png, nullptr, cases[i].format);
        ASSERT_NE(tex, nullptr);
        const std::vector<DWORD> texels = ReadTexels(tex, 0);
        ASSERT_EQ(texels.size(), 2u);
        EXPECT_EQ(texels[0], cases[i].texels[0]);
        EXPECT_EQ(texels[1], cases[i].texels[1]);
        tex->Release();
    }
}

// The top level made a row at a time (keyed, then resampled to a power of
// two) and each level made from the one above equal the same steps done on
// whole images.
TEST_F(TextureDeviceTest, LevelsMadeRowByRowMatchWholeImages) {
    std::vector<uint32_t> px(7 * 5);
    for (size_t i = 0; i < px.size(); ++i) px[i] = 0xFF000000u | uint32_t(i * 2654435761u) >> 8;
    const D3DCOLOR key = px[9];
    IDirect3DTexture9* tex = nullptr;
    const auto png = EncodeTestImage(TestImageKind::Png, 7, 5, 3, px);
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                  m_pDevice, png.data(), UINT(png.size()), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                  D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, key, nullptr, nullptr, &tex),
              S_OK);
    ASSERT_EQ(tex->GetLevelCount(), 4u);  // 8 x 8 down to 1 x 1

    for (uint32_t& p : px)
        if (p == key) p = 0;
    std::vector<uint32_t> level(64);
    plat::Resample(px.data(), 7, 5, 1, level.data(), 8, 8, 1, D3DX_FILTER_BOX);
    for (UINT l = 0, side = 8; l < 4; ++l, side /= 2) {
        SCOPED_TRACE(l);
        if (l > 0) {
            std::vector<uint32_t> next(size_t(side) * side);
            plat::Resample(level.data(), side * 2, side * 2, 1, next.data(), side, side, 1, D3DX_FILTER_BOX);
            level.swap(next);
        }
        const std::vector<DWORD> texels = ReadTexels(tex, l);
        EXPECT_EQ(std::vector<uint32_t>(texels.begin(), texels.end()), level);
    }
    tex->Release();
}

TEST_F(TextureDeviceTest, JpegDecodesToNearlyItsColours) {
    // Flat 8x8 blocks survive JPEG almost exactly.
    std::vector<uint32_t> px(16 * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) px[y * 16 + x] = x < 8 ? 0xFFC83214 : 0xFF1464C8;
    D3DXIMAGE_INFO info{};
    IDirect3DTexture9* tex = LoadExact(EncodeTestImage(TestImageKind::Jpeg, 16, 8, 3, px), &info);
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_JPG);
    const std::vector<DWORD> texels = ReadTexels(tex, 0);
    ASSERT_EQ(texels.size(), 128u);
    for (int i : {0, 8 * 16 + 3 - 16, 4 * 16 + 12}) {
        for (int shift : {0, 8, 16}) {
            const int got = int((texels[i] >> shift) & 0xFF), want = int((px[i] >> shift) & 0xFF);
            EXPECT_NEAR(got, want, 6) << "texel " << i << " shift " << shift;
        }
    }
    tex->Release();
}

TEST_F(TextureDeviceTest, DdsChannelMasksAreHonoured) {
    // The built-in skin's layout: red in the low byte.
    const std::vector<uint8_t> abgr = {0x11, 0x22, 0x33, 0x44, 0xFF, 0x00, 0x80, 0xFF};
    D3DXIMAGE_INFO info{};
    IDirect3DTexture9* tex =
        LoadExact(MakeDds(2, 1, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000, 0x41, abgr), &info);
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(info.Format, D3DFMT_A8B8G8R8);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DDS);
    std::vector<DWORD> t = ReadTexels(tex, 0);
    ASSERT_EQ(t.size(), 2u);
    EXPECT_EQ(t[0], 0x44112233u);
    EXPECT_EQ(t[1], 0xFFFF0080u);
    tex->Release();

    // 5-6-5 widens to 8 bits per channel.
    const std::vector<uint8_t> rgb565 = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00};  // red, green, blue
    tex = LoadExact(MakeDds(3, 1, 16, 0xF800, 0x7E0, 0x1F, 0, 0x40, rgb565), &info);
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(info.Format, D3DFMT_R5G6B5);
    t = ReadTexels(tex, 0);
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0], 0xFFFF0000u);
    EXPECT_EQ(t[1], 0xFF00FF00u);
    EXPECT_EQ(t[2], 0xFF0000FFu);
    tex->Release();

    // Luminance fills all three colour channels.
    tex = LoadExact(MakeDds(1, 1, 8, 0xFF, 0, 0, 0, 0x20000, {0x5A}), &info);
    ASSERT_NE(tex, nullptr);
    EXPECT_EQ(info.Format, D3DFMT_L8);
    EXPECT_EQ(ReadTexels(tex, 0).at(0), 0xFF5A5A5Au);
    tex->Release();
}

TEST_F(TextureDeviceTest, DefaultSizeRoundsUpAndBuildsBoxFilteredMips) {
    // 4 x 4 checkerboard of black and white 1-texel squares.
    std::vector<uint32_t> px(16);
    for (int i = 0; i < 16; ++i) px[i] = ((i / 4 + i % 4) % 2) ? 0xFFFFFFFF : 0xFF000000;
    const auto png = EncodeTestImage(TestImageKind::Png, 4, 4, 4, px);
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemory(m_pDevice, png.data(), UINT(png.size()), &tex), S_OK);
    EXPECT_EQ(tex->GetLevelCount(), 3u);  // 4, 2, 1
    for (UINT level = 1; level < 3; ++level) {
        for (DWORD t : ReadTexels(tex, level)) {
            EXPECT_NEAR(int((t >> 16) & 0xFF), 128, 1) << "level " << level;  // black and white averaged
            EXPECT_EQ(t >> 24, 0xFFu);
        }
    }
    tex->Release();

    // A 3 x 5 image becomes 4 x 8 (powers of two) with D3DX_DEFAULT.
    const auto bmp = EncodeTestImage(TestImageKind::Bmp, 3, 5, 3, std::vector<uint32_t>(15, 0xFF336699));
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(
                  m_pDevice, bmp.data(), UINT(bmp.size()), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                  D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &tex),
              S_OK);
    D3DSURFACE_DESC desc{};
    tex->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(desc.Height, 8u);
    EXPECT_EQ(tex->GetLevelCount(), 4u);
    EXPECT_EQ(info.Width, 3u);  // the source's size, not the texture's
    for (DWORD t : ReadTexels(tex, 0)) EXPECT_EQ(t, 0xFF336699u);
    tex->Release();
}

TEST_F(TextureDeviceTest, ColorKeyAndRequestedFormat) {
    IDirect3DTexture9* tex =
        LoadExact(EncodeTestImage(TestImageKind::Bmp, 3, 2, 3, kPixels), nullptr, D3DFMT_UNKNOWN, 0xFF00FF00);
    ASSERT_NE(tex, nullptr);
    std::vector<DWORD> t = ReadTexels(tex, 0);
    ASSERT_EQ(t.size(), 6u);
    EXPECT_EQ(t[1], 0u);  // the green texel became transparent black
    EXPECT_EQ(t[0], 0xFFFF0000u);
    tex->Release();

    tex = LoadExact(EncodeTestImage(TestImageKind::Png, 3, 2, 4, kPixels), nullptr, D3DFMT_A8B8G8R8);
    ASSERT_NE(tex, nullptr);
    D3DSURFACE_DESC desc{};
    tex->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A8B8G8R8);
    t = ReadTexels(tex, 0);
    EXPECT_EQ(t[0], 0xFF0000FFu);  // red stored in the low byte
    tex->Release();
}

TEST_F(TextureDeviceTest, FilesResourcesAndTheirFailures) {
    WriteFile("image.png", EncodeTestImage(TestImageKind::Png, 3, 2, 4, kPixels));
    IDirect3DTexture9* tex = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileA(m_pDevice, "image.png", &tex), S_OK);
    tex->Release();
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXCreateTextureFromFileExW(m_pDevice, L"image.png", D3DX_DEFAULT, D3DX_DEFAULT, 1, 0,
                                           D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                           &info, nullptr, &tex),
              S_OK);
    EXPECT_EQ(info.Width, 3u);
    tex->Release();
    ASSERT_EQ(D3DXGetImageInfoFromFileW(L"image.png", &info), S_OK);
    EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(info.MipLevels, 1u);

    static const std::vector<uint8_t> kResource =
        EncodeTestImage(TestImageKind::Bmp, 2, 2, 3, {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF});
    plat::RegisterBuiltinResource(L"Test_Skin", kResource.data(), kResource.size());
    plat::RegisterBuiltinResource(L"#321", kResource.data(), kResource.size());
    ASSERT_EQ(D3DXCreateTextureFromResourceExW(m_pDevice, nullptr, L"test_SKIN", D3DX_DEFAULT, D3DX_DEFAULT,
                                               1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                               D3DX_DEFAULT, 0, &info, nullptr, &tex),
              S_OK);
    EXPECT_EQ(ReadTexels(tex, 0).at(3), 0xFF0000FFu);
    tex->Release();
    ASSERT_EQ(D3DXCreateTextureFromResourceW(m_pDevice, nullptr, MAKEINTRESOURCEW(321), &tex), S_OK);
    tex->Release();

    const HRESULT notFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    tex = reinterpret_cast<IDirect3DTexture9*>(1);
    EXPECT_EQ(D3DXCreateTextureFromFileA(m_pDevice, "missing.png", &tex), notFound);
    EXPECT_EQ(tex, nullptr);
    EXPECT_EQ(D3DXCreateTextureFromResourceW(m_pDevice, nullptr, L"NoSuchResource", &tex), notFound);
    EXPECT_EQ(D3DXGetImageInfoFromFileW(L"missing.png", &info), notFound);
    EXPECT_EQ(D3DXCreateTextureFromFileA(nullptr, "image.png", &tex), E_INVALIDARG);
    EXPECT_EQ(D3DXCreateTextureFromFileA(m_pDevice, "image.png", nullptr), E_INVALIDARG);

    // Bytes that are no image, and images cut short.
    const std::vector<uint8_t> garbage(100, 0x5A);
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(m_pDevice, garbage.data(), UINT(garbage.size()), &tex),
              D3DXERR_INVALIDDATA);
    for (TestImageKind kind : {TestImageKind::Bmp, TestImageKind::Png, TestImageKind::Jpeg}) {
        const auto whole = EncodeTestImage(kind, 3, 2, 3, kPixels);
        const std::vector<uint8_t> cut(whole.begin(), whole.begin() + long(whole.size() / 2));
        EXPECT_EQ(D3DXCreateTextureFromFileInMemory(m_pDevice, cut.data(), UINT(cut.size()), &tex),
                  D3DXERR_INVALIDDATA)
            << int(kind);
    }
    const auto dds = MakeDds(4, 4, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0x41, std::vector<uint8_t>(63));
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(m_pDevice, dds.data(), UINT(dds.size()), &tex),
              D3DXERR_INVALIDDATA);
    auto dxt = MakeDds(4, 4, 0, 0, 0, 0, 0, 0x4, std::vector<uint8_t>(8));
    std::memcpy(dxt.data() + 84, "DXT1", 4);
    EXPECT_EQ(D3DXCreateTextureFromFileInMemory(m_pDevice, dxt.data(), UINT(dxt.size()), &tex),
              D3DXERR_INVALIDDATA);
}

TEST_F(TextureDeviceTest, DdsCubeMapsAndVolumes) {
    // Six 1x1 faces of different colours (A8R8G8B8, stored B, G, R, A).
    std::vector<uint8_t> faces;
    for (uint8_t f = 0; f < 6; ++f) faces.insert(faces.end(), {uint8_t(f * 40), 0, 0, 0xFF});
    const auto cubeDds = MakeDds(1, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0x41, faces, 1, true);
    IDirect3DCubeTexture9* cube = nullptr;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXCreateCubeTextureFromFileInMemoryEx(m_pDevice, cubeDds.data(), UINT(cubeDds.size()),
                                                      D3DX_DEFAULT, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                                      D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &cube),
              S_OK);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_CUBETEXTURE);
    for (UINT f = 0; f < 6; ++f) {
        D3DLOCKED_RECT lr{};
        ASSERT_EQ(cube->LockRect(D3DCUBEMAP_FACES(f), 0, &lr, nullptr, D3DLOCK_READONLY), S_OK);
        EXPECT_EQ(*static_cast<const DWORD*>(lr.pBits), 0xFF000000u | (f * 40)) << "face " << f;
        cube->UnlockRect(D3DCUBEMAP_FACES(f), 0);
    }
    cube->Release();

    // Two 1x1 slices.
    const auto volDds = MakeDds(1, 1, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, 0x41,
                                {0x10, 0x20, 0x30, 0xFF, 0x50, 0x60, 0x70, 0x80}, 2);
    IDirect3DVolumeTexture9* vol = nullptr;
    ASSERT_EQ(D3DXCreateVolumeTextureFromFileInMemoryEx(
                  m_pDevice, volDds.data(), UINT(volDds.size()), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 1,
                  0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, &vol),
              S_OK);
    EXPECT_EQ(info.Depth, 2u);
    D3DLOCKED_BOX lb{};
    ASSERT_EQ(vol->LockBox(0, &lb, nullptr, D3DLOCK_READONLY), S_OK);
    EXPECT_EQ(*static_cast<const DWORD*>(lb.pBits), 0xFF302010u);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(lb.pBits) + lb.SlicePitch),
              0x80706050u);
    vol->UnlockBox(0);
    vol->Release();

    // A plain image is no cube map.
    const auto png = EncodeTestImage(TestImageKind::Png, 2, 2, 4, std::vector<uint32_t>(4, 0xFFFFFFFF));
    EXPECT_EQ(D3DXCreateCubeTextureFromFileInMemoryEx(m_pDevice, png.data(), UINT(png.size()), D3DX_DEFAULT,
                                                      1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                      D3DX_DEFAULT, 0, nullptr, nullptr, &cube),
              D3DXERR_INVALIDDATA);
}

TEST_F(TextureDeviceTest, EffectsAreRefusedWithAReason) {
    WriteFile("effect.fx", std::string("technique T { pass P { } }"));
    ID3DXEffect* effect = reinterpret_cast<ID3DXEffect*>(1);
    ID3DXBuffer* errors = nullptr;
    EXPECT_EQ(
        D3DXCreateEffectFromFileW(m_pDevice, L"effect.fx", nullptr, nullptr, 0, nullptr, &effect, &errors),
        E_NOTIMPL);
    EXPECT_EQ(effect, nullptr);
    ASSERT_NE(errors, nullptr);
    EXPECT_NE(std::strstr(static_cast<const char*>(errors->GetBufferPointer()), "no shader compiler"),
              nullptr);
    errors->Release();
    EXPECT_EQ(
        D3DXCreateEffectFromFileW(m_pDevice, L"missing.fx", nullptr, nullptr, 0, nullptr, &effect, nullptr),
        HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    static const char kFx[] = "technique T {}";
    plat::RegisterBuiltinResource(L"Effect.fx", kFx, sizeof kFx);
    EXPECT_EQ(D3DXCreateEffectFromResourceW(m_pDevice, nullptr, L"effect.FX", nullptr, nullptr, 0, nullptr,
                                            &effect, nullptr),
              E_NOTIMPL);
}

}  // namespace
