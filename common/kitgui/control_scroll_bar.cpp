// The scroll bar: geometry (arrows, track, thumb), input (arrows, track pages,
// thumb drag), then drawing with the arrows' auto-repeat.
#include "common/kitgui/control_scroll_bar.h"

#include <algorithm>
#include <cstdint>

#include "common/kit/state/kit_getters.h"
#include "common/kitgui/dialog.h"

namespace {

constexpr int kMinGripHeight = 8;       // the thumb never gets thinner
constexpr double kRepeatDelay = 0.33;   // from the press to the first repeat
constexpr double kRepeatPeriod = 0.05;  // between repeats

}  // namespace

UINT KitWheelScrollLines() {
    UINT nLines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &nLines, 0);
    return nLines;
}

int CKitScrollBar::s_nGripGrabY = 0;

CKitScrollBar::CKitScrollBar(CKitDialog* pDialog) : CKitControl(pDialog) { m_eKind = KIT_KIND_SCROLLBAR; }

// ---------------------------------------------------------------------------
// Geometry

void CKitScrollBar::LayoutRects() {
    CKitControl::LayoutRects();
    const int nSide = m_rcBounds.right - m_rcBounds.left;
    SetRect(&m_rcUpArrow, m_rcBounds.left, m_rcBounds.top, m_rcBounds.right, m_rcBounds.top + nSide);
    SetRect(&m_rcDownArrow, m_rcBounds.left, m_rcBounds.bottom - nSide, m_rcBounds.right, m_rcBounds.bottom);
    // A bar shorter than its two arrows has an empty track, never a negative one.
    SetRect(&m_rcTrough, m_rcBounds.left, m_rcUpArrow.bottom, m_rcBounds.right,
            std::max(m_rcUpArrow.bottom, m_rcDownArrow.top));
    m_rcGrip.left = m_rcTrough.left;
    m_rcGrip.right = m_rcTrough.right;
    PlaceGrip();
}

void CKitScrollBar::ClampFirst() {
    if (m_nFirst < m_nRangeLow || int64_t(m_nRangeHigh) - m_nRangeLow <= m_nVisible)
        m_nFirst = m_nRangeLow;
    else if (int64_t(m_nFirst) + m_nVisible > m_nRangeHigh)
        m_nFirst = m_nRangeHigh - m_nVisible;
}

void CKitScrollBar::PlaceGrip() {
    const int64_t nSpan = int64_t(m_nRangeHigh) - m_nRangeLow;
    if (nSpan > m_nVisible) {
        const int64_t nTrack = m_rcTrough.bottom - m_rcTrough.top;
        const int nGrip = std::max(int(nTrack * m_nVisible / nSpan), kMinGripHeight);
        m_rcGrip.top =
            m_rcTrough.top + int((int64_t(m_nFirst) - m_nRangeLow) * (nTrack - nGrip) / (nSpan - m_nVisible));
        m_rcGrip.bottom = m_rcGrip.top + nGrip;
        m_bThumbShown = true;
    } else {
        m_rcGrip.bottom = m_rcGrip.top;
        m_bThumbShown = false;
    }
}

void CKitScrollBar::SetSpan(int nLow, int nHigh) {
    m_nRangeLow = nLow;
    m_nRangeHigh = nHigh;
    ClampFirst();
    PlaceGrip();
}

void CKitScrollBar::SetVisibleCount(int nVisible) {
    m_nVisible = nVisible;
    ClampFirst();
    PlaceGrip();
}

void CKitScrollBar::ScrollBy(int nDelta) {
    m_nFirst = int(std::clamp(int64_t(m_nFirst) + nDelta, int64_t(INT_MIN), int64_t(INT_MAX)));
    ClampFirst();
    PlaceGrip();
}

void CKitScrollBar::RevealItem(int nIndex) {
    nIndex = std::max(0, std::min(nIndex, m_nRangeHigh - 1));
    if (nIndex < m_nFirst)
        m_nFirst = nIndex;
    else if (int64_t(nIndex) >= int64_t(m_nFirst) + m_nVisible)
        m_nFirst = nIndex - m_nVisible + 1;
    PlaceGrip();
}

// ---------------------------------------------------------------------------
// Input

bool CKitScrollBar::ProcessMessage(UINT uMsg, WPARAM, LPARAM) {
    if (uMsg == WM_CAPTURECHANGED) m_bThumbDrag = false;
    return false;
}

