// CKitSlider: a horizontal value picker over [low, high] with a knob. Keys,
// the wheel, a drag or a click on the track change the value and raise
// KIT_EVT_SLIDER_CHANGED.
#pragma once

#include "common/kitgui/control.h"

class CKitSlider : public CKitControl {
  public:
    explicit CKitSlider(CKitDialog* pDialog = nullptr);

    // Geometry.
    void LayoutRects() override;
    bool HitTest(POINT pt) override { return PtInRect(&m_rcBounds, pt) || PtInRect(&m_rcKnob, pt); }
    // The value at a dialog x position.
    int LevelAtX(int x) const;
    // Input.
    bool OnKey(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    bool OnPointer(UINT uMsg, POINT pt, WPARAM wParam, LPARAM lParam) override;
    bool AcceptsFocus() override { return m_bShown && m_bActive; }
    // Drawing.
    void Draw(IDirect3DDevice9* pd3dDevice, float fElapsedTime) override;

    void SetLevel(int nLevel) { SetLevelInternal(nLevel, false); }
    int GetLevel() const { return m_nLevel; }
    void SetBounds(int nLow, int nHigh);
    void GetBounds(int* pnLow, int* pnHigh) const;
    bool IsHeld() const { return m_bHeld; }
    int KnobX() const { return m_nKnobX; }
    const RECT& KnobRect() const { return m_rcKnob; }

  protected:
    // Clamps, stores and raises the event with the given cause when the value changes.
    void SetLevelInternal(int nLevel, bool bUserCaused);

    int m_nLevel = 50;
    int m_nLow = 0, m_nHigh = 100;
    int m_nGrabX = 0;       // x of the press
    int m_nGrabOffset = 0;  // added to the pointer's x while dragging
    int m_nKnobX = 0;       // knob centre from the left edge
    bool m_bHeld = false;   // pressed and not yet released
    RECT m_rcKnob = {0, 0, 0, 0};
};
