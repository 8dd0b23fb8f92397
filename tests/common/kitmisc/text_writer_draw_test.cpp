// The text writer on the software device: where lines land in the back
// buffer, in what colour, with and without a sprite.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/common/kit/state_reset.h"
#include "common/kitmisc/text_writer.h"
#include "tests/support/device_fixture.h"
#include "tests/support/headless_fixture.h"

namespace {

constexpr UINT kWidth = 200;
constexpr UINT kHeight = 120;

// Bounding box of the pixels that are not black; empty (right < left) when there are none.
struct Ink {
    int left = kWidth, top = kHeight, right = -1, bottom = -1;
    bool Empty() const { return right < left; }
};

class TextWriterDraw : public tumbral_test::HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        kittest::ResetCoreState();
        RegisterTestClass();
        m_hWnd = CreateTestWindow(int(kWidth), int(kHeight));
        ASSERT_NO_FATAL_FAILURE(tumbral_test::OpenDevice(
            tumbral_test::WindowedParams(m_hWnd, kWidth, kHeight), m_pD3D, m_pDevice));
        ASSERT_EQ(D3DXCreateFontW(m_pDevice, 15, 0, FW_BOLD, 1, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial", &m_pFont),
                  S_OK);
        ASSERT_EQ(D3DXCreateSprite(m_pDevice, &m_pSprite), S_OK);
    }
    void TearDown() override {
        if (m_pSprite) m_pSprite->Release();
        if (m_pFont) m_pFont->Release();
        tumbral_test::CloseDevice(m_pDevice, m_pD3D);
        kittest::ResetCoreState();
        HeadlessTest::TearDown();
    }

    // Clears to black and runs draw inside a scene.
    template <typename DRAW>
    void Frame(DRAW draw) {
        ASSERT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), S_OK);
        ASSERT_EQ(m_pDevice->BeginScene(), S_OK);
        draw();
        ASSERT_EQ(m_pDevice->EndScene(), S_OK);
    }

    // The back buffer as 0x00RRGGBB values, row by row.
    // The whole back buffer; an unreadable one fails the test and reads as blank, never out of bounds.
    std::vector<DWORD> Pixels() {
        std::vector<DWORD> px = tumbral_test::ReadBackBuffer(m_pDevice);
        EXPECT_EQ(px.size(), size_t(kWidth) * kHeight) << "back buffer not readable";
        px.resize(size_t(kWidth) * kHeight, 0);
        return px;
    }

    // Ink inside rows [top, bottom) of the back buffer.
    Ink InkOf(const std::vector<DWORD>& px, int top = 0, int bottom = int(kHeight)) {
        Ink ink;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < int(kWidth); ++x)
                if (px[size_t(y) * kWidth + size_t(x)] != 0) {
                    ink.left = std::min(ink.left, x);
                    ink.right = std::max(ink.right, x);
                    ink.top = std::min(ink.top, y);
                    ink.bottom = std::max(ink.bottom, y);
                }
        return ink;
    }

    HWND m_hWnd = nullptr;
    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
    ID3DXFont* m_pFont = nullptr;
    ID3DXSprite* m_pSprite = nullptr;
};

TEST_F(TextWriterDraw, LinesLandInsideTheirMeasuredRectanglesOneStepApart) {
    RECT measured{10, 8, 0, 0};
    ASSERT_GT(m_pFont->DrawTextW(nullptr, L"Quit: ESC", -1, &measured, DT_NOCLIP | DT_CALCRECT, 0xFFFFFFFF),
              0);

    Frame([&] {
        CKitTextWriter writer(m_pFont, m_pSprite, 15);
        writer.BeginText();
        writer.SetTextOrigin(10, 8);
        EXPECT_EQ(writer.DrawTextLine(L"Quit: ESC"), S_OK);
        writer.EndText();
    });
    const std::vector<DWORD> one = Pixels();
    const Ink first = InkOf(one);
    ASSERT_FALSE(first.Empty());
    EXPECT_GE(first.left, measured.left);
    EXPECT_GE(first.top, measured.top);
    EXPECT_LT(first.right, measured.right);
    EXPECT_LT(first.bottom, measured.bottom);
    EXPECT_LE(first.left, 10 + 3);  // starts at the insertion point, not somewhere to its right

    Frame([&] {
        CKitTextWriter writer(m_pFont, m_pSprite, 40);
        writer.BeginText();
        writer.SetTextOrigin(10, 8);
        EXPECT_EQ(writer.DrawTextLine(L"Quit: ESC"), S_OK);
        EXPECT_EQ(writer.DrawTextLine(L"Quit: ESC"), S_OK);
        writer.EndText();
    });
    const std::vector<DWORD> two = Pixels();
    // The second line is the first moved down by exactly the line step.
    for (int y = 0; y + 40 < int(kHeight); ++y)
        for (int x = 0; x < int(kWidth); ++x)
            ASSERT_EQ(two[size_t(y + 40) * kWidth + size_t(x)], one[size_t(y) * kWidth + size_t(x)])
                << "at " << x << ", " << y + 40;
}

