// The settings page's cascade: each box's handler stores the chosen value in
// the edited record and refills the boxes below it from the catalogue.
#include <cmath>

#include "common/devicecatalog/device_catalog.h"
#include "common/devicecatalog/enum_names.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/state/kit_getters.h"
#include "common/kitgui/control_check_box.h"
#include "common/kitgui/control_combo_box.h"
#include "common/kitgui/control_radio_button.h"
#include "common/kitsettingsdlg/settings_dialog.h"

CKitCatalogAdapter* CD3DSettingsDlg::CurrentAdapter() {
    return KitPrepareDeviceCatalog()->FindAdapter(s_EditedSetup.AdapterOrdinal);
}

CKitCatalogDevice* CD3DSettingsDlg::CurrentDevice() {
    return KitPrepareDeviceCatalog()->FindDevice(s_EditedSetup.AdapterOrdinal, s_EditedSetup.DeviceType);
}

CKitCatalogCombo* CD3DSettingsDlg::CurrentCombo() {
    const KitDeviceSetup& s = s_EditedSetup;
    return KitPrepareDeviceCatalog()->GetDeviceSettingsCombo(s.AdapterOrdinal, s.DeviceType, s.AdapterFormat,
                                                             s.PresentParams.BackBufferFormat,
                                                             s.PresentParams.Windowed);
}

HRESULT CD3DSettingsDlg::AdapterPicked() {
    s_EditedSetup.AdapterOrdinal = UINT(ChosenData(KIT_SETTINGS_ADAPTER));
    CKitCatalogAdapter* pAdapter = CurrentAdapter();
    if (!pAdapter) return E_FAIL;

    Empty(KIT_SETTINGS_DEVICE_TYPE);
    for (int i = 0; i < pAdapter->m_Devices.Length(); ++i) {
        D3DDEVTYPE type = pAdapter->m_Devices.GetAt(i)->m_DeviceType;
        AddUnique(KIT_SETTINGS_DEVICE_TYPE, KitDeviceTypeName(type), type);
    }
    if (pAdapter->m_Devices.Length() == 0) return E_FAIL;
    ChooseData(KIT_SETTINGS_DEVICE_TYPE, s_EditedSetup.DeviceType);
    return DeviceTypePicked();
}

HRESULT CD3DSettingsDlg::DeviceTypePicked() {
    s_EditedSetup.DeviceType = D3DDEVTYPE(ChosenData(KIT_SETTINGS_DEVICE_TYPE));
    CKitCatalogDevice* pDevice = CurrentDevice();
    if (!pDevice) return E_FAIL;

    bool bHasWindowed = false, bHasFullScreen = false;
    for (int i = 0; i < pDevice->m_Combos.Length(); ++i) {
        if (pDevice->m_Combos.GetAt(i)->m_bWindowed)
            bHasWindowed = true;
        else
            bHasFullScreen = true;
    }
    m_Panel.SetControlActive(KIT_SETTINGS_WINDOWED, bHasWindowed);
    m_Panel.SetControlActive(KIT_SETTINGS_FULLSCREEN, bHasFullScreen);
    CheckWindowed(s_EditedSetup.PresentParams.Windowed && bHasWindowed);
    return WindowModePicked();
}

