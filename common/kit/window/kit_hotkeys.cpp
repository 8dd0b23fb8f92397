// The default hot keys: Escape closes, Pause freezes time, F3 switches to the
// reference device and back, F8 toggles wireframe.
#include "common/kit/window/kit_hotkeys.h"

#include "common/kit/device/kit_device_flip.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"
#include "common/kit/time/kit_timers.h"

void KitHandleHotkey(HWND hWnd, WPARAM wParam) {
    CKitCoreState& s = KitCore();
    switch (wParam) {
        case VK_ESCAPE:
            SendMessageW(hWnd, WM_CLOSE, 0, 0);
            break;
        case VK_PAUSE:
            if (!s.Get(&CKitCoreState::m_bTimePaused))
                KitSuspend(true, false);
            else
                KitSuspend(false, false);
            break;
        case VK_F3:
            KitSuspend(true, true);
            KitFlipReferenceDevice();
            KitSuspend(false, false);
            break;
        case VK_F8: {
            bool bWireframe = !s.Get(&CKitCoreState::m_bWireframe);
            s.Set(&CKitCoreState::m_bWireframe, bWireframe);
            IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
            if (pd3dDevice != nullptr)
                pd3dDevice->SetRenderState(D3DRS_FILLMODE, bWireframe ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
            break;
        }
        default:
            break;
    }
}
