// CKitCheckBox: a box with a check mark and a label. Space, a click or its
// hot key toggles it and raises KIT_EVT_CHECK_CHANGED.
#pragma once

#include "common/kitgui/control_button.h"

class CKitCheckBox : public CKitButton {
  public:
    explicit CKitCheckBox(CKitDialog* pDialog = nullptr);

    // Geometry.
    void LayoutRects() override;
    bool HitTest(POINT pt) override;
    // Input.
    bool OnKey(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    bool OnPointer(UINT uMsg, POINT pt, WPARAM wParam, LPARAM lParam) override;
    void OnAccelKey() override;
    // Drawing.
    void Draw(IDirect3DDevice9* pd3dDevice, float fElapsedTime) override;

    // Sets the state and raises the event with the given cause (also when the
    // state does not change).
    virtual void SetTickedInternal(bool bTicked, bool bUserCaused);

    void SetTicked(bool bTicked) { SetTickedInternal(bTicked, false); }
    bool IsTicked() const { return m_bTicked; }
    const RECT& BoxRect() const { return m_rcBox; }
    const RECT& LabelRect() const { return m_rcLabel; }

  protected:
    bool m_bTicked = false;         // checked
    RECT m_rcBox = {0, 0, 0, 0};    // the square box at the left
    RECT m_rcLabel = {0, 0, 0, 0};  // the label right of the box
};
