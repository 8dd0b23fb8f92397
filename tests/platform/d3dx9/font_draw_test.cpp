// Fonts on the headless device: centred text is centred, DT_CALCRECT gives the
// rectangle drawing fills, clipping, colour, "还原" through fallback, and a
// font that lives through a device reset.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "platform/d3dx9.h"
#include "platform/d3dx9/font_dc.h"
#include "tests/support/device_fixture.h"

namespace {

// Bounding box and count of the pixels that differ from the clear colour.
struct Ink {
    RECT box{0, 0, 0, 0};
    int pixels = 0;
};

class FontDraw : public ::testing::Test {
  protected:
    void SetUp() override {
        m_hwnd = tumbral_test::CreatePlainWindow(400, 300);
        m_pp = tumbral_test::WindowedParams(m_hwnd, kWidth, kHeight);
        m_pp.Flags = D3DPRESENTFLAG_LOCKABLE_BACKBUFFER;
        ASSERT_NO_FATAL_FAILURE(tumbral_test::OpenDevice(m_pp, m_d3d, m_device));
        ASSERT_EQ(D3DXCreateFontW(m_device, 15, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial", &m_font),
                  S_OK);
    }
    void TearDown() override {
        if (m_sprite) m_sprite->Release();
        if (m_font) m_font->Release();
        tumbral_test::CloseDevice(m_device, m_d3d, m_hwnd);
    }

    // Clears to black, draws one text call, returns its result.
    INT Draw(const wchar_t* text, RECT rect, DWORD format, D3DCOLOR color = 0xFFFFFFFF,
             ID3DXFont* font = nullptr, ID3DXSprite* sprite = nullptr) {
        m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.f, 0);
        m_device->BeginScene();
        if (sprite) sprite->Begin(D3DXSPRITE_ALPHABLEND | D3DXSPRITE_SORT_TEXTURE);
        const INT result = (font ? font : m_font)->DrawTextW(sprite, text, -1, &rect, format, color);
        if (sprite) sprite->End();
        m_device->EndScene();
        return result;
    }

    Ink ReadInk(DWORD* anyColor = nullptr) {
        Ink ink;
        const std::vector<DWORD> pixels = tumbral_test::ReadBackBuffer(m_device);
        if (pixels.size() != size_t(kWidth) * size_t(kHeight)) {
            ADD_FAILURE() << "back buffer not readable";
            return ink;
        }
        for (LONG y = 0; y < kHeight; ++y)
            for (LONG x = 0; x < kWidth; ++x) {
                const DWORD c = pixels[size_t(y) * size_t(kWidth) + size_t(x)];
                if (!c) continue;
                if (anyColor) *anyColor |= c;
                if (ink.pixels++ == 0) ink.box = RECT{x, y, x + 1, y + 1};
                ink.box.left = std::min(ink.box.left, x);
                ink.box.top = std::min(ink.box.top, y);
                ink.box.right = std::max(ink.box.right, x + 1);
                ink.box.bottom = std::max(ink.box.bottom, y + 1);
            }
        return ink;
    }

