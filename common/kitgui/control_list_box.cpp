// The list box: rows, geometry (row area, text area, scroll bar), input
// (keys, clicks with Ctrl and Shift, drag selection, wheel), then drawing.
#include "common/kitgui/control_list_box.h"

#include <algorithm>
#include <initializer_list>
#include <new>

#include "common/kit/state/kit_getters.h"
#include "common/kitgui/dialog.h"
#include "platform/strsafe.h"

bool CKitListBox::s_bPageLearnt = false;

CKitListBox::CKitListBox(CKitDialog* pDialog) : CKitControl(pDialog), m_Scroller(pDialog) {
    m_eKind = KIT_KIND_LISTBOX;
}

CKitListBox::~CKitListBox() { RemoveAllRows(); }

HRESULT CKitListBox::OnInit() { return m_pOwner->InitControl(&m_Scroller); }

// ---------------------------------------------------------------------------
// Rows

HRESULT CKitListBox::AddRow(const WCHAR* strText, void* pData) {
    return InsertRow(m_Rows.Length(), strText, pData);
}

HRESULT CKitListBox::InsertRow(int iIndex, const WCHAR* strText, void* pData) {
    if (iIndex < 0 || iIndex > m_Rows.Length()) return E_INVALIDARG;
    auto* pRow = new (std::nothrow) KitRowItem{};
    if (!pRow) return E_OUTOFMEMORY;
    if (strText) StringCchCopyW(pRow->wszLabel, 256, strText);  // cut to 255 characters
    pRow->pItemData = pData;
    SetRectEmpty(&pRow->rcHit);
    const HRESULT hr = m_Rows.InsertAt(iIndex, pRow);
    if (FAILED(hr)) {
        delete pRow;
        return hr;
    }
    m_Scroller.SetSpan(0, m_Rows.Length());
    return S_OK;
}

void CKitListBox::RemoveRow(int iIndex) {
    if (iIndex < 0 || iIndex >= m_Rows.Length()) return;
    delete m_Rows.GetAt(iIndex);
    m_Rows.RemoveAt(iIndex);
    const int nCount = m_Rows.Length();
    m_Scroller.SetSpan(0, nCount);
    if (m_nCurrent >= nCount) m_nCurrent = nCount - 1;
    // The anchor keeps naming a row; with none left it is back at its start value.
    if (m_nAnchor >= nCount) m_nAnchor = std::max(0, nCount - 1);
    m_pOwner->RaiseEvent(KIT_EVT_LIST_SELECT, true, this);
}

void CKitListBox::RemoveAllRows() {
    for (int i = 0; i < m_Rows.Length(); ++i) delete m_Rows.GetAt(i);
    m_Rows.Clear();
    m_Scroller.SetSpan(0, 1);
    m_nCurrent = -1;
    m_nAnchor = 0;
    m_bDragSelect = false;
}

KitRowItem* CKitListBox::RowAt(int iIndex) const {
    if (iIndex < 0 || iIndex >= m_Rows.Length()) return nullptr;
    return m_Rows.GetAt(iIndex);
}

bool CKitListBox::IsPicked(int iIndex) const {
    KitRowItem* pRow = RowAt(iIndex);
    return pRow && pRow->bPicked;
}

int CKitListBox::NextPicked(int iPrevious) const {
    if (iPrevious < -1) return -1;
    if (!IsMulti()) return m_nCurrent;
    for (int i = iPrevious + 1; i < m_Rows.Length(); ++i)
        if (m_Rows.GetAt(i)->bPicked) return i;
    return -1;
}

void CKitListBox::SelectRow(int iIndex) {
    const int nCount = m_Rows.Length();
    if (nCount == 0) return;
    const int iOld = m_nCurrent;
    m_nCurrent = std::clamp(iIndex, 0, nCount - 1);
    if (m_nCurrent != iOld) {
        if (IsMulti()) m_Rows.GetAt(m_nCurrent)->bPicked = true;
        m_nAnchor = m_nCurrent;
        m_Scroller.RevealItem(m_nCurrent);
    }
    m_pOwner->RaiseEvent(KIT_EVT_LIST_SELECT, true, this);
}

