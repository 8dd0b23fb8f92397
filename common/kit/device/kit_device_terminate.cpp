// Terminating the framework: the window, the device, the accessibility keys
// and the Direct3D object, in that order.
#include "common/kit/device/kit_device_terminate.h"

#include "common/kit/device/kit_device_env.h"
#include "common/kit/startup/kit_accessibility_keys.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"

namespace {

// The state's exit action terminates through this layer (the state sits below it).
[[maybe_unused]] const bool g_bExitTerminationSet = (KitSetExitTermination(&KitTerminate), true);

}  // namespace

void KitTerminate(int nExitCode) {
    CKitCoreState& s = KitCore();
    HWND hWnd = KitActiveWindow();
    if (hWnd != nullptr) SendMessageW(hWnd, WM_CLOSE, 0, 0);

    // Terminating "normally" after a failure was reported keeps the failure's code.
    if (nExitCode != 0 || s.Get(&CKitCoreState::m_nExitCode) == 0)
        s.Set(&CKitCoreState::m_nExitCode, nExitCode);

    KitCleanup3DEnvironment(true);
    KitAllowAccessibilityKeys(true);
    s.Set(&CKitCoreState::m_pCatalog, nullptr);

    IDirect3D9* pD3D = KitGetD3DObject();
    if (pD3D != nullptr) {
        pD3D->Release();
        s.Set(&CKitCoreState::m_pD3DObject, nullptr);
    }
    // The media-centre relaunch switch is accepted but has nothing to start on this platform.
}