TEST_F(TextWriterDraw, TextTakesTheWritersColour) {
    Frame([&] {
        CKitTextWriter writer(m_pFont, m_pSprite, 15);
        writer.BeginText();
        writer.SetTextOrigin(5, 5);
        writer.SetTextColor(D3DXCOLOR(1.0f, 1.0f, 0.0f, 1.0f));
        writer.DrawTextLine(L"HUD");
        writer.SetTextOrigin(5, 60);
        writer.SetTextColor(D3DXCOLOR(0.0f, 0.0f, 1.0f, 1.0f));
        writer.DrawTextLine(L"HUD");
        writer.EndText();
    });
    const std::vector<DWORD> px = Pixels();
    DWORD brightestTop = 0, brightestBottom = 0;
    for (int y = 0; y < int(kHeight); ++y)
        for (int x = 0; x < int(kWidth); ++x) {
            const DWORD p = px[size_t(y) * kWidth + size_t(x)];
            if (p == 0) continue;
            const DWORD r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (y < 50) {
                EXPECT_EQ(b, 0u) << "yellow text with blue at " << x << ", " << y;
                EXPECT_LE(r > g ? r - g : g - r, 1u) << "yellow text not yellow at " << x << ", " << y;
                brightestTop = std::max(brightestTop, p);
            } else {
                EXPECT_EQ(p & 0xFFFF00, 0u) << "blue text with red or green at " << x << ", " << y;
                brightestBottom = std::max(brightestBottom, p);
            }
        }
    EXPECT_EQ(brightestTop, 0xFFFF00u);  // fully covered glyph pixels show the colour itself
    EXPECT_EQ(brightestBottom, 0x0000FFu);
}

TEST_F(TextWriterDraw, WithoutASpriteTheSameTextIsDrawn) {
    Frame([&] {
        CKitTextWriter writer(m_pFont, m_pSprite, 15);
        writer.BeginText();
        writer.SetTextOrigin(20, 30);
        writer.DrawTextLine(L"Press F1 for help");
        writer.EndText();
    });
    const std::vector<DWORD> batched = Pixels();
    Frame([&] {
        CKitTextWriter writer(m_pFont, nullptr, 15);
        writer.BeginText();
        writer.SetTextOrigin(20, 30);
        EXPECT_EQ(writer.DrawTextLine(L"Press F1 for help"), S_OK);
        writer.EndText();
    });
    const std::vector<DWORD> unbatched = Pixels();
    EXPECT_FALSE(InkOf(unbatched).Empty());
    EXPECT_EQ(unbatched, batched);
}

TEST_F(TextWriterDraw, LineInRectangleHonoursTheAlignmentFlags) {
    const RECT box{0, 50, int(kWidth) - 10, 80};
    Frame([&] {
        CKitTextWriter writer(m_pFont, m_pSprite, 15);
        writer.BeginText();
        EXPECT_EQ(writer.DrawTextLineInFormatted(box, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, L"%d fps", 60),
                  S_OK);
        writer.EndText();
    });
    const Ink ink = InkOf(Pixels());
    ASSERT_FALSE(ink.Empty());
    EXPECT_LT(ink.right, box.right);
    EXPECT_GE(ink.right, box.right - 3);  // pushed against the right edge
    EXPECT_GT(ink.left, box.right / 2);
    EXPECT_LT(ink.bottom, box.bottom);
    EXPECT_GE(ink.top, box.top);
    EXPECT_GT(ink.bottom, box.bottom - 6);  // and down to the bottom edge
}

}  // namespace
