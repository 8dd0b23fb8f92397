// The dialog's list and value controls: creation of combo boxes, sliders and
// list boxes with their properties in a fixed order, their typed finders, and
// emptying a combo box.
#include <new>

#include "common/kitgui/control_combo_box.h"
#include "common/kitgui/control_list_box.h"
#include "common/kitgui/control_slider.h"
#include "common/kitgui/dialog.h"

namespace {

// A control that could not be adopted belongs to nobody: it is deleted and
// the caller's pointer to it cleared.
template <typename T>
HRESULT Discard(T* pControl, T** ppCreated, HRESULT hr) {
    delete pControl;
    if (ppCreated) *ppCreated = nullptr;
    return hr;
}

}  // namespace

HRESULT CKitDialog::CreateComboBox(int nId, int x, int y, int width, int height, UINT nHotkey,
                                   bool bIsDefault, CKitComboBox** ppCreated) {
    auto* pComboBox = new (std::nothrow) CKitComboBox(this);
    if (ppCreated) *ppCreated = pComboBox;
    if (!pComboBox) return E_OUTOFMEMORY;
    HRESULT hr = AdoptControl(pComboBox);
    if (FAILED(hr)) return Discard(pComboBox, ppCreated, hr);

    pComboBox->SetId(nId);
    pComboBox->MoveTo(x, y);
    pComboBox->SetControlSize(width, height);
    pComboBox->SetAccelKey(nHotkey);
    pComboBox->m_bDefault = bIsDefault;
    return S_OK;
}

HRESULT CKitDialog::CreateSlider(int nId, int x, int y, int width, int height, int nMin, int nMax, int nValue,
                                 bool bIsDefault, CKitSlider** ppCreated) {
    auto* pSlider = new (std::nothrow) CKitSlider(this);
    if (ppCreated) *ppCreated = pSlider;
    if (!pSlider) return E_OUTOFMEMORY;
    HRESULT hr = AdoptControl(pSlider);
    if (FAILED(hr)) return Discard(pSlider, ppCreated, hr);

    pSlider->SetId(nId);
    pSlider->MoveTo(x, y);
    pSlider->SetControlSize(width, height);
    pSlider->m_bDefault = bIsDefault;
    pSlider->SetBounds(nMin, nMax);
    pSlider->SetLevel(nValue);
    pSlider->LayoutRects();
    return S_OK;
}

HRESULT CKitDialog::CreateListBox(int nId, int x, int y, int width, int height, DWORD dwStyle,
                                  CKitListBox** ppCreated) {
    auto* pListBox = new (std::nothrow) CKitListBox(this);
    if (ppCreated) *ppCreated = pListBox;
    if (!pListBox) return E_OUTOFMEMORY;
    HRESULT hr = AdoptControl(pListBox);
    if (FAILED(hr)) return Discard(pListBox, ppCreated, hr);

    pListBox->SetId(nId);
    pListBox->MoveTo(x, y);
    pListBox->SetControlSize(width, height);
    pListBox->SetFlags(dwStyle);
    return S_OK;
}

CKitComboBox* CKitDialog::FindComboBox(int nId) const {
    return static_cast<CKitComboBox*>(FindControl(nId, KIT_KIND_COMBOBOX));
}
CKitSlider* CKitDialog::FindSlider(int nId) const {
    return static_cast<CKitSlider*>(FindControl(nId, KIT_KIND_SLIDER));
}
CKitListBox* CKitDialog::FindListBox(int nId) const {
    return static_cast<CKitListBox*>(FindControl(nId, KIT_KIND_LISTBOX));
}
CKitScrollBar* CKitDialog::FindScrollBar(int nId) const {
    return static_cast<CKitScrollBar*>(FindControl(nId, KIT_KIND_SCROLLBAR));
}

void CKitDialog::EmptyComboBox(int nId) {
    if (CKitComboBox* pComboBox = FindComboBox(nId)) pComboBox->RemoveAllChoices();
}