void CKitListBox::SpreadAnchorPick() {
    const int nCount = m_Rows.Length();
    if (m_nCurrent < 0 || m_nCurrent >= nCount) return;
    const bool bPicked = IsPicked(m_nAnchor);
    const int nStep = m_nCurrent > m_nAnchor ? 1 : -1;
    for (int i = m_nAnchor + nStep; i >= 0 && i < nCount && i != m_nCurrent + nStep; i += nStep)
        m_Rows.GetAt(i)->bPicked = bPicked;
}

// ---------------------------------------------------------------------------
// Geometry

void CKitListBox::LayoutRects() {
    CKitControl::LayoutRects();
    m_rcRowArea = m_rcBounds;
    m_rcRowArea.right -= m_nScrollerWidth;
    InflateRect(&m_rcRowArea, -m_nFrame, -m_nFrame);
    m_rcRows = m_rcRowArea;
    InflateRect(&m_rcRows, -m_nInset, 0);

    m_Scroller.MoveTo(m_rcBounds.right - m_nScrollerWidth, m_rcBounds.top);
    m_Scroller.SetControlSize(m_nScrollerWidth, m_nHeight);

    if (m_SkinElements.Length() > 0) {
        KitFontSlot* pFont = m_pOwner->FontSlotAt(m_SkinElements.GetAt(0)->nFont);
        if (pFont && pFont->nHeight) {
            m_Scroller.SetVisibleCount((m_rcRows.bottom - m_rcRows.top) / pFont->nHeight);
            m_Scroller.RevealItem(m_nCurrent);
        }
    }
}

int CKitListBox::RowUnder(POINT pt) const {
    if (m_nRowHeight <= 0) return -1;
    // Truncated toward zero: a point less than a row above the rows still
    // counts as the first visible row.
    return m_Scroller.GetFirst() + (pt.y - m_rcRows.top) / m_nRowHeight;
}

bool CKitListBox::IsRowVisible(int iIndex) const {
    const int nFirst = m_Scroller.GetFirst();
    return iIndex >= nFirst && iIndex < m_Rows.Length() && iIndex < nFirst + m_Scroller.GetVisibleCount();
}

// ---------------------------------------------------------------------------
// Input

bool CKitListBox::ProcessMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_CAPTURECHANGED) m_bDragSelect = false;
    m_Scroller.ProcessMessage(uMsg, wParam, lParam);
    return false;
}

bool CKitListBox::OnKey(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (!m_bActive || !m_bShown) return false;
    m_Scroller.OnKey(uMsg, wParam, lParam);
    if (uMsg != WM_KEYDOWN) return false;

    const int nCount = m_Rows.Length();
    const int nPage = m_Scroller.GetVisibleCount();
    int iNew = 0;
    switch (wParam) {
        case VK_SPACE:
            m_pOwner->RaiseEvent(KIT_EVT_LIST_ACTIVATE, true, this);
            return true;
        case VK_UP:
            iNew = m_nCurrent - 1;
            break;
        case VK_DOWN:
            iNew = m_nCurrent + 1;
            break;
        case VK_PRIOR:
            iNew = m_nCurrent - (nPage - 1);
            break;
        case VK_NEXT:
            iNew = m_nCurrent + (nPage - 1);
            break;
        case VK_HOME:
            iNew = 0;
            break;
        case VK_END:
            iNew = nCount - 1;
            break;
        default:
            return false;
    }
    if (nCount == 0) return true;
    iNew = std::clamp(iNew, 0, nCount - 1);
    if (iNew == m_nCurrent) return true;
    m_nCurrent = iNew;

    if (IsMulti()) {
        for (int i = 0; i < nCount; ++i) m_Rows.GetAt(i)->bPicked = false;
        if (GetKeyState(VK_SHIFT) & 0x8000) {
            const int nEnd = std::min(std::max(m_nAnchor, m_nCurrent), nCount - 1);
            for (int i = std::min(m_nAnchor, m_nCurrent); i <= nEnd; ++i) m_Rows.GetAt(i)->bPicked = true;
        } else {
            m_Rows.GetAt(m_nCurrent)->bPicked = true;
            m_nAnchor = m_nCurrent;
        }
    } else {
        m_nAnchor = m_nCurrent;
    }
    m_Scroller.RevealItem(m_nCurrent);
    m_pOwner->RaiseEvent(KIT_EVT_LIST_SELECT, true, this);
    return true;
}

