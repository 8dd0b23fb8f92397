// The dialog's controls: creation with the properties in a fixed order,
// adoption (default looks, OnInit, the list), finders, and removal.
#include <new>

#include "common/kit/errors/kit_errors.h"
#include "common/kitgui/control_check_box.h"
#include "common/kitgui/control_ime_edit_box.h"
#include "common/kitgui/control_radio_button.h"
#include "common/kitgui/dialog.h"

namespace {

// A control that could not be adopted belongs to nobody: it is deleted and
// the caller's pointer to it cleared.
template <typename T>
HRESULT DiscardControl(T* pControl, T** ppCreated, HRESULT hr) {
    delete pControl;
    if (ppCreated) *ppCreated = nullptr;
    return hr;
}

}  // namespace

HRESULT CKitDialog::CreateStatic(int nId, const WCHAR* strText, int x, int y, int width, int height,
                                 bool bIsDefault, CKitStatic** ppCreated) {
    auto* pStatic = new (std::nothrow) CKitStatic(this);
    if (ppCreated) *ppCreated = pStatic;
    if (!pStatic) return E_OUTOFMEMORY;
    HRESULT hr = AdoptControl(pStatic);
    if (FAILED(hr)) return DiscardControl(pStatic, ppCreated, hr);

    pStatic->SetId(nId);
    pStatic->SetLabel(strText);
    pStatic->MoveTo(x, y);
    pStatic->SetControlSize(width, height);
    pStatic->m_bDefault = bIsDefault;
    return S_OK;
}

HRESULT CKitDialog::CreateButton(int nId, const WCHAR* strText, int x, int y, int width, int height,
                                 UINT nHotkey, bool bIsDefault, CKitButton** ppCreated) {
    auto* pButton = new (std::nothrow) CKitButton(this);
    if (ppCreated) *ppCreated = pButton;
    if (!pButton) return E_OUTOFMEMORY;
    HRESULT hr = AdoptControl(pButton);
    if (FAILED(hr)) return DiscardControl(pButton, ppCreated, hr);

    pButton->SetId(nId);
    pButton->SetLabel(strText);
    pButton->MoveTo(x, y);
    pButton->SetControlSize(width, height);
    pButton->SetAccelKey(nHotkey);
    pButton->m_bDefault = bIsDefault;
    return S_OK;
}

HRESULT CKitDialog::CreateCheckBox(int nId, const WCHAR* strText, int x, int y, int width, int height,
                                   bool bChecked, UINT nHotkey, bool bIsDefault, CKitCheckBox** ppCreated) {
    auto* pCheckBox = new (std::nothrow) CKitCheckBox(this);
    if (ppCreated) *ppCreated = pCheckBox;
    if (!pCheckBox) return E_OUTOFMEMORY;
    HRESULT hr = AdoptControl(pCheckBox);
    if (FAILED(hr)) return DiscardControl(pCheckBox, ppCreated, hr);

    pCheckBox->SetId(nId);
    pCheckBox->SetLabel(strText);
    pCheckBox->MoveTo(x, y);
    pCheckBox->SetControlSize(width, height);
    pCheckBox->SetAccelKey(nHotkey);
    pCheckBox->m_bDefault = bIsDefault;
    pCheckBox->SetTicked(bChecked);
    return S_OK;
}

HRESULT CKitDialog::CreateRadioButton(int nId, UINT nButtonGroup, const WCHAR* strText, int x, int y,
                                      int width, int height, bool bChecked, UINT nHotkey, bool bIsDefault,
                                      CKitRadioButton** ppCreated) {
    auto* pRadioButton = new (std::nothrow) CKitRadioButton(this);
    if (ppCreated) *ppCreated = pRadioButton;
    if (!pRadioButton) return E_OUTOFMEMORY;
    HRESULT hr = AdoptControl(pRadioButton);
    if (FAILED(hr)) return DiscardControl(pRadioButton, ppCreated, hr);

    pRadioButton->SetId(nId);
    pRadioButton->SetLabel(strText);
    pRadioButton->SetGroup(nButtonGroup);
    pRadioButton->MoveTo(x, y);
    pRadioButton->SetControlSize(width, height);
    pRadioButton->SetAccelKey(nHotkey);
    pRadioButton->SetTicked(bChecked);
    pRadioButton->m_bDefault = bIsDefault;
    pRadioButton->SetTicked(bChecked);
    return S_OK;
}

namespace {

// Both edit boxes are made the same way: properties, then the text without an event.
template <typename T>
HRESULT CreateEditor(CKitDialog* pDialog, int nId, const WCHAR* strText, int x, int y, int width, int height,
                     bool bIsDefault, T** ppCreated) {
    auto* pEditBox = new (std::nothrow) T(pDialog);
    if (ppCreated) *ppCreated = pEditBox;
    if (!pEditBox) return E_OUTOFMEMORY;
    HRESULT hr = pDialog->AdoptControl(pEditBox);
    if (FAILED(hr)) return DiscardControl(pEditBox, ppCreated, hr);

    pEditBox->SetId(nId);
    pEditBox->MoveTo(x, y);
    pEditBox->SetControlSize(width, height);
    pEditBox->m_bDefault = bIsDefault;
    if (strText) pEditBox->SetContent(strText, false);
    return S_OK;
}

}  // namespace

HRESULT CKitDialog::CreateEditBox(int nId, const WCHAR* strText, int x, int y, int width, int height,
                                  bool bIsDefault, CKitEditBox** ppCreated) {
    return CreateEditor(this, nId, strText, x, y, width, height, bIsDefault, ppCreated);
}

