// The asset cache on the software device: which requests share an object,
// the references callers and the cache hold, what a lost and a destroyed
// device take away, fonts keyed by description, and effects that cannot load.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/kit/base/asset_cache.h"
#include "platform/resource_script.h"
#include "tests/common/kit/state_reset.h"
#include "tests/support/device_fixture.h"
#include "tests/support/headless_fixture.h"

namespace {

constexpr UINT kWidth = 64;
constexpr UINT kHeight = 64;
constexpr HRESULT kFileNotFound = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

// A 4 x 4, 24-bit BMP of one colour (0xRRGGBB).
std::vector<uint8_t> SolidBmp(uint32_t rgb) {
    const uint32_t w = 4, h = 4, rowBytes = w * 3, dataBytes = rowBytes * h;
    std::vector<uint8_t> b(54 + dataBytes, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, uint32_t(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1;   // planes
    b[28] = 24;  // bits per pixel
    put32(34, dataBytes);
    for (uint32_t i = 0; i < w * h; ++i) {
        b[54 + i * 3 + 0] = uint8_t(rgb);
        b[54 + i * 3 + 1] = uint8_t(rgb >> 8);
        b[54 + i * 3 + 2] = uint8_t(rgb >> 16);
    }
    return b;
}

// A DDS cube map with six 1 x 1 A8R8G8B8 faces of one colour.
std::vector<uint8_t> SolidCubeDds(uint32_t argb) {
    std::vector<uint8_t> b(4 + 124 + 6 * 4, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    put32(0, 0x20534444);                // "DDS "
    put32(4, 124);                       // header size
    put32(8, 0x1 | 0x2 | 0x4 | 0x1000);  // caps, height, width, pixel format
    put32(12, 1);                        // height
    put32(16, 1);                        // width
    put32(20, 4);                        // pitch
    put32(76, 32);                       // pixel format size
    put32(80, 0x40 | 0x1);               // RGB with alpha
    put32(88, 32);                       // bits
    put32(92, 0x00FF0000);
    put32(96, 0x0000FF00);
    put32(100, 0x000000FF);
    put32(104, 0xFF000000);
    put32(108, 0x1000 | 0x8);    // texture, complex
    put32(112, 0x200 | 0xFC00);  // cube map with all faces
    for (size_t f = 0; f < 6; ++f) put32(128 + f * 4, argb);
    return b;
}

// Texel (0, 0) of level 0 as 0xRRGGBB.
DWORD FirstTexel(IDirect3DTexture9* tex) {
    D3DLOCKED_RECT lr{};
    if (FAILED(tex->LockRect(0, &lr, nullptr, D3DLOCK_READONLY))) return 0xFFFFFFFF;
    const DWORD texel = *static_cast<const DWORD*>(lr.pBits) & 0x00FFFFFF;
    tex->UnlockRect(0);
    return texel;
}

const std::vector<uint8_t>& BlueBmp() {
    static const std::vector<uint8_t> bytes = SolidBmp(0x0000FF);
    return bytes;
}

class AssetCacheDevice : public tumbral_test::HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        kittest::ResetCoreState();
        ASSERT_NO_FATAL_FAILURE(m_WorkDir.Enter("asset_cache"));
        WriteFile("red.bmp", SolidBmp(0xFF0000));
        WriteFile("green.bmp", SolidBmp(0x00FF00));
        WriteFile("cube.dds", SolidCubeDds(0xFF808080));
        WriteFile("junk.bmp",
                  std::vector<uint8_t>{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
        AddModuleResource(L"red.bmp", BlueBmp().data(), BlueBmp().size());
        AddModuleResource(L"#77", BlueBmp().data(), BlueBmp().size());

        RegisterTestClass();
        m_hWnd = CreateTestWindow(int(kWidth), int(kHeight));
        m_pp = tumbral_test::WindowedParams(m_hWnd, kWidth, kHeight);
        ASSERT_NO_FATAL_FAILURE(tumbral_test::OpenDevice(m_pp, m_pD3D, m_pDevice));
        m_nBaseDeviceRefs = tumbral_test::RefCount(m_pDevice);
    }
    void TearDown() override {
        m_Cache.OnDeviceDestroyed();
        tumbral_test::CloseDevice(m_pDevice, m_pD3D);  // a reference left by the cache or a test shows here
        m_WorkDir.Leave();
        kittest::ResetCoreState();
        HeadlessTest::TearDown();
    }

    static void WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream f(name, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }

    // A 2D texture with everything but the pool and size at the short form's values.
    HRESULT LoadSized(LPCWSTR name, UINT size, D3DPOOL pool, IDirect3DTexture9** pp) {
        return m_Cache.LoadTexture(m_pDevice, name, size, size, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, pool,
                                   D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, pp);
    }

    tumbral_test::TempWorkDir m_WorkDir;
    HWND m_hWnd = nullptr;
    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
    D3DPRESENT_PARAMETERS m_pp{};
    ULONG m_nBaseDeviceRefs = 0;
    CKitAssetCache m_Cache;
};

TEST_F(AssetCacheDevice, TheSameFileTwiceSharesOneObjectWithOneMoreReference) {
    IDirect3DTexture9* a = nullptr;
    IDirect3DTexture9* b = nullptr;
    IDirect3DTexture9* c = nullptr;
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, L"red.bmp", &a), S_OK);
    EXPECT_EQ(tumbral_test::RefCount(a), 2u);  // the caller's and the cache's
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, L"red.bmp", &b), S_OK);
    EXPECT_EQ(b, a);
    EXPECT_EQ(tumbral_test::RefCount(a), 3u);

