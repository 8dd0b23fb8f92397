// Getting the first device: from a request matched against the catalogue,
// from a complete settings record, or by adopting the application's device.
#include "common/kit/loop/kit_device_build.h"

#include <new>

#include "common/devicecatalog/device_catalog.h"
#include "common/kit/device/kit_apply.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/match/kit_device_rules.h"
#include "common/kit/state/kit_state.h"
#include "common/kit/window/kit_window_create.h"

namespace {

// Creates the default window unless one exists or creating it already failed.
HRESULT EnsureWindow() {
    CKitCoreState& s = KitCore();
    if (s.Get(&CKitCoreState::m_bWindowCreated)) return S_OK;
    if (s.Get(&CKitCoreState::m_bWindowCreateCalled)) return E_FAIL;
    return KitCreateWindow(L"Direct3D Window", nullptr, nullptr, nullptr, CW_USEDEFAULT, CW_USEDEFAULT);
}

}  // namespace

HRESULT KitBuildDevice(UINT AdapterOrdinal, bool bWindowed, int nSuggestedWidth, int nSuggestedHeight,
                       KitAcceptDeviceFn pfnAcceptDevice, KitModifySetupFn pfnModifySetup,
                       void* pUserContext) {
    CKitCoreState& s = KitCore();
    if (s.Get(&CKitCoreState::m_bInsideDeviceCallback))
        return KIT_LOG_FAILURE_POPUP(L"KitCreateWindow", E_FAIL);

    {
        KitStateLock lock;
        s.m_pfnAcceptDevice = pfnAcceptDevice;
        s.m_pAcceptDeviceContext = pUserContext;
        s.m_pfnModifySetup = pfnModifySetup;
        s.m_pModifySetupContext = pUserContext;
        s.m_bDeviceCreateCalled = true;
    }

    HRESULT hr = EnsureWindow();
    if (FAILED(hr)) return hr;

    KitPrepareDeviceCatalog(true);

    KitSettingsRules rules = KitRulesAll(KITRULE_ANY);
    rules.ruleAdapter = KITRULE_KEEP;
    rules.ruleWindowed = KITRULE_KEEP;
    rules.ruleResolution =
        (bWindowed || (nSuggestedWidth != 0 && nSuggestedHeight != 0)) ? KITRULE_NEAREST : KITRULE_ANY;

    KitDeviceSetup request{};
    request.AdapterOrdinal = AdapterOrdinal;
    request.PresentParams.Windowed = bWindowed;
    request.PresentParams.BackBufferWidth = static_cast<UINT>(nSuggestedWidth);
    request.PresentParams.BackBufferHeight = static_cast<UINT>(nSuggestedHeight);

    // The command line wins over the application's request.
    {
        KitStateLock lock;
        if (s.m_nOverrideWidth != 0)
            request.PresentParams.BackBufferWidth = static_cast<UINT>(s.m_nOverrideWidth);
        if (s.m_nOverrideHeight != 0)
            request.PresentParams.BackBufferHeight = static_cast<UINT>(s.m_nOverrideHeight);
        if (s.m_nOverrideAdapter != -1) request.AdapterOrdinal = static_cast<UINT>(s.m_nOverrideAdapter);
        if (s.m_bOverrideFullScreen) {
            request.PresentParams.Windowed = FALSE;
            if (s.m_nOverrideWidth == 0 && s.m_nOverrideHeight == 0) rules.ruleResolution = KITRULE_ANY;
        }
        if (s.m_bOverrideWindowed) request.PresentParams.Windowed = TRUE;
        if (s.m_bOverrideForceHAL) {
            request.DeviceType = D3DDEVTYPE_HAL;
            rules.ruleDeviceType = KITRULE_KEEP;
        }
        if (s.m_bOverrideForceREF) {
            request.DeviceType = D3DDEVTYPE_REF;
            rules.ruleDeviceType = KITRULE_KEEP;
        }
        if (s.m_bOverrideForcePureHWVP) {
            request.BehaviorFlags = D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE;
            rules.ruleVertexProcessing = KITRULE_KEEP;
        } else if (s.m_bOverrideForceHWVP) {
            request.BehaviorFlags = D3DCREATE_HARDWARE_VERTEXPROCESSING;
            rules.ruleVertexProcessing = KITRULE_KEEP;
        } else if (s.m_bOverrideForceSWVP) {
            request.BehaviorFlags = D3DCREATE_SOFTWARE_VERTEXPROCESSING;
            rules.ruleVertexProcessing = KITRULE_KEEP;
        }
        if (s.m_nOverrideForceVsync == 0) {
            request.PresentParams.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
            rules.rulePresentInterval = KITRULE_KEEP;
        } else if (s.m_nOverrideForceVsync == 1) {
            request.PresentParams.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
            rules.rulePresentInterval = KITRULE_KEEP;
        }
    }

    KitDeviceSetup matched;
    hr = KitFindValidDeviceSettings(&matched, &request, &rules);
    if (FAILED(hr)) {
        KitShowErrorMessage(hr);
        return KIT_LOG_FAILURE(L"KitFindValidDeviceSettings", hr);
    }

    hr = KitApplyDeviceSetup(&matched, nullptr, false, true);
    return FAILED(hr) ? hr : S_OK;
}

