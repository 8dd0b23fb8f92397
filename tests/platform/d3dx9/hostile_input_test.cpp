// Hostile files for the texture and mesh loaders: images whose data is
// shorter than their header declares are invalid data (never padded out to
// the declared size, nor given memory for it), and special files in place of
// a file fail at once.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "tests/platform/d3dx9/d3dx_device_env.h"
#include "tests/support/memory_limit.h"
#include "tests/platform/d3dx9/test_images.h"

namespace {

std::vector<uint32_t> Solid(int w, int h, uint32_t argb) {
    return std::vector<uint32_t>(size_t(w) * h, argb);
}

void Put16(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}

// An uncompressed 24-bit TGA of w x h, with all its pixel bytes.
std::vector<uint8_t> RawTga(int w, int h) {
    std::vector<uint8_t> t(18 + size_t(w) * h * 3, 0x40);
    std::memset(t.data(), 0, 18);
    t[2] = 2;  // uncompressed true colour
    Put16(t, 12, uint32_t(w));
    Put16(t, 14, uint32_t(h));
    t[16] = 24;
    return t;
}

// A greyscale baseline JPEG of w x h whose blocks are all flat: one DC and one
// AC Huffman code of one bit each, so every 8 x 8 block takes two zero bits.
// `scanBytes` of zeros follow the scan header (enough: (blocks * 2 + 7) / 8).
std::vector<uint8_t> FlatJpeg(int w, int h, size_t scanBytes) {
    std::vector<uint8_t> j = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
    j.insert(j.end(), 64, 1);  // quantisation table: all ones
    const uint8_t sof[] = {0xFF,       0xC0, 0x00, 0x0B, 8, uint8_t(h >> 8), uint8_t(h), uint8_t(w >> 8),
                           uint8_t(w), 1,    1,    0x11, 0};
    j.insert(j.end(), std::begin(sof), std::end(sof));
    for (uint8_t tableClass : {0x00, 0x10}) {  // DC table 0, AC table 0: symbol 0 as code "0"
        const uint8_t dht[] = {0xFF, 0xC4, 0x00, 0x14, tableClass, 1, 0, 0, 0, 0, 0,
                               0,    0,    0,    0,    0,          0, 0, 0, 0, 0, 0x00};
        j.insert(j.end(), std::begin(dht), std::end(dht));
    }
    const uint8_t sos[] = {0xFF, 0xDA, 0x00, 0x08, 1, 1, 0x00, 0, 63, 0};
    j.insert(j.end(), std::begin(sos), std::end(sos));
    j.insert(j.end(), scanBytes, 0);
    j.push_back(0xFF);
    j.push_back(0xD9);
    return j;
}

// A greyscale progressive JPEG of w x h with one first DC scan in which every
// block is "no change" (a one-bit code), followed by `scanBytes` zero bytes;
// no scan at all when `withScan` is false. Blocks: ((w + 7) / 8) * ((h + 7) / 8).
std::vector<uint8_t> FlatProgressiveJpeg(int w, int h, size_t scanBytes, bool withScan = true) {
    std::vector<uint8_t> j = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x43, 0x00};
    j.insert(j.end(), 64, 1);
    const uint8_t sof[] = {0xFF,       0xC2, 0x00, 0x0B, 8, uint8_t(h >> 8), uint8_t(h), uint8_t(w >> 8),
                           uint8_t(w), 1,    1,    0x11, 0};
    j.insert(j.end(), std::begin(sof), std::end(sof));
    const uint8_t dht[] = {0xFF, 0xC4, 0x00, 0x14, 0x00, 1, 0, 0, 0, 0, 0,
                           0,    0,    0,    0,    0,    0, 0, 0, 0, 0, 0x00};
    j.insert(j.end(), std::begin(dht), std::end(dht));
    if (withScan) {
        const uint8_t sos[] = {0xFF, 0xDA, 0x00, 0x08, 1, 1, 0x00, 0, 0, 0};  // DC only, first pass
        j.insert(j.end(), std::begin(sos), std::end(sos));
        j.insert(j.end(), scanBytes, 0);
    }
    j.push_back(0xFF);
    j.push_back(0xD9);
    return j;
}

void PutBe32(std::vector<uint8_t>& b, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) b.push_back(uint8_t(v >> shift));
}

