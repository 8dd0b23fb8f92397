// The combo box: items, geometry (box, label, drop-down, its scroll bar),
// input (keys, mouse, wheel, hot key), then drawing (the open list first, the
// button, the box with the chosen text).
#include "common/kitgui/control_combo_box.h"

#include <cwchar>
#include <initializer_list>
#include <new>

#include "common/kit/errors/kit_errors.h"
#include "common/kit/state/kit_getters.h"
#include "common/kitgui/dialog.h"
#include "platform/strsafe.h"

bool CKitComboBox::s_bPageLearnt = false;

CKitComboBox::CKitComboBox(CKitDialog* pDialog) : CKitButton(pDialog), m_Scroller(pDialog) {
    m_eKind = KIT_KIND_COMBOBOX;
}

CKitComboBox::~CKitComboBox() { RemoveAllChoices(); }

HRESULT CKitComboBox::OnInit() { return m_pOwner->InitControl(&m_Scroller); }

// ---------------------------------------------------------------------------
// Items

HRESULT CKitComboBox::AddChoice(const WCHAR* strText, void* pData) {
    if (!strText) return E_INVALIDARG;
    auto* pItem = new (std::nothrow) KitChoiceItem{};
    if (!pItem) return KIT_LOG_FAILURE(L"new", E_OUTOFMEMORY);
    StringCchCopyW(pItem->wszLabel, 256, strText);  // cut to 255 characters
    pItem->pItemData = pData;
    const HRESULT hr = m_Choices.Add(pItem);
    if (FAILED(hr)) {
        delete pItem;
        return hr;
    }
    m_Scroller.SetSpan(0, m_Choices.Length());
    // The first item is chosen at once.
    if (m_Choices.Length() == 1) Choose(0, false);
    return S_OK;
}

void CKitComboBox::RemoveChoice(int iIndex) {
    if (iIndex < 0 || iIndex >= m_Choices.Length()) return;
    delete m_Choices.GetAt(iIndex);
    m_Choices.RemoveAt(iIndex);
    const int nCount = m_Choices.Length();
    m_Scroller.SetSpan(0, nCount);
    // Both indices keep naming an existing item (or none).
    if (m_nChosen >= nCount) m_nChosen = nCount - 1;
    if (m_nHot >= nCount) m_nHot = nCount - 1;
}

void CKitComboBox::RemoveAllChoices() {
    for (int i = 0; i < m_Choices.Length(); ++i) delete m_Choices.GetAt(i);
    m_Choices.Clear();
    m_Scroller.SetSpan(0, 1);
    m_nChosen = -1;
    m_nHot = -1;
}

int CKitComboBox::FindChoice(const WCHAR* strText, int iStart) const {
    if (!strText) return -1;
    for (int i = iStart < 0 ? 0 : iStart; i < m_Choices.Length(); ++i)
        if (std::wcscmp(m_Choices.GetAt(i)->wszLabel, strText) == 0) return i;
    return -1;
}

KitChoiceItem* CKitComboBox::GetChoiceItem(int iIndex) const {
    if (iIndex < 0 || iIndex >= m_Choices.Length()) return nullptr;
    return m_Choices.GetAt(iIndex);
}

void* CKitComboBox::GetChoiceData(const WCHAR* strText) const {
    const int iIndex = FindChoice(strText);
    if (iIndex == -1) return nullptr;
    KitChoiceItem* pItem = m_Choices.GetAt(iIndex);
    if (!pItem) {
        KIT_LOG_FAILURE(L"CGrowableArray::GetAt", E_FAIL);
        return nullptr;
    }
    return pItem->pItemData;
}

void* CKitComboBox::GetChoiceData(int iIndex) const {
    KitChoiceItem* pItem = GetChoiceItem(iIndex);
    return pItem ? pItem->pItemData : nullptr;
}

void* CKitComboBox::GetChosenData() const { return GetChoiceData(m_nChosen); }

KitChoiceItem* CKitComboBox::GetChosenItem() const { return GetChoiceItem(m_nChosen); }

