// Textures named by several materials of box.x: one texture object per file,
// held once by every slot that names it, and released without leaks.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/app/cube_test_env.h"

namespace {

constexpr float kR = 10.0f;

class CubeTextureShareTest : public CubeDeviceTest {};

TEST_F(CubeTextureShareTest, MaterialsNamingOneFileShareItsTexture) {
    WriteSolidBmp("sticker.bmp", 8, 8, 200, 100, 50);
    WriteSolidBmp("other.bmp", 8, 8, 10, 20, 30);
    std::vector<XMaterial> materials = SixColours();
    for (int i : {0, 1, 3, 5}) materials[size_t(i)].texture = "sticker.bmp";
    materials[4].texture = "other.bmp";
    WriteTextFile("box.x", MakeXFile(CubeQuads(4.0f), materials, kR));
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    ASSERT_EQ(m_pCube->GetTextureCount(), 6u);

    IDirect3DTexture9* sticker = m_pCube->GetTexture(0);
    ASSERT_NE(sticker, nullptr);
    EXPECT_EQ(m_pCube->GetTexture(1), sticker);
    EXPECT_EQ(m_pCube->GetTexture(3), sticker);
    EXPECT_EQ(m_pCube->GetTexture(5), sticker);
    EXPECT_EQ(m_pCube->GetTexture(2), nullptr);
    ASSERT_NE(m_pCube->GetTexture(4), nullptr);
    EXPECT_NE(m_pCube->GetTexture(4), sticker);
    // Each of the four slots owns one reference.
    EXPECT_EQ(tumbral_test::RefCount(sticker), 4u);

    // Releasing and rebuilding leaves no reference behind (TearDown checks the
    // device count); the rebuilt cube shares again.
    m_pCube->ReleaseDeviceObjects();
    ASSERT_TRUE(m_pCube->CreateDeviceObjects(m_pDevice));
    EXPECT_EQ(m_pCube->GetTexture(0), m_pCube->GetTexture(5));
    EXPECT_EQ(tumbral_test::RefCount(m_pCube->GetTexture(0)), 4u);
}

// Every spelling of a file's path, and every link to it, names one texture
// (a file is decoded once however many ways it is named); another file with
// the same bytes is another texture.
TEST_F(CubeTextureShareTest, SpellingsAndLinksOfOneFileShareItsTexture) {
    WriteSolidBmp("sticker.bmp", 8, 8, 200, 100, 50);
    WriteSolidBmp("copy.bmp", 8, 8, 200, 100, 50);
    ASSERT_EQ(mkdir("sub", 0700), 0);
    ASSERT_EQ(symlink("sticker.bmp", "soft.bmp"), 0);
    ASSERT_EQ(link("sticker.bmp", "hard.bmp"), 0);
    std::vector<XMaterial> materials = SixColours();
    const char* names[] = {"sticker.bmp", "./sticker.bmp", "././sub/../sticker.bmp",
                           "soft.bmp",    "hard.bmp",      "copy.bmp"};
    for (size_t i = 0; i < 6; ++i) materials[i].texture = names[i];
    WriteTextFile("box.x", MakeXFile(CubeQuads(4.0f), materials, kR));
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    ASSERT_EQ(m_pCube->GetTextureCount(), 6u);

    IDirect3DTexture9* sticker = m_pCube->GetTexture(0);
    ASSERT_NE(sticker, nullptr);
    for (size_t i = 1; i < 5; ++i) EXPECT_EQ(m_pCube->GetTexture(i), sticker) << names[i];
    EXPECT_EQ(tumbral_test::RefCount(sticker), 5u);
    ASSERT_NE(m_pCube->GetTexture(5), nullptr);
    EXPECT_NE(m_pCube->GetTexture(5), sticker);
}

// A file that cannot be decoded is tried once; every material naming it is
// drawn untextured, and a short image (header larger than its data) is such a file.
TEST_F(CubeTextureShareTest, ShortImageLeavesEverySlotNamingItEmpty) {
    // 8192 x 8192, 24 bits, but only the 54 header bytes and a few pixels.
    std::vector<uint8_t> bmp(64, 0);
    bmp[0] = 'B', bmp[1] = 'M';
    bmp[10] = 54;                    // pixel data offset
    bmp[14] = 40;                    // info header size
    bmp[19] = 0x20, bmp[23] = 0x20;  // width, height 0x2000
    bmp[26] = 1, bmp[28] = 24;       // planes, bits per pixel
    FILE* f = std::fopen("short.bmp", "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bmp.data(), 1, bmp.size(), f);
    std::fclose(f);
    std::vector<XMaterial> materials = SixColours();
    for (XMaterial& m : materials) m.texture = "short.bmp";
    WriteTextFile("box.x", MakeXFile(CubeQuads(4.0f), materials, kR));
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    ASSERT_EQ(m_pCube->GetTextureCount(), 6u);
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(m_pCube->GetTexture(i), nullptr) << i;
    EXPECT_EQ(m_pCube->DeviceObjectsResult(), S_OK);
}

// A texture named by a FIFO is refused at once instead of blocking the build.
TEST_F(CubeTextureShareTest, FifoTextureIsRefusedWithoutBlocking) {
    ASSERT_EQ(mkfifo("pipe.bmp", 0600), 0);
    std::vector<XMaterial> materials = SixColours();
    materials[0].texture = "pipe.bmp";
    WriteTextFile("box.x", MakeXFile(CubeQuads(4.0f), materials, kR));
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    EXPECT_EQ(m_pCube->GetTexture(0), nullptr);
}

}  // namespace