// A PNG header declaring w x h RGBA at 8 bits, then one IDAT holding a valid
// zlib stream of `stored` zero bytes (one stored block), then IEND. The
// decoder ignores chunk checksums, so they are left zero.
std::vector<uint8_t> ShortPng(uint32_t w, uint32_t h, uint16_t stored) {
    std::vector<uint8_t> p = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutBe32(p, 13);
    p.insert(p.end(), {'I', 'H', 'D', 'R'});
    PutBe32(p, w);
    PutBe32(p, h);
    p.insert(p.end(), {8, 6, 0, 0, 0});
    PutBe32(p, 0);
    PutBe32(p, 2 + 5 + stored + 4);
    p.insert(p.end(), {'I', 'D', 'A', 'T', 0x78, 0x01, 0x01, uint8_t(stored), uint8_t(stored >> 8),
                       uint8_t(~stored), uint8_t(~stored >> 8)});
    p.insert(p.end(), stored, 0);
    PutBe32(p, (uint32_t(stored) % 65521) << 16 | 1);  // Adler-32 of n zero bytes
    PutBe32(p, 0);
    PutBe32(p, 0);
    p.insert(p.end(), {'I', 'E', 'N', 'D'});
    PutBe32(p, 0);
    return p;
}

class HostileInputTest : public D3dxDeviceTest {
  protected:
    HRESULT Load(const std::vector<uint8_t>& bytes) {
        IDirect3DTexture9* tex = nullptr;
        const HRESULT hr =
            D3DXCreateTextureFromFileInMemory(m_pDevice, bytes.data(), UINT(bytes.size()), &tex);
        if (tex) tex->Release();
        return hr;
    }
    // The file cut after `keep` bytes.
    static std::vector<uint8_t> Cut(std::vector<uint8_t> bytes, size_t keep) {
        bytes.resize(keep);
        return bytes;
    }
};

