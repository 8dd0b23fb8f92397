// The edit box's drawing: the nine pieces, the selection background, the text
// and the selected text over it, and the blinking caret.
#include <algorithm>

#include "common/kit/state/kit_getters.h"
#include "common/kitgui/control_edit_box.h"
#include "common/kitgui/dialog.h"

void CKitEditBox::Draw(IDirect3DDevice9*, float fElapsedTime) {
    if (!m_bShown) return;
    CKitSkinElement* pText = m_SkinElements.Length() > 0 ? m_SkinElements.GetAt(0) : nullptr;
    if (pText) {
        // The layout follows the element's font; scrolling is measured with it.
        m_Buffer.UseFont(m_pOwner->FontSlotAt(pText->nFont));
        PutCursor(m_nCursor);
    }

    for (int i = 0; i < 9 && i < m_SkinElements.Length(); ++i) {
        CKitSkinElement* pElement = m_SkinElements.GetAt(i);
        pElement->TintColor.Fade(KIT_LOOK_NORMAL, fElapsedTime, 0.7f);
        m_pOwner->PaintSprite(pElement, &m_rcParts[i]);
    }

    const int nX1st = CaretX(m_nScrollChar);
    const int nCaretX = CaretX(m_nCursor);
    const int nSelX = m_nSelAnchor != m_nCursor ? CaretX(m_nSelAnchor) : nCaretX;
    const int nShift = m_rcEdit.left - nX1st;

    RECT rcSelection = {};
    if (m_nCursor != m_nSelAnchor) {
        SetRect(&rcSelection, std::min(nCaretX, nSelX), m_rcEdit.top, std::max(nCaretX, nSelX),
                m_rcEdit.bottom);
        OffsetRect(&rcSelection, nShift, 0);
        IntersectRect(&rcSelection, &m_rcEdit, &rcSelection);
        m_pOwner->PaintRect(&rcSelection, m_clrSelBack);
    }

    if (pText) {
        // Only what can show is handed to the font: the characters up to the one
        // under the text area's right edge, and the cluster it belongs to.
        const int nLength = m_Buffer.GetTextSize();
        int nLastShown = nLength, nTrail = 0;
        if (SUCCEEDED(m_Buffer.XToCaret(nX1st + (m_rcEdit.right - m_rcEdit.left), &nLastShown, &nTrail)))
            nLastShown = std::min(m_Buffer.NextCharStop(std::min(nLastShown, nLength)), nLength);
        else
            nLastShown = nLength;
        pText->TextColor.Current = KitColorFromArgb(m_clrText);
        m_pOwner->PaintText(m_Buffer.Chars() + m_nScrollChar, pText, &m_rcEdit, false,
                            std::max(nLastShown - m_nScrollChar, 0));

        if (m_nCursor != m_nSelAnchor) {
            const int nFirst = std::max(m_nScrollChar, std::min(m_nSelAnchor, m_nCursor));
            const int nCount = std::max(m_nSelAnchor, m_nCursor) - nFirst;
            pText->TextColor.Current = KitColorFromArgb(m_clrSelText);
            m_pOwner->PaintText(m_Buffer.Chars() + nFirst, pText, &rcSelection, false, nCount);
        }
    }

    // The caret toggles on the framework's time.
    const double fNow = KitCurrentTime();
    if (fNow - m_fLastBlink >= m_fBlinkPeriod) {
        m_bCaretLit = !m_bCaretLit;
        m_fLastBlink = fNow;
    }

    if (m_bFocused && m_bCaretLit && !s_bCaretSuppressed) {
        RECT rcCaret = {nShift + nCaretX - 1, m_rcEdit.top, nShift + nCaretX + 1, m_rcEdit.bottom};
        // Overwrite mode covers the character that typing would replace.
        if (!m_bInserting) rcCaret.right = nShift + CaretX(m_nCursor, true);
        m_pOwner->PaintRect(&rcCaret, m_clrCaret);
    }
}
