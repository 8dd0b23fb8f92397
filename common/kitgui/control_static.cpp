// The static text control: text storage and drawing.
#include "common/kitgui/control_static.h"

#include "common/kitgui/dialog.h"
#include "platform/strsafe.h"

CKitStatic::CKitStatic(CKitDialog* pDialog) : CKitControl(pDialog) { m_eKind = KIT_KIND_STATIC; }

HRESULT CKitStatic::SetLabel(const WCHAR* strText) {
    if (!strText) {
        m_wszText[0] = L'\0';
        return S_OK;
    }
    StringCchCopyW(m_wszText, MAX_PATH, strText);  // cut to 259 characters
    return S_OK;
}

HRESULT CKitStatic::GetLabel(WCHAR* strDest, UINT cchDest) const {
    if (!strDest || cchDest == 0) return E_INVALIDARG;
    StringCchCopyW(strDest, cchDest, m_wszText);  // cut to the capacity
    return S_OK;
}

// Drawing: the text fades toward normal or disabled; its shadow follows it.
void CKitStatic::Draw(IDirect3DDevice9*, float fElapsedTime) {
    if (!m_bShown || m_SkinElements.Length() == 0) return;
    const UINT iState = m_bActive ? KIT_LOOK_NORMAL : KIT_LOOK_DISABLED;
    CKitSkinElement* pElement = m_SkinElements.GetAt(0);
    pElement->TextColor.Fade(iState, fElapsedTime, 0.7f);
    m_pOwner->PaintText(m_wszText, pElement, &m_rcBounds, true, -1);
}