    static constexpr LONG kWidth = 320, kHeight = 200;
    HWND m_hwnd = nullptr;
    IDirect3D9* m_d3d = nullptr;
    D3DPRESENT_PARAMETERS m_pp{};
    IDirect3DDevice9* m_device = nullptr;
    ID3DXFont* m_font = nullptr;
    ID3DXSprite* m_sprite = nullptr;
};

TEST_F(FontDraw, CentredTextIsCentredAndCalcRectBoundsWhatIsDrawn) {
    const RECT rect{40, 40, 280, 160};
    const wchar_t* text = L"Press F1 for help";
    ASSERT_GT(Draw(text, rect, DT_CENTER | DT_VCENTER), 0);
    const Ink ink = ReadInk();
    ASSERT_GT(ink.pixels, 50);
    // Ink margins on both sides agree to within the glyphs' side bearings.
    EXPECT_LE(std::abs((ink.box.left - rect.left) - (rect.right - ink.box.right)), 3);
    EXPECT_LE(std::abs((ink.box.top - rect.top) - (rect.bottom - ink.box.bottom)), 4);

    RECT calc = rect;
    const INT height =
        m_font->DrawTextW(nullptr, text, -1, &calc, DT_CENTER | DT_VCENTER | DT_CALCRECT, 0xFFFFFFFF);
    EXPECT_GT(height, 0);
    EXPECT_EQ(calc.bottom - calc.top, 15);
    // Everything drawn lies inside the calculated rectangle, which is not much larger.
    EXPECT_GE(ink.box.left, calc.left - 1);
    EXPECT_LE(ink.box.right, calc.right + 1);
    EXPECT_GE(ink.box.top, calc.top);
    EXPECT_LE(ink.box.bottom, calc.bottom);
    EXPECT_LE((calc.right - calc.left) - (ink.box.right - ink.box.left), 4);

    // DT_CALCRECT draws nothing.
    m_device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.f, 0);
    RECT again = rect;
    m_device->BeginScene();
    m_font->DrawTextW(nullptr, text, -1, &again, DT_LEFT | DT_CALCRECT, 0xFFFFFFFF);
    m_device->EndScene();
    EXPECT_EQ(ReadInk().pixels, 0);
    EXPECT_EQ(again.left, rect.left);
    EXPECT_EQ(again.top, rect.top);
}

TEST_F(FontDraw, TextTakesItsColourAndIsClippedUnlessNoClip) {
    const RECT small{20, 20, 60, 30};
    const wchar_t* text = L"A long line that does not fit";
    DWORD colours = 0;
    Draw(text, small, DT_LEFT | DT_TOP, 0xFFFF0000);
    const Ink clipped = ReadInk(&colours);
    ASSERT_GT(clipped.pixels, 0);
    EXPECT_EQ(colours & 0x0000FFFF, 0u) << "only red";
    EXPECT_GE(clipped.box.left, small.left);
    EXPECT_LE(clipped.box.right, small.right);
    EXPECT_LE(clipped.box.bottom, small.bottom);

    Draw(text, small, DT_LEFT | DT_TOP | DT_NOCLIP, 0xFFFF0000);
    const Ink whole = ReadInk();
    EXPECT_GT(whole.box.right, small.right + 50);
    EXPECT_GT(whole.box.bottom, small.bottom);
}

TEST_F(FontDraw, RestoreLabelDrawsThroughAFallbackFont) {
    ASSERT_EQ(Draw(L"\u8fd8\u539f", RECT{0, 0, 100, 40}, DT_CENTER | DT_VCENTER), 15 + 12);
    const Ink ink = ReadInk();
    EXPECT_GT(ink.pixels, 60);
    EXPECT_GE(ink.box.right - ink.box.left, 20);  // two ideographs side by side
    EXPECT_GE(ink.box.bottom - ink.box.top, 10);
}

TEST_F(FontDraw, ThroughACallersSpriteTheSamePixelsAsWithout) {
    ASSERT_EQ(D3DXCreateSprite(m_device, &m_sprite), S_OK);
    const RECT at{5, 5, 0, 0};
    ASSERT_EQ(Draw(L"Quit: ESC", at, DT_NOCLIP, 0xFFFFC000), 15);
    const Ink own = ReadInk();
    ASSERT_EQ(Draw(L"Quit: ESC", at, DT_NOCLIP, 0xFFFFC000, nullptr, m_sprite), 15);
    const Ink given = ReadInk();
    EXPECT_EQ(own.pixels, given.pixels);
    EXPECT_EQ(own.box.left, given.box.left);
    EXPECT_EQ(own.box.right, given.box.right);
    EXPECT_EQ(own.box.top, given.box.top);
    // A sprite that was never begun cannot take the glyphs.
    RECT rect = at;
    EXPECT_EQ(m_font->DrawTextW(m_sprite, L"x", -1, &rect, DT_NOCLIP, 0xFFFFFFFF), 0);
}