bool CKitListBox::OnPointer(UINT uMsg, POINT pt, WPARAM wParam, LPARAM lParam) {
    if (!m_bActive || !m_bShown) return false;
    if (uMsg == WM_LBUTTONDOWN && !m_bFocused) m_pOwner->FocusControl(this);
    // Only the release of a click on the rows ends a selection, not one on the
    // scroll bar or the frame. The flag is read before the scroll bar sees the
    // release: it lets go of the mouse, and the capture change that comes back
    // ends the drag.
    const bool bEndsRowClick = uMsg == WM_LBUTTONUP && m_bDragSelect;
    if (m_Scroller.OnPointer(uMsg, pt, wParam, lParam)) return true;

    const int nCount = m_Rows.Length();
    switch (uMsg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            if (nCount == 0 || !PtInRect(&m_rcRowArea, pt)) return false;
            const int iRow = RowUnder(pt);
            if (!IsRowVisible(iRow)) return true;
            SetCapture(KitActiveWindow());
            m_bDragSelect = true;
            if (uMsg == WM_LBUTTONDBLCLK) {
                m_pOwner->RaiseEvent(KIT_EVT_LIST_ACTIVATE, true, this);
                return true;
            }
            const bool bShift = (wParam & MK_SHIFT) != 0;
            const bool bCtrl = (wParam & MK_CONTROL) != 0;
            m_nCurrent = iRow;
            if (!bShift) m_nAnchor = iRow;
            if (IsMulti()) {
                const int nLow = std::min(m_nAnchor, m_nCurrent), nHigh = std::max(m_nAnchor, m_nCurrent);
                if (bCtrl && !bShift) {
                    m_Rows.GetAt(iRow)->bPicked = !m_Rows.GetAt(iRow)->bPicked;
                } else if (bShift && !bCtrl) {
                    for (int i = 0; i < nCount; ++i) m_Rows.GetAt(i)->bPicked = i >= nLow && i <= nHigh;
                } else if (bShift && bCtrl) {
                    const bool bPicked = IsPicked(m_nAnchor);
                    for (int i = nLow + 1; i < nHigh; ++i) m_Rows.GetAt(i)->bPicked = bPicked;
                    m_Rows.GetAt(iRow)->bPicked = true;
                    m_nCurrent = m_nAnchor;
                } else {
                    for (int i = 0; i < nCount; ++i) m_Rows.GetAt(i)->bPicked = false;
                    m_Rows.GetAt(iRow)->bPicked = true;
                }
            }
            m_pOwner->RaiseEvent(KIT_EVT_LIST_SELECT, true, this);
            return true;
        }

        case WM_LBUTTONUP: {
            ReleaseCapture();
            m_bDragSelect = false;
            if (bEndsRowClick && m_nCurrent >= 0 && m_nCurrent < nCount) {
                SpreadAnchorPick();
                if (m_nAnchor != m_nCurrent) m_pOwner->RaiseEvent(KIT_EVT_LIST_SELECT, true, this);
                m_pOwner->RaiseEvent(KIT_EVT_LIST_SELECT_END, true, this);
            }
            return false;
        }

        case WM_MOUSEMOVE: {
            if (!m_bDragSelect || m_nRowHeight <= 0 || nCount == 0) return false;
            const int iRow = RowUnder(pt);
            const int nFirst = m_Scroller.GetFirst();
            int iNew = m_nCurrent;
            if (IsRowVisible(iRow)) {
                iNew = iRow;
            } else if (iRow < nFirst) {
                m_Scroller.ScrollBy(-1);
                iNew = m_Scroller.GetFirst();
            } else if (iRow >= nFirst + m_Scroller.GetVisibleCount()) {
                m_Scroller.ScrollBy(1);
                iNew = std::min(nCount, m_Scroller.GetFirst() + m_Scroller.GetVisibleCount()) - 1;
            }
            if (iNew != m_nCurrent) {
                m_nCurrent = iNew;
                m_pOwner->RaiseEvent(KIT_EVT_LIST_SELECT, true, this);
            }
            return false;
        }

        case WM_MOUSEWHEEL:
            m_Scroller.ScrollBy(-(GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA) * int(KitWheelScrollLines()));
            return true;

        default:
            return false;
    }
}

