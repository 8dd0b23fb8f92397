// The push button: input (space, mouse, hot key), then drawing (face and fill
// layer, each with the label, offset while hovered or pressed).
#include "common/kitgui/control_button.h"

#include "common/kit/state/kit_getters.h"
#include "common/kitgui/dialog.h"

CKitButton::CKitButton(CKitDialog* pDialog) : CKitStatic(pDialog) { m_eKind = KIT_KIND_BUTTON; }

// ---------------------------------------------------------------------------
// Input

bool CKitButton::TrackKeyPress(UINT uMsg, WPARAM wParam, bool* pbCompleted) {
    *pbCompleted = false;
    if (!m_bActive || !m_bShown || wParam != VK_SPACE) return false;
    if (uMsg == WM_KEYDOWN) {
        m_bHeld = true;
        return true;
    }
    if (uMsg == WM_KEYUP) {
        if (m_bHeld) {
            m_bHeld = false;
            *pbCompleted = true;
        }
        return true;
    }
    return false;
}

bool CKitButton::TrackPointerPress(UINT uMsg, POINT pt, bool* pbCompleted) {
    *pbCompleted = false;
    if (!m_bActive || !m_bShown) return false;
    switch (uMsg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (HitTest(pt)) {
                m_bHeld = true;
                SetCapture(KitActiveWindow());
                if (!m_bFocused) m_pOwner->FocusControl(this);
                return true;
            }
            break;
        case WM_LBUTTONUP:
            if (m_bHeld) {
                m_bHeld = false;
                ReleaseCapture();
                *pbCompleted = HitTest(pt);
                return true;
            }
            break;
        default:
            break;
    }
    return false;
}

bool CKitButton::OnKey(UINT uMsg, WPARAM wParam, LPARAM) {
    bool bCompleted = false;
    const bool bConsumed = TrackKeyPress(uMsg, wParam, &bCompleted);
    if (bCompleted) m_pOwner->RaiseEvent(KIT_EVT_BUTTON_CLICKED, true, this);
    return bConsumed;
}

bool CKitButton::OnPointer(UINT uMsg, POINT pt, WPARAM, LPARAM) {
    bool bCompleted = false;
    const bool bConsumed = TrackPointerPress(uMsg, pt, &bCompleted);
    // A release that ended a press gives the focus back unless the keyboard moves it.
    if (bConsumed && uMsg == WM_LBUTTONUP && !m_pOwner->KeyboardNav()) CKitDialog::DropFocus();
    if (bCompleted) m_pOwner->RaiseEvent(KIT_EVT_BUTTON_CLICKED, true, this);
    return bConsumed;
}

void CKitButton::OnAccelKey() {
    if (m_pOwner->KeyboardNav()) m_pOwner->FocusControl(this);
    m_pOwner->RaiseEvent(KIT_EVT_BUTTON_CLICKED, true, this);
}

// ---------------------------------------------------------------------------
// Drawing

void CKitButton::Draw(IDirect3DDevice9*, float fElapsedTime) {
    const UINT iState = LookState(m_bHeld);
    int dx = 0, dy = 0;
    if (iState == KIT_LOOK_PRESSED) {
        dx = 1;
        dy = 2;
    } else if (iState == KIT_LOOK_MOUSEOVER) {
        dx = -1;
        dy = -2;
    }
    RECT rcWindow = m_rcBounds;
    OffsetRect(&rcWindow, dx, dy);

    const float fRate = iState == KIT_LOOK_PRESSED ? 0.0f : 0.8f;
    for (int i = 0; i < 2 && i < m_SkinElements.Length(); ++i) {
        CKitSkinElement* pElement = m_SkinElements.GetAt(i);
        pElement->TintColor.Fade(iState, fElapsedTime, fRate);
        pElement->TextColor.Fade(iState, fElapsedTime, fRate);
        m_pOwner->PaintSprite(pElement, &rcWindow);
        m_pOwner->PaintText(m_wszText, pElement, &rcWindow, false, -1);
    }
}
