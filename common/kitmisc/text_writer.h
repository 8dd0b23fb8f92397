// CKitTextWriter: writes successive lines of text with one font and one
// (optional) sprite, starting at an insertion point that moves down by a fixed
// line step after every line. A short-lived helper: build one per frame.
#pragma once

#include "platform/d3dx9.h"
#include "platform/win32.h"

class CKitTextWriter {
  public:
    // Neither object is owned; the sprite may be null (the font then draws unbatched).
    CKitTextWriter(ID3DXFont* pFont, ID3DXSprite* pSprite, int nLineStep);

    // Begins (ends) the sprite batch with alpha blending and texture sorting; nothing without a sprite.
    void BeginText();
    void EndText();

    void SetTextOrigin(int x, int y) { m_ptCursor = POINT{x, y}; }
    void SetTextColor(const D3DXCOLOR& clr) { m_clrText = clr; }

    // Draws one line at the insertion point, then moves it down by the line
    // step. E_INVALIDARG without a font or text; E_FAIL when the font cannot draw
    // (the insertion point then stays).
    HRESULT DrawTextLine(const WCHAR* strMsg);
    // Formats into 512 characters (longer output is cut to 511) and draws that line.
    HRESULT DrawTextLineFormatted(const WCHAR* strFormat, ...);
    // Draws in the given rectangle with the given DT_* flags instead of at
    // the insertion point; the insertion point still moves down by the step.
    HRESULT DrawTextLineIn(const RECT& rc, DWORD dwFlags, const WCHAR* strMsg);
    HRESULT DrawTextLineInFormatted(const RECT& rc, DWORD dwFlags, const WCHAR* strFormat, ...);

  private:
    // The draw behind every line: rc and flags as given.
    HRESULT DrawLine(RECT rc, DWORD dwFlags, const WCHAR* strMsg);

    ID3DXFont* m_pWriterFont;      // draws the text (not owned)
    ID3DXSprite* m_pWriterSprite;  // batches the glyphs (not owned, may be null)
    D3DXCOLOR m_clrText;           // current text colour
    POINT m_ptCursor;              // insertion point in client pixels
    int m_nLineStep;               // pixels added to y after each line
};
