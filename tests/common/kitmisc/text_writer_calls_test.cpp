// The text writer's calls into its font and sprite: rectangles, flags,
// colours, text, line steps, the 511-character cut and the failure paths,
// checked against a font and a sprite that record what they receive.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/kit/state_reset.h"
#include "common/kitmisc/text_writer.h"

namespace {

// One DrawTextW call as the font saw it.
struct DrawCall {
    ID3DXSprite* pSprite;
    std::wstring text;
    INT nCount;
    RECT rc;
    DWORD dwFormat;
    D3DCOLOR color;
};

class RecordingFont : public ID3DXFont {
  public:
    std::vector<DrawCall> calls;
    INT nResult = 15;  // what DrawTextW reports (0: could not draw)

    HRESULT QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetDevice(IDirect3DDevice9**) override { return E_NOTIMPL; }
    HRESULT GetDescW(D3DXFONT_DESCW*) override { return E_NOTIMPL; }
    HDC GetDC() override { return nullptr; }
    HRESULT PreloadCharacters(UINT, UINT) override { return S_OK; }
    HRESULT PreloadTextW(LPCWSTR, INT) override { return S_OK; }
    INT DrawTextA(ID3DXSprite*, LPCSTR, INT, LPRECT, DWORD, D3DCOLOR) override { return 0; }
    INT DrawTextW(ID3DXSprite* pSprite, LPCWSTR pString, INT Count, LPRECT pRect, DWORD Format,
                  D3DCOLOR Color) override {
        calls.push_back(DrawCall{pSprite, pString, Count, *pRect, Format, Color});
        return nResult;
    }
    HRESULT OnLostDevice() override { return S_OK; }
    HRESULT OnResetDevice() override { return S_OK; }
};

class RecordingSprite : public ID3DXSprite {
  public:
    std::vector<std::string> calls;  // "Begin(flags)" and "End"

    HRESULT QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetDevice(IDirect3DDevice9**) override { return E_NOTIMPL; }
    HRESULT GetTransform(D3DXMATRIX*) override { return E_NOTIMPL; }
    HRESULT SetTransform(const D3DXMATRIX*) override { return E_NOTIMPL; }
    HRESULT Begin(DWORD Flags) override {
        calls.push_back("Begin(" + std::to_string(Flags) + ")");
        return S_OK;
    }
    HRESULT Draw(IDirect3DTexture9*, const RECT*, const D3DXVECTOR3*, const D3DXVECTOR3*, D3DCOLOR) override {
        return S_OK;
    }
    HRESULT Flush() override { return S_OK; }
    HRESULT End() override {
        calls.push_back("End");
        return S_OK;
    }
    HRESULT OnLostDevice() override { return S_OK; }
    HRESULT OnResetDevice() override { return S_OK; }
};

class TextWriterCalls : public ::testing::Test {
  protected:
    void SetUp() override {
        kittest::ResetCoreState();
        KitCore().m_bShowErrorBoxes = false;  // the no-font failure asks for a pop-up
    }
    void TearDown() override { kittest::ResetCoreState(); }