HRESULT CD3DSettingsDlg::WindowModePicked() {
    KitDeviceSetup& s = s_EditedSetup;
    D3DPRESENT_PARAMETERS& pp = s.PresentParams;
    const bool bWindowed = WindowedChecked();
    pp.Windowed = bWindowed;

    const int fullScreenOnly[] = {KIT_SETTINGS_ADAPTER_FORMAT_LABEL, KIT_SETTINGS_RESOLUTION_LABEL,
                                  KIT_SETTINGS_REFRESH_RATE_LABEL,   KIT_SETTINGS_ADAPTER_FORMAT,
                                  KIT_SETTINGS_RESOLUTION,           KIT_SETTINGS_RESOLUTION_SHOW_ALL,
                                  KIT_SETTINGS_REFRESH_RATE};
    for (int nId : fullScreenOnly) m_Panel.SetControlActive(nId, !bWindowed);
    m_Panel.SetControlActive(KIT_SETTINGS_DEVICECLIP, bWindowed);

    if (bWindowed) {
        // A windowed device takes the desktop's format and rate.
        IDirect3D9* pD3D = KitGetD3DObject();
        if (!pD3D) return KIT_LOG_FAILURE(L"KitGetD3DObject", E_FAIL);
        D3DDISPLAYMODE mode;
        HRESULT hr = pD3D->GetAdapterDisplayMode(s.AdapterOrdinal, &mode);
        if (FAILED(hr)) return KIT_LOG_FAILURE(L"GetAdapterDisplayMode", hr);
        RECT rcFull = KitFullScreenSizeAtSwitch();
        if (rcFull.right - rcFull.left != 0 && rcFull.bottom - rcFull.top != 0) {
            pp.BackBufferWidth = UINT(rcFull.right - rcFull.left);
            pp.BackBufferHeight = UINT(rcFull.bottom - rcFull.top);
        } else {
            pp.BackBufferWidth = mode.Width;
            pp.BackBufferHeight = mode.Height;
        }
        s.AdapterFormat = mode.Format;
        pp.FullScreen_RefreshRateInHz = mode.RefreshRate;
    }
    if (CKitCheckBox* pClip = m_Panel.FindCheckBox(KIT_SETTINGS_DEVICECLIP))
        pClip->SetTicked((pp.Flags & D3DPRESENTFLAG_DEVICECLIP) != 0);

    Empty(KIT_SETTINGS_ADAPTER_FORMAT);
    if (bWindowed) {
        AddAdapterFormat(s.AdapterFormat);
    } else if (CKitCatalogDevice* pDevice = CurrentDevice()) {
        for (int i = 0; i < pDevice->m_Combos.Length(); ++i)
            AddAdapterFormat(pDevice->m_Combos.GetAt(i)->m_AdapterFormat);
    }
    ChooseData(KIT_SETTINGS_ADAPTER_FORMAT, s.AdapterFormat);
    HRESULT hr = AdapterFormatPicked();
    if (FAILED(hr)) return hr;

    if (bWindowed) {
        Empty(KIT_SETTINGS_RESOLUTION);
        AddResolution(pp.BackBufferWidth, pp.BackBufferHeight);
        ChooseData(KIT_SETTINGS_RESOLUTION,
                   (UINT_PTR(pp.BackBufferHeight & 0xFFFF) << 16) | (pp.BackBufferWidth & 0xFFFF));
        if (FAILED(hr = ResolutionPicked())) return hr;

        Empty(KIT_SETTINGS_REFRESH_RATE);
        AddRefreshRate(pp.FullScreen_RefreshRateInHz);
        ChooseData(KIT_SETTINGS_REFRESH_RATE, pp.FullScreen_RefreshRateInHz);
        if (FAILED(hr = RefreshRatePicked())) return hr;
    }
    return S_OK;
}

