// The main loop: window messages first; whenever the queue is empty, one frame.
#include <new>

#include "common/kit/errors/kit_errors.h"
#include "common/kit/loop/kit_device_build.h"
#include "common/kit/loop/kit_frame.h"
#include "common/kit/loop/kit_mainloop.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"

namespace {

// A failed loop turns a success exit code (0, or 11 for the reference device) into 1.
HRESULT LoopFailure(HRESULT hr) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    if (s.m_nExitCode == 0 || s.m_nExitCode == 11) s.m_nExitCode = 1;
    s.m_bInsideMainLoop = false;
    return hr;
}

// A device exists, or creation met a lost device that the frame loop will create later.
bool HaveOrAwaitDevice() {
    return KitCurrentDevice() != nullptr || KitCore().Get(&CKitCoreState::m_bDeviceLost);
}

}  // namespace

HRESULT KitMainLoop(HACCEL hAccel) {
    CKitCoreState& s = KitCore();
    if (s.Get(&CKitCoreState::m_bInsideDeviceCallback) || s.Get(&CKitCoreState::m_bInsideMainLoop)) {
        KitStateLock lock;
        if (s.m_nExitCode == 0 || s.m_nExitCode == 11) s.m_nExitCode = 1;
        return KIT_LOG_FAILURE_POPUP(L"KitMainLoop", E_FAIL);
    }
    s.Set(&CKitCoreState::m_bInsideMainLoop, true);

    if (!HaveOrAwaitDevice()) {
        if (s.Get(&CKitCoreState::m_bDeviceCreateCalled)) return LoopFailure(E_FAIL);
        HRESULT hr = KitBuildDevice(0, true, 0, 0, nullptr, nullptr, nullptr);
        if (FAILED(hr)) return LoopFailure(hr);
    }

    HWND hWnd = KitActiveWindow();
    if (!s.Get(&CKitCoreState::m_bInited) || hWnd == nullptr || !HaveOrAwaitDevice())
        return LoopFailure(KIT_LOG_FAILURE_POPUP(L"KitMainLoop", E_FAIL));

    MSG msg;
    msg.message = WM_NULL;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    // Memory running out where no result code can carry it ends the loop as a
    // failure (exit code 1) instead of ending the process by an exception.
    try {
        while (msg.message != WM_QUIT) {
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (hAccel == nullptr || hWnd == nullptr || TranslateAcceleratorW(hWnd, hAccel, &msg) == 0) {
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            } else {
                KitRenderOneFrame();
            }
        }
    } catch (const std::bad_alloc&) {
        if (hAccel != nullptr) DestroyAcceleratorTable(hAccel);
        return LoopFailure(KIT_LOG_FAILURE(L"KitMainLoop", E_OUTOFMEMORY));
    }

    if (hAccel != nullptr) DestroyAcceleratorTable(hAccel);
    s.Set(&CKitCoreState::m_bInsideMainLoop, false);
    return S_OK;
}
