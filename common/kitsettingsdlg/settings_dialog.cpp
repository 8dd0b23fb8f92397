// The settings page's set-up, device hooks, drawing, message handling,
// activation and reload, and the routing of its controls' events.
#include "common/kitsettingsdlg/settings_dialog.h"

#include "common/devicecatalog/device_catalog.h"
#include "common/devicecatalog/enum_names.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/state/kit_getters.h"
#include "common/kitgui/control_check_box.h"
#include "common/kitgui/control_combo_box.h"
#include "common/kitgui/control_radio_button.h"
#include "common/kitgui/control_static.h"

KitDeviceSetup CD3DSettingsDlg::s_EditedSetup = {};

CD3DSettingsDlg::CD3DSettingsDlg() : m_pSavedState(nullptr), m_bActivated(false) {}

CD3DSettingsDlg::~CD3DSettingsDlg() { OnDeviceLost(); }

void CD3DSettingsDlg::Setup(CKitDialogResourceManager* pManager) {
    if (!KitGuiCheck(pManager != nullptr, L"pManager")) return;
    m_Panel.Init(pManager, false);
    BuildControls();
}

void CD3DSettingsDlg::BuildControls() {
    m_Panel.SetKeyboardNav(true);
    m_Panel.AssignFont(0, L"Arial", 15, FW_NORMAL);
    m_Panel.AssignFont(1, L"Arial", 28, FW_BOLD);

    // Labels are right-aligned against their combo boxes.
    if (CKitSkinElement* pLabel = m_Panel.ElementDefault(KIT_KIND_STATIC, 0))
        pLabel->dwFormat = DT_RIGHT | DT_VCENTER;

    CKitStatic* pTitle = nullptr;
    m_Panel.CreateStatic(-1, L"Direct3D Settings", 10, 5, 400, 50, false, &pTitle);
    if (pTitle) {
        if (CKitSkinElement* pElement = pTitle->GetSkinElement(0)) {
            pElement->nFont = 1;
            pElement->dwFormat = DT_TOP | DT_LEFT;
        }
    }

    m_Panel.CreateStatic(-1, L"Display Adapter", 10, 50, 180, 23);
    m_Panel.CreateComboBox(KIT_SETTINGS_ADAPTER, 200, 50, 300, 23);
    m_Panel.CreateStatic(-1, L"Render Device", 10, 75, 180, 23);
    m_Panel.CreateComboBox(KIT_SETTINGS_DEVICE_TYPE, 200, 75, 300, 23);

    m_Panel.CreateRadioButton(KIT_SETTINGS_WINDOWED, KIT_SETTINGS_RADIO_GROUP, L"Windowed", 240, 105, 300,
                              16);
    m_Panel.CreateCheckBox(KIT_SETTINGS_DEVICECLIP,
                           L"Clip to device when window spans across multiple monitors", 250, 126, 400, 16);
    m_Panel.CreateRadioButton(KIT_SETTINGS_FULLSCREEN, KIT_SETTINGS_RADIO_GROUP, L"Full Screen", 240, 147,
                              300, 16);

    m_Panel.CreateStatic(KIT_SETTINGS_ADAPTER_FORMAT_LABEL, L"Adapter Format", 10, 180, 180, 23);
    m_Panel.CreateComboBox(KIT_SETTINGS_ADAPTER_FORMAT, 200, 180, 300, 23);
    m_Panel.CreateStatic(KIT_SETTINGS_RESOLUTION_LABEL, L"Resolution", 10, 205, 180, 23);
    CKitComboBox* pResolution = nullptr;
    m_Panel.CreateComboBox(KIT_SETTINGS_RESOLUTION, 200, 205, 200, 23, 0, false, &pResolution);
    if (pResolution) pResolution->SetListHeight(106);
    m_Panel.CreateCheckBox(KIT_SETTINGS_RESOLUTION_SHOW_ALL, L"Show All Aspect Ratios", 420, 205, 200, 23);
    m_Panel.CreateStatic(KIT_SETTINGS_REFRESH_RATE_LABEL, L"Refresh Rate", 10, 230, 180, 23);
    m_Panel.CreateComboBox(KIT_SETTINGS_REFRESH_RATE, 200, 230, 300, 23);

    m_Panel.CreateStatic(-1, L"Back Buffer Format", 10, 265, 180, 23);
    m_Panel.CreateComboBox(KIT_SETTINGS_BACK_BUFFER_FORMAT, 200, 265, 300, 23);
    m_Panel.CreateStatic(-1, L"Depth/Stencil Format", 10, 290, 180, 23);
    m_Panel.CreateComboBox(KIT_SETTINGS_DEPTH_STENCIL, 200, 290, 300, 23);
    m_Panel.CreateStatic(-1, L"Multisample Type", 10, 315, 180, 23);
    m_Panel.CreateComboBox(KIT_SETTINGS_MULTISAMPLE_TYPE, 200, 315, 300, 23);
    m_Panel.CreateStatic(-1, L"Multisample Quality", 10, 340, 180, 23);
    m_Panel.CreateComboBox(KIT_SETTINGS_MULTISAMPLE_QUALITY, 200, 340, 300, 23);
    m_Panel.CreateStatic(-1, L"Vertex Processing", 10, 365, 180, 23);
    m_Panel.CreateComboBox(KIT_SETTINGS_VERTEX_PROCESSING, 200, 365, 300, 23);
    m_Panel.CreateStatic(-1, L"Vertical Sync", 10, 390, 180, 23);
    m_Panel.CreateComboBox(KIT_SETTINGS_PRESENT_INTERVAL, 200, 390, 300, 23);

    m_Panel.CreateButton(KIT_SETTINGS_OK, L"OK", 230, 435, 73, 31);
    m_Panel.CreateButton(KIT_SETTINGS_CANCEL, L"Cancel", 315, 435, 73, 31, 0, true);
}

