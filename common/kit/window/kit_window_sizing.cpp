// Window size and monitor changes: WM_SIZE, the back buffer following the
// client area, and the device following the window to another adapter.
#include "common/kit/window/kit_window_sizing.h"

#include "common/devicecatalog/device_catalog.h"
#include "common/kit/base/kit_window_devices.h"
#include "common/kit/device/kit_apply.h"
#include "common/kit/device/kit_device_terminate.h"
#include "common/kit/match/kit_device_rules.h"
#include "common/kit/match/kit_match.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"
#include "common/kit/time/kit_timers.h"

namespace {

void CheckSizeAndMonitor() {
    KitCheckClientSize();
    KitCheckWindowMonitor();
}

}  // namespace

void KitHandleSizeMessage(WPARAM wParam) {
    CKitCoreState& s = KitCore();
    if (wParam == SIZE_MINIMIZED) {
        KitSuspend(true, true);
        KitStateLock lock;
        s.m_bMinimized = true;
        s.m_bMaximized = false;
        return;
    }

    // A restore that arrives while the window is really minimised.
    RECT rcClient = KitClientRect();
    if (rcClient.top == 0 && rcClient.bottom == 0) return;

    if (wParam == SIZE_MAXIMIZED) {
        if (s.Get(&CKitCoreState::m_bMinimized)) KitSuspend(false, false);
        s.Set(&CKitCoreState::m_bMinimized, false);
        s.Set(&CKitCoreState::m_bMaximized, true);
        CheckSizeAndMonitor();
    } else if (wParam == SIZE_RESTORED) {
        if (s.Get(&CKitCoreState::m_bMaximized)) {
            s.Set(&CKitCoreState::m_bMaximized, false);
            CheckSizeAndMonitor();
        } else if (s.Get(&CKitCoreState::m_bMinimized)) {
            KitSuspend(false, false);
            s.Set(&CKitCoreState::m_bMinimized, false);
            CheckSizeAndMonitor();
        } else if (s.Get(&CKitCoreState::m_bInSizeMove)) {
            // WM_EXITSIZEMOVE checks once the drag ends.
        } else {
            CheckSizeAndMonitor();
        }
    }
}

void KitCheckClientSize() {
    CKitCoreState& s = KitCore();
    if (s.Get(&CKitCoreState::m_bIgnoreSizeChange) || KitCurrentDevice() == nullptr || !KitInWindowedMode())
        return;

    RECT rcClient = KitClientRect();
    D3DPRESENT_PARAMETERS pp = KitCurrentPresentParams();
    if (static_cast<UINT>(rcClient.right) == pp.BackBufferWidth &&
        static_cast<UINT>(rcClient.bottom) == pp.BackBufferHeight)
        return;

    KitDeviceSetup setup = KitCurrentSetup();
    setup.PresentParams.BackBufferWidth = 0;
    setup.PresentParams.BackBufferHeight = 0;
    KitApplyDeviceSetup(&setup, nullptr, false, false);
}

HRESULT KitAdapterOfMonitor(HMONITOR hMonitor, UINT* pAdapterOrdinal) {
    IDirect3D9* pD3D = KitGetD3DObject();
    if (pD3D == nullptr || pAdapterOrdinal == nullptr) return E_FAIL;
    CGrowableArray<CKitCatalogAdapter*>* pAdapters = KitPrepareDeviceCatalog()->GetAdapters();
    for (int i = 0; i < pAdapters->Length(); ++i) {
        CKitCatalogAdapter* pAdapter = pAdapters->GetAt(i);
        if (pD3D->GetAdapterMonitor(pAdapter->m_nOrdinal) == hMonitor) {
            *pAdapterOrdinal = pAdapter->m_nOrdinal;
            return S_OK;
        }
    }
    return E_FAIL;
}

void KitCheckWindowMonitor() {
    CKitCoreState& s = KitCore();
    if (!s.Get(&CKitCoreState::m_bFollowMonitor) || s.Get(&CKitCoreState::m_bIgnoreSizeChange) ||
        KitCurrentDevice() == nullptr || !KitInWindowedMode())
        return;

    HMONITOR hWindowMonitor = KitMonitorFromWindow(KitActiveWindow(), MONITOR_DEFAULTTOPRIMARY);
    if (hWindowMonitor == s.Get(&CKitCoreState::m_hAdapterMonitor)) return;

    UINT nAdapterOrdinal;
    if (FAILED(KitAdapterOfMonitor(hWindowMonitor, &nAdapterOrdinal))) return;

    KitDeviceSetup setup = KitCurrentSetup();
    setup.AdapterOrdinal = nAdapterOrdinal;
    KitSettingsRules rules = KitRulesAll(KITRULE_NEAREST);
    rules.ruleAdapter = KITRULE_KEEP;
    KitDeviceSetup request = setup;
    if (FAILED(KitFindValidDeviceSettings(&setup, &request, &rules))) return;

    HRESULT hr = KitApplyDeviceSetup(&setup, nullptr, false, false);
    if (hr == E_ABORT) {
        // The application refused the other adapter: stop following.
        s.Set(&CKitCoreState::m_bFollowMonitor, false);
    } else if (FAILED(hr)) {
        KitTerminate(0);
        KitSuspend(false, false);
    }
}
