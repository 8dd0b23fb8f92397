// Fonts and sprites when memory runs out, in a child process whose address
// space is capped a little above its use: the call fails with E_OUTOFMEMORY
// (DrawText with 0), holds no references it should not, and the object
// goes on working once memory is there again.
#include <gtest/gtest.h>

#include <cwchar>
#include <memory>
#include <string>

#include "tests/platform/d3dx9/d3dx_device_env.h"
#include "platform/d3dx9/font_engine.h"
#include "tests/support/font_engine_setup.h"
#include "tests/support/memory_limit.h"

namespace {

using tumbral_test::ChildResult;
using tumbral_test::kAddressSanitized;
using tumbral_test::RefCount;
using tumbral_test::RunInChild;

constexpr uint64_t kHeadroom = uint64_t(4) << 20;

class TextMemoryTest : public D3dxDeviceTest {
  protected:
    void TearDown() override {
        if (m_pSprite) m_pSprite->Release();
        if (m_pTexture) m_pTexture->Release();
        if (m_pFont) m_pFont->Release();
        D3dxDeviceTest::TearDown();
    }
    ID3DXSprite* m_pSprite = nullptr;
    IDirect3DTexture9* m_pTexture = nullptr;
    ID3DXFont* m_pFont = nullptr;
};

// 2^18 queued quads fill the queue to its capacity; one more needs 64 MB.
// The refused quad holds no texture reference, and End, which cannot build
// the batch either, still lets go of every queued one.
TEST_F(TextMemoryTest, SpriteRefusesQuadsItHasNoRoomFor) {
    if (kAddressSanitized) GTEST_SKIP() << "address-space limits do not work under the address sanitizer";
    constexpr ULONG kQueued = 1u << 18;
    const auto prepare = [&] {
        ASSERT_EQ(D3DXCreateSprite(m_pDevice, &m_pSprite), S_OK);
        ASSERT_EQ(
            m_pDevice->CreateTexture(1, 1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &m_pTexture, nullptr),
            S_OK);
        ASSERT_EQ(m_pSprite->Begin(D3DXSPRITE_DONOTSAVESTATE), S_OK);
        for (ULONG i = 0; i < kQueued; ++i)
            m_pSprite->Draw(m_pTexture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
    };
    const ChildResult r = RunInChild(kHeadroom, prepare, [&] {
        const HRESULT hrDraw = m_pSprite->Draw(m_pTexture, nullptr, nullptr, nullptr, 0xFFFFFFFF);
        if (hrDraw != E_OUTOFMEMORY) return hrDraw;
        if (RefCount(m_pTexture) != kQueued + 1) return E_UNEXPECTED;  // the refused quad kept a reference
        const HRESULT hrEnd = m_pSprite->End();
        if (RefCount(m_pTexture) != 1) return E_UNEXPECTED;  // queued quads kept theirs
        return hrEnd;
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.hr, E_OUTOFMEMORY);
}

// Three hundred thousand one-letter lines take far more than 4 MB to lay
// out; the call draws nothing and returns 0, and a short text draws after it.
TEST_F(TextMemoryTest, DrawTextWithoutMemoryFailsAndTheFontStaysUsable) {
    if (kAddressSanitized) GTEST_SKIP() << "address-space limits do not work under the address sanitizer";
    std::wstring lines;
    for (int i = 0; i < 300000; ++i) lines += L"a\n";
    const auto prepare = [&] {
        ASSERT_EQ(D3DXCreateFontW(m_pDevice, 15, 0, FW_NORMAL, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial", &m_pFont),
                  S_OK);
        RECT warm{0, 0, 64, 64};
        m_pFont->DrawTextW(nullptr, L"a", -1, &warm, DT_NOCLIP, 0xFFFFFFFF);  // glyph and atlas made
    };
    const ChildResult r = RunInChild(kHeadroom, prepare, [&] {
        RECT rect{0, 0, 64, 64};
        const INT hBig = m_pFont->DrawTextW(nullptr, lines.c_str(), -1, &rect, DT_NOCLIP, 0xFFFFFFFF);
        if (hBig != 0) return E_UNEXPECTED;  // laid out text it had no memory for
        const INT hShort = m_pFont->DrawTextW(nullptr, L"a", -1, &rect, DT_NOCLIP, 0xFFFFFFFF);
        return hShort > 0 ? S_OK : E_FAIL;  // E_FAIL: the font no longer draws
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.hr, S_OK);
}

// Typing into a long line makes a new paragraph at every keystroke, and each
// is kept shaped for reuse: the kept ones must stay within a bound, not grow
// with every keystroke (two hundred of these take some 200 MB unbounded).
TEST(ShapedParagraphMemory, TypingIntoALongLineKeepsTheCacheBounded) {
    // The sanitizer keeps freed memory in quarantine, so the peak says nothing about what is kept.
    if (kAddressSanitized) GTEST_SKIP() << "freed memory stays in the address sanitizer's quarantine";
    std::unique_ptr<plat::FontEngine> engine = tumbral_test::MakeFontEngine(L"Arial", 14);
    ASSERT_NE(engine, nullptr);
    std::u32string line;
    while (line.size() < 30000) line += U"Tumbral cube, Kubus 42; ";
    const tumbral_test::ChildResult r = tumbral_test::RunInChild(0, [&] {
        for (int k = 0; k < 200; ++k) {
            line.insert(line.size() / 2, 1, U'a' + k % 26);
            if (engine->ShapeParagraph(line).size() < line.size() / 2) return E_UNEXPECTED;
        }
        return S_OK;
    });
    ASSERT_TRUE(r.exited);
    EXPECT_EQ(r.hr, S_OK);
    EXPECT_LT(r.peakGrowth, uint64_t(48) << 20);
}

}  // namespace
