// CKitButton: a push button. Space or a click raises KIT_EVT_BUTTON_CLICKED;
// its hot key raises it whatever the focus.
#pragma once

#include "common/kitgui/control_static.h"

class CKitButton : public CKitStatic {
  public:
    explicit CKitButton(CKitDialog* pDialog = nullptr);

    // Input.
    bool OnKey(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    bool OnPointer(UINT uMsg, POINT pt, WPARAM wParam, LPARAM lParam) override;
    void OnAccelKey() override;
    bool AcceptsFocus() override { return m_bShown && m_bActive; }
    bool HitTest(POINT pt) override { return PtInRect(&m_rcBounds, pt) != FALSE; }
    // Drawing.
    void Draw(IDirect3DDevice9* pd3dDevice, float fElapsedTime) override;

    bool IsHeld() const { return m_bHeld; }

  protected:
    // Space and mouse presses, shared with the check box and radio button: true
    // when consumed; *pbCompleted tells that a press was completed on the control.
    bool TrackKeyPress(UINT uMsg, WPARAM wParam, bool* pbCompleted);
    bool TrackPointerPress(UINT uMsg, POINT pt, bool* pbCompleted);

    bool m_bHeld = false;  // pressed and not yet released
};