bool CKitScrollBar::OnPointer(UINT uMsg, POINT pt, WPARAM, LPARAM) {
    m_ptLastPointer = pt;
    switch (uMsg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (PtInRect(&m_rcUpArrow, pt)) {
                SetCapture(KitActiveWindow());
                if (m_nFirst > m_nRangeLow) --m_nFirst;
                PlaceGrip();
                m_eArrowState = ARROW_UP_PRESSED;
                m_fArrowStamp = KitCurrentTime();
                return true;
            }
            if (PtInRect(&m_rcDownArrow, pt)) {
                SetCapture(KitActiveWindow());
                if (int64_t(m_nFirst) + m_nVisible < m_nRangeHigh) ++m_nFirst;
                PlaceGrip();
                m_eArrowState = ARROW_DOWN_PRESSED;
                m_fArrowStamp = KitCurrentTime();
                return true;
            }
            if (PtInRect(&m_rcGrip, pt)) {
                SetCapture(KitActiveWindow());
                m_bThumbDrag = true;
                s_nGripGrabY = pt.y - m_rcGrip.top;
                return true;
            }
            if (pt.x >= m_rcGrip.left && pt.x < m_rcGrip.right) {
                SetCapture(KitActiveWindow());
                if (pt.y < m_rcGrip.top && pt.y >= m_rcTrough.top) {
                    ScrollBy(-(m_nVisible - 1));
                    return true;
                }
                if (pt.y >= m_rcGrip.bottom && pt.y < m_rcTrough.bottom) {
                    ScrollBy(m_nVisible - 1);
                    return true;
                }
            }
            return false;

        case WM_LBUTTONUP:
            m_bThumbDrag = false;
            ReleaseCapture();
            PlaceGrip();
            m_eArrowState = ARROW_IDLE;
            return false;

        case WM_MOUSEMOVE: {
            if (!m_bThumbDrag) return false;
            const int nGrip = m_rcGrip.bottom - m_rcGrip.top;
            const int nTrack = m_rcTrough.bottom - m_rcTrough.top;
            m_rcGrip.top = pt.y - s_nGripGrabY;
            m_rcGrip.bottom = m_rcGrip.top + nGrip;
            if (m_rcGrip.bottom > m_rcTrough.bottom)
                OffsetRect(&m_rcGrip, 0, m_rcTrough.bottom - m_rcGrip.bottom);
            if (m_rcGrip.top < m_rcTrough.top) OffsetRect(&m_rcGrip, 0, m_rcTrough.top - m_rcGrip.top);

            // A thumb that fills the whole track has nowhere to go: the first
            // item stays as it is.
            const int64_t nTravel = nTrack - nGrip;
            const int64_t nSteps = int64_t(m_nRangeHigh) - m_nRangeLow - m_nVisible;
            if (nTravel > 0 && nSteps > 0) {
                // The half-row term keeps the last row from being reached by a single pixel.
                const int64_t nOffset = m_rcGrip.top - m_rcTrough.top + nTravel / (2 * nSteps);
                m_nFirst = m_nRangeLow + int(nOffset * nSteps / nTravel);
            }
            return true;
        }

        default:
            return false;
    }
}

// ---------------------------------------------------------------------------
// Drawing

void CKitScrollBar::RepeatArrow(double fNow) {
    if (m_eArrowState == ARROW_IDLE) return;
    if (PtInRect(&m_rcUpArrow, m_ptLastPointer)) {
        if (m_eArrowState == ARROW_UP_PRESSED && fNow - m_fArrowStamp > kRepeatDelay) {
            ScrollBy(-1);
            m_eArrowState = ARROW_UP_REPEATING;
            m_fArrowStamp = fNow;
        } else if (m_eArrowState == ARROW_UP_REPEATING && fNow - m_fArrowStamp > kRepeatPeriod) {
            ScrollBy(-1);
            m_fArrowStamp = fNow;
        }
    } else if (PtInRect(&m_rcDownArrow, m_ptLastPointer)) {
        if (m_eArrowState == ARROW_DOWN_PRESSED && fNow - m_fArrowStamp > kRepeatDelay) {
            ScrollBy(1);
            m_eArrowState = ARROW_DOWN_REPEATING;
            m_fArrowStamp = fNow;
        } else if (m_eArrowState == ARROW_DOWN_REPEATING && fNow - m_fArrowStamp > kRepeatPeriod) {
            ScrollBy(1);
            m_fArrowStamp = fNow;
        }
    }
}

void CKitScrollBar::Draw(IDirect3DDevice9*, float fElapsedTime) {
    RepeatArrow(KitCurrentTime());

    UINT iState = KIT_LOOK_NORMAL;
    if (!m_bShown)
        iState = KIT_LOOK_HIDDEN;
    else if (!m_bActive || !m_bThumbShown)
        iState = KIT_LOOK_DISABLED;
    else if (m_bHovered)
        iState = KIT_LOOK_MOUSEOVER;
    else if (m_bFocused)
        iState = KIT_LOOK_FOCUS;

    const RECT* rects[4] = {&m_rcTrough, &m_rcUpArrow, &m_rcDownArrow, &m_rcGrip};
    for (int i = 0; i < 4 && i < m_SkinElements.Length(); ++i) {
        CKitSkinElement* pElement = m_SkinElements.GetAt(i);
        pElement->TintColor.Fade(iState, fElapsedTime, 0.8f);
        m_pOwner->PaintSprite(pElement, rects[i]);
    }
}