HRESULT KitBuildDeviceFromSetup(KitDeviceSetup* pSetup, bool bUseAsIs, bool bClipWindowToAdapter) {
    CKitCoreState& s = KitCore();
    if (pSetup == nullptr) return KIT_LOG_FAILURE_POPUP(L"KitBuildDeviceFromSetup", E_INVALIDARG);
    s.Set(&CKitCoreState::m_bDeviceCreateCalled, true);

    HRESULT hr = EnsureWindow();
    if (FAILED(hr)) return hr;

    if (!bUseAsIs) {
        KitSettingsRules rules = KitRulesAll(KITRULE_NEAREST);
        KitDeviceSetup request = *pSetup;
        hr = KitFindValidDeviceSettings(pSetup, &request, &rules);
        if (FAILED(hr)) {
            KitShowErrorMessage(hr);
            return KIT_LOG_FAILURE(L"KitFindValidDeviceSettings", hr);
        }
    }

    hr = KitApplyDeviceSetup(pSetup, nullptr, false, bClipWindowToAdapter);
    return FAILED(hr) ? hr : S_OK;
}

HRESULT KitSetDevice(IDirect3DDevice9* pd3dDevice) {
    CKitCoreState& s = KitCore();
    if (pd3dDevice == nullptr) return KIT_LOG_FAILURE_POPUP(L"KitSetDevice", E_INVALIDARG);
    if (s.Get(&CKitCoreState::m_bInsideDeviceCallback))
        return KIT_LOG_FAILURE_POPUP(L"KitCreateWindow", E_FAIL);

    s.Set(&CKitCoreState::m_bDeviceCreateCalled, true);
    HRESULT hr = EnsureWindow();
    if (FAILED(hr)) return hr;

    KitDeviceSetup* pSetup = new (std::nothrow) KitDeviceSetup{};
    if (pSetup == nullptr) return E_OUTOFMEMORY;

    IDirect3DSurface9* pBackBuffer = nullptr;
    if (SUCCEEDED(pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer))) {
        IDirect3DSwapChain9* pSwapChain = nullptr;
        if (SUCCEEDED(
                pBackBuffer->GetContainer(IID_IDirect3DSwapChain9, reinterpret_cast<void**>(&pSwapChain)))) {
            pSwapChain->GetPresentParameters(&pSetup->PresentParams);
            pSwapChain->Release();
        }
        pBackBuffer->Release();
    }

    D3DDEVICE_CREATION_PARAMETERS creation{};
    pd3dDevice->GetCreationParameters(&creation);
    pSetup->AdapterOrdinal = creation.AdapterOrdinal;
    pSetup->DeviceType = creation.DeviceType;
    pSetup->BehaviorFlags = creation.BehaviorFlags;
    KitLookUpAdapterFormat(pSetup->AdapterOrdinal, pSetup->DeviceType, pSetup->PresentParams.BackBufferFormat,
                           pSetup->PresentParams.Windowed, &pSetup->AdapterFormat);

    hr = KitApplyDeviceSetup(pSetup, pd3dDevice, false, false);
    delete pSetup;
    return FAILED(hr) ? hr : S_OK;
}
