// The check box: geometry (box and label), input (space, mouse, hot key),
// then drawing (box with label, and the mark fading in and out).
#include "common/kitgui/control_check_box.h"

#include "common/kit/state/kit_getters.h"
#include "common/kitgui/dialog.h"

CKitCheckBox::CKitCheckBox(CKitDialog* pDialog) : CKitButton(pDialog) { m_eKind = KIT_KIND_CHECKBOX; }

// ---------------------------------------------------------------------------
// Geometry

void CKitCheckBox::LayoutRects() {
    CKitButton::LayoutRects();
    m_rcBox = m_rcBounds;
    m_rcBox.right = m_rcBox.left + (m_rcBox.bottom - m_rcBox.top);
    m_rcLabel = m_rcBounds;
    m_rcLabel.left += int(float(m_rcBox.right - m_rcBox.left) * 1.25f);
}

bool CKitCheckBox::HitTest(POINT pt) { return PtInRect(&m_rcBounds, pt) || PtInRect(&m_rcBox, pt); }

// ---------------------------------------------------------------------------
// Input

bool CKitCheckBox::OnKey(UINT uMsg, WPARAM wParam, LPARAM) {
    bool bCompleted = false;
    const bool bConsumed = TrackKeyPress(uMsg, wParam, &bCompleted);
    if (bCompleted) SetTickedInternal(!m_bTicked, true);
    return bConsumed;
}

bool CKitCheckBox::OnPointer(UINT uMsg, POINT pt, WPARAM, LPARAM) {
    bool bCompleted = false;
    const bool bConsumed = TrackPointerPress(uMsg, pt, &bCompleted);
    if (bCompleted) SetTickedInternal(!m_bTicked, true);
    return bConsumed;
}

void CKitCheckBox::OnAccelKey() {
    if (m_pOwner->KeyboardNav()) m_pOwner->FocusControl(this);
    SetTickedInternal(!m_bTicked, true);
}

void CKitCheckBox::SetTickedInternal(bool bTicked, bool bUserCaused) {
    m_bTicked = bTicked;
    m_pOwner->RaiseEvent(KIT_EVT_CHECK_CHANGED, bUserCaused, this);
}

// ---------------------------------------------------------------------------
// Drawing

void CKitCheckBox::Draw(IDirect3DDevice9*, float fElapsedTime) {
    if (m_SkinElements.Length() < 2) return;
    const UINT iState = LookState(m_bHeld);
    const float fRate = iState == KIT_LOOK_PRESSED ? 0.0f : 0.8f;

    CKitSkinElement* pBox = m_SkinElements.GetAt(0);
    pBox->TintColor.Fade(iState, fElapsedTime, fRate);
    pBox->TextColor.Fade(iState, fElapsedTime, fRate);
    m_pOwner->PaintSprite(pBox, &m_rcBox);
    m_pOwner->PaintText(m_wszText, pBox, &m_rcLabel, true, -1);

    CKitSkinElement* pMark = m_SkinElements.GetAt(1);
    pMark->TintColor.Fade(m_bTicked ? iState : UINT(KIT_LOOK_HIDDEN), fElapsedTime, fRate);
    m_pOwner->PaintSprite(pMark, &m_rcBox);
}