TEST_F(HostileInputTest, ShortBmpAndTgaAreInvalidData) {
    const std::vector<uint8_t> bmp =
        EncodeTestImage(TestImageKind::Bmp, 512, 512, 3, Solid(512, 512, 0xFF336699));
    ASSERT_EQ(Load(bmp), S_OK);
    EXPECT_EQ(Load(Cut(bmp, bmp.size() - 1)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(Load(Cut(bmp, 64)), D3DXERR_INVALIDDATA);

    const std::vector<uint8_t> raw = RawTga(512, 512);
    ASSERT_EQ(Load(raw), S_OK);
    EXPECT_EQ(Load(Cut(raw, raw.size() - 1)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(Load(Cut(raw, 30)), D3DXERR_INVALIDDATA);

    // Run-length TGA: a flat image packs into 128-pixel runs; fewer bytes
    // than those runs need cannot hold the image.
    const std::vector<uint8_t> rle =
        EncodeTestImage(TestImageKind::Tga, 512, 512, 3, Solid(512, 512, 0xFF336699));
    ASSERT_EQ(Load(rle), S_OK);
    EXPECT_EQ(Load(Cut(rle, 40)), D3DXERR_INVALIDDATA);
}

TEST_F(HostileInputTest, SequentialJpegTooShortForItsBlocksIsInvalidData) {
    // 64 x 64: 64 blocks, 16 bytes of scan.
    ASSERT_EQ(Load(FlatJpeg(64, 64, 16)), S_OK);
    // 1024 x 1024 declared with the scan of a 64 x 64 image.
    EXPECT_EQ(Load(FlatJpeg(1024, 1024, 16)), D3DXERR_INVALIDDATA);
    // Real encoder output is never refused.
    EXPECT_EQ(Load(EncodeTestImage(TestImageKind::Jpeg, 300, 200, 3, Solid(300, 200, 0xFF808080))), S_OK);
}

// A progressive JPEG must code every block's DC value in a first DC scan; a
// file too short for that, or without one, is refused before the decoder
// sets aside coefficients for the whole declared image.
TEST_F(HostileInputTest, ProgressiveJpegWithoutDcScansForItsBlocksIsInvalidData) {
    // 1024 x 1024: 16,384 blocks, 2,048 bytes of first DC scan.
    EXPECT_EQ(Load(FlatProgressiveJpeg(1024, 1024, 2048)), S_OK);
    EXPECT_EQ(Load(FlatProgressiveJpeg(1024, 1024, 2047)), D3DXERR_INVALIDDATA);
    EXPECT_EQ(Load(FlatProgressiveJpeg(64, 64, 0, false)), D3DXERR_INVALIDDATA);

    // 8192 x 8192 declared in a few dozen bytes: refused without the
    // hundreds of megabytes of coefficients and pixels.
    for (const bool withScan : {true, false}) {
        SCOPED_TRACE(withScan ? "a short scan" : "no scan");
        const std::vector<uint8_t> huge = FlatProgressiveJpeg(8192, 8192, 8, withScan);
        const tumbral_test::ChildResult r = tumbral_test::RunInChild(0, [&] { return Load(huge); });
        EXPECT_TRUE(r.exited);
        EXPECT_EQ(r.hr, D3DXERR_INVALIDDATA);
        EXPECT_LT(r.peakGrowth, uint64_t(16) << 20);
    }
}

// A PNG's compressed data must be able to expand to its rows (deflate's best
// is 1032 to 1); a short one is refused before the decoder sets aside room
// for the rows it declares.
TEST_F(HostileInputTest, PngTooShortForItsRowsIsInvalidData) {
    EXPECT_EQ(Load(EncodeTestImage(TestImageKind::Png, 300, 200, 4, Solid(300, 200, 0xFF808080))), S_OK);
    EXPECT_EQ(Load(EncodeTestImage(TestImageKind::Png, 1024, 1024, 3, Solid(1024, 1024, 0xFF000000))), S_OK);
    // 16 x 16 RGBA: 1,040 bytes of rows, all present in a stored block.
    EXPECT_EQ(Load(ShortPng(16, 16, 16 * (1 + 16 * 4))), S_OK);

    // 8192 x 8192 RGBA (256 MB of rows) from 100 bytes.
    const std::vector<uint8_t> huge = ShortPng(8192, 8192, 100);
    const tumbral_test::ChildResult r = tumbral_test::RunInChild(0, [&] { return Load(huge); });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.hr, D3DXERR_INVALIDDATA);
    EXPECT_LT(r.peakGrowth, uint64_t(16) << 20);
}

// An 8192 x 8192 one-bit grey PNG of a few dozen kilobytes becomes a
// 256 MB texture with its mip levels. Loading it costs the texture and less
// than one more full-size image beside it (the decoder's byte a texel and the
// level below the top), not full-size copies at every step.
TEST_F(HostileInputTest, LargeImageLoadsWithLessThanOneImageBesideItsTexture) {
    if (tumbral_test::kAddressSanitized)
        GTEST_SKIP() << "address-space figures mean nothing under the sanitizer";
    constexpr uint32_t kSide = 8192;
    constexpr uint64_t kTopLevelBytes = uint64_t(kSide) * kSide * 4;
    std::vector<uint8_t> rows(size_t(kSide) * (1 + kSide / 8), 0);
    for (size_t y = 0; y < kSide; y += 2) rows[y * (1 + kSide / 8) + 1] = 0xA5;  // some texels white
    const std::vector<uint8_t> png = MakePng(kSide, kSide, 1, 0, rows);
    EXPECT_LT(png.size(), size_t(256) << 10);

    const tumbral_test::ChildResult bare = tumbral_test::RunInChild(0, [&] {
        IDirect3DTexture9* tex = nullptr;
        const HRESULT hr =
            D3DXCreateTexture(m_pDevice, kSide, kSide, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &tex);
        if (tex) tex->Release();
        return hr;
    });
    ASSERT_EQ(bare.hr, S_OK);
    const tumbral_test::ChildResult r = tumbral_test::RunInChild(0, [&] { return Load(png); });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.hr, S_OK);
    EXPECT_LT(r.peakGrowth, bare.peakGrowth + kTopLevelBytes);
    // The texture itself is stored once: its levels come to 4/3 of the top level.
    EXPECT_LT(bare.peakGrowth, kTopLevelBytes * 3 / 2);
    // So the whole load stays within twice the texture's own size.
    EXPECT_LT(r.peakGrowth, 2 * (kTopLevelBytes * 4 / 3));
}

// The header alone still describes the image; only decoding needs the data.
TEST_F(HostileInputTest, ImageInfoComesFromTheHeader) {
    const std::vector<uint8_t> bmp =
        EncodeTestImage(TestImageKind::Bmp, 256, 128, 3, Solid(256, 128, 0xFF000000));
    D3DXIMAGE_INFO info{};
    const std::vector<uint8_t> cut = Cut(bmp, 100);
    ASSERT_EQ(D3DXGetImageInfoFromFileInMemory(cut.data(), UINT(cut.size()), &info), S_OK);
    EXPECT_EQ(info.Width, 256u);
    EXPECT_EQ(info.Height, 128u);
}

TEST_F(HostileInputTest, SpecialFilesFailAtOnce) {
    ASSERT_EQ(mkfifo("pipe.x", 0600), 0);
    ASSERT_EQ(mkdir("folder.x", 0700), 0);
    for (const char* name : {"pipe.x", "folder.x", "/dev/zero"}) {
        SCOPED_TRACE(name);
        ID3DXMesh* mesh = nullptr;
        const std::wstring wide(name, name + std::strlen(name));
        EXPECT_EQ(D3DXLoadMeshFromXW(wide.c_str(), D3DXMESH_MANAGED, m_pDevice, nullptr, nullptr, nullptr,
                                     nullptr, &mesh),
                  E_FAIL);
        EXPECT_EQ(mesh, nullptr);
        IDirect3DTexture9* tex = nullptr;
        EXPECT_EQ(D3DXCreateTextureFromFileA(m_pDevice, name, &tex), E_FAIL);
        EXPECT_EQ(tex, nullptr);
    }
}

}  // namespace
