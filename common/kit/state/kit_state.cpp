// The framework state object, its lock and the callback registry.
#include "common/kit/state/kit_state.h"

#include <cstdlib>

#include "common/kit/base/asset_cache.h"

namespace {

// Process-wide use-lock switch: on from construction, then set by every
// device change to whether the device is multithreaded.
bool g_bUseStateLock = true;

CRITICAL_SECTION g_StateLock;

// How the exit action terminates the framework. The state sits below the layer
// that owns the device, which sets this when it is linked into the program
// (constant-initialised, so it is null until then whatever the order of static
// initialisers).
constinit KitTerminateFn g_pfnTerminate = nullptr;

// At process exit: terminate the framework, then drop the lock.
void KitCoreExitAction() {
    if (g_pfnTerminate != nullptr) g_pfnTerminate(0);
    // Whatever runs after this at exit reads the state without the lock.
    g_bUseStateLock = false;
    DeleteCriticalSection(&g_StateLock);
}

}  // namespace

CKitCoreState::CKitCoreState() {
    // The members start at their declared defaults; only the lock and the
    // exit action remain.
    g_bUseStateLock = true;
    InitializeCriticalSection(&g_StateLock);
    // The resource cache must outlive the exit action, which releases the device
    // through it: statics built before the action is registered are destroyed after it runs.
    KitAssetCache();
    std::atexit(KitCoreExitAction);
}

CKitCoreState& KitCore() {
    // Never destroyed: the exit action still needs it after static destructors start.
    static CKitCoreState* s_pState = new CKitCoreState();
    return *s_pState;
}

void KitSetStateLocking(bool bUseLock) { g_bUseStateLock = bUseLock; }

void KitSetExitTermination(KitTerminateFn pfnTerminate) { g_pfnTerminate = pfnTerminate; }

KitStateLock::KitStateLock() : m_bLocked(g_bUseStateLock) {
    if (m_bLocked) EnterCriticalSection(&g_StateLock);
}

KitStateLock::~KitStateLock() {
    if (m_bLocked) LeaveCriticalSection(&g_StateLock);
}

// ---------------------------------------------------------------- registration

void KitRegisterDeviceCreated(KitDeviceCreatedFn pCallback, void* pUserContext) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    s.m_pfnDeviceCreated = pCallback;
    s.m_pDeviceCreatedContext = pUserContext;
}

void KitRegisterDeviceReset(KitDeviceResetFn pCallback, void* pUserContext) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    s.m_pfnDeviceReset = pCallback;
    s.m_pDeviceResetContext = pUserContext;
}

void KitRegisterDeviceLost(KitDeviceLostFn pCallback, void* pUserContext) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    s.m_pfnDeviceLost = pCallback;
    s.m_pDeviceLostContext = pUserContext;
}

void KitRegisterDeviceDestroyed(KitDeviceDestroyedFn pCallback, void* pUserContext) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    s.m_pfnDeviceDestroyed = pCallback;
    s.m_pDeviceDestroyedContext = pUserContext;
}

void KitRegisterModifySetup(KitModifySetupFn pCallback, void* pUserContext) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    s.m_pfnModifySetup = pCallback;
    s.m_pModifySetupContext = pUserContext;
}

void KitRegisterFrameMove(KitFrameMoveFn pCallback, void* pUserContext) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    s.m_pfnFrameMove = pCallback;
    s.m_pFrameMoveContext = pUserContext;
}

void KitRegisterFrameRender(KitFrameRenderFn pCallback, void* pUserContext) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    s.m_pfnFrameRender = pCallback;
    s.m_pFrameRenderContext = pUserContext;
}

void KitRegisterKeyboard(KitKeyboardFn pCallback, void* pUserContext) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    s.m_pfnKeyboard = pCallback;
    s.m_pKeyboardContext = pUserContext;
}

void KitRegisterMouse(KitMouseFn pCallback, bool bIncludeMouseMove, void* pUserContext) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    s.m_pfnMouse = pCallback;
    s.m_bNotifyMouseMove = bIncludeMouseMove;
    s.m_pMouseContext = pUserContext;
}

void KitRegisterMsgProc(KitMsgProcFn pCallback, void* pUserContext) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    s.m_pfnMsgProc = pCallback;
    s.m_pMsgProcContext = pUserContext;
}