HRESULT CD3DSettingsDlg::OnCreateDevice(IDirect3DDevice9* pd3dDevice) {
    if (pd3dDevice == nullptr)
        return KIT_LOG_FAILURE_POPUP(L"CD3DSettingsDlg::OnCreatedDevice", E_INVALIDARG);
    m_Panel.SetEventHandler(EventThunk, this);
    return S_OK;
}

HRESULT CD3DSettingsDlg::OnResetDevice() {
    const D3DSURFACE_DESC* pDesc = KitGetBackBufferSurfaceDesc();
    m_Panel.MoveTo(0, 0);
    if (pDesc) m_Panel.SetDialogSize(int(pDesc->Width), int(pDesc->Height));
    m_Panel.SetCornerColors(0xFF628ACE, 0xFF3669C0, 0xFF3669C0, 0xFF0A49B3);

    // A reset without a loss first (a caller's mistake) must not leak the old block.
    if (m_pSavedState) {
        m_pSavedState->Release();
        m_pSavedState = nullptr;
    }
    IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
    if (pd3dDevice && SUCCEEDED(pd3dDevice->BeginStateBlock())) {
        pd3dDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
        pd3dDevice->EndStateBlock(&m_pSavedState);
    }
    return S_OK;
}

void CD3DSettingsDlg::OnDeviceLost() {
    if (m_pSavedState) {
        m_pSavedState->Release();
        m_pSavedState = nullptr;
    }
}

HRESULT CD3DSettingsDlg::OnDeviceDestroyed() { return S_OK; }

HRESULT CD3DSettingsDlg::OnRender(float fElapsedTime) {
    IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
    if (!pd3dDevice) return S_OK;
    pd3dDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00003F3F, 1.0f, 0);
    if (FAILED(pd3dDevice->BeginScene())) return S_OK;
    // The page draws solid whatever fill mode the application left (F8's wireframe).
    if (m_pSavedState) m_pSavedState->Capture();
    pd3dDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    m_Panel.OnRender(fElapsedTime);
    if (m_pSavedState) m_pSavedState->Apply();
    pd3dDevice->EndScene();
    return S_OK;
}

LRESULT CD3DSettingsDlg::MsgProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    m_Panel.ProcessMessage(hWnd, uMsg, wParam, lParam);
    if (uMsg == WM_KEYDOWN && wParam == VK_F2) Activate(false);
    return 0;
}

void CD3DSettingsDlg::Activate(bool bActivated) {
    m_bActivated = bActivated;
    if (bActivated) Reload();
}