HRESULT CD3DSettingsDlg::AdapterFormatPicked() {
    KitDeviceSetup& s = s_EditedSetup;
    D3DPRESENT_PARAMETERS& pp = s.PresentParams;
    s.AdapterFormat = D3DFORMAT(ChosenData(KIT_SETTINGS_ADAPTER_FORMAT));
    CKitCatalogAdapter* pAdapter = CurrentAdapter();
    if (!pAdapter) return E_FAIL;

    Empty(KIT_SETTINGS_RESOLUTION);
    const SIZE desktop = KitDesktopSizeOfAdapter(s.AdapterOrdinal);
    // An unknown desktop size has no aspect to compare with: every resolution is listed.
    const bool bDesktopKnown = desktop.cx > 0 && desktop.cy > 0;
    const float fDesktopAspect = bDesktopKnown ? float(desktop.cx) / float(desktop.cy) : 0.0f;
    const CKitCheckBox* pShowAll = m_Panel.FindCheckBox(KIT_SETTINGS_RESOLUTION_SHOW_ALL);
    const bool bShowAll = (pShowAll && pShowAll->IsTicked()) || !bDesktopKnown;
    for (int i = 0; i < pAdapter->m_Modes.Length(); ++i) {
        const D3DDISPLAYMODE& mode = pAdapter->m_Modes.GetAt(i);
        if (mode.Format != s.AdapterFormat) continue;
        const float fAspect = float(mode.Width) / float(mode.Height);
        if (bShowAll || std::fabs(fDesktopAspect - fAspect) < 0.05f) AddResolution(mode.Width, mode.Height);
    }
    ChooseData(KIT_SETTINGS_RESOLUTION,
               (UINT_PTR(pp.BackBufferHeight & 0xFFFF) << 16) | (pp.BackBufferWidth & 0xFFFF));
    HRESULT hr = ResolutionPicked();
    if (FAILED(hr)) return hr;

    Empty(KIT_SETTINGS_BACK_BUFFER_FORMAT);
    CKitCatalogDevice* pDevice = CurrentDevice();
    if (!pDevice) return E_FAIL;
    const bool bWindowed = WindowedChecked();
    bool bFound = false;
    for (int i = 0; i < pDevice->m_Combos.Length(); ++i) {
        const CKitCatalogCombo* pCombo = pDevice->m_Combos.GetAt(i);
        if ((pCombo->m_bWindowed != 0) == bWindowed && pCombo->m_AdapterFormat == s.AdapterFormat) {
            AddBackBufferFormat(pCombo->m_BackBufferFormat);
            bFound = true;
        }
    }
    ChooseData(KIT_SETTINGS_BACK_BUFFER_FORMAT, pp.BackBufferFormat);
    hr = BackBufferFormatPicked();
    // Without a combination the boxes below cannot be filled; that failure is
    // expected and must not keep the page from leaving a mode it cannot offer.
    if (FAILED(hr) && bFound) return hr;

    if (!bFound) {
        // This adapter format has no back buffer in the checked mode.
        m_Panel.SetControlActive(KIT_SETTINGS_WINDOWED, false);
        if (pp.Windowed) {
            CheckWindowed(false);
            if (FAILED(hr = WindowModePicked())) return hr;
        }
    }
    return S_OK;
}

HRESULT CD3DSettingsDlg::ResolutionPicked() {
    KitDeviceSetup& s = s_EditedSetup;
    D3DPRESENT_PARAMETERS& pp = s.PresentParams;
    const UINT_PTR data = ChosenData(KIT_SETTINGS_RESOLUTION);
    pp.BackBufferWidth = UINT(data & 0xFFFF);
    pp.BackBufferHeight = UINT((data >> 16) & 0xFFFF);

    CKitCatalogAdapter* pAdapter = CurrentAdapter();
    if (!pAdapter) return E_FAIL;
    const UINT nRememberedRate = pp.FullScreen_RefreshRateInHz;
    Empty(KIT_SETTINGS_REFRESH_RATE);
    for (int i = 0; i < pAdapter->m_Modes.Length(); ++i) {
        const D3DDISPLAYMODE& mode = pAdapter->m_Modes.GetAt(i);
        if (mode.Format == s.AdapterFormat && mode.Width == pp.BackBufferWidth &&
            mode.Height == pp.BackBufferHeight)
            AddRefreshRate(mode.RefreshRate);
    }
    ChooseData(KIT_SETTINGS_REFRESH_RATE, nRememberedRate);
    return RefreshRatePicked();
}

