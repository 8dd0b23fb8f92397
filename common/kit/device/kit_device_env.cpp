// Creating, resetting and releasing the device itself, with the application's
// device callbacks and the resource cache in their fixed order: created,
// reset, then (lost, reset) pairs, then lost and destroyed.
#include "common/kit/device/kit_device_env.h"

#include "common/devicecatalog/device_catalog.h"
#include "common/kit/device/kit_cursor.h"
#include "common/kit/device/kit_device_cache.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"
#include "common/kit/time/kit_settings_stats.h"

namespace {

// A new or reset device starts with solid fill: F8's wireframe is put back.
void ApplyFillMode(IDirect3DDevice9* pd3dDevice) {
    if (KitCore().Get(&CKitCoreState::m_bWireframe))
        pd3dDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
}

// The runtime fills in what the settings left open (a windowed 0 x 0 back
// buffer, a back-buffer count of 0): the current settings keep those values.
void StorePresentParams(const D3DPRESENT_PARAMETERS& pp) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    if (s.m_pCurrentSetup != nullptr) s.m_pCurrentSetup->PresentParams = pp;
}

// The framework code a failed created or reset callback turns into.
HRESULT CallbackFailure(HRESULT hr, HRESULT hrOther) { return hr == KITERR_MEDIANOTFOUND ? hr : hrOther; }

HRESULT CallDeviceCreated(IDirect3DDevice9* pd3dDevice) {
    CKitCoreState& s = KitCore();
    KitDeviceCreatedFn pfn = s.Get(&CKitCoreState::m_pfnDeviceCreated);
    void* pContext = s.Get(&CKitCoreState::m_pDeviceCreatedContext);
    D3DSURFACE_DESC desc = *KitGetBackBufferSurfaceDesc();
    s.Set(&CKitCoreState::m_bInsideDeviceCallback, true);
    HRESULT hr = pfn != nullptr ? pfn(pd3dDevice, &desc, pContext) : S_OK;
    s.Set(&CKitCoreState::m_bInsideDeviceCallback, false);
    return hr;
}

HRESULT CallDeviceReset(IDirect3DDevice9* pd3dDevice) {
    CKitCoreState& s = KitCore();
    KitDeviceResetFn pfn = s.Get(&CKitCoreState::m_pfnDeviceReset);
    void* pContext = s.Get(&CKitCoreState::m_pDeviceResetContext);
    D3DSURFACE_DESC desc = *KitGetBackBufferSurfaceDesc();
    s.Set(&CKitCoreState::m_bInsideDeviceCallback, true);
    HRESULT hr = pfn != nullptr ? pfn(pd3dDevice, &desc, pContext) : S_OK;
    s.Set(&CKitCoreState::m_bInsideDeviceCallback, false);
    return hr;
}

// The device-lost callback; the caller decides about the flags around it.
void CallDeviceLost() {
    CKitCoreState& s = KitCore();
    KitDeviceLostFn pfn = s.Get(&CKitCoreState::m_pfnDeviceLost);
    if (pfn != nullptr) pfn(s.Get(&CKitCoreState::m_pDeviceLostContext));
}

void CallDeviceDestroyed() {
    CKitCoreState& s = KitCore();
    KitDeviceDestroyedFn pfn = s.Get(&CKitCoreState::m_pfnDeviceDestroyed);
    if (pfn != nullptr) pfn(s.Get(&CKitCoreState::m_pDeviceDestroyedContext));
}

}  // namespace

void KitRefreshBackBufferDesc() {
    CKitCoreState& s = KitCore();
    s.Set(&CKitCoreState::m_BackBufferDesc, D3DSURFACE_DESC{});
    IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
    if (pd3dDevice == nullptr) return;
    IDirect3DSurface9* pBackBuffer = nullptr;
    if (SUCCEEDED(pd3dDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer))) {
        D3DSURFACE_DESC desc{};
        pBackBuffer->GetDesc(&desc);
        s.Set(&CKitCoreState::m_BackBufferDesc, desc);
        pBackBuffer->Release();
    }
}

