// A test application for the framework: every callback records what it
// receives, the modify callback can veto or edit settings, and a frame hook
// lets a test act from inside the main loop. Also puts the whole framework
// back to its start state between tests. Header-only: it is used by the
// framework's test programs, which have the framework's include paths.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/kit/base/kit_clock.h"
#include "common/kit/device/kit_device_terminate.h"
#include "common/kit/loop/kit_device_build.h"
#include "common/kit/state/kit_state.h"
#include "platform/backend.h"

namespace kittest {

// Every field of the framework state back to its start value; the device and
// the Direct3D object are released without callbacks being recorded anywhere.
inline void KitResetStateForTests() {
    CKitCoreState& s = KitCore();
    {
        // The previous test's application may be gone: nothing may call it.
        KitStateLock lock;
        s.m_pfnModifySetup = nullptr;
        s.m_pfnDeviceCreated = nullptr;
        s.m_pfnDeviceReset = nullptr;
        s.m_pfnDeviceLost = nullptr;
        s.m_pfnDeviceDestroyed = nullptr;
        s.m_pfnFrameMove = nullptr;
        s.m_pfnFrameRender = nullptr;
        s.m_pfnKeyboard = nullptr;
        s.m_pfnMouse = nullptr;
        s.m_pfnMsgProc = nullptr;
    }
    KitTerminate(0);
    plat::ResetWindowSystem();

    KitSetStateLocking(true);
    KitClock()->Rewind();
    KitStateLock lock;
    delete s.m_pCurrentSetup;
    delete s.m_pTimers;
    s.m_pD3DObject = nullptr;
    s.m_pD3D9Device = nullptr;
    s.m_pCatalog = nullptr;
    s.m_pCurrentSetup = nullptr;
    s.m_BackBufferDesc = D3DSURFACE_DESC{};
    s.m_DeviceCaps = D3DCAPS9{};
    s.m_hWndFocus = s.m_hWndFullScreen = s.m_hWndWindowed = nullptr;
    s.m_hAdapterMonitor = nullptr;
    s.m_hSavedMenu = nullptr;
    s.m_nFullScreenWidthAtSwitch = s.m_nFullScreenHeightAtSwitch = 0;
    s.m_nWindowedWidthAtSwitch = s.m_nWindowedHeightAtSwitch = 0;
    s.m_dwWindowedStyle = 0;
    s.m_WindowedPlacement = WINDOWPLACEMENT{};
    s.m_bTopmostWhileWindowed = s.m_bMinimized = s.m_bMaximized = false;
    s.m_bMinimizedWhileFullScreen = s.m_bIgnoreSizeChange = false;
    s.m_fTime = 0.0;
    s.m_fElapsed = 0.0f;
    s.m_hInstance = nullptr;
    s.m_fLastStatsTime = 0.0;
    s.m_nStatsFrames = 0;
    s.m_fFPS = 0.0f;
    s.m_nFrameNumber = 0;
    s.m_hKeyboardHook = nullptr;
    s.m_StartupStickyKeys = STICKYKEYS{};
    s.m_StartupToggleKeys = TOGGLEKEYS{};
    s.m_StartupFilterKeys = FILTERKEYS{};
    s.m_bAllowKeysFullScreen = false;
    s.m_bAllowKeysWindowed = true;
    s.m_bKeysAllowed = false;
    s.m_bCallDefWindowProc = true;
    s.m_bHandleDefaultHotkeys = s.m_bHandleAltEnter = false;
    s.m_bShowErrorBoxes = true;
    s.m_bNoStats = s.m_bClipCursorFullScreen = s.m_bShowCursorFullScreen = false;
    s.m_bFixedFrameTime = false;
    s.m_fFixedFrameTime = 0.0f;
    s.m_bWireframe = false;
    s.m_bFollowMonitor = true;
    s.m_bDefaultPosition = false;
    s.m_nExitCode = 0;
    s.m_bInited = s.m_bWindowCreated = s.m_bDeviceCreated = false;
    s.m_bInitCalled = s.m_bWindowCreateCalled = s.m_bDeviceCreateCalled = false;
    s.m_bDeviceObjectsCreated = s.m_bDeviceObjectsReset = false;
    s.m_bInsideDeviceCallback = s.m_bInsideMainLoop = false;
    s.m_bActive = true;
    s.m_bTimePaused = s.m_bRenderingPaused = false;
    s.m_nPauseRenderingCount = s.m_nPauseTimeCount = 0;
    s.m_bDeviceLost = s.m_bNotifyMouseMove = s.m_bAutomation = s.m_bInSizeMove = false;
    s.m_nOverrideAdapter = -1;
    s.m_bOverrideWindowed = s.m_bOverrideFullScreen = false;
    s.m_nOverrideStartX = s.m_nOverrideStartY = -1;
    s.m_nOverrideWidth = s.m_nOverrideHeight = 0;
    s.m_bOverrideForceHAL = s.m_bOverrideForceREF = false;
    s.m_bOverrideForcePureHWVP = s.m_bOverrideForceHWVP = s.m_bOverrideForceSWVP = false;
    s.m_bOverrideFixedFrameTime = false;
    s.m_fOverrideFixedFrameTime = 0.0f;
    s.m_nOverrideQuitAfterFrame = 0;
    s.m_nOverrideForceVsync = -1;
    s.m_bRelaunchMediaCenter = false;
    for (auto& name : s.m_szAppSwitches) name[0] = L'\0';
    s.m_nAppSwitches = 0;
    s.m_pfnAcceptDevice = nullptr;
    s.m_pAcceptDeviceContext = s.m_pModifySetupContext = s.m_pDeviceCreatedContext = nullptr;
    s.m_pDeviceResetContext = s.m_pDeviceLostContext = s.m_pDeviceDestroyedContext = nullptr;
    s.m_pFrameMoveContext = s.m_pFrameRenderContext = s.m_pKeyboardContext = nullptr;
    s.m_pMouseContext = s.m_pMsgProcContext = nullptr;
    for (bool& key : s.m_Keys) key = false;
    for (bool& button : s.m_MouseButtons) button = false;
    s.m_pTimers = nullptr;
    s.m_szStaticStats[0] = s.m_szFPS[0] = s.m_szFrameStats[0] = s.m_szDeviceStats[0] = s.m_szWindowTitle[0] =
        L'\0';
}

// One mouse callback call.
struct MouseCall {
    bool left, right, middle, side1, side2;
    int wheel, x, y;
};

// One frame-move or frame-render call.
struct FrameCall {
    double time;
    float elapsed;
};

class KitTestApp {
  public:
    std::vector<std::string> events;  // "created 640x480", "reset 640x480", "lost", "destroyed", "modify"
    std::vector<FrameCall> moves;     // frame-move calls
    std::vector<FrameCall> renders;   // frame-render calls
    std::vector<MouseCall> mouse;     // mouse calls
    std::vector<UINT> keysDown;       // keyboard calls with key down
    std::vector<UINT> messages;       // every message the message callback saw
    std::vector<KitDeviceSetup> modified;  // records the modify callback received

