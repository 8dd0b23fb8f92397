// KitApplyDeviceSetup: the one place where devices change. The application
// may veto or edit the settings; the windows are prepared; the device is
// reset when only the presentation changes and recreated otherwise; then the
// window is fitted to the back buffer and shown.
#include "common/kit/device/kit_apply.h"

#include <new>

#include "common/kit/device/kit_apply_window.h"
#include "common/kit/device/kit_device_env.h"
#include "common/kit/device/kit_device_terminate.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/startup/kit_accessibility_keys.h"
#include "common/kit/startup/kit_commandline.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"
#include "common/kit/time/kit_settings_stats.h"
#include "common/kit/time/kit_timers.h"

namespace {

bool IsWindowed(const KitDeviceSetup* pSetup) {
    return pSetup != nullptr && pSetup->PresentParams.Windowed != 0;
}

// Undoes the pause and the size-change guard a device change sets up.
void EndChange() {
    KitCore().Set(&CKitCoreState::m_bIgnoreSizeChange, false);
    KitSuspend(false, false);
}

// Makes a record the current settings, freeing the one it replaces.
void ReplaceCurrentSetup(KitDeviceSetup* pSetup) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    if (s.m_pCurrentSetup != pSetup) delete s.m_pCurrentSetup;
    s.m_pCurrentSetup = pSetup;
}

// Whether the change needs a new device rather than a reset of the current one.
bool NeedsRecreate(const KitDeviceSetup* pOld, const KitDeviceSetup* pNext,
                   IDirect3DDevice9* pd3dDeviceFromApp, bool bForceRecreate) {
    IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
    return bForceRecreate || (pd3dDeviceFromApp != nullptr && pd3dDeviceFromApp != pd3dDevice) ||
           pd3dDevice == nullptr || pOld == nullptr || pOld->AdapterOrdinal != pNext->AdapterOrdinal ||
           pOld->DeviceType != pNext->DeviceType || pOld->BehaviorFlags != pNext->BehaviorFlags;
}

// The command line applies to the very first device. The size stays as
// matching chose it when full screen: only real display modes can be used.
void ApplyFirstDeviceOverrides(KitDeviceSetup* pNext) {
    UINT nWidth = pNext->PresentParams.BackBufferWidth;
    UINT nHeight = pNext->PresentParams.BackBufferHeight;
    KitApplyCommandLineOverrides(pNext);
    if (!IsWindowed(pNext)) {
        pNext->PresentParams.BackBufferWidth = nWidth;
        pNext->PresentParams.BackBufferHeight = nHeight;
    }
}

// The application's modify callback may veto or edit the record: S_OK goes
// on, E_ABORT is a veto (reported when there is no device yet), S_FALSE means
// the callback terminated the framework.
HRESULT LetApplicationModify(KitDeviceSetup* pNext, bool bHadOld) {
    CKitCoreState& s = KitCore();
    KitModifySetupFn pfnModify = s.Get(&CKitCoreState::m_pfnModifySetup);
    if (pfnModify == nullptr) return S_OK;
    D3DCAPS9 caps{};
    KitGetD3DObject()->GetDeviceCaps(pNext->AdapterOrdinal, pNext->DeviceType, &caps);
    if (!pfnModify(pNext, &caps, s.Get(&CKitCoreState::m_pModifySetupContext))) {
        if (!bHadOld) KitShowErrorMessage(KITERR_NOCOMPATIBLEDEVICES);
        return E_ABORT;
    }
    return KitGetD3DObject() == nullptr ? S_FALSE : S_OK;
}

// Recreates the device, or resets it when only the presentation changes.
// Returns true when the change goes on; false when it ended here, with *phr
// what KitApplyDeviceSetup returns (pOld is then released).
bool RecreateOrReset(const KitDeviceSetup* pNewSetup, KitDeviceSetup* pOld, KitDeviceSetup* pNext,
                     IDirect3DDevice9* pd3dDeviceFromApp, bool bForceRecreate, bool bClipWindowToAdapter,
                     HRESULT* phr) {
    CKitCoreState& s = KitCore();
    if (NeedsRecreate(pOld, pNext, pd3dDeviceFromApp, bForceRecreate)) {
        if (pOld != nullptr) KitCleanup3DEnvironment(false);
        HRESULT hr = KitOpen3DEnvironment(pd3dDeviceFromApp);
        if (SUCCEEDED(hr)) return true;
        delete pOld;
        KitCleanup3DEnvironment(true);
        KitShowErrorMessage(hr);
        EndChange();
        *phr = hr;
        return false;
    }
    HRESULT hr = KitRestore3DEnvironment();
    if (hr == D3DERR_DEVICELOST) {
        // The frame loop finishes the change once the device can be reset.
        s.Set(&CKitCoreState::m_bDeviceLost, true);
        return true;
    }
    if (hr == KITERR_RESETTINGDEVICEOBJECTS || hr == KITERR_MEDIANOTFOUND) {
        delete pOld;
        KitShowErrorMessage(hr);
        EndChange();
        KitTerminate(0);
        *phr = hr;
        return false;
    }
    if (FAILED(hr)) {
        // The reset failed: recreate from the requested settings, starting
        // again from the old ones.
        ReplaceCurrentSetup(pOld);
        hr = KitApplyDeviceSetup(pNewSetup, pd3dDeviceFromApp, true, bClipWindowToAdapter);
        EndChange();
        if (FAILED(hr)) {
            KitTerminate(0);
            *phr = KITERR_CREATINGDEVICE;
        } else {
            *phr = S_OK;
        }
        return false;
    }
    return true;
}