    // Filters and colour key are not part of the key: the extended form with
    // the short form's key values answers from the cache too.
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, L"red.bmp", D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                  D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_POINT, D3DX_FILTER_NONE,
                                  0xFF00FF00, &info, nullptr, &c),
              S_OK);
    EXPECT_EQ(c, a);
    EXPECT_EQ(m_Cache.TextureCount(), 1);
    EXPECT_EQ(FirstTexel(a), 0xFF0000u);

    c->Release();
    b->Release();
    EXPECT_EQ(a->Release(), 1u);  // only the cache's reference is left
}

TEST_F(AssetCacheDevice, AnotherPoolSizeLevelCountFormatOrUsageLoadsAgain) {
    IDirect3DTexture9* base = nullptr;
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, L"red.bmp", &base), S_OK);

    std::vector<IDirect3DTexture9*> others(5, nullptr);
    ASSERT_EQ(LoadSized(L"red.bmp", D3DX_DEFAULT, D3DPOOL_SYSTEMMEM, &others[0]), S_OK);
    ASSERT_EQ(LoadSized(L"red.bmp", 8, D3DPOOL_MANAGED, &others[1]), S_OK);
    ASSERT_EQ(
        m_Cache.LoadTexture(m_pDevice, L"red.bmp", D3DX_DEFAULT, D3DX_DEFAULT, 1, 0, D3DFMT_UNKNOWN,
                            D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &others[2]),
        S_OK);
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, L"red.bmp", D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                  D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                  nullptr, &others[3]),
              S_OK);
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, L"red.bmp", D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                  D3DUSAGE_DYNAMIC, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DX_DEFAULT,
                                  D3DX_DEFAULT, 0, nullptr, nullptr, &others[4]),
              S_OK);
    for (size_t i = 0; i < others.size(); ++i) {
        EXPECT_NE(others[i], base) << i;
        for (size_t j = 0; j < i; ++j) EXPECT_NE(others[i], others[j]) << i << " " << j;
    }
    EXPECT_EQ(m_Cache.TextureCount(), 6);

    // Each of them is shared in its turn.
    IDirect3DTexture9* again = nullptr;
    ASSERT_EQ(LoadSized(L"red.bmp", 8, D3DPOOL_MANAGED, &again), S_OK);
    EXPECT_EQ(again, others[1]);
    again->Release();
    // And another file with the same parameters is another object.
    IDirect3DTexture9* green = nullptr;
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, L"green.bmp", &green), S_OK);
    EXPECT_NE(green, base);
    EXPECT_EQ(FirstTexel(green), 0x00FF00u);

    green->Release();
    for (IDirect3DTexture9* t : others) t->Release();
    base->Release();
}