// ---------------------------------------------------------------------------
// Drawing

void CKitListBox::Draw(IDirect3DDevice9* pd3dDevice, float fElapsedTime) {
    if (!m_bShown || m_SkinElements.Length() < 2) return;
    CKitSkinElement* pMain = m_SkinElements.GetAt(0);
    CKitSkinElement* pSelection = m_SkinElements.GetAt(1);
    for (CKitSkinElement* pElement : {pMain, pSelection}) {
        pElement->TintColor.Fade(KIT_LOOK_NORMAL, fElapsedTime, 0.7f);
        pElement->TextColor.Fade(KIT_LOOK_NORMAL, fElapsedTime, 0.7f);
    }
    m_pOwner->PaintSprite(pMain, &m_rcBounds);

    const int nCount = m_Rows.Length();
    KitFontSlot* pFont = m_pOwner->FontSlotAt(pMain->nFont);
    if (nCount > 0 && pFont) {
        m_nRowHeight = pFont->nHeight;
        if (!s_bPageLearnt && m_nRowHeight > 0) {
            m_Scroller.SetVisibleCount((m_rcRows.bottom - m_rcRows.top) / m_nRowHeight);
            s_bPageLearnt = true;
        }
    }
    if (nCount > 0 && m_nRowHeight > 0) {
        // During a drag the rows between anchor and current show the state
        // the release will give them.
        const bool bAnchorPicked = IsPicked(m_nAnchor);
        const int nLow = std::min(m_nAnchor, m_nCurrent), nHigh = std::max(m_nAnchor, m_nCurrent);
        int y = m_rcRows.top;
        for (int i = m_Scroller.GetFirst(); i < nCount && y + m_nRowHeight <= m_rcRows.bottom;
             ++i, y += m_nRowHeight) {
            KitRowItem* pRow = m_Rows.GetAt(i);
            bool bSelected;
            if (!IsMulti())
                bSelected = i == m_nCurrent;
            else if (m_bDragSelect && m_nCurrent >= 0 && i >= nLow && i <= nHigh && i != m_nAnchor)
                bSelected = bAnchorPicked;
            else
                bSelected = pRow->bPicked;

            const RECT rcText = {m_rcRows.left, y, m_rcRows.right, y + m_nRowHeight};
            if (bSelected) {
                const RECT rcSelection = {m_rcRowArea.left, y, m_rcRowArea.right, y + m_nRowHeight};
                m_pOwner->PaintSprite(pSelection, &rcSelection);
                m_pOwner->PaintText(pRow->wszLabel, pSelection, &rcText);
            } else {
                m_pOwner->PaintText(pRow->wszLabel, pMain, &rcText);
            }
        }
    }
    m_Scroller.Draw(pd3dDevice, fElapsedTime);
}