HRESULT CKitComboBox::ChooseByIndex(int iIndex) {
    if (iIndex < 0 || iIndex >= m_Choices.Length()) return E_INVALIDARG;
    Choose(iIndex, false);
    return S_OK;
}

HRESULT CKitComboBox::ChooseByText(const WCHAR* strText) {
    if (!strText) return E_INVALIDARG;
    const int iIndex = FindChoice(strText);
    if (iIndex == -1) return E_FAIL;
    return ChooseByIndex(iIndex);
}

HRESULT CKitComboBox::ChooseByData(void* pData) {
    for (int i = 0; i < m_Choices.Length(); ++i)
        if (m_Choices.GetAt(i)->pItemData == pData) return ChooseByIndex(i);
    return E_FAIL;
}

void CKitComboBox::Choose(int iIndex, bool bUserCaused) {
    m_nChosen = m_nHot = iIndex;
    m_pOwner->RaiseEvent(KIT_EVT_COMBO_CHANGED, bUserCaused, this);
}

// ---------------------------------------------------------------------------
// Geometry

void CKitComboBox::LayoutRects() {
    CKitButton::LayoutRects();
    m_rcBox = m_rcBounds;
    m_rcBox.left = m_rcBox.right - (m_rcBox.bottom - m_rcBox.top);
    m_rcLabel = m_rcBounds;
    m_rcLabel.right = m_rcBox.left;

    m_rcList = m_rcLabel;
    OffsetRect(&m_rcList, 0, int(0.9f * float(m_rcLabel.bottom - m_rcLabel.top)));
    m_rcList.bottom += m_nListHeight;
    m_rcList.right -= m_nScrollerWidth;

    m_rcListText = m_rcList;
    const int nInsetX = int(0.1f * float(m_rcList.right - m_rcList.left));
    const int nInsetY = int(0.1f * float(m_rcList.bottom - m_rcList.top));
    InflateRect(&m_rcListText, -nInsetX, -nInsetY);

    m_Scroller.MoveTo(m_rcList.right, m_rcList.top + 2);
    m_Scroller.SetControlSize(m_nScrollerWidth, m_rcList.bottom - m_rcList.top - 2);

    if (m_SkinElements.Length() > 2) {
        KitFontSlot* pFont = m_pOwner->FontSlotAt(m_SkinElements.GetAt(2)->nFont);
        if (pFont && pFont->nHeight) {
            m_Scroller.SetVisibleCount((m_rcListText.bottom - m_rcListText.top) / pFont->nHeight);
            m_Scroller.RevealItem(m_nChosen);
        }
    }
}

void CKitComboBox::SetListHeight(int nHeight) {
    m_nListHeight = nHeight;
    LayoutRects();
}

void CKitComboBox::SetScrollerWidth(int nWidth) {
    m_nScrollerWidth = nWidth;
    LayoutRects();
}

// ---------------------------------------------------------------------------
// Input

void CKitComboBox::DropFocusWithoutNav() {
    if (!m_pOwner->KeyboardNav()) CKitDialog::DropFocus();
}

bool CKitComboBox::OnKey(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (!m_bActive || !m_bShown) return false;
    m_Scroller.OnKey(uMsg, wParam, lParam);
    if (uMsg != WM_KEYDOWN) return false;

    const int nCount = m_Choices.Length();
    switch (wParam) {
        case VK_RETURN:
            if (!m_bDroppedDown) return false;
            if (m_nHot != m_nChosen) Choose(m_nHot, true);
            m_bDroppedDown = false;
            DropFocusWithoutNav();
            return true;

        case VK_F4:
            if (lParam & (LPARAM(1) << 30)) return true;  // the key's auto-repeat
            m_bDroppedDown = !m_bDroppedDown;
            if (!m_bDroppedDown) {
                m_pOwner->RaiseEvent(KIT_EVT_COMBO_CHANGED, true, this);
                DropFocusWithoutNav();
            }
            return true;

        // The arrows move the choice; the event follows every change, also
        // while the list is open (Enter only reports a choice that differs
        // from the chosen one, so it would never be reported).
        case VK_LEFT:
        case VK_UP:
            if (m_nHot > 0) Choose(m_nHot - 1, true);
            return true;

        case VK_RIGHT:
        case VK_DOWN:
            if (m_nHot + 1 < nCount) Choose(m_nHot + 1, true);
            return true;

        default:
            return false;
    }
}