TEST_F(AssetCacheDevice, FileAndResourceOriginsAreKeptApart) {
    IDirect3DTexture9* file = nullptr;
    IDirect3DTexture9* res = nullptr;
    IDirect3DTexture9* res2 = nullptr;
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, L"red.bmp", &file), S_OK);
    ASSERT_EQ(m_Cache.LoadTextureFromResource(m_pDevice, nullptr, L"red.bmp", &res), S_OK);
    EXPECT_NE(res, file);
    EXPECT_EQ(FirstTexel(file), 0xFF0000u);  // the file
    EXPECT_EQ(FirstTexel(res), 0x0000FFu);   // the resource of the same name
    ASSERT_EQ(m_Cache.LoadTextureFromResource(m_pDevice, nullptr, L"red.bmp", &res2), S_OK);
    EXPECT_EQ(res2, res);

    // Another module is another key, and names compare exactly (the platform
    // finds both spellings, the cache keeps them apart).
    IDirect3DTexture9* otherModule = nullptr;
    IDirect3DTexture9* otherCase = nullptr;
    ASSERT_EQ(m_Cache.LoadTextureFromResource(m_pDevice, reinterpret_cast<HMODULE>(0x1000), L"red.bmp",
                                              &otherModule),
              S_OK);
    ASSERT_EQ(m_Cache.LoadTextureFromResource(m_pDevice, nullptr, L"RED.bmp", &otherCase), S_OK);
    EXPECT_NE(otherModule, res);
    EXPECT_NE(otherCase, res);
    EXPECT_EQ(m_Cache.TextureCount(), 4);

    for (IDirect3DTexture9* t : {file, res, res2, otherModule, otherCase}) t->Release();
}

TEST_F(AssetCacheDevice, IntegerResourceIdentifiersAreKeyedByNumber) {
    IDirect3DTexture9* byId = nullptr;
    IDirect3DTexture9* byName = nullptr;
    IDirect3DTexture9* other = nullptr;
    ASSERT_EQ(m_Cache.LoadTextureFromResource(m_pDevice, nullptr, MAKEINTRESOURCEW(77), &byId), S_OK);
    ASSERT_EQ(m_Cache.LoadTextureFromResource(m_pDevice, nullptr, L"#77", &byName), S_OK);
    EXPECT_EQ(byName, byId);
    EXPECT_EQ(m_Cache.LoadTextureFromResource(m_pDevice, nullptr, MAKEINTRESOURCEW(78), &other),
              kFileNotFound);
    EXPECT_EQ(m_Cache.TextureCount(), 1);
    byName->Release();
    byId->Release();
}

TEST_F(AssetCacheDevice, CubeAndVolumeTexturesAreKeyedByKind) {
    IDirect3DTexture9* flat = nullptr;
    IDirect3DVolumeTexture9* volume = nullptr;
    IDirect3DVolumeTexture9* volume2 = nullptr;
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, L"red.bmp", &flat), S_OK);
    ASSERT_EQ(m_Cache.LoadVolumeTexture(m_pDevice, L"red.bmp", &volume), S_OK);
    ASSERT_EQ(m_Cache.LoadVolumeTexture(m_pDevice, L"red.bmp", &volume2), S_OK);
    EXPECT_NE(static_cast<void*>(volume), static_cast<void*>(flat));
    EXPECT_EQ(volume2, volume);
    EXPECT_EQ(tumbral_test::RefCount(volume), 3u);

    IDirect3DCubeTexture9* cube = nullptr;
    IDirect3DCubeTexture9* cube2 = nullptr;
    IDirect3DCubeTexture9* cubeSmall = nullptr;
    ASSERT_EQ(m_Cache.LoadCubeTexture(m_pDevice, L"cube.dds", &cube), S_OK);
    ASSERT_EQ(m_Cache.LoadCubeTexture(m_pDevice, L"cube.dds", &cube2), S_OK);
    EXPECT_EQ(cube2, cube);
    ASSERT_EQ(m_Cache.LoadCubeTexture(m_pDevice, L"cube.dds", 2, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                      D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, &cubeSmall),
              S_OK);
    EXPECT_NE(cubeSmall, cube);

    // Volumes differ by depth.
    IDirect3DVolumeTexture9* deep = nullptr;
    ASSERT_EQ(m_Cache.LoadVolumeTexture(m_pDevice, L"red.bmp", D3DX_DEFAULT, D3DX_DEFAULT, 2, D3DX_DEFAULT, 0,
                                        D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                        nullptr, nullptr, &deep),
              S_OK);
    EXPECT_NE(deep, volume);
    EXPECT_EQ(m_Cache.TextureCount(), 5);

    for (IUnknown* p : std::initializer_list<IUnknown*>{flat, volume, volume2, cube, cube2, cubeSmall, deep})
        p->Release();
}