HRESULT CKitDialog::CreateIMEEditBox(int nId, const WCHAR* strText, int x, int y, int width, int height,
                                     bool bIsDefault, CKitIMEEditBox** ppCreated) {
    return CreateEditor(this, nId, strText, x, y, width, height, bIsDefault, ppCreated);
}

HRESULT CKitDialog::AdoptControl(CKitControl* pControl) {
    HRESULT hr = InitControl(pControl);
    if (FAILED(hr)) return KIT_LOG_FAILURE(L"CKitDialog::InitControl", hr);
    hr = m_ControlList.Add(pControl);
    if (FAILED(hr)) return KIT_LOG_FAILURE(L"CGrowableArray::Add", hr);
    return S_OK;
}

HRESULT CKitDialog::InitControl(CKitControl* pControl) {
    if (!pControl) return E_INVALIDARG;
    pControl->m_nOrder = m_ControlList.Length();
    for (int i = 0; i < m_ElementDefaults.Length(); ++i) {
        KitElementDefault* pDefault = m_ElementDefaults.GetAt(i);
        if (pDefault->nKind == pControl->GetKind())
            pControl->SetSkinElement(pDefault->iElement, &pDefault->Element);
    }
    HRESULT hr = pControl->OnInit();
    if (FAILED(hr)) return KIT_LOG_FAILURE_POPUP(L"pControl->OnInit()", hr);
    return S_OK;
}

// ---------------------------------------------------------------------------
// Finders

CKitControl* CKitDialog::FindControl(int nId) const {
    for (int i = 0; i < m_ControlList.Length(); ++i) {
        CKitControl* pControl = m_ControlList.GetAt(i);
        if (pControl->GetId() == nId) return pControl;
    }
    return nullptr;
}

CKitControl* CKitDialog::FindControl(int nId, UINT nKind) const {
    for (int i = 0; i < m_ControlList.Length(); ++i) {
        CKitControl* pControl = m_ControlList.GetAt(i);
        if (pControl->GetId() == nId && pControl->GetKind() == nKind) return pControl;
    }
    return nullptr;
}

CKitStatic* CKitDialog::FindStatic(int nId) const {
    return static_cast<CKitStatic*>(FindControl(nId, KIT_KIND_STATIC));
}
CKitButton* CKitDialog::FindButton(int nId) const {
    return static_cast<CKitButton*>(FindControl(nId, KIT_KIND_BUTTON));
}
CKitCheckBox* CKitDialog::FindCheckBox(int nId) const {
    return static_cast<CKitCheckBox*>(FindControl(nId, KIT_KIND_CHECKBOX));
}
CKitRadioButton* CKitDialog::FindRadioButton(int nId) const {
    return static_cast<CKitRadioButton*>(FindControl(nId, KIT_KIND_RADIOBUTTON));
}
CKitEditBox* CKitDialog::FindEditBox(int nId) const {
    return static_cast<CKitEditBox*>(FindControl(nId, KIT_KIND_EDITBOX));
}

CKitControl* CKitDialog::ControlAtPoint(POINT pt) const {
    for (int i = 0; i < m_ControlList.Length(); ++i) {
        CKitControl* pControl = m_ControlList.GetAt(i);
        if (pControl->HitTest(pt) && pControl->IsActive() && pControl->IsShown()) return pControl;
    }
    return nullptr;
}

bool CKitDialog::IsControlActive(int nId) const {
    CKitControl* pControl = FindControl(nId);
    return pControl ? pControl->IsActive() : false;
}

void CKitDialog::SetControlActive(int nId, bool bActive) {
    if (CKitControl* pControl = FindControl(nId)) pControl->SetActive(bActive);
}

void CKitDialog::UncheckRadioGroup(UINT nButtonGroup) {
    for (int i = 0; i < m_ControlList.Length(); ++i) {
        CKitControl* pControl = m_ControlList.GetAt(i);
        if (pControl->GetKind() != KIT_KIND_RADIOBUTTON) continue;
        auto* pRadioButton = static_cast<CKitRadioButton*>(pControl);
        if (pRadioButton->GetGroup() == nButtonGroup) pRadioButton->SetTicked(false, false);
    }
}

// ---------------------------------------------------------------------------
// Removal

void CKitDialog::DeleteControl(int nId) {
    for (int i = 0; i < m_ControlList.Length(); ++i) {
        CKitControl* pControl = m_ControlList.GetAt(i);
        if (pControl->GetId() != nId) continue;

        DropFocus();
        if (s_pFocusedControl == pControl) s_pFocusedControl = nullptr;
        if (s_pPressedControl == pControl) s_pPressedControl = nullptr;
        if (m_pHoverControl == pControl) m_pHoverControl = nullptr;
        delete pControl;
        m_ControlList.RemoveAt(i);
        // Focus travel steps by list position: the controls behind the removed
        // one move up by one.
        for (int j = i; j < m_ControlList.Length(); ++j) m_ControlList.GetAt(j)->m_nOrder = j;
        return;
    }
}

void CKitDialog::DeleteAllControls() {
    if (s_pFocusedControl && s_pFocusedControl->m_pOwner == this) s_pFocusedControl = nullptr;
    if (s_pPressedControl && s_pPressedControl->m_pOwner == this) s_pPressedControl = nullptr;
    m_pHoverControl = nullptr;
    for (int i = 0; i < m_ControlList.Length(); ++i) delete m_ControlList.GetAt(i);
    m_ControlList.Clear();
}