bool CKitComboBox::OnPointer(UINT uMsg, POINT pt, WPARAM wParam, LPARAM lParam) {
    if (!m_bActive || !m_bShown) return false;
    // The scroll bar sits in the drop-down: it takes input only while the list
    // is open, and always hears the release that ends its drag.
    if ((m_bDroppedDown || uMsg == WM_LBUTTONUP) && m_Scroller.OnPointer(uMsg, pt, wParam, lParam))
        return true;

    const int nCount = m_Choices.Length();
    switch (uMsg) {
        case WM_MOUSEMOVE:
            if (m_bDroppedDown && PtInRect(&m_rcList, pt)) {
                for (int i = 0; i < nCount; ++i) {
                    KitChoiceItem* pItem = m_Choices.GetAt(i);
                    if (pItem->bShown && PtInRect(&pItem->rcHit, pt)) {
                        m_nHot = i;
                        break;
                    }
                }
                return true;
            }
            return false;

        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (HitTest(pt)) {
                m_bHeld = true;
                SetCapture(KitActiveWindow());
                if (!m_bFocused) m_pOwner->FocusControl(this);
                if (m_bFocused) {
                    m_bDroppedDown = !m_bDroppedDown;
                    if (!m_bDroppedDown) DropFocusWithoutNav();
                }
                return true;
            }
            if (m_bDroppedDown && PtInRect(&m_rcList, pt)) {
                for (int i = m_Scroller.GetFirst(); i >= 0 && i < nCount; ++i) {
                    KitChoiceItem* pItem = m_Choices.GetAt(i);
                    if (pItem->bShown && PtInRect(&pItem->rcHit, pt)) {
                        Choose(i, true);
                        m_bDroppedDown = false;
                        DropFocusWithoutNav();
                        break;
                    }
                }
                return true;
            }
            // A click anywhere else closes the list, keeping the chosen item.
            if (m_bDroppedDown) {
                m_nHot = m_nChosen;
                m_pOwner->RaiseEvent(KIT_EVT_COMBO_CHANGED, true, this);
                m_bDroppedDown = false;
            }
            m_bHeld = false;
            DropFocusWithoutNav();
            return false;

        case WM_LBUTTONUP:
            // A press released off the box ends too, so the button does not stay down.
            if (m_bHeld) {
                m_bHeld = false;
                ReleaseCapture();
                return HitTest(pt);
            }
            return false;

        case WM_MOUSEWHEEL: {
            const int nStep = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
            if (m_bDroppedDown) {
                m_Scroller.ScrollBy(-nStep * int(KitWheelScrollLines()));
            } else if (nStep >= 1) {
                if (m_nHot > 0) Choose(m_nHot - 1, true);
            } else if (nStep <= -1) {
                if (m_nHot + 1 < nCount) Choose(m_nHot + 1, true);
            }
            // A fine wheel's partial notch moves nothing.
            return true;
        }

        default:
            return false;
    }
}

void CKitComboBox::OnAccelKey() {
    if (m_bDroppedDown || m_nChosen < 0 || m_Choices.Length() == 0) return;
    if (m_pOwner->KeyboardNav()) m_pOwner->FocusControl(this);
    Choose(m_nChosen + 1 < m_Choices.Length() ? m_nChosen + 1 : 0, true);
}

void CKitComboBox::OnFocusLost() {
    CKitButton::OnFocusLost();
    m_bDroppedDown = false;
}

// ---------------------------------------------------------------------------
// Drawing

void CKitComboBox::SetLabelColor(D3DCOLOR color) {
    for (int i : {0, 2})
        if (i < m_SkinElements.Length()) m_SkinElements.GetAt(i)->TextColor.States[KIT_LOOK_NORMAL] = color;
}