TEST_F(AssetCacheDevice, LoaderFailuresAreReturnedAndLeaveTheCacheAlone) {
    IDirect3DTexture9* tex = nullptr;
    IDirect3DCubeTexture9* cube = nullptr;
    EXPECT_EQ(m_Cache.LoadTexture(m_pDevice, L"missing.bmp", &tex), kFileNotFound);
    EXPECT_EQ(m_Cache.LoadTexture(m_pDevice, L"junk.bmp", &tex), D3DXERR_INVALIDDATA);
    EXPECT_EQ(m_Cache.LoadCubeTexture(m_pDevice, L"red.bmp", &cube), D3DXERR_INVALIDDATA);  // not a cube map
    EXPECT_EQ(m_Cache.LoadTextureFromResource(m_pDevice, nullptr, L"NoSuchResource", &tex), kFileNotFound);
    EXPECT_EQ(m_Cache.LoadTexture(m_pDevice, nullptr, &tex), E_INVALIDARG);
    EXPECT_EQ(m_Cache.LoadTexture(m_pDevice, L"red.bmp", nullptr), E_INVALIDARG);
    EXPECT_EQ(m_Cache.LoadTexture(nullptr, L"red.bmp", &tex), E_INVALIDARG);
    EXPECT_EQ(m_Cache.TextureCount(), 0);
    EXPECT_EQ(tumbral_test::RefCount(m_pDevice), m_nBaseDeviceRefs);
}

TEST_F(AssetCacheDevice, NamesTooLongToKeyAreLoadedButNotShared) {
    std::filesystem::path dir;
    for (int i = 0; i < 6; ++i) dir /= std::string(50, char('a' + i));
    std::filesystem::create_directories(dir);
    const std::filesystem::path file = dir / "red.bmp";
    WriteFile(file.string(), SolidBmp(0xFF0000));
    const std::wstring name = file.wstring();
    ASSERT_GT(name.size(), size_t(MAX_PATH));

    IDirect3DTexture9* a = nullptr;
    IDirect3DTexture9* b = nullptr;
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, name.c_str(), &a), S_OK);
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, name.c_str(), &b), S_OK);
    EXPECT_NE(a, b);
    EXPECT_EQ(m_Cache.TextureCount(), 0);
    EXPECT_EQ(a->Release(), 0u);
    EXPECT_EQ(b->Release(), 0u);
}

TEST_F(AssetCacheDevice, ALostDeviceTakesDefaultPoolTexturesAndKeepsManagedOnes) {
    IDirect3DTexture9* managed = nullptr;
    IDirect3DTexture9* deflt = nullptr;
    ID3DXFont* font = nullptr;
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, L"red.bmp", &managed), S_OK);
    ASSERT_EQ(LoadSized(L"green.bmp", D3DX_DEFAULT, D3DPOOL_DEFAULT, &deflt), S_OK);
    ASSERT_EQ(m_Cache.LoadFont(m_pDevice, 15, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial", &font),
              S_OK);
    EXPECT_EQ(tumbral_test::RefCount(deflt), 2u);

    EXPECT_EQ(m_Cache.OnDeviceLost(), S_OK);
    EXPECT_EQ(m_Cache.TextureCount(), 1);
    EXPECT_EQ(tumbral_test::RefCount(deflt), 1u);  // the cache let go of its reference
    EXPECT_EQ(tumbral_test::RefCount(managed), 2u);

    // The managed texture is still answered from the cache; the default-pool one loads again.
    IDirect3DTexture9* managed2 = nullptr;
    IDirect3DTexture9* deflt2 = nullptr;
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, L"red.bmp", &managed2), S_OK);
    ASSERT_EQ(LoadSized(L"green.bmp", D3DX_DEFAULT, D3DPOOL_DEFAULT, &deflt2), S_OK);
    EXPECT_EQ(managed2, managed);
    EXPECT_NE(deflt2, deflt);
    managed2->Release();
    deflt->Release();
    deflt2->Release();

    // The reloaded default-pool texture is in the cache again, so the device
    // cannot reset until the cache hears of the loss.
    D3DPRESENT_PARAMETERS pp = m_pp;
    EXPECT_EQ(m_pDevice->Reset(&pp), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_Cache.OnDeviceLost(), S_OK);
    pp = m_pp;
    ASSERT_EQ(m_pDevice->Reset(&pp), S_OK);
    EXPECT_EQ(m_Cache.OnResetDevice(m_pDevice), S_OK);

    // What survived still works after the reset.
    EXPECT_EQ(FirstTexel(managed), 0xFF0000u);
    RECT rc{0, 0, 0, 0};
    ASSERT_EQ(m_pDevice->BeginScene(), S_OK);
    EXPECT_GT(font->DrawTextW(nullptr, L"OK", -1, &rc, DT_NOCLIP, 0xFFFFFFFF), 0);
    EXPECT_EQ(m_pDevice->EndScene(), S_OK);

    font->Release();
    managed->Release();
}

