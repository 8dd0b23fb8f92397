// The edit box: content, geometry (rim, gap and the nine pieces), the caret
// and scrolling, selection and the clipboard; input and drawing follow in
// control_edit_box_input.cpp and control_edit_box_draw.cpp.
#include "common/kitgui/control_edit_box.h"

#include <algorithm>
#include <cwchar>

#include "common/kit/state/kit_getters.h"
#include "common/kitgui/dialog.h"
#include "platform/strsafe.h"

bool CKitEditBox::s_bCaretSuppressed = false;

CKitEditBox::CKitEditBox(CKitDialog* pDialog)
    : CKitControl(pDialog), m_fBlinkPeriod(GetCaretBlinkTime() * 0.001), m_fLastBlink(KitCurrentTime()) {
    m_eKind = KIT_KIND_EDITBOX;
    s_bCaretSuppressed = false;
}

CKitEditBox::~CKitEditBox() = default;

// ---------------------------------------------------------------------------
// Content

void CKitEditBox::SetContent(const WCHAR* wszText, bool bSelected) {
    if (!KitGuiCheck(wszText != nullptr, L"wszText != NULL")) return;
    m_Buffer.Assign(wszText);
    m_nScrollChar = 0;
    PutCursor(m_Buffer.GetTextSize());
    m_nSelAnchor = bSelected ? 0 : m_nCursor;
}

bool CKitEditBox::CopyContent(WCHAR* strDest, UINT bufferCount) const {
    if (!KitGuiCheck(strDest != nullptr, L"strDest")) return false;
    return SUCCEEDED(StringCchCopyW(strDest, bufferCount, m_Buffer.Chars()));
}

void CKitEditBox::EraseAll() {
    m_Buffer.Empty();
    m_nScrollChar = 0;
    PutCursor(0);
    m_nSelAnchor = 0;
}

// ---------------------------------------------------------------------------
// Geometry

void CKitEditBox::LayoutRects() {
    CKitControl::LayoutRects();
    const RECT& b = m_rcBounds;
    m_rcEdit = b;
    InflateRect(&m_rcEdit, -m_nRim, -m_nRim);
    const RECT& e = m_rcEdit;
    m_rcParts[0] = e;
    SetRect(&m_rcParts[1], b.left, b.top, e.left, e.top);
    SetRect(&m_rcParts[2], e.left, b.top, e.right, e.top);
    SetRect(&m_rcParts[3], e.right, b.top, b.right, e.top);
    SetRect(&m_rcParts[4], b.left, e.top, e.left, e.bottom);
    SetRect(&m_rcParts[5], e.right, e.top, b.right, e.bottom);
    SetRect(&m_rcParts[6], b.left, e.bottom, e.left, b.bottom);
    SetRect(&m_rcParts[7], e.left, e.bottom, e.right, b.bottom);
    SetRect(&m_rcParts[8], e.right, e.bottom, b.right, b.bottom);
    InflateRect(&m_rcEdit, -m_nGap, -m_nGap);
}

// ---------------------------------------------------------------------------
// Caret and scrolling

int CKitEditBox::CaretX(int nCP, bool bTrailing) {
    int x = 0;
    m_Buffer.CaretToX(nCP, bTrailing ? TRUE : FALSE, &x);
    return x;
}

void CKitEditBox::PutCursor(int nCP) {
    if (!KitGuiCheck(nCP >= 0 && nCP <= m_Buffer.GetTextSize(), L"nCP >= 0 && nCP <= m_Buffer.GetTextSize()"))
        return;
    m_nCursor = nCP;
    m_nScrollChar = std::min(m_nScrollChar, m_Buffer.GetTextSize());

    const int nX1st = CaretX(m_nScrollChar);
    const int nX = CaretX(nCP);
    const int nX2 = nCP == m_Buffer.GetTextSize() ? nX : CaretX(nCP, true);
    const int nWidth = m_rcEdit.right - m_rcEdit.left;
    if (nX < nX1st) {
        m_nScrollChar = nCP;
    } else if (nX2 > nX1st + nWidth) {
        // Scroll so that the caret's far edge is the text area's right edge; the
        // character there becomes the first visible one, or the next if it starts
        // left of the new edge.
        const int nXNewLeft = nX2 - nWidth;
        int nCPNew1st = 0, nTrail = 0;
        m_Buffer.XToCaret(nXNewLeft, &nCPNew1st, &nTrail);
        if (CaretX(nCPNew1st) < nXNewLeft) nCPNew1st = m_Buffer.NextCharStop(nCPNew1st);
        m_nScrollChar = nCPNew1st;
    }
}

void CKitEditBox::RestartBlink() {
    m_bCaretLit = true;
    m_fLastBlink = KitCurrentTime();
}

// ---------------------------------------------------------------------------
// Selection and clipboard

void CKitEditBox::DeleteSelection() {
    const int nFirst = std::min(m_nCursor, m_nSelAnchor);
    const int nLast = std::max(m_nCursor, m_nSelAnchor);
    PutCursor(nFirst);
    m_nSelAnchor = m_nCursor;
    // From the end backwards: deleting up to the end of the text moves nothing.
    for (int i = nLast - 1; i >= nFirst; --i) m_Buffer.DeleteCharAt(i);
}

void CKitEditBox::CopySelection() {
    if (m_nCursor == m_nSelAnchor) return;
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    const int nFirst = std::min(m_nCursor, m_nSelAnchor);
    const int nCount = std::max(m_nCursor, m_nSelAnchor) - nFirst;
    HGLOBAL hBlock = GlobalAlloc(GMEM_MOVEABLE, SIZE_T(nCount + 1) * sizeof(WCHAR));
    if (hBlock) {
        if (auto* pwszCopy = static_cast<WCHAR*>(GlobalLock(hBlock))) {
            std::wmemcpy(pwszCopy, m_Buffer.Chars() + nFirst, size_t(nCount));
            pwszCopy[nCount] = L'\0';
            GlobalUnlock(hBlock);
        }
        if (!SetClipboardData(CF_UNICODETEXT, hBlock)) GlobalFree(hBlock);
    }
    CloseClipboard();
}

void CKitEditBox::PasteAtCursor() {
    DeleteSelection();
    if (!OpenClipboard(nullptr)) return;
    if (HANDLE hBlock = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* pwszText = static_cast<const WCHAR*>(GlobalLock(hBlock))) {
            // Another program may leave out the terminator: read no further than the block.
            const size_t nMost =
                std::min(GlobalSize(hBlock) / sizeof(WCHAR), size_t(KIT_TEXT_CAPACITY_LIMIT));
            int nCount = 0;
            while (size_t(nCount) < nMost && pwszText[nCount] != L'\0') ++nCount;
            if (m_Buffer.PutStringAt(m_nCursor, pwszText, nCount)) PutCursor(m_nCursor + nCount);
            GlobalUnlock(hBlock);
        }
    }
    m_nSelAnchor = m_nCursor;
    CloseClipboard();
}

void CKitEditBox::RaiseChanged() { m_pOwner->RaiseEvent(KIT_EVT_EDIT_CHANGED, true, this); }
