// CKitListBox: a scrolled list of rows with single or multiple selection
// (anchor, Ctrl and Shift). Keys and clicks raise KIT_EVT_LIST_SELECT, Space
// and double-clicks KIT_EVT_LIST_ACTIVATE, the release after a click
// KIT_EVT_LIST_SELECT_END.
#pragma once

#include "common/kitgui/control.h"
#include "common/kitgui/control_scroll_bar.h"

#define KIT_LIST_MULTI 1  // multiple selection

struct KitRowItem {
    WCHAR wszLabel[256];  // the row's text
    void* pItemData;      // application data
    RECT rcHit;           // kept empty
    bool bPicked;         // selected (multiple selection)
};

class CKitListBox : public CKitControl {
  public:
    explicit CKitListBox(CKitDialog* pDialog = nullptr);
    ~CKitListBox() override;

    HRESULT OnInit() override;
    // Geometry.
    void LayoutRects() override;
    // Input.
    bool ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    bool OnKey(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    bool OnPointer(UINT uMsg, POINT pt, WPARAM wParam, LPARAM lParam) override;
    bool AcceptsFocus() override { return m_bShown && m_bActive; }
    // Drawing.
    void Draw(IDirect3DDevice9* pd3dDevice, float fElapsedTime) override;

    // Rows.
    HRESULT AddRow(const WCHAR* strText, void* pData);
    HRESULT InsertRow(int iIndex, const WCHAR* strText, void* pData);
    void RemoveRow(int iIndex);
    void RemoveAllRows();
    KitRowItem* RowAt(int iIndex) const;
    int GetRowCount() const { return m_Rows.Length(); }
    // The next selected row after iPrevious (-1: from the start), or -1.
    int NextPicked(int iPrevious = -1) const;
    void SelectRow(int iIndex);

    DWORD GetFlags() const { return m_dwFlags; }
    void SetFlags(DWORD dwFlags) { m_dwFlags = dwFlags; }
    int GetCurrent() const { return m_nCurrent; }
    int GetAnchor() const { return m_nAnchor; }
    bool IsDragSelecting() const { return m_bDragSelect; }
    int GetRowHeight() const { return m_nRowHeight; }
    CKitScrollBar* GetScroller() { return &m_Scroller; }
    const RECT& RowsRect() const { return m_rcRows; }
    const RECT& RowAreaRect() const { return m_rcRowArea; }

  protected:
    bool IsMulti() const { return (m_dwFlags & KIT_LIST_MULTI) != 0; }
    bool IsPicked(int iIndex) const;
    // The row under a point's height, -1 while the row height is unknown.
    int RowUnder(POINT pt) const;
    bool IsRowVisible(int iIndex) const;
    // The rows strictly between anchor and current, and the current one, take
    // the anchor row's picked state.
    void SpreadAnchorPick();

    RECT m_rcRows = {0, 0, 0, 0};     // text area
    RECT m_rcRowArea = {0, 0, 0, 0};  // selection area
    CKitScrollBar m_Scroller;
    int m_nScrollerWidth = 16;
    int m_nFrame = 6;      // border
    int m_nInset = 5;      // horizontal text margin
    int m_nRowHeight = 0;  // line height, learnt when drawn
    DWORD m_dwFlags = 0;
    int m_nCurrent = -1;                 // current (selected) row, -1 none
    int m_nAnchor = 0;                   // selection start
    bool m_bDragSelect = false;          // button held after a click on a row
    CGrowableArray<KitRowItem*> m_Rows;  // owned rows

    static bool s_bPageLearnt;  // the first list box drawn has set its page from the font
};
