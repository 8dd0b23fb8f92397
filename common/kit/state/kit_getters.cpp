// Getters and small setters of the framework state. Each reads or writes
// under the state lock; settings and descriptions are handed out as copies.
#include "common/kit/state/kit_getters.h"

#include "common/kit/state/kit_state.h"

namespace {

// Index into m_MouseButtons (left, middle, right, first extra, second extra).
int MouseButtonIndex(BYTE vButton) {
    switch (vButton) {
        case VK_RBUTTON:
            return 2;
        case VK_MBUTTON:
        case MK_MBUTTON:
            return 1;
        case VK_XBUTTON1:
        case MK_XBUTTON1:
            return 3;
        case VK_XBUTTON2:
        case MK_XBUTTON2:
            return 4;
        default:
            return 0;
    }
}

}  // namespace

IDirect3D9* KitGetD3DObject() { return KitCore().Get(&CKitCoreState::m_pD3DObject); }
IDirect3DDevice9* KitCurrentDevice() { return KitCore().Get(&CKitCoreState::m_pD3D9Device); }

const D3DSURFACE_DESC* KitGetBackBufferSurfaceDesc() {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    return &s.m_BackBufferDesc;
}

const D3DCAPS9* KitCurrentCaps() {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    return &s.m_DeviceCaps;
}

HINSTANCE KitAppInstance() { return KitCore().Get(&CKitCoreState::m_hInstance); }

HWND KitActiveWindow() { return KitInWindowedMode() ? KitWindowedWindow() : KitFullScreenWindow(); }

HWND KitFocusWindow() { return KitCore().Get(&CKitCoreState::m_hWndFocus); }
HWND KitFullScreenWindow() { return KitCore().Get(&CKitCoreState::m_hWndFullScreen); }
HWND KitWindowedWindow() { return KitCore().Get(&CKitCoreState::m_hWndWindowed); }

RECT KitClientRect() {
    RECT rc = {0, 0, 0, 0};
    GetClientRect(KitActiveWindow(), &rc);
    return rc;
}

RECT KitWindowedSizeAtSwitch() {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    RECT rc = {0, 0, static_cast<LONG>(s.m_nWindowedWidthAtSwitch),
               static_cast<LONG>(s.m_nWindowedHeightAtSwitch)};
    return rc;
}

RECT KitFullScreenSizeAtSwitch() {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    RECT rc = {0, 0, static_cast<LONG>(s.m_nFullScreenWidthAtSwitch),
               static_cast<LONG>(s.m_nFullScreenHeightAtSwitch)};
    return rc;
}

double KitCurrentTime() { return KitCore().Get(&CKitCoreState::m_fTime); }
float KitFrameElapsed() { return KitCore().Get(&CKitCoreState::m_fElapsed); }
float KitFramesPerSecond() { return KitCore().Get(&CKitCoreState::m_fFPS); }

const WCHAR* KitWindowTitle() {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    return s.m_szWindowTitle;
}

bool KitRenderingHeld() { return KitCore().Get(&CKitCoreState::m_nPauseRenderingCount) > 0; }
bool KitTimeHeld() { return KitCore().Get(&CKitCoreState::m_nPauseTimeCount) > 0; }
bool KitAppActive() { return KitCore().Get(&CKitCoreState::m_bActive); }
int KitProcessExitCode() { return KitCore().Get(&CKitCoreState::m_nExitCode); }
bool KitErrorBoxesEnabled() { return KitCore().Get(&CKitCoreState::m_bShowErrorBoxes); }
bool KitAutomationMode() { return KitCore().Get(&CKitCoreState::m_bAutomation); }
bool KitDefaultHotkeysEnabled() { return KitCore().Get(&CKitCoreState::m_bHandleDefaultHotkeys); }

bool KitInWindowedMode() {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    return s.m_pCurrentSetup != nullptr && s.m_pCurrentSetup->PresentParams.Windowed != 0;
}

bool KitInFullScreenMode() {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    return s.m_pCurrentSetup != nullptr && s.m_pCurrentSetup->PresentParams.Windowed == 0;
}

KitDeviceSetup KitCurrentSetup() {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    KitDeviceSetup setup{};
    if (s.m_pCurrentSetup != nullptr) setup = *s.m_pCurrentSetup;
    return setup;
}

D3DPRESENT_PARAMETERS KitCurrentPresentParams() {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    D3DPRESENT_PARAMETERS pp{};
    if (s.m_pCurrentSetup != nullptr) pp = s.m_pCurrentSetup->PresentParams;
    return pp;
}

bool KitKeyDown(BYTE vKey) {
    if (vKey >= VK_LSHIFT && vKey <= VK_RMENU) {
        // Side-specific modifiers: the live state, since key messages only
        // carry the generic codes.
        return GetAsyncKeyState(vKey) != 0;
    }
    if (vKey == VK_LBUTTON || vKey == VK_RBUTTON || vKey == VK_MBUTTON || vKey == VK_XBUTTON1 ||
        vKey == VK_XBUTTON2) {
        return KitMouseButtonDown(vKey);
    }
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    return s.m_Keys[vKey];
}

bool KitMouseButtonDown(BYTE vButton) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    return s.m_MouseButtons[MouseButtonIndex(vButton)];
}

void KitSetFollowMonitor(bool bFollow) { KitCore().Set(&CKitCoreState::m_bFollowMonitor, bFollow); }

void KitSetDefaultWindowProcessing(bool bCallDefWindowProc) {
    KitCore().Set(&CKitCoreState::m_bCallDefWindowProc, bCallDefWindowProc);
}

void KitSetFixedFrameTime(bool bEnabled, float fTimePerFrame) {
    CKitCoreState& s = KitCore();
    KitStateLock lock;
    if (s.m_bOverrideFixedFrameTime) {
        // The command line wins over the application.
        bEnabled = true;
        fTimePerFrame = s.m_fOverrideFixedFrameTime;
    }
    s.m_bFixedFrameTime = bEnabled;
    s.m_fFixedFrameTime = fTimePerFrame;
}