TEST_F(AssetCacheDevice, ADestroyedDeviceTakesEverythingAndTheCacheStartsOver) {
    IDirect3DTexture9* tex = nullptr;
    IDirect3DCubeTexture9* cube = nullptr;
    ID3DXFont* font = nullptr;
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, L"red.bmp", &tex), S_OK);
    ASSERT_EQ(m_Cache.LoadCubeTexture(m_pDevice, L"cube.dds", &cube), S_OK);
    ASSERT_EQ(m_Cache.LoadFont(m_pDevice, 12, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH, L"Courier New", &font),
              S_OK);
    tex->Release();
    cube->Release();
    font->Release();
    EXPECT_GT(tumbral_test::RefCount(m_pDevice), m_nBaseDeviceRefs);  // the cache's objects hold the device

    EXPECT_EQ(m_Cache.OnDeviceDestroyed(), S_OK);
    EXPECT_EQ(m_Cache.TextureCount(), 0);
    EXPECT_EQ(m_Cache.FontCount(), 0);
    EXPECT_EQ(tumbral_test::RefCount(m_pDevice), m_nBaseDeviceRefs);

    IDirect3DTexture9* fresh = nullptr;
    ASSERT_EQ(m_Cache.LoadTexture(m_pDevice, L"red.bmp", &fresh), S_OK);
    EXPECT_EQ(tumbral_test::RefCount(fresh), 2u);
    fresh->Release();
}

