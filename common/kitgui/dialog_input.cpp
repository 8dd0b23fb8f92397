// The dialog's message routing: caption drag and collapse, the focused
// control first, hot keys, Tab and arrow travel, mouse messages to the
// control under the pointer, and hover tracking.
#include "common/kit/state/kit_getters.h"
#include "common/kitgui/dialog.h"

namespace {

bool IsPointerMessage(UINT uMsg) { return uMsg >= WM_MOUSEFIRST && uMsg <= WM_XBUTTONDBLCLK; }

}  // namespace

bool CKitDialog::ProcessMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (!m_bShown) return false;

    if (KitAutomationMode() && m_pManager &&
        (uMsg == WM_KEYDOWN || uMsg == WM_LBUTTONDOWN || uMsg == WM_LBUTTONDBLCLK))
        m_pManager->EnableKeyboardNavEverywhere();

    const POINT ptMouse = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (m_bHasTitleBar && CaptionClick(hWnd, uMsg, ptMouse)) return true;

    if (m_bCollapsed) return false;

    if (OwnsFocus() && s_pFocusedControl->IsActive() &&
        s_pFocusedControl->ProcessMessage(uMsg, wParam, lParam))
        return true;

    switch (uMsg) {
        case WM_SIZE:
        case WM_MOVE:
            // The window moved or changed size: nothing stays hovered.
            TrackPointer(POINT{-1, -1});
            break;

        case WM_ACTIVATEAPP:
            if (OwnsFocus() && s_pFocusedControl->IsActive()) {
                if (wParam)
                    s_pFocusedControl->OnFocusGained();
                else
                    s_pFocusedControl->OnFocusLost();
            }
            break;

        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP:
            return RouteKey(uMsg, wParam, lParam);

        case WM_CAPTURECHANGED:
            m_bTitleDrag = false;
            break;

        default:
            if (IsPointerMessage(uMsg) && m_bPointerInput) {
                // The wheel comes with a screen point, the other mouse messages with a client point.
                POINT pt = ptMouse;
                if (uMsg == WM_MOUSEWHEEL) ScreenToClient(hWnd, &pt);
                return RoutePointer(uMsg, pt, wParam, lParam);
            }
            break;
    }
    return false;
}

bool CKitDialog::CaptionClick(HWND hWnd, UINT uMsg, POINT pt) {
    // A completed click inside the caption band toggles the collapsed state.
    const bool bInBand =
        pt.x >= m_nLeft && pt.x < m_nLeft + m_nWidth && pt.y >= m_nTop && pt.y < m_nTop + m_nTitleHeight;
    if ((uMsg == WM_LBUTTONDOWN || uMsg == WM_LBUTTONDBLCLK) && bInBand) {
        m_bTitleDrag = true;
        SetCapture(hWnd);
        return true;
    }
    if (uMsg == WM_LBUTTONUP && m_bTitleDrag && bInBand) {
        ReleaseCapture();
        m_bTitleDrag = false;
        m_bCollapsed = !m_bCollapsed;
        return true;
    }
    return false;
}

bool CKitDialog::RouteKey(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (OwnsFocus() && s_pFocusedControl->IsActive() && s_pFocusedControl->OnKey(uMsg, wParam, lParam))
        return true;

    // Hot keys reach their control whatever its state, except while an
    // edit box has the focus (it takes the keys as text).
    const bool bEditFocused = s_pFocusedControl && (s_pFocusedControl->GetKind() == KIT_KIND_EDITBOX ||
                                                    s_pFocusedControl->GetKind() == KIT_KIND_IMEEDITBOX);
    if (uMsg == WM_KEYDOWN && !bEditFocused) {
        for (int i = 0; i < m_ControlList.Length(); ++i) {
            CKitControl* pControl = m_ControlList.GetAt(i);
            if (pControl->GetAccelKey() == UINT(wParam)) {
                pControl->OnAccelKey();
                return true;
            }
        }
    }

    if (uMsg != WM_KEYDOWN || !m_bKeyboardNav) return false;
    switch (wParam) {
        case VK_RIGHT:
        case VK_DOWN:
            if (s_pFocusedControl) return CycleFocus(true);
            break;
        case VK_LEFT:
        case VK_UP:
            if (s_pFocusedControl) return CycleFocus(false);
            break;
        case VK_TAB: {
            const bool bShift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
            return CycleFocus(!bShift);
        }
        default:
            break;
    }
    return false;
}

bool CKitDialog::RoutePointer(UINT uMsg, POINT ptMouse, WPARAM wParam, LPARAM lParam) {
    POINT pt = ptMouse;
    pt.x -= m_nLeft;
    pt.y -= m_nTop;
    if (m_bHasTitleBar) pt.y -= m_nTitleHeight;

    if (OwnsFocus() && s_pFocusedControl->IsActive() &&
        s_pFocusedControl->OnPointer(uMsg, pt, wParam, lParam))
        return true;

    // The focused control has seen the message already: it is not given it
    // twice when it also lies under the point.
    CKitControl* pControl = ControlAtPoint(pt);
    if (pControl && pControl->IsActive()) {
        if (!(OwnsFocus() && pControl == s_pFocusedControl) && pControl->OnPointer(uMsg, pt, wParam, lParam))
            return true;
    } else if (uMsg == WM_LBUTTONDOWN && OwnsFocus()) {
        // A click on empty dialog space takes the focus away.
        s_pFocusedControl->OnFocusLost();
        s_pFocusedControl = nullptr;
    }

    if (uMsg == WM_MOUSEMOVE) TrackPointer(pt);
    return false;
}

void CKitDialog::TrackPointer(POINT pt) {
    CKitControl* pControl = ControlAtPoint(pt);
    if (pControl == m_pHoverControl) return;
    if (m_pHoverControl) m_pHoverControl->OnPointerLeave();
    m_pHoverControl = pControl;
    if (m_pHoverControl) m_pHoverControl->OnPointerEnter();
}
