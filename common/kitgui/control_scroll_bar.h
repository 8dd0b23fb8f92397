// CKitScrollBar: a vertical scroll bar over an item range [low, high) showing
// a page of items. Arrows step by one (repeating while held), the track pages,
// the thumb drags. Combo and list boxes hold one as a member; it never takes
// the focus.
#pragma once

#include "common/kitgui/control.h"

// Lines one wheel notch scrolls, as the user set it (3 when unknown).
UINT KitWheelScrollLines();

class CKitScrollBar : public CKitControl {
  public:
    explicit CKitScrollBar(CKitDialog* pDialog = nullptr);

    // Geometry.
    void LayoutRects() override;
    // Input.
    bool ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    bool OnKey(UINT, WPARAM, LPARAM) override { return false; }
    bool OnPointer(UINT uMsg, POINT pt, WPARAM wParam, LPARAM lParam) override;
    // Drawing (also runs the arrows' auto-repeat).
    void Draw(IDirect3DDevice9* pd3dDevice, float fElapsedTime) override;

    void SetSpan(int nLow, int nHigh);
    void SetVisibleCount(int nVisible);
    int GetFirst() const { return m_nFirst; }
    int GetVisibleCount() const { return m_nVisible; }
    int GetRangeLow() const { return m_nRangeLow; }
    int GetRangeHigh() const { return m_nRangeHigh; }
    void ScrollBy(int nDelta);
    // Scrolls the least needed to bring the item into the page.
    void RevealItem(int nIndex);

    bool IsThumbShown() const { return m_bThumbShown; }
    bool IsThumbDragging() const { return m_bThumbDrag; }
    const RECT& UpArrowRect() const { return m_rcUpArrow; }
    const RECT& DownArrowRect() const { return m_rcDownArrow; }
    const RECT& TroughRect() const { return m_rcTrough; }
    const RECT& GripRect() const { return m_rcGrip; }

    enum ArrowState {
        ARROW_IDLE = 0,
        ARROW_UP_PRESSED = 1,
        ARROW_DOWN_PRESSED = 2,
        ARROW_UP_REPEATING = 3,
        ARROW_DOWN_REPEATING = 4,
    };

  protected:
    void ClampFirst();
    void PlaceGrip();
    // One arrow step of the auto-repeat, if its delay has passed.
    void RepeatArrow(double fNow);

    bool m_bThumbShown = true;  // more content than one page
    bool m_bThumbDrag = false;  // the thumb is being dragged
    RECT m_rcUpArrow = {0, 0, 0, 0};
    RECT m_rcDownArrow = {0, 0, 0, 0};
    RECT m_rcTrough = {0, 0, 0, 0};  // the track between the arrows
    RECT m_rcGrip = {0, 0, 0, 0};    // the thumb
    int m_nFirst = 0;                // first visible item
    int m_nVisible = 1;              // items per page
    int m_nRangeLow = 0, m_nRangeHigh = 1;
    POINT m_ptLastPointer = {0, 0};  // last point given to OnPointer
    ArrowState m_eArrowState = ARROW_IDLE;
    double m_fArrowStamp = 0.0;  // time of the last arrow step

    static int s_nGripGrabY;  // grab point's offset below the thumb's top during a drag
};