HRESULT CD3DSettingsDlg::RefreshRatePicked() {
    s_EditedSetup.PresentParams.FullScreen_RefreshRateInHz = UINT(ChosenData(KIT_SETTINGS_REFRESH_RATE));
    return S_OK;
}

HRESULT CD3DSettingsDlg::BackBufferFormatPicked() {
    KitDeviceSetup& s = s_EditedSetup;
    D3DPRESENT_PARAMETERS& pp = s.PresentParams;
    pp.BackBufferFormat = D3DFORMAT(ChosenData(KIT_SETTINGS_BACK_BUFFER_FORMAT));
    CKitCatalogDevice* pDevice = CurrentDevice();
    if (!pDevice) return E_FAIL;

    for (int i = 0; i < pDevice->m_Combos.Length(); ++i) {
        const CKitCatalogCombo* pCombo = pDevice->m_Combos.GetAt(i);
        if (pCombo->m_bWindowed != pp.Windowed || pCombo->m_AdapterFormat != s.AdapterFormat ||
            pCombo->m_BackBufferFormat != pp.BackBufferFormat)
            continue;
        Empty(KIT_SETTINGS_DEPTH_STENCIL);
        m_Panel.SetControlActive(KIT_SETTINGS_DEPTH_STENCIL, pp.EnableAutoDepthStencil == TRUE);
        if (pp.EnableAutoDepthStencil) {
            for (int j = 0; j < pCombo->m_DepthFormats.Length(); ++j)
                AddDepthFormat(pCombo->m_DepthFormats.GetAt(j));
            ChooseData(KIT_SETTINGS_DEPTH_STENCIL, pp.AutoDepthStencilFormat);
        } else {
            AddUnique(KIT_SETTINGS_DEPTH_STENCIL, L"(not used)", 0);
        }
    }
    HRESULT hr = DepthFormatPicked();
    if (FAILED(hr)) return hr;

    // Vertex processing: what the catalogue allows and the device can do.
    bool bSoftware = false, bHardware = false, bPure = false, bMixed = false;
    KitPrepareDeviceCatalog()->GetAllowedVertexProcessing(&bSoftware, &bHardware, &bPure, &bMixed);
    const DWORD devCaps = pDevice->m_Caps.DevCaps;
    const bool bHwTnL = (devCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0;
    Empty(KIT_SETTINGS_VERTEX_PROCESSING);
    if (bSoftware) AddVertexProcessing(D3DCREATE_SOFTWARE_VERTEXPROCESSING);
    if (bHardware && bHwTnL) AddVertexProcessing(D3DCREATE_HARDWARE_VERTEXPROCESSING);
    if (bPure && (devCaps & D3DDEVCAPS_PUREDEVICE)) AddVertexProcessing(D3DCREATE_PUREDEVICE);
    if (bMixed && bHwTnL) AddVertexProcessing(D3DCREATE_MIXED_VERTEXPROCESSING);
    const DWORD kinds[] = {D3DCREATE_PUREDEVICE, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                           D3DCREATE_HARDWARE_VERTEXPROCESSING, D3DCREATE_MIXED_VERTEXPROCESSING};
    for (DWORD kind : kinds) {
        if (s.BehaviorFlags & kind) {
            ChooseData(KIT_SETTINGS_VERTEX_PROCESSING, kind);
            break;
        }
    }
    if (FAILED(hr = VertexProcessingPicked())) return hr;

    Empty(KIT_SETTINGS_PRESENT_INTERVAL);
    AddPresentInterval(D3DPRESENT_INTERVAL_DEFAULT);
    AddPresentInterval(D3DPRESENT_INTERVAL_IMMEDIATE);
    ChooseData(KIT_SETTINGS_PRESENT_INTERVAL, pp.PresentationInterval);
    return PresentIntervalPicked();
}

HRESULT CD3DSettingsDlg::DepthFormatPicked() {
    KitDeviceSetup& s = s_EditedSetup;
    D3DPRESENT_PARAMETERS& pp = s.PresentParams;
    const D3DFORMAT depthFormat = D3DFORMAT(ChosenData(KIT_SETTINGS_DEPTH_STENCIL));
    if (pp.EnableAutoDepthStencil) pp.AutoDepthStencilFormat = depthFormat;

    CKitCatalogCombo* pCombo = CurrentCombo();
    if (!pCombo) return E_FAIL;
    Empty(KIT_SETTINGS_MULTISAMPLE_TYPE);
    for (int i = 0; i < pCombo->m_SampleTypes.Length(); ++i) {
        const D3DMULTISAMPLE_TYPE type = pCombo->m_SampleTypes.GetAt(i);
        bool bConflict = false;
        for (int j = 0; j < pCombo->m_Conflicts.Length(); ++j) {
            const CKitCatalogConflict& c = pCombo->m_Conflicts.GetAt(j);
            if (c.m_DepthFormat == depthFormat && c.m_SampleType == type) {
                bConflict = true;
                break;
            }
        }
        if (!bConflict) AddSampleType(type);
    }
    ChooseData(KIT_SETTINGS_MULTISAMPLE_TYPE, pp.MultiSampleType);
    return SampleTypePicked();
}

HRESULT CD3DSettingsDlg::SampleTypePicked() {
    D3DPRESENT_PARAMETERS& pp = s_EditedSetup.PresentParams;
    pp.MultiSampleType = D3DMULTISAMPLE_TYPE(ChosenData(KIT_SETTINGS_MULTISAMPLE_TYPE));
    CKitCatalogCombo* pCombo = CurrentCombo();
    if (!pCombo) return E_FAIL;

    DWORD nQualities = 0;
    for (int i = 0; i < pCombo->m_SampleTypes.Length(); ++i) {
        if (pCombo->m_SampleTypes.GetAt(i) == pp.MultiSampleType) {
            nQualities = pCombo->m_SampleQualities.GetAt(i);
            break;
        }
    }
    Empty(KIT_SETTINGS_MULTISAMPLE_QUALITY);
    for (DWORD level = 0; level < nQualities; ++level) AddSampleQuality(level);
    ChooseData(KIT_SETTINGS_MULTISAMPLE_QUALITY, pp.MultiSampleQuality);
    return SampleQualityPicked();
}

HRESULT CD3DSettingsDlg::SampleQualityPicked() {
    s_EditedSetup.PresentParams.MultiSampleQuality = DWORD(ChosenData(KIT_SETTINGS_MULTISAMPLE_QUALITY));
    return S_OK;
}

HRESULT CD3DSettingsDlg::VertexProcessingPicked() {
    DWORD flags = s_EditedSetup.BehaviorFlags & ~DWORD(0xF0);
    const DWORD kind = DWORD(ChosenData(KIT_SETTINGS_VERTEX_PROCESSING));
    flags |= kind & 0xF0;
    if (kind == D3DCREATE_PUREDEVICE) flags |= D3DCREATE_HARDWARE_VERTEXPROCESSING;
    s_EditedSetup.BehaviorFlags = flags;
    return S_OK;
}

HRESULT CD3DSettingsDlg::PresentIntervalPicked() {
    s_EditedSetup.PresentParams.PresentationInterval = UINT(ChosenData(KIT_SETTINGS_PRESENT_INTERVAL));
    return S_OK;
}

HRESULT CD3DSettingsDlg::DeviceClipPicked() {
    const CKitCheckBox* pClip = m_Panel.FindCheckBox(KIT_SETTINGS_DEVICECLIP);
    if (pClip && pClip->IsTicked())
        s_EditedSetup.PresentParams.Flags |= D3DPRESENTFLAG_DEVICECLIP;
    else
        s_EditedSetup.PresentParams.Flags &= ~DWORD(D3DPRESENTFLAG_DEVICECLIP);
    return S_OK;
}