HRESULT CD3DSettingsDlg::Reload() {
    s_EditedSetup = KitCurrentSetup();
    const KitDeviceSetup& s = s_EditedSetup;
    const D3DPRESENT_PARAMETERS& pp = s.PresentParams;

    // The current values first, so each box shows them even where the catalogue lacks them.
    AddUnique(KIT_SETTINGS_DEVICE_TYPE, KitDeviceTypeName(s.DeviceType), s.DeviceType);
    CheckWindowed(pp.Windowed != 0);
    if (CKitCheckBox* pClip = m_Panel.FindCheckBox(KIT_SETTINGS_DEVICECLIP))
        pClip->SetTicked((pp.Flags & D3DPRESENTFLAG_DEVICECLIP) != 0);
    AddAdapterFormat(s.AdapterFormat);
    AddResolution(pp.BackBufferWidth, pp.BackBufferHeight);
    AddRefreshRate(pp.FullScreen_RefreshRateInHz);
    AddBackBufferFormat(pp.BackBufferFormat);
    AddDepthFormat(pp.AutoDepthStencilFormat);
    AddSampleType(pp.MultiSampleType);
    AddSampleQuality(pp.MultiSampleQuality);
    const DWORD kinds[] = {D3DCREATE_PUREDEVICE, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                           D3DCREATE_SOFTWARE_VERTEXPROCESSING, D3DCREATE_MIXED_VERTEXPROCESSING};
    for (DWORD kind : kinds) {
        if (s.BehaviorFlags & kind) {
            AddVertexProcessing(kind);
            break;
        }
    }

    CKitDeviceCatalog* pCatalog = KitPrepareDeviceCatalog();
    if (!CurrentCombo()) return KIT_LOG_FAILURE_POPUP(L"GetDeviceSettingsCombo", E_INVALIDARG);
    if (pCatalog->GetAdapters()->Length() == 0)
        return KIT_LOG_FAILURE_POPUP(L"CD3DSettingsDlg::OnCreatedDevice", KITERR_NOCOMPATIBLEDEVICES);

    Empty(KIT_SETTINGS_ADAPTER);
    CGrowableArray<CKitCatalogAdapter*>* pAdapters = pCatalog->GetAdapters();
    for (int i = 0; i < pAdapters->Length(); ++i) {
        CKitCatalogAdapter* pAdapter = pAdapters->GetAt(i);
        AddUnique(KIT_SETTINGS_ADAPTER, pAdapter->m_szLabel, pAdapter->m_nOrdinal);
    }
    ChooseData(KIT_SETTINGS_ADAPTER, s.AdapterOrdinal);

    HRESULT hr = AdapterPicked();
    if (FAILED(hr)) return hr;

    // Every control refreshes its look.
    CKitDialog::StampRefresh(KitCurrentTime());
    return S_OK;
}

void WINAPI CD3DSettingsDlg::EventThunk(UINT, int nControlId, CKitControl*, void* pUserContext) {
    if (pUserContext) static_cast<CD3DSettingsDlg*>(pUserContext)->HandleControlEvent(nControlId);
}

void CD3DSettingsDlg::HandleControlEvent(int nControlId) {
    switch (nControlId) {
        case KIT_SETTINGS_OK:
            ApplyEditedSetup();
            Activate(false);
            break;
        case KIT_SETTINGS_CANCEL:
            Activate(false);
            break;
        case KIT_SETTINGS_ADAPTER:
            AdapterPicked();
            break;
        case KIT_SETTINGS_DEVICE_TYPE:
            DeviceTypePicked();
            break;
        case KIT_SETTINGS_WINDOWED:
        case KIT_SETTINGS_FULLSCREEN:
            WindowModePicked();
            break;
        case KIT_SETTINGS_ADAPTER_FORMAT:
        case KIT_SETTINGS_RESOLUTION_SHOW_ALL:
            AdapterFormatPicked();
            break;
        case KIT_SETTINGS_RESOLUTION:
            ResolutionPicked();
            break;
        case KIT_SETTINGS_REFRESH_RATE:
            RefreshRatePicked();
            break;
        case KIT_SETTINGS_BACK_BUFFER_FORMAT:
            BackBufferFormatPicked();
            break;
        case KIT_SETTINGS_DEPTH_STENCIL:
            DepthFormatPicked();
            break;
        case KIT_SETTINGS_MULTISAMPLE_TYPE:
            SampleTypePicked();
            break;
        case KIT_SETTINGS_MULTISAMPLE_QUALITY:
            SampleQualityPicked();
            break;
        case KIT_SETTINGS_VERTEX_PROCESSING:
            VertexProcessingPicked();
            break;
        case KIT_SETTINGS_PRESENT_INTERVAL:
            PresentIntervalPicked();
            break;
        case KIT_SETTINGS_DEVICECLIP:
            DeviceClipPicked();
            break;
        default:
            break;
    }
}
