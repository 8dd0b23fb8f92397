// CKitEditBox: a single-line text field — caret blinking on the framework's
// time, insert and overwrite, selection by keyboard and mouse, horizontal
// scrolling that keeps the caret in view, clipboard cut, copy and paste, and
// the change and Enter events. Text is measured by its CKitTextBuffer.
#pragma once

#include "common/kitgui/control.h"
#include "common/kitgui/text_buffer.h"

class CKitEditBox : public CKitControl {
  public:
    explicit CKitEditBox(CKitDialog* pDialog = nullptr);
    ~CKitEditBox() override;

    // Geometry.
    void LayoutRects() override;
    // Input.
    bool ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    bool OnKey(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    bool OnPointer(UINT uMsg, POINT pt, WPARAM wParam, LPARAM lParam) override;
    bool AcceptsFocus() override { return m_bShown && m_bActive; }
    void OnFocusGained() override;
    // Drawing.
    void Draw(IDirect3DDevice9* pd3dDevice, float fElapsedTime) override;
    void SetLabelColor(D3DCOLOR color) override { m_clrText = color; }

    // Content.
    void SetContent(const WCHAR* wszText, bool bSelected = false);
    const WCHAR* GetContent() const { return m_Buffer.Chars(); }
    int GetTextLength() const { return m_Buffer.GetTextSize(); }
    bool CopyContent(WCHAR* strDest, UINT bufferCount) const;
    void EraseAll();

    // Looks and state, for the application and for tests.
    void SetRim(int nRim) { m_nRim = nRim, LayoutRects(); }
    void SetGap(int nGap) { m_nGap = nGap, LayoutRects(); }
    void SetSelectionColors(D3DCOLOR clrSelText, D3DCOLOR clrSelBack) {
        m_clrSelText = clrSelText, m_clrSelBack = clrSelBack;
    }
    void SetCaretColor(D3DCOLOR color) { m_clrCaret = color; }
    int GetCaret() const { return m_nCursor; }
    int GetSelectionAnchor() const { return m_nSelAnchor; }
    int GetFirstVisible() const { return m_nScrollChar; }
    bool IsInserting() const { return m_bInserting; }
    bool IsCaretLit() const { return m_bCaretLit; }
    const RECT& GetTextRect() const { return m_rcEdit; }
    // x of a caret position relative to the text's start (0 without layout).
    int CaretX(int nCP, bool bTrailing = false);

    static bool s_bCaretSuppressed;  // an input-method window draws the caret itself

  protected:
    void PutCursor(int nCP);
    void DeleteSelection();
    void CopySelection();
    void PasteAtCursor();
    void RestartBlink();
    // The caret position under a point of the text area.
    void CursorFromPoint(POINT pt);
    void RaiseChanged();

    CKitTextBuffer m_Buffer{1};          // the text
    int m_nRim = 5;                      // border width
    int m_nGap = 4;                      // spacing between border and text
    RECT m_rcEdit = {};                  // text area
    RECT m_rcParts[9] = {};              // text area, then the borders from top-left to bottom-right
    double m_fBlinkPeriod;               // seconds between caret toggles
    double m_fLastBlink;                 // framework time of the last toggle
    bool m_bCaretLit = true;             //
    int m_nCursor = 0;                   // caret position, 0..text length
    bool m_bInserting = true;            // insert mode; false: overwrite
    int m_nSelAnchor = 0;                // the selection is [min, max) of anchor and caret
    int m_nScrollChar = 0;               // first visible character
    D3DCOLOR m_clrText = 0xFF101010;     // text
    D3DCOLOR m_clrSelText = 0xFFFFFFFF;  // selected text
    D3DCOLOR m_clrSelBack = 0xFF28325C;  // selection background
    D3DCOLOR m_clrCaret = 0xFF000000;    // caret
    bool m_bDragging = false;            // mouse selection in progress
};