    RecordingFont m_font;
    RecordingSprite m_sprite;
};

TEST_F(TextWriterCalls, LinesStartWhiteAtTheOriginAndStepDown) {
    CKitTextWriter writer(&m_font, &m_sprite, 15);
    EXPECT_EQ(writer.DrawTextLine(L"first"), S_OK);
    writer.SetTextOrigin(5, 5);
    writer.SetTextColor(D3DXCOLOR(1.0f, 1.0f, 0.0f, 1.0f));
    EXPECT_EQ(writer.DrawTextLine(L"second"), S_OK);
    EXPECT_EQ(writer.DrawTextLine(L"third"), S_OK);

    ASSERT_EQ(m_font.calls.size(), 3u);
    const DrawCall& first = m_font.calls[0];
    EXPECT_EQ(first.text, L"first");
    EXPECT_EQ(first.nCount, -1);
    EXPECT_EQ(first.dwFormat, DWORD(DT_NOCLIP));
    EXPECT_EQ(first.color, 0xFFFFFFFFu);
    EXPECT_EQ(first.pSprite, &m_sprite);
    EXPECT_EQ(first.rc.left, 0);
    EXPECT_EQ(first.rc.top, 0);

    // The HUD's statistics lines: (5, 5) and (5, 20), yellow.
    const DrawCall& second = m_font.calls[1];
    const DrawCall& third = m_font.calls[2];
    EXPECT_EQ(second.rc.left, 5);
    EXPECT_EQ(second.rc.top, 5);
    EXPECT_EQ(second.rc.right, 0);
    EXPECT_EQ(second.rc.bottom, 0);
    EXPECT_EQ(third.rc.left, 5);
    EXPECT_EQ(third.rc.top, 20);
    EXPECT_EQ(second.color, 0xFFFFFF00u);
    EXPECT_EQ(third.color, 0xFFFFFF00u);
}

TEST_F(TextWriterCalls, HelpBlockPositionsOnA640x480BackBuffer) {
    const int H = 480;
    CKitTextWriter writer(&m_font, nullptr, 15);
    writer.SetTextOrigin(10, H - 90);
    writer.SetTextColor(D3DXCOLOR(1.0f, 0.75f, 0.0f, 1.0f));
    writer.DrawTextLine(L"Controls (F1 to hide):");
    writer.SetTextOrigin(40, H - 75);
    writer.DrawTextLine(L"Quit: ESC");
    ASSERT_EQ(m_font.calls.size(), 2u);
    EXPECT_EQ(m_font.calls[0].rc.left, 10);
    EXPECT_EQ(m_font.calls[0].rc.top, 390);
    EXPECT_EQ(m_font.calls[1].rc.left, 40);
    EXPECT_EQ(m_font.calls[1].rc.top, 405);
    EXPECT_EQ(m_font.calls[0].color, 0xFFFFBF00u);  // 0.75 * 255 = 191.25, packed down to 0xBF
    EXPECT_EQ(m_font.calls[0].pSprite, nullptr);
}

TEST_F(TextWriterCalls, BeginAndEndDriveTheSpriteOnlyWhenThereIsOne) {
    CKitTextWriter writer(&m_font, &m_sprite, 15);
    writer.BeginText();
    writer.DrawTextLine(L"x");
    writer.EndText();
    ASSERT_EQ(m_sprite.calls.size(), 2u);
    EXPECT_EQ(m_sprite.calls[0], "Begin(48)");  // alpha blending | sort by texture
    EXPECT_EQ(m_sprite.calls[1], "End");

    CKitTextWriter unbatched(&m_font, nullptr, 15);
    unbatched.BeginText();
    EXPECT_EQ(unbatched.DrawTextLine(L"y"), S_OK);
    unbatched.EndText();
    EXPECT_EQ(m_sprite.calls.size(), 2u);
    EXPECT_EQ(m_font.calls.back().text, L"y");
}

TEST_F(TextWriterCalls, LineInRectangleUsesTheCallersRectangleAndFlagsAndStillSteps) {
    CKitTextWriter writer(&m_font, &m_sprite, 18);
    writer.SetTextOrigin(7, 30);
    const RECT rc{100, 200, 300, 240};
    EXPECT_EQ(writer.DrawTextLineIn(rc, DT_RIGHT | DT_VCENTER, L"boxed"), S_OK);
    EXPECT_EQ(writer.DrawTextLineInFormatted(rc, DT_CENTER, L"%d of %ls", 3, L"four"), S_OK);
    EXPECT_EQ(writer.DrawTextLine(L"after"), S_OK);

    ASSERT_EQ(m_font.calls.size(), 3u);
    EXPECT_EQ(m_font.calls[0].rc.left, 100);
    EXPECT_EQ(m_font.calls[0].rc.top, 200);
    EXPECT_EQ(m_font.calls[0].rc.right, 300);
    EXPECT_EQ(m_font.calls[0].rc.bottom, 240);
    EXPECT_EQ(m_font.calls[0].dwFormat, DWORD(DT_RIGHT | DT_VCENTER));
    EXPECT_EQ(m_font.calls[1].text, L"3 of four");
    EXPECT_EQ(m_font.calls[1].dwFormat, DWORD(DT_CENTER));
    EXPECT_EQ(m_font.calls[2].rc.left, 7);
    EXPECT_EQ(m_font.calls[2].rc.top, 30 + 2 * 18);  // both boxed lines moved the insertion point
}

TEST_F(TextWriterCalls, FormattedLinesAreCutTo511Characters) {
    CKitTextWriter writer(&m_font, nullptr, 15);
    const std::wstring longText(600, L'a');
    EXPECT_EQ(writer.DrawTextLineFormatted(L"%ls!", longText.c_str()), S_OK);
    EXPECT_EQ(writer.DrawTextLineFormatted(L"%d%%", 42), S_OK);
    const std::wstring fits(510, L'b');
    EXPECT_EQ(writer.DrawTextLineFormatted(L"%ls!", fits.c_str()), S_OK);

    ASSERT_EQ(m_font.calls.size(), 3u);
    EXPECT_EQ(m_font.calls[0].text, std::wstring(511, L'a'));
    EXPECT_EQ(m_font.calls[1].text, L"42%");
    EXPECT_EQ(m_font.calls[2].text, fits + L"!");
}

TEST_F(TextWriterCalls, WithoutAFontEveryDrawFailsAndNothingMoves) {
    CKitTextWriter writer(nullptr, &m_sprite, 15);
    const RECT rc{0, 0, 10, 10};
    EXPECT_EQ(writer.DrawTextLine(L"a"), E_INVALIDARG);
    EXPECT_EQ(writer.DrawTextLineFormatted(L"%d", 1), E_INVALIDARG);
    EXPECT_EQ(writer.DrawTextLineIn(rc, 0, L"b"), E_INVALIDARG);
    EXPECT_EQ(writer.DrawTextLineInFormatted(rc, 0, L"%d", 2), E_INVALIDARG);
    EXPECT_TRUE(m_font.calls.empty());

    CKitTextWriter noText(&m_font, nullptr, 15);
    EXPECT_EQ(noText.DrawTextLine(nullptr), E_INVALIDARG);
    EXPECT_TRUE(m_font.calls.empty());
}

TEST_F(TextWriterCalls, AFontThatCannotDrawFailsAndKeepsTheInsertionPoint) {
    CKitTextWriter writer(&m_font, nullptr, 15);
    writer.SetTextOrigin(5, 50);
    m_font.nResult = 0;
    EXPECT_EQ(writer.DrawTextLine(L"lost"), E_FAIL);
    m_font.nResult = 15;
    EXPECT_EQ(writer.DrawTextLine(L"next"), S_OK);
    EXPECT_EQ(writer.DrawTextLine(L"then"), S_OK);
    ASSERT_EQ(m_font.calls.size(), 3u);
    EXPECT_EQ(m_font.calls[1].rc.top, 50);
    EXPECT_EQ(m_font.calls[2].rc.top, 65);

    // An empty line has no height and is no failure.
    m_font.nResult = 0;
    EXPECT_EQ(writer.DrawTextLine(L""), S_OK);
    m_font.nResult = 15;
    EXPECT_EQ(writer.DrawTextLine(L"z"), S_OK);
    EXPECT_EQ(m_font.calls.back().rc.top, 95);
}

}  // namespace
