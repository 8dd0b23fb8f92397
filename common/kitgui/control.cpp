// The control base: element list, geometry, and the behaviour every control
// inherits unless it overrides a slot.
#include "common/kitgui/control.h"

#include <new>

CKitControl::CKitControl(CKitDialog* pDialog) : m_pOwner(pDialog) {}

CKitControl::~CKitControl() {
    for (int i = 0; i < m_SkinElements.Length(); ++i) delete m_SkinElements.GetAt(i);
    m_SkinElements.Clear();
}

void CKitControl::RestoreLook() {
    m_bHovered = false;
    m_bFocused = false;
    for (int i = 0; i < m_SkinElements.Length(); ++i) m_SkinElements.GetAt(i)->Restore();
}

void CKitControl::SetLabelColor(D3DCOLOR color) {
    if (m_SkinElements.Length() > 0) m_SkinElements.GetAt(0)->TextColor.States[KIT_LOOK_NORMAL] = color;
}

void CKitControl::LayoutRects() { SetRect(&m_rcBounds, m_nX, m_nY, m_nX + m_nWidth, m_nY + m_nHeight); }

void CKitControl::MoveTo(int x, int y) {
    m_nX = x;
    m_nY = y;
    LayoutRects();
}

void CKitControl::SetControlSize(int width, int height) {
    m_nWidth = width;
    m_nHeight = height;
    LayoutRects();
}

HRESULT CKitControl::SetSkinElement(UINT iElement, const CKitSkinElement* pElement) {
    if (!pElement) return E_INVALIDARG;
    while (m_SkinElements.Length() <= int(iElement)) {
        auto* pNew = new (std::nothrow) CKitSkinElement();
        if (!pNew) return E_OUTOFMEMORY;
        HRESULT hr = m_SkinElements.Add(pNew);
        if (FAILED(hr)) {
            delete pNew;
            return hr;
        }
    }
    *m_SkinElements.GetAt(int(iElement)) = *pElement;
    return S_OK;
}

UINT CKitControl::LookState(bool bHeld) const {
    if (!m_bShown) return KIT_LOOK_HIDDEN;
    if (!m_bActive) return KIT_LOOK_DISABLED;
    if (bHeld) return KIT_LOOK_PRESSED;
    if (m_bHovered) return KIT_LOOK_MOUSEOVER;
    if (m_bFocused) return KIT_LOOK_FOCUS;
    return KIT_LOOK_NORMAL;
}