TEST_F(FontDraw, FontSurvivesLostAndResetDevice) {
    Draw(L"Frame rate", RECT{5, 5, 0, 0}, DT_NOCLIP);
    const Ink before = ReadInk();
    ASSERT_GT(before.pixels, 0);
    ASSERT_EQ(m_font->OnLostDevice(), S_OK);
    ASSERT_EQ(m_device->Reset(&m_pp), S_OK);
    ASSERT_EQ(m_font->OnResetDevice(), S_OK);
    Draw(L"Frame rate", RECT{5, 5, 0, 0}, DT_NOCLIP);
    const Ink after = ReadInk();
    EXPECT_EQ(after.pixels, before.pixels);
    EXPECT_EQ(after.box.right, before.box.right);
}

TEST_F(FontDraw, DescriptionDeviceContextAndCreationFailures) {
    D3DXFONT_DESCW desc{};
    ASSERT_EQ(m_font->GetDesc(&desc), S_OK);
    EXPECT_EQ(desc.Height, 15);
    EXPECT_EQ(desc.Weight, static_cast<UINT>(FW_BOLD));
    EXPECT_EQ(desc.MipLevels, 1u);
    EXPECT_STREQ(desc.FaceName, L"Arial");
    EXPECT_NE(plat::FontEngineFromDC(m_font->GetDC()), nullptr);
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(m_font->GetDevice(&device), S_OK);
    EXPECT_EQ(device, m_device);
    device->Release();

    // The same description through the indirect call; a face nobody has installed still draws.
    std::wcscpy(desc.FaceName, L"No Such Face At All");
    ID3DXFont* fallback = nullptr;
    ASSERT_EQ(D3DXCreateFontIndirectW(m_device, &desc, &fallback), S_OK);
    EXPECT_GT(Draw(L"Hello", RECT{10, 10, 0, 0}, DT_NOCLIP, 0xFFFFFFFF, fallback), 0);
    EXPECT_GT(ReadInk().pixels, 20);
    fallback->Release();

    ID3DXFont* none = reinterpret_cast<ID3DXFont*>(1);
    EXPECT_EQ(D3DXCreateFontIndirectW(nullptr, &desc, &none), D3DERR_INVALIDCALL);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(D3DXCreateFontW(m_device, 15, 0, 400, 1, FALSE, 0, 0, 0, 0, L"Arial", nullptr),
              D3DERR_INVALIDCALL);
    RECT rect{0, 0, 10, 10};
    EXPECT_EQ(m_font->DrawTextW(nullptr, nullptr, -1, &rect, 0, 0xFFFFFFFF), 0);
}

TEST_F(FontDraw, NarrowStringsDrawLikeWideOnes) {
    RECT wide{0, 0, 200, 50}, narrow{0, 0, 200, 50};
    m_font->DrawTextW(nullptr, L"Quit: ESC", -1, &wide, DT_CALCRECT, 0);
    EXPECT_EQ(m_font->DrawTextA(nullptr, "Quit: ESC", -1, &narrow, DT_CALCRECT, 0), 15);
    EXPECT_EQ(narrow.right, wide.right);
    RECT part{0, 0, 200, 50};
    m_font->DrawTextA(nullptr, "Quit: ESC", 4, &part, DT_CALCRECT, 0);
    EXPECT_LT(part.right, wide.right);
}

TEST(D3DXCore, VersionCheckAcceptsThisRuntimeWithOrWithoutTheDebugBit) {
    EXPECT_TRUE(D3DXCheckVersion(D3D_SDK_VERSION, D3DX_SDK_VERSION));
    EXPECT_TRUE(D3DXCheckVersion(0x80000020, 42));
    EXPECT_FALSE(D3DXCheckVersion(31, 42));
    EXPECT_FALSE(D3DXCheckVersion(0x80000020, 41));
}

}  // namespace