void CKitComboBox::Draw(IDirect3DDevice9* pd3dDevice, float fElapsedTime) {
    if (m_SkinElements.Length() < 4) return;
    CKitSkinElement* pMain = m_SkinElements.GetAt(0);
    CKitSkinElement* pButton = m_SkinElements.GetAt(1);
    CKitSkinElement* pList = m_SkinElements.GetAt(2);
    CKitSkinElement* pSelection = m_SkinElements.GetAt(3);
    KitFontSlot* pFont = m_pOwner->FontSlotAt(pList->nFont);
    const int nTextHeight = m_rcListText.bottom - m_rcListText.top;

    const UINT iListState = m_bDroppedDown ? KIT_LOOK_NORMAL : KIT_LOOK_HIDDEN;
    if (!s_bPageLearnt && pFont) {
        m_Scroller.SetVisibleCount(pFont->nHeight ? nTextHeight / pFont->nHeight : nTextHeight);
        s_bPageLearnt = true;
    }

    if (m_bDroppedDown) m_Scroller.Draw(pd3dDevice, fElapsedTime);

    pList->TintColor.Fade(iListState, fElapsedTime, 0.7f);
    pList->TextColor.Fade(iListState, fElapsedTime, 0.7f);
    m_pOwner->PaintSprite(pList, &m_rcList);

    pSelection->TintColor.Current = pList->TintColor.Current;
    pSelection->TextColor.Current = KitColorFromArgb(pSelection->TextColor.States[KIT_LOOK_NORMAL]);

    if (pFont) {
        const int nFontHeight = pFont->nHeight;
        const int nFirst = m_Scroller.GetFirst();
        int y = m_rcListText.top;
        int nRemaining = nTextHeight;
        for (int i = 0; i < m_Choices.Length(); ++i) {
            KitChoiceItem* pItem = m_Choices.GetAt(i);
            // Rows above the scroll position are not on screen.
            if (i < nFirst) {
                pItem->bShown = false;
                continue;
            }
            nRemaining -= nFontHeight;
            if (nRemaining < 0) {
                pItem->bShown = false;
                continue;
            }
            SetRect(&pItem->rcHit, m_rcListText.left, y, m_rcListText.right, y + nFontHeight);
            y += nFontHeight;
            pItem->bShown = true;
            if (!m_bDroppedDown) continue;
            if (i == m_nHot) {
                const RECT rcSprite = {m_rcList.left, pItem->rcHit.top - 2, m_rcList.right,
                                       pItem->rcHit.bottom + 2};
                m_pOwner->PaintSprite(pSelection, &rcSprite);
                m_pOwner->PaintText(pItem->wszLabel, pSelection, &pItem->rcHit);
            } else {
                m_pOwner->PaintText(pItem->wszLabel, pList, &pItem->rcHit);
            }
        }
    }

    UINT iState = LookState(m_bHeld);
    int dx = 0, dy = 0;
    if (iState == KIT_LOOK_PRESSED) {
        dx = 1;
        dy = 2;
    } else if (iState == KIT_LOOK_MOUSEOVER) {
        dx = -1;
        dy = -2;
    }
    const float fRate = iState == KIT_LOOK_PRESSED ? 0.0f : 0.8f;
    RECT rcButton = m_rcBox;
    OffsetRect(&rcButton, dx, dy);
    pButton->TintColor.Fade(iState, fElapsedTime, fRate);
    m_pOwner->PaintSprite(pButton, &rcButton);

    if (m_bDroppedDown) iState = KIT_LOOK_PRESSED;
    pMain->TintColor.Fade(iState, fElapsedTime, fRate);
    pMain->TextColor.Fade(iState, fElapsedTime, fRate);
    m_pOwner->PaintSprite(pMain, &m_rcLabel);
    if (KitChoiceItem* pChosen = GetChosenItem()) m_pOwner->PaintText(pChosen->wszLabel, pMain, &m_rcLabel);
}