HRESULT KitOpen3DEnvironment(IDirect3DDevice9* pd3dDeviceFromApp) {
    CKitCoreState& s = KitCore();
    KitDeviceSetup setup = KitCurrentSetup();
    IDirect3DDevice9* pd3dDevice = nullptr;
    if (pd3dDeviceFromApp != nullptr) {
        pd3dDeviceFromApp->AddRef();
        pd3dDevice = pd3dDeviceFromApp;
    } else {
        IDirect3D9* pD3D = KitGetD3DObject();
        HRESULT hr = pD3D->CreateDevice(setup.AdapterOrdinal, setup.DeviceType, KitFocusWindow(),
                                        setup.BehaviorFlags, &setup.PresentParams, &pd3dDevice);
        if (hr == D3DERR_DEVICELOST) {
            // Not a failure: the frame loop creates the device once it can.
            s.Set(&CKitCoreState::m_bDeviceLost, true);
            return S_OK;
        }
        if (FAILED(hr)) {
            KIT_LOG_FAILURE(L"CreateDevice", hr);
            return KITERR_CREATINGDEVICE;
        }
        StorePresentParams(setup.PresentParams);
    }
    s.Set(&CKitCoreState::m_pD3D9Device, pd3dDevice);

    int nExitCode = KitProcessExitCode();
    if (setup.DeviceType == D3DDEVTYPE_REF && nExitCode == 0)
        s.Set(&CKitCoreState::m_nExitCode, 11);
    else if (setup.DeviceType == D3DDEVTYPE_HAL && nExitCode == 11)
        s.Set(&CKitCoreState::m_nExitCode, 0);

    KitRefreshBackBufferDesc();
    KitApplyCursorPolicy();
    ApplyFillMode(pd3dDevice);
    D3DCAPS9 caps{};
    pd3dDevice->GetDeviceCaps(&caps);
    s.Set(&CKitCoreState::m_DeviceCaps, caps);

    CKitCatalogAdapter* pAdapter = KitPrepareDeviceCatalog()->FindAdapter(setup.AdapterOrdinal);
    KitComposeDeviceStats(setup.DeviceType, setup.BehaviorFlags,
                          pAdapter != nullptr ? &pAdapter->m_Identifier : nullptr);

    HRESULT hr = KitCacheOnCreateDevice(pd3dDevice);
    if (FAILED(hr)) {
        KIT_LOG_FAILURE(L"OnCreateDevice", hr);
        return CallbackFailure(hr, KITERR_CREATINGDEVICEOBJECTS);
    }

    hr = CallDeviceCreated(pd3dDevice);
    if (KitCurrentDevice() == nullptr) return E_FAIL;
    if (FAILED(hr)) {
        KIT_LOG_FAILURE(L"DeviceCreated callback", hr);
        return CallbackFailure(hr, KITERR_CREATINGDEVICEOBJECTS);
    }
    s.Set(&CKitCoreState::m_bDeviceObjectsCreated, true);

    hr = KitCacheOnResetDevice(pd3dDevice);
    if (FAILED(hr)) {
        KIT_LOG_FAILURE(L"OnResetDevice", hr);
        return KITERR_RESETTINGDEVICEOBJECTS;
    }

    hr = CallDeviceReset(pd3dDevice);
    if (KitCurrentDevice() == nullptr) return E_FAIL;
    if (FAILED(hr)) {
        KIT_LOG_FAILURE(L"DeviceReset callback", hr);
        return CallbackFailure(hr, KITERR_RESETTINGDEVICEOBJECTS);
    }
    s.Set(&CKitCoreState::m_bDeviceObjectsReset, true);
    return S_OK;
}

HRESULT KitRestore3DEnvironment() {
    CKitCoreState& s = KitCore();
    IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
    if (pd3dDevice == nullptr) return E_FAIL;

    if (s.Get(&CKitCoreState::m_bDeviceObjectsReset)) {
        s.Set(&CKitCoreState::m_bInsideDeviceCallback, true);
        CallDeviceLost();
        s.Set(&CKitCoreState::m_bDeviceObjectsReset, false);
        s.Set(&CKitCoreState::m_bInsideDeviceCallback, false);
        KitCacheOnDeviceLost();
    }

    D3DPRESENT_PARAMETERS pp = KitCurrentPresentParams();
    HRESULT hr = pd3dDevice->Reset(&pp);
    if (hr == D3DERR_DEVICELOST) return hr;
    if (FAILED(hr)) {
        KIT_LOG_FAILURE(L"Reset", hr);
        return KITERR_RESETTINGDEVICE;
    }
    StorePresentParams(pp);

    KitRefreshBackBufferDesc();
    KitApplyCursorPolicy();
    ApplyFillMode(pd3dDevice);

    hr = KitCacheOnResetDevice(pd3dDevice);
    if (FAILED(hr)) {
        KIT_LOG_FAILURE(L"OnResetDevice", hr);
        return KITERR_RESETTINGDEVICEOBJECTS;
    }

    hr = CallDeviceReset(pd3dDevice);
    if (SUCCEEDED(hr)) {
        s.Set(&CKitCoreState::m_bDeviceObjectsReset, true);
        return S_OK;
    }
    KIT_LOG_FAILURE(L"DeviceResetCallback", hr);
    // Whatever the reset callback made before it failed is given back.
    s.Set(&CKitCoreState::m_bInsideDeviceCallback, true);
    CallDeviceLost();
    s.Set(&CKitCoreState::m_bInsideDeviceCallback, false);
    KitCacheOnDeviceLost();
    return CallbackFailure(hr, KITERR_RESETTINGDEVICEOBJECTS);
}

void KitCleanup3DEnvironment(bool bReleaseSettings) {
    CKitCoreState& s = KitCore();
    IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
    if (pd3dDevice == nullptr) return;

    s.Set(&CKitCoreState::m_bInsideDeviceCallback, true);
    if (s.Get(&CKitCoreState::m_bDeviceObjectsReset)) {
        CallDeviceLost();
        s.Set(&CKitCoreState::m_bDeviceObjectsReset, false);
        KitCacheOnDeviceLost();
    }
    if (s.Get(&CKitCoreState::m_bDeviceObjectsCreated)) {
        CallDeviceDestroyed();
        s.Set(&CKitCoreState::m_bDeviceObjectsCreated, false);
        KitCacheOnDeviceDestroyed();
    }
    s.Set(&CKitCoreState::m_bInsideDeviceCallback, false);

    ULONG nReferences = pd3dDevice->Release();
    if (nReferences > 0) {
        KitShowErrorMessage(KITERR_NONZEROREFCOUNT);
        KIT_LOG_FAILURE(L"KitCleanup3DEnvironment", KITERR_NONZEROREFCOUNT);
    }
    s.Set(&CKitCoreState::m_pD3D9Device, nullptr);

    {
        KitStateLock lock;
        if (bReleaseSettings) {
            delete s.m_pCurrentSetup;
            s.m_pCurrentSetup = nullptr;
        }
        s.m_BackBufferDesc = D3DSURFACE_DESC{};
        s.m_DeviceCaps = D3DCAPS9{};
        s.m_bDeviceCreated = false;
    }
}
