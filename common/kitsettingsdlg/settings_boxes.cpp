// The settings page's box helpers: item texts and data of every combo box,
// added only when no item has the same text, and the window-mode radios.
#include <cwchar>

#include "common/devicecatalog/enum_names.h"
#include "common/kitgui/control_combo_box.h"
#include "common/kitgui/control_radio_button.h"
#include "common/kitsettingsdlg/settings_dialog.h"

void CD3DSettingsDlg::AddUnique(int nId, const WCHAR* strText, UINT_PTR data) {
    CKitComboBox* pBox = m_Panel.FindComboBox(nId);
    if (pBox && !pBox->HasChoice(strText)) pBox->AddChoice(strText, reinterpret_cast<void*>(data));
}

void CD3DSettingsDlg::ChooseData(int nId, UINT_PTR data) {
    if (CKitComboBox* pBox = m_Panel.FindComboBox(nId)) pBox->ChooseByData(reinterpret_cast<void*>(data));
}

UINT_PTR CD3DSettingsDlg::ChosenData(int nId) const {
    const CKitComboBox* pBox = m_Panel.FindComboBox(nId);
    return pBox ? reinterpret_cast<UINT_PTR>(pBox->GetChosenData()) : 0;
}

void CD3DSettingsDlg::Empty(int nId) {
    if (CKitComboBox* pBox = m_Panel.FindComboBox(nId)) pBox->RemoveAllChoices();
}

void CD3DSettingsDlg::CheckWindowed(bool bWindowed) {
    CKitRadioButton* pRadio =
        m_Panel.FindRadioButton(bWindowed ? KIT_SETTINGS_WINDOWED : KIT_SETTINGS_FULLSCREEN);
    if (pRadio) pRadio->SetTicked(true, true);
}

bool CD3DSettingsDlg::WindowedChecked() const {
    const CKitRadioButton* pRadio = m_Panel.FindRadioButton(KIT_SETTINGS_WINDOWED);
    return pRadio && pRadio->IsTicked();
}

void CD3DSettingsDlg::AddAdapterFormat(D3DFORMAT fmt) {
    AddUnique(KIT_SETTINGS_ADAPTER_FORMAT, KitFormatName(fmt, true), UINT_PTR(fmt));
}

void CD3DSettingsDlg::AddResolution(UINT width, UINT height) {
    WCHAR text[50];
    swprintf(text, 50, L"%d by %d", int(width), int(height));
    AddUnique(KIT_SETTINGS_RESOLUTION, text, (UINT_PTR(height & 0xFFFF) << 16) | (width & 0xFFFF));
}

void CD3DSettingsDlg::AddRefreshRate(UINT rate) {
    WCHAR text[50];
    if (rate == 0)
        wcscpy(text, L"Default Rate");
    else
        swprintf(text, 50, L"%d Hz", int(rate));
    AddUnique(KIT_SETTINGS_REFRESH_RATE, text, rate);
}

void CD3DSettingsDlg::AddBackBufferFormat(D3DFORMAT fmt) {
    AddUnique(KIT_SETTINGS_BACK_BUFFER_FORMAT, KitFormatName(fmt, true), UINT_PTR(fmt));
}

void CD3DSettingsDlg::AddDepthFormat(D3DFORMAT fmt) {
    AddUnique(KIT_SETTINGS_DEPTH_STENCIL, KitFormatName(fmt, true), UINT_PTR(fmt));
}

void CD3DSettingsDlg::AddSampleType(D3DMULTISAMPLE_TYPE type) {
    AddUnique(KIT_SETTINGS_MULTISAMPLE_TYPE, KitSampleTypeName(type), UINT_PTR(type));
}

void CD3DSettingsDlg::AddSampleQuality(DWORD level) {
    WCHAR text[50];
    swprintf(text, 50, L"%d", int(level));
    AddUnique(KIT_SETTINGS_MULTISAMPLE_QUALITY, text, level);
}

void CD3DSettingsDlg::AddVertexProcessing(DWORD flag) {
    AddUnique(KIT_SETTINGS_VERTEX_PROCESSING, KitVertexProcessingName(flag), flag);
}

void CD3DSettingsDlg::AddPresentInterval(UINT interval) {
    AddUnique(KIT_SETTINGS_PRESENT_INTERVAL, interval == D3DPRESENT_INTERVAL_DEFAULT ? L"On" : L"Off",
              interval);
}
