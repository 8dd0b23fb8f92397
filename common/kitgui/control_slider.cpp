// The slider: geometry (knob from the value, value from a position), input
// (keys, clicks, drag, wheel), then drawing.
#include "common/kitgui/control_slider.h"

#include <algorithm>
#include <cstdint>

#include "common/kit/state/kit_getters.h"
#include "common/kitgui/dialog.h"

CKitSlider::CKitSlider(CKitDialog* pDialog) : CKitControl(pDialog) { m_eKind = KIT_KIND_SLIDER; }

// ---------------------------------------------------------------------------
// Geometry

void CKitSlider::LayoutRects() {
    CKitControl::LayoutRects();
    const int nSide = m_rcBounds.bottom - m_rcBounds.top;
    SetRect(&m_rcKnob, m_rcBounds.left, m_rcBounds.top, m_rcBounds.left + nSide, m_rcBounds.bottom);
    OffsetRect(&m_rcKnob, -nSide / 2, 0);
    // An empty range or a slider without width keeps the knob at the left edge.
    const int64_t nSpan = int64_t(m_nHigh) - m_nLow;
    m_nKnobX = nSpan > 0 ? int(double(int64_t(m_nLevel) - m_nLow) * double(m_nWidth) / double(nSpan)) : 0;
    OffsetRect(&m_rcKnob, m_nKnobX, 0);
}

int CKitSlider::LevelAtX(int x) const {
    if (m_nWidth <= 0) return m_nLow;
    const double fPerPixel = double(float(int64_t(m_nHigh) - m_nLow) / float(m_nWidth));
    const double fLevel = double(m_nLow) + 0.5 + double(x - m_rcBounds.left) * fPerPixel;
    return int(std::clamp(fLevel, double(INT_MIN), double(INT_MAX)));
}

void CKitSlider::SetBounds(int nLow, int nHigh) {
    m_nLow = nLow;
    m_nHigh = nHigh;
    SetLevelInternal(m_nLevel, false);
    LayoutRects();
}

void CKitSlider::GetBounds(int* pnLow, int* pnHigh) const {
    if (pnLow) *pnLow = m_nLow;
    if (pnHigh) *pnHigh = m_nHigh;
}

void CKitSlider::SetLevelInternal(int nLevel, bool bUserCaused) {
    // Clamped to low first: bounds given the wrong way round leave it at low.
    nLevel = std::max(m_nLow, std::min(nLevel, m_nHigh));
    if (nLevel == m_nLevel) return;
    m_nLevel = nLevel;
    LayoutRects();
    m_pOwner->RaiseEvent(KIT_EVT_SLIDER_CHANGED, bUserCaused, this);
}

// ---------------------------------------------------------------------------
// Input

bool CKitSlider::OnKey(UINT uMsg, WPARAM wParam, LPARAM) {
    if (!m_bActive || !m_bShown) return false;
    if (uMsg != WM_KEYDOWN) return false;
    const int nPage = int(std::max<int64_t>(10, (int64_t(m_nHigh) - m_nLow) / 10));
    switch (wParam) {
        case VK_HOME:
            SetLevelInternal(m_nLow, true);
            return true;
        case VK_END:
            SetLevelInternal(m_nHigh, true);
            return true;
        case VK_LEFT:
        case VK_DOWN:
            if (m_nLevel > INT_MIN) SetLevelInternal(m_nLevel - 1, true);
            return true;
        case VK_RIGHT:
        case VK_UP:
            if (m_nLevel < INT_MAX) SetLevelInternal(m_nLevel + 1, true);
            return true;
        case VK_NEXT:
            SetLevelInternal(int(std::max<int64_t>(INT_MIN, int64_t(m_nLevel) - nPage)), true);
            return true;
        case VK_PRIOR:
            SetLevelInternal(int(std::min<int64_t>(INT_MAX, int64_t(m_nLevel) + nPage)), true);
            return true;
        default:
            return false;
    }
}

bool CKitSlider::OnPointer(UINT uMsg, POINT pt, WPARAM wParam, LPARAM) {
    if (!m_bActive || !m_bShown) return false;
    switch (uMsg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (PtInRect(&m_rcKnob, pt)) {
                m_bHeld = true;
                SetCapture(KitActiveWindow());
                m_nGrabX = pt.x;
                m_nGrabOffset = m_nKnobX - pt.x;
                if (!m_bFocused) m_pOwner->FocusControl(this);
                return true;
            }
            if (PtInRect(&m_rcBounds, pt)) {
                m_nGrabX = pt.x;
                // A drag that follows moves the value to the pointer: the
                // offset turns the pointer's x back into a position on the track.
                m_nGrabOffset = -m_nX;
                m_bHeld = true;
                if (!m_bFocused) m_pOwner->FocusControl(this);
                const int nCentre = m_nX + m_nKnobX;
                if (pt.x > nCentre) {
                    SetLevelInternal(m_nLevel + 1, true);
                    return true;
                }
                if (pt.x < nCentre) {
                    SetLevelInternal(m_nLevel - 1, true);
                    return true;
                }
            }
            return false;

        case WM_MOUSEMOVE:
            if (!m_bHeld) return false;
            SetLevelInternal(LevelAtX(m_nX + pt.x + m_nGrabOffset), true);
            return true;

        case WM_LBUTTONUP:
            if (!m_bHeld) return false;
            m_bHeld = false;
            ReleaseCapture();
            m_pOwner->RaiseEvent(KIT_EVT_SLIDER_CHANGED, true, this);
            return true;

        case WM_MOUSEWHEEL:
            SetLevelInternal(m_nLevel - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA, true);
            return true;

        default:
            return false;
    }
}

// ---------------------------------------------------------------------------
// Drawing

void CKitSlider::Draw(IDirect3DDevice9*, float fElapsedTime) {
    if (m_SkinElements.Length() < 2) return;
    const UINT iState = LookState(m_bHeld);
    const float fRate = iState == KIT_LOOK_PRESSED ? 0.0f : 0.8f;
    CKitSkinElement* pTrack = m_SkinElements.GetAt(0);
    pTrack->TintColor.Fade(iState, fElapsedTime, fRate);
    m_pOwner->PaintSprite(pTrack, &m_rcBounds);
    CKitSkinElement* pKnob = m_SkinElements.GetAt(1);
    pKnob->TintColor.Fade(iState, fElapsedTime, fRate);
    m_pOwner->PaintSprite(pKnob, &m_rcKnob);
}
