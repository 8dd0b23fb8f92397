// One idle-time frame: lost-device recovery, time, statistics, timers, the
// frame-move and frame-render callbacks, Present, and quit-after-frame.
#include "common/kit/loop/kit_frame.h"

#include <cassert>

#include "common/kit/base/kit_clock.h"
#include "common/kit/device/kit_apply.h"
#include "common/kit/device/kit_device_env.h"
#include "common/kit/device/kit_device_flip.h"
#include "common/kit/device/kit_device_terminate.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/match/kit_device_rules.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"
#include "common/kit/time/kit_frame_stats.h"
#include "common/kit/time/kit_timers.h"

namespace {

// The desktop format changed under a windowed device: move to settings that suit it.
void FollowDesktopFormat(D3DFORMAT desktopFormat) {
    KitDeviceSetup setup = KitCurrentSetup();
    setup.AdapterFormat = desktopFormat;
    KitSettingsRules rules = KitRulesAll(KITRULE_NEAREST);
    rules.ruleAdapter = rules.ruleDeviceType = rules.ruleWindowed = rules.ruleAdapterFormat = KITRULE_KEEP;
    KitDeviceSetup request = setup;
    if (FAILED(KitFindValidDeviceSettings(&setup, &request, &rules))) {
        KitShowErrorMessage(KITERR_NOCOMPATIBLEDEVICES);
        KitTerminate(0);
        return;
    }
    if (SUCCEEDED(KitApplyDeviceSetup(&setup, nullptr, false, false))) return;
    if (FAILED(KitFlipFullScreen())) KitTerminate(0);
}

// Brings a lost device back; true when the frame can go on.
bool RecoverLostDevice(IDirect3DDevice9* pd3dDevice) {
    HRESULT hr = pd3dDevice->TestCooperativeLevel();
    if (FAILED(hr)) {
        if (hr == D3DERR_DEVICELOST) return false;  // not yet; try again next frame

        KitDeviceSetup setup = KitCurrentSetup();
        if (setup.PresentParams.Windowed) {
            D3DDISPLAYMODE mode{};
            KitGetD3DObject()->GetAdapterDisplayMode(setup.AdapterOrdinal, &mode);
            if (mode.Format != setup.AdapterFormat) {
                FollowDesktopFormat(mode.Format);
                return false;
            }
        }

        hr = KitRestore3DEnvironment();
        if (hr == D3DERR_DEVICELOST) return false;
        if (hr == KITERR_RESETTINGDEVICEOBJECTS || hr == KITERR_MEDIANOTFOUND) {
            KitShowErrorMessage(hr);
            KitTerminate(0);
            return false;
        }
        if (FAILED(hr)) {
            if (FAILED(KitApplyDeviceSetup(&setup, nullptr, true, false))) KitTerminate(0);
            return false;
        }
    }
    KitCore().Set(&CKitCoreState::m_bDeviceLost, false);
    return true;
}

}  // namespace

void KitRenderOneFrame() {
    CKitCoreState& s = KitCore();
    bool bDeviceLost = s.Get(&CKitCoreState::m_bDeviceLost);
    bool bRenderingPaused = s.Get(&CKitCoreState::m_bRenderingPaused);
    if (bDeviceLost || bRenderingPaused || !KitAppActive()) Sleep(50);

    IDirect3DDevice9* pd3dDevice = KitCurrentDevice();
    if (pd3dDevice == nullptr) {
        if (bDeviceLost) {
            // Creation met a lost device: try again with the current settings.
            // A device still lost leaves the flag set and succeeds; any other
            // failure has been reported and has released the settings, so the
            // run ends with that failure instead of retrying without them.
            KitDeviceSetup setup = KitCurrentSetup();
            if (FAILED(KitApplyDeviceSetup(&setup, nullptr, false, true))) {
                int nExitCode = KitProcessExitCode();
                KitTerminate(nExitCode == 0 || nExitCode == 11 ? 1 : nExitCode);
            }
        }
        return;
    }

    if (bDeviceLost && !bRenderingPaused && !RecoverLostDevice(pd3dDevice)) return;
    pd3dDevice = KitCurrentDevice();
    if (pd3dDevice == nullptr) return;

    double fTime = KitClock()->AppSeconds();
    float fElapsed = static_cast<float>(KitClock()->ElapsedSeconds());
    {
        KitStateLock lock;
        if (s.m_bFixedFrameTime) {
            fElapsed = s.m_fFixedFrameTime;
            fTime = s.m_fTime + fElapsed;
        }
        s.m_fTime = fTime;
        s.m_fElapsed = fElapsed;
    }

    KitTickFrameStats();
    KitRunTimers();

    KitFrameMoveFn pfnFrameMove = s.Get(&CKitCoreState::m_pfnFrameMove);
    if (pfnFrameMove != nullptr)
        pfnFrameMove(pd3dDevice, fTime, fElapsed, s.Get(&CKitCoreState::m_pFrameMoveContext));
    if (KitCurrentDevice() == nullptr) return;

    if (!s.Get(&CKitCoreState::m_bRenderingPaused)) {
        KitFrameRenderFn pfnFrameRender = s.Get(&CKitCoreState::m_pfnFrameRender);
        if (pfnFrameRender != nullptr)
            pfnFrameRender(pd3dDevice, fTime, fElapsed, s.Get(&CKitCoreState::m_pFrameRenderContext));
        if (KitCurrentDevice() == nullptr) return;

        if (!IsIconic(KitActiveWindow())) {
            RECT rcClient = KitClientRect();
            assert(KitGetBackBufferSurfaceDesc()->Width == (UINT)rcClient.right);
            assert(KitGetBackBufferSurfaceDesc()->Height == (UINT)rcClient.bottom);
            (void)rcClient;
        }

        HRESULT hr = pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
        if (hr == D3DERR_DEVICELOST || hr == D3DERR_DRIVERINTERNALERROR)
            s.Set(&CKitCoreState::m_bDeviceLost, true);
    }

    int nFrame;
    int nQuitAfter;
    {
        KitStateLock lock;
        nFrame = ++s.m_nFrameNumber;
        nQuitAfter = s.m_nOverrideQuitAfterFrame;
    }
    if (nQuitAfter != 0 && nFrame > nQuitAfter) KitTerminate(0);
}