// Set while the back buffer takes the client size of a window that the work
// area limited: that change does not fit the window again. On a screen smaller
// than a window's frame no back buffer matches the client area, and fitting
// again would never end.
bool g_bTakingClientSize = false;

// A windowed device's window takes the back buffer's size; when the work area
// limited it, the back buffer takes the window's client size instead.
HRESULT FitWindowToBackBuffer(const KitDeviceSetup* pNext, bool bClipWindowToAdapter) {
    if (g_bTakingClientSize || !IsWindowed(pNext) ||
        (pNext->PresentParams.BackBufferWidth == 0 && pNext->PresentParams.BackBufferHeight == 0) ||
        !KitWindowNeedsResize(pNext, bClipWindowToAdapter))
        return S_OK;
    KitResizeWindowForBackBuffer(pNext, bClipWindowToAdapter);

    RECT rcClient;
    GetClientRect(KitWindowedWindow(), &rcClient);
    KitDeviceSetup current = KitCurrentSetup();
    if (static_cast<UINT>(rcClient.right) == current.PresentParams.BackBufferWidth &&
        static_cast<UINT>(rcClient.bottom) == current.PresentParams.BackBufferHeight)
        return S_OK;
    // The window was limited to the work area: the back buffer takes its client size.
    current.PresentParams.BackBufferWidth = 0;
    current.PresentParams.BackBufferHeight = 0;
    g_bTakingClientSize = true;
    HRESULT hr = KitApplyDeviceSetup(&current, nullptr, false, bClipWindowToAdapter);
    g_bTakingClientSize = false;
    return hr;
}

}  // namespace

HRESULT KitApplyDeviceSetup(const KitDeviceSetup* pNewSetup, IDirect3DDevice9* pd3dDeviceFromApp,
                            bool bForceRecreate, bool bClipWindowToAdapter) {
    CKitCoreState& s = KitCore();
    IDirect3D9* pD3D = KitGetD3DObject();
    if (pD3D == nullptr) return S_FALSE;
    if (pNewSetup == nullptr) return E_INVALIDARG;

    KitDeviceSetup* pNext = new (std::nothrow) KitDeviceSetup(*pNewSetup);
    if (pNext == nullptr) return E_OUTOFMEMORY;

    bool bHadOld = s.Get(&CKitCoreState::m_pCurrentSetup) != nullptr;
    HRESULT hrModify = LetApplicationModify(pNext, bHadOld);
    if (hrModify != S_OK) {
        delete pNext;
        return hrModify;
    }

    // From here this function owns the old record; the state owns pNext.
    KitDeviceSetup* pOld;
    {
        KitStateLock lock;
        pOld = s.m_pCurrentSetup;
        s.m_pCurrentSetup = pNext;
    }

    KitSuspend(true, true);
    s.Set(&CKitCoreState::m_bIgnoreSizeChange, true);
    KitSetStateLocking((pNext->BehaviorFlags & D3DCREATE_MULTITHREADED) != 0);

    if (pd3dDeviceFromApp == nullptr && pOld == nullptr) ApplyFirstDeviceOverrides(pNext);

    KitPrepareWindowsForSetup(pOld, pNext);

    HRESULT hrEnded = S_OK;
    if (!RecreateOrReset(pNewSetup, pOld, pNext, pd3dDeviceFromApp, bForceRecreate, bClipWindowToAdapter,
                         &hrEnded))
        return hrEnded;

    KitAllowAccessibilityKeys(IsWindowed(pNext) ? s.Get(&CKitCoreState::m_bAllowKeysWindowed)
                                                : s.Get(&CKitCoreState::m_bAllowKeysFullScreen));

    s.Set(&CKitCoreState::m_hAdapterMonitor, pD3D->GetAdapterMonitor(pNext->AdapterOrdinal));
    KitComposeStaticStats();

    if (pOld != nullptr && !IsWindowed(pOld) && IsWindowed(pNext)) KitRestoreWindowedPlacement();

    HRESULT hr = FitWindowToBackBuffer(pNext, bClipWindowToAdapter);
    if (FAILED(hr)) {
        delete pOld;
        KitCleanup3DEnvironment(true);
        EndChange();
        return hr;
    }

    HWND hWndActive = KitActiveWindow();
    if (!IsWindowVisible(hWndActive)) ShowWindow(hWndActive, SW_SHOW);

    delete pOld;
    EndChange();
    s.Set(&CKitCoreState::m_bDeviceCreated, true);
    return S_OK;
}