    bool vetoModify = false;                         // the modify callback returns false
    std::function<void(KitDeviceSetup*)> editSetup;  // edits records in the modify callback
    std::function<void(int)> onFrameMove;            // runs at each frame-move with its 0-based index
    HRESULT createdResult = S_OK;
    HRESULT resetResult = S_OK;

    // Registers every callback but the modify callback (KitBuildDevice registers that).
    void Register() {
        KitRegisterDeviceCreated(&Created, this);
        KitRegisterDeviceReset(&Reset, this);
        KitRegisterDeviceLost(&Lost, this);
        KitRegisterDeviceDestroyed(&Destroyed, this);
        KitRegisterFrameMove(&FrameMove, this);
        KitRegisterFrameRender(&FrameRender, this);
        KitRegisterKeyboard(&Keyboard, this);
        KitRegisterMouse(&Mouse, false, this);
        KitRegisterMsgProc(&MsgProc, this);
    }

    // KitBuildDevice with this application's modify callback.
    HRESULT Build(bool bWindowed = true, int nWidth = 0, int nHeight = 0, UINT nAdapter = 0) {
        return KitBuildDevice(nAdapter, bWindowed, nWidth, nHeight, nullptr, &Modify, this);
    }

    // The device events only: created, reset, lost, destroyed.
    std::vector<std::string> DeviceEvents() const {
        std::vector<std::string> out;
        for (const std::string& e : events)
            if (e != "modify") out.push_back(e.substr(0, e.find(' ')));
        return out;
    }

    static bool Modify(KitDeviceSetup* pSetup, const D3DCAPS9*, void* pContext) {
        KitTestApp* app = static_cast<KitTestApp*>(pContext);
        app->events.push_back("modify");
        if (app->editSetup) app->editSetup(pSetup);
        app->modified.push_back(*pSetup);
        return !app->vetoModify;
    }
    static HRESULT Created(IDirect3DDevice9*, const D3DSURFACE_DESC* pDesc, void* pContext) {
        KitTestApp* app = static_cast<KitTestApp*>(pContext);
        app->events.push_back("created " + Size(pDesc));
        return app->createdResult;
    }
    static HRESULT Reset(IDirect3DDevice9*, const D3DSURFACE_DESC* pDesc, void* pContext) {
        KitTestApp* app = static_cast<KitTestApp*>(pContext);
        app->events.push_back("reset " + Size(pDesc));
        return app->resetResult;
    }
    static void Lost(void* pContext) { static_cast<KitTestApp*>(pContext)->events.push_back("lost"); }
    static void Destroyed(void* pContext) {
        static_cast<KitTestApp*>(pContext)->events.push_back("destroyed");
    }
    static void FrameMove(IDirect3DDevice9*, double fTime, float fElapsed, void* pContext) {
        KitTestApp* app = static_cast<KitTestApp*>(pContext);
        app->moves.push_back({fTime, fElapsed});
        if (app->onFrameMove) app->onFrameMove(static_cast<int>(app->moves.size()) - 1);
    }
    static void FrameRender(IDirect3DDevice9*, double fTime, float fElapsed, void* pContext) {
        static_cast<KitTestApp*>(pContext)->renders.push_back({fTime, fElapsed});
    }
    static void Keyboard(UINT nChar, bool bKeyDown, bool, void* pContext) {
        if (bKeyDown) static_cast<KitTestApp*>(pContext)->keysDown.push_back(nChar);
    }
    static void Mouse(bool bLeft, bool bRight, bool bMiddle, bool bSide1, bool bSide2, int nWheel, int x,
                      int y, void* pContext) {
        static_cast<KitTestApp*>(pContext)->mouse.push_back(
            {bLeft, bRight, bMiddle, bSide1, bSide2, nWheel, x, y});
    }
    static LRESULT MsgProc(HWND, UINT uMsg, WPARAM, LPARAM, bool*, void* pContext) {
        static_cast<KitTestApp*>(pContext)->messages.push_back(uMsg);
        return 0;
    }

  private:
    static std::string Size(const D3DSURFACE_DESC* pDesc) {
        return std::to_string(pDesc->Width) + "x" + std::to_string(pDesc->Height);
    }
};

}  // namespace kittest
