// The edit box's input: navigation and editing keys, typed characters, and
// the mouse (click or double-click places the caret, dragging selects).
#include <algorithm>

#include "common/kit/state/kit_getters.h"
#include "common/kitgui/control_edit_box.h"
#include "common/kitgui/dialog.h"

namespace {

bool IsHeld(int nVirtKey) { return (GetKeyState(nVirtKey) & 0x8000) != 0; }

}  // namespace

bool CKitEditBox::OnKey(UINT uMsg, WPARAM wParam, LPARAM) {
    if (!m_bActive || !m_bShown) return false;
    if (uMsg != WM_KEYDOWN) return false;

    bool bHandled = false;
    bool bMoved = false;
    switch (wParam) {
        case VK_TAB:
            break;  // left to the dialog's focus travel
        case VK_HOME:
            PutCursor(0);
            bMoved = bHandled = true;
            break;
        case VK_END:
            PutCursor(m_Buffer.GetTextSize());
            bMoved = bHandled = true;
            break;
        case VK_INSERT:
            if (IsHeld(VK_CONTROL))
                CopySelection();
            else if (IsHeld(VK_SHIFT))
                PasteAtCursor();
            else
                m_bInserting = !m_bInserting;
            break;
        case VK_DELETE:
            // Without a selection: up to the next caret stop, so a cluster goes whole.
            if (m_nCursor == m_nSelAnchor) m_nSelAnchor = m_Buffer.NextCharStop(m_nCursor);
            if (m_nCursor != m_nSelAnchor) {
                DeleteSelection();
                RaiseChanged();
            }
            RestartBlink();
            bHandled = true;
            break;
        case VK_LEFT:
            if (IsHeld(VK_CONTROL)) {
                int nCP = m_nCursor;
                m_Buffer.PrevWordStop(m_nCursor, &nCP);
                PutCursor(nCP);
            } else if (m_nCursor > 0) {
                PutCursor(m_Buffer.PrevCharStop(m_nCursor));
            }
            bMoved = bHandled = true;
            break;
        case VK_RIGHT:
            if (IsHeld(VK_CONTROL)) {
                int nCP = m_nCursor;
                m_Buffer.NextWordStop(m_nCursor, &nCP);
                PutCursor(std::clamp(nCP, 0, m_Buffer.GetTextSize()));
            } else if (m_nCursor < m_Buffer.GetTextSize()) {
                PutCursor(m_Buffer.NextCharStop(m_nCursor));
            }
            bMoved = bHandled = true;
            break;
        case VK_UP:
        case VK_DOWN:
            bHandled = true;  // swallowed, so that the dialog does not move the focus
            break;
        case VK_ESCAPE:
            break;  // left to the application
        default:
            bHandled = true;
            break;
    }
    if (bMoved) {
        if (!IsHeld(VK_SHIFT)) m_nSelAnchor = m_nCursor;
        RestartBlink();
    }
    return bHandled;
}

bool CKitEditBox::ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM) {
    if (!m_bActive || !m_bShown) return false;
    if (uMsg != WM_CHAR) return false;

    const WCHAR wChar = WCHAR(wParam);
    switch (wChar) {
        case 8:  // Backspace
            // Without a selection: back to the previous caret stop.
            if (m_nCursor == m_nSelAnchor) m_nSelAnchor = m_Buffer.PrevCharStop(m_nCursor);
            if (m_nCursor != m_nSelAnchor) {
                DeleteSelection();
                RaiseChanged();
            }
            RestartBlink();
            break;
        case 3:  // Ctrl+C
            CopySelection();
            break;
        case 24:  // Ctrl+X
            CopySelection();
            DeleteSelection();
            RaiseChanged();
            break;
        case 22:  // Ctrl+V
            PasteAtCursor();
            RaiseChanged();
            break;
        case 1:  // Ctrl+A
            if (m_nSelAnchor == m_nCursor) {
                m_nSelAnchor = 0;
                PutCursor(m_Buffer.GetTextSize());
            }
            break;
        case 13:  // Enter
            m_pOwner->RaiseEvent(KIT_EVT_EDIT_ENTER, true, this);
            break;
        default:
            // The other control codes do nothing; a typed 0 would end the text
            // where it lands, so it is ignored too.
            if (wChar < 30) break;
            if (m_nCursor != m_nSelAnchor) DeleteSelection();
            if (!m_bInserting && m_nCursor < m_Buffer.GetTextSize()) {
                m_Buffer[m_nCursor] = wChar;
                PutCursor(m_nCursor + 1);
            } else if (m_Buffer.PutCharAt(m_nCursor, wChar)) {
                PutCursor(m_nCursor + 1);
            }
            m_nSelAnchor = m_nCursor;
            RestartBlink();
            RaiseChanged();
            break;
    }
    return true;
}

void CKitEditBox::CursorFromPoint(POINT pt) {
    const int nX1st = CaretX(m_nScrollChar);
    int nCP = 0, nTrail = 0;
    if (FAILED(m_Buffer.XToCaret(pt.x - m_rcEdit.left + nX1st, &nCP, &nTrail))) return;
    // A trailing hit puts the caret after the character (after its whole cluster).
    if (nTrail && nCP < m_Buffer.GetTextSize())
        PutCursor(nCP + 1);
    else
        PutCursor(std::min(nCP, m_Buffer.GetTextSize()));
}

bool CKitEditBox::OnPointer(UINT uMsg, POINT pt, WPARAM, LPARAM) {
    if (!m_bActive || !m_bShown) return false;
    switch (uMsg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!m_bFocused) m_pOwner->FocusControl(this);
            if (!HitTest(pt)) return false;
            m_bDragging = true;
            SetCapture(KitActiveWindow());
            CursorFromPoint(pt);
            m_nSelAnchor = m_nCursor;
            RestartBlink();
            return true;
        case WM_MOUSEMOVE:
            if (m_bDragging) CursorFromPoint(pt);
            break;
        case WM_LBUTTONUP:
            ReleaseCapture();
            m_bDragging = false;
            break;
        default:
            break;
    }
    return false;
}

void CKitEditBox::OnFocusGained() {
    CKitControl::OnFocusGained();
    RestartBlink();
}