TEST_F(AssetCacheDevice, ACacheGoingOutOfScopeReleasesWhatItHolds) {
    {
        CKitAssetCache scoped;
        IDirect3DTexture9* tex = nullptr;
        ID3DXFont* font = nullptr;
        ASSERT_EQ(scoped.LoadTexture(m_pDevice, L"red.bmp", &tex), S_OK);
        ASSERT_EQ(scoped.LoadFont(m_pDevice, 12, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial", &font),
                  S_OK);
        tex->Release();
        font->Release();
    }
    EXPECT_EQ(tumbral_test::RefCount(m_pDevice), m_nBaseDeviceRefs);
}

TEST_F(AssetCacheDevice, FontsAreSharedWhenTheirDescriptionsMatchIgnoringFaceCase) {
    ID3DXFont* arial = nullptr;
    ID3DXFont* upper = nullptr;
    ID3DXFont* heavier = nullptr;
    ID3DXFont* byDesc = nullptr;
    ASSERT_EQ(m_Cache.LoadFont(m_pDevice, 15, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial", &arial),
              S_OK);
    ASSERT_EQ(m_Cache.LoadFont(m_pDevice, 15, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"aRIAL", &upper),
              S_OK);
    EXPECT_EQ(upper, arial);
    EXPECT_EQ(tumbral_test::RefCount(arial), 3u);
    ASSERT_EQ(m_Cache.LoadFont(m_pDevice, 15, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial", &heavier),
              S_OK);
    EXPECT_NE(heavier, arial);

    D3DXFONT_DESCW desc{};
    desc.Height = 15;
    desc.Weight = FW_BOLD;
    desc.MipLevels = 1;
    desc.CharSet = DEFAULT_CHARSET;
    desc.OutputPrecision = OUT_DEFAULT_PRECIS;
    desc.Quality = DEFAULT_QUALITY;
    desc.PitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    StringCchCopyW(desc.FaceName, LF_FACESIZE, L"ARIAL");
    ASSERT_EQ(m_Cache.LoadFontDesc(m_pDevice, &desc, &byDesc), S_OK);
    EXPECT_EQ(byDesc, arial);
    EXPECT_EQ(m_Cache.FontCount(), 2);

    for (ID3DXFont* f : {arial, upper, heavier, byDesc}) f->Release();
}

TEST_F(AssetCacheDevice, LongFaceNamesAreCutTo31CharactersBeforeMatching) {
    const std::wstring longFace = L"Face Name That Runs On Past Thirty-One Characters";
    ID3DXFont* cut = nullptr;
    ID3DXFont* prefix = nullptr;
    ID3DXFont* different = nullptr;
    ASSERT_EQ(m_Cache.LoadFont(m_pDevice, 12, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH, longFace.c_str(), &cut),
              S_OK);
    ASSERT_EQ(m_Cache.LoadFont(m_pDevice, 12, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH, longFace.substr(0, 31).c_str(), &prefix),
              S_OK);
    EXPECT_EQ(prefix, cut);
    ASSERT_EQ(m_Cache.LoadFont(m_pDevice, 12, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               DEFAULT_QUALITY, DEFAULT_PITCH, longFace.substr(0, 30).c_str(), &different),
              S_OK);
    EXPECT_NE(different, cut);

    // A description whose face fills all 32 characters without a terminator
    // is read up to the 31 the cache keeps.
    D3DXFONT_DESCW desc{};
    desc.Height = 12;
    desc.Weight = FW_NORMAL;
    desc.MipLevels = 1;
    desc.CharSet = DEFAULT_CHARSET;
    desc.OutputPrecision = OUT_DEFAULT_PRECIS;
    desc.Quality = DEFAULT_QUALITY;
    desc.PitchAndFamily = DEFAULT_PITCH;
    for (int i = 0; i < LF_FACESIZE; ++i) desc.FaceName[i] = longFace[size_t(i)];
    ID3DXFont* unterminated = nullptr;
    ASSERT_EQ(m_Cache.LoadFontDesc(m_pDevice, &desc, &unterminated), S_OK);
    EXPECT_EQ(unterminated, cut);
    EXPECT_EQ(m_Cache.FontCount(), 2);
    for (ID3DXFont* f : {cut, prefix, different, unterminated}) f->Release();
}

TEST_F(AssetCacheDevice, EffectsFailCleanlyAndAreNotRemembered) {
    WriteFile("shade.fx", std::vector<uint8_t>{'t', 'e', 'c', 'h', 'n', 'i', 'q', 'u', 'e'});
    static const char kFx[] = "technique T {}";
    AddModuleResource(L"Shade.fx", kFx, sizeof kFx);

    ID3DXEffect* effect = nullptr;
    EXPECT_EQ(m_Cache.LoadEffect(m_pDevice, L"missing.fx", nullptr, nullptr, 0, nullptr, &effect),
              kFileNotFound);
    EXPECT_EQ(m_Cache.LoadEffect(m_pDevice, L"shade.fx", nullptr, nullptr, 0, nullptr, &effect), E_NOTIMPL);
    EXPECT_EQ(m_Cache.LoadEffectFromResource(m_pDevice, nullptr, L"Shade.fx", nullptr, nullptr,
                                             D3DXSHADER_DEBUG, nullptr, &effect),
              E_NOTIMPL);
    EXPECT_EQ(m_Cache.LoadEffect(m_pDevice, L"shade.fx", nullptr, nullptr, 0, nullptr, nullptr),
              E_INVALIDARG);
    EXPECT_EQ(effect, nullptr);
    EXPECT_EQ(m_Cache.EffectCount(), 0);
    // The hooks walk the (empty) effect list without trouble.
    EXPECT_EQ(m_Cache.OnDeviceLost(), S_OK);
    EXPECT_EQ(m_Cache.OnResetDevice(m_pDevice), S_OK);
    EXPECT_EQ(tumbral_test::RefCount(m_pDevice), m_nBaseDeviceRefs);
}

TEST(AssetCacheAccessor, TheFrameworkHasOneCache) {
    CKitAssetCache& first = KitAssetCache();
    EXPECT_EQ(&KitAssetCache(), &first);
    EXPECT_EQ(first.OnCreateDevice(nullptr), S_OK);
}

}  // namespace
