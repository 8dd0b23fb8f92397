// The framework state: one object per process (KitCore) holding the Direct3D
// object and device, the current settings, the windows, time and statistics,
// input state, every switch, the lifecycle flags and the application's
// callbacks. The application and the GUI read it through the getters
// (kit_getters.h); the framework's own units reach the fields directly.
//
// Locking: Get/Set take the state's critical section while the process-wide
// use-lock switch is on (it is on from construction; every device change sets
// it to whether the device is multithreaded). Code that touches a text buffer
// or another compound field directly holds a KitStateLock for that access.
#pragma once

#include <type_traits>

#include "common/kit/base/growable_array.h"
#include "common/kit/state/kit_callbacks.h"

class CKitDeviceCatalog;

// Switches the application reads itself (KitRegisterAppSwitch): this many,
// each name up to this many characters.
constexpr int kKitMaxAppSwitches = 8;
constexpr int kKitMaxAppSwitchName = 31;

// One periodic timer (KitSetTimer); its identifier is its index in the list.
struct KitTimerRecord {
    KitTimerFn pCallback;        // called when the countdown passes below 0
    void* pCallbackUserContext;  // passed back to the callback
    float fTimeoutInSecs;        // period
    float fCountdown;            // seconds left before it fires
    bool bEnabled;               // false once killed
};

class CKitCoreState {
  public:
    CKitCoreState();
    CKitCoreState(const CKitCoreState&) = delete;
    CKitCoreState& operator=(const CKitCoreState&) = delete;

    // Field reads and writes under the state lock.
    template <typename T>
    T Get(T CKitCoreState::*field);
    template <typename T>
    void Set(T CKitCoreState::*field, const std::type_identity_t<T>& value);

    IDirect3D9* m_pD3DObject = nullptr;         // the Direct3D object
    IDirect3DDevice9* m_pD3D9Device = nullptr;  // the device
    CKitDeviceCatalog* m_pCatalog = nullptr;    // the device catalogue, set on first use
    KitDeviceSetup* m_pCurrentSetup = nullptr;  // owned current settings, or null
    D3DSURFACE_DESC m_BackBufferDesc{};         // back buffer 0; zero while there is no device
    D3DCAPS9 m_DeviceCaps{};                    // device capabilities; zero while there is no device

    HWND m_hWndFocus = nullptr;            // focus window
    HWND m_hWndFullScreen = nullptr;       // device window when full screen
    HWND m_hWndWindowed = nullptr;         // device window when windowed
    HMONITOR m_hAdapterMonitor = nullptr;  // monitor of the current adapter
    HMENU m_hSavedMenu = nullptr;          // menu taken off the window while full screen

    UINT m_nFullScreenWidthAtSwitch = 0;  // back-buffer size of the last full-screen mode
    UINT m_nFullScreenHeightAtSwitch = 0;
    UINT m_nWindowedWidthAtSwitch = 0;  // back-buffer size of the last windowed mode
    UINT m_nWindowedHeightAtSwitch = 0;
    DWORD m_dwWindowedStyle = 0;            // style saved on leaving windowed mode
    WINDOWPLACEMENT m_WindowedPlacement{};  // placement saved on leaving windowed mode
    bool m_bTopmostWhileWindowed = false;   // had WS_EX_TOPMOST on leaving windowed mode
    bool m_bMinimized = false;              // from WM_SIZE
    bool m_bMaximized = false;
    bool m_bMinimizedWhileFullScreen = false;  // deactivated while full screen
    bool m_bIgnoreSizeChange = false;          // a device change is running

    double m_fTime = 0.0;     // application time of the current frame, seconds
    float m_fElapsed = 0.0f;  // length of the current frame, seconds
    HINSTANCE m_hInstance = nullptr;
    double m_fLastStatsTime = 0.0;  // absolute time of the last frame-rate update
    UINT m_nStatsFrames = 0;        // frames since then
    float m_fFPS = 0.0f;            // last frame rate
    int m_nFrameNumber = 0;         // frames rendered

    HHOOK m_hKeyboardHook = nullptr;      // low-level keyboard hook while installed
    bool m_bAllowKeysFullScreen = false;  // accessibility shortcut keys allowed when full screen
    bool m_bAllowKeysWindowed = true;     // ... when windowed
    bool m_bKeysAllowed = false;          // the state last applied
    bool m_bCallDefWindowProc = true;     // unhandled messages go to DefWindowProc
    STICKYKEYS m_StartupStickyKeys{};     // the user's settings as read at start-up, restored on exit
    TOGGLEKEYS m_StartupToggleKeys{};
    FILTERKEYS m_StartupFilterKeys{};

    bool m_bHandleDefaultHotkeys = false;  // Escape, Pause, F3, F8
    bool m_bHandleAltEnter = false;        // Alt+Enter switches full screen
    bool m_bShowErrorBoxes = true;         // message boxes on errors
    bool m_bNoStats = false;               // statistics texts are not maintained
    bool m_bClipCursorFullScreen = false;  // clip the cursor to the window when full screen
    bool m_bShowCursorFullScreen = false;  // show the device cursor when full screen
    bool m_bFixedFrameTime = false;        // constant frame time in use ...
    float m_fFixedFrameTime = 0.0f;        // ... and its value
    bool m_bWireframe = false;             // toggled by F8
    bool m_bFollowMonitor = true;          // change adapter when the window changes monitor
    bool m_bDefaultPosition = false;       // window created at the default position
    int m_nExitCode = 0;                   // process exit code

    bool m_bInited = false;                // initialisation succeeded
    bool m_bWindowCreated = false;         // a window exists
    bool m_bDeviceCreated = false;         // a device change has completed
    bool m_bInitCalled = false;            // initialisation was attempted
    bool m_bWindowCreateCalled = false;    // a window was requested
    bool m_bDeviceCreateCalled = false;    // a device was requested
    bool m_bDeviceObjectsCreated = false;  // the device-created callback succeeded
    bool m_bDeviceObjectsReset = false;    // the device-reset callback succeeded
    bool m_bInsideDeviceCallback = false;  // a device callback is running
    bool m_bInsideMainLoop = false;        // KitMainLoop is running
    bool m_bActive = true;                 // WM_ACTIVATEAPP
    bool m_bTimePaused = false;            // time pause count > 0
    bool m_bRenderingPaused = false;       // rendering pause count > 0
    int m_nPauseRenderingCount = 0;        // nesting of rendering pauses
    int m_nPauseTimeCount = 0;             // nesting of time pauses
    bool m_bDeviceLost = false;            // must be reset or recreated
    bool m_bNotifyMouseMove = false;       // the mouse callback also gets WM_MOUSEMOVE
    bool m_bAutomation = false;            // command-line automation switch
    bool m_bInSizeMove = false;            // between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE

    // Command-line overrides (KitReadCommandLine).
    int m_nOverrideAdapter = -1;  // -1 = none
    bool m_bOverrideWindowed = false;
    bool m_bOverrideFullScreen = false;
    int m_nOverrideStartX = -1;  // -1 = none
    int m_nOverrideStartY = -1;
    int m_nOverrideWidth = 0;  // 0 = none
    int m_nOverrideHeight = 0;
    bool m_bOverrideForceHAL = false;
    bool m_bOverrideForceREF = false;
    bool m_bOverrideForcePureHWVP = false;
    bool m_bOverrideForceHWVP = false;
    bool m_bOverrideForceSWVP = false;
    bool m_bOverrideFixedFrameTime = false;
    float m_fOverrideFixedFrameTime = 0.0f;
    int m_nOverrideQuitAfterFrame = 0;  // 0 = none
    int m_nOverrideForceVsync = -1;     // -1 none, 0 off, 1 on
    bool m_bRelaunchMediaCenter = false;
    // Switches the application reads itself; the reader passes over them.
    WCHAR m_szAppSwitches[kKitMaxAppSwitches][kKitMaxAppSwitchName + 1] = {};
    int m_nAppSwitches = 0;

    // Application callbacks (null = skipped) and their user contexts.
    KitAcceptDeviceFn m_pfnAcceptDevice = nullptr;
    KitModifySetupFn m_pfnModifySetup = nullptr;
    KitDeviceCreatedFn m_pfnDeviceCreated = nullptr;
    KitDeviceResetFn m_pfnDeviceReset = nullptr;
    KitDeviceLostFn m_pfnDeviceLost = nullptr;
    KitDeviceDestroyedFn m_pfnDeviceDestroyed = nullptr;
    KitFrameMoveFn m_pfnFrameMove = nullptr;
    KitFrameRenderFn m_pfnFrameRender = nullptr;
    KitKeyboardFn m_pfnKeyboard = nullptr;
    KitMouseFn m_pfnMouse = nullptr;
    KitMsgProcFn m_pfnMsgProc = nullptr;
    void* m_pAcceptDeviceContext = nullptr;
    void* m_pModifySetupContext = nullptr;
    void* m_pDeviceCreatedContext = nullptr;
    void* m_pDeviceResetContext = nullptr;
    void* m_pDeviceLostContext = nullptr;
    void* m_pDeviceDestroyedContext = nullptr;
    void* m_pFrameMoveContext = nullptr;
    void* m_pFrameRenderContext = nullptr;
    void* m_pKeyboardContext = nullptr;
    void* m_pMouseContext = nullptr;
    void* m_pMsgProcContext = nullptr;

    bool m_Keys[256] = {};                                // down state by virtual-key code
    bool m_MouseButtons[5] = {};                          // left, middle, right, first extra, second extra
    CGrowableArray<KitTimerRecord>* m_pTimers = nullptr;  // created by the first KitSetTimer

    WCHAR m_szStaticStats[256] =
        {};                  // settings part of the statistics; a format with one %s for the frame rate
    WCHAR m_szFPS[64] = {};  // frame-rate text
    WCHAR m_szFrameStats[256] = {};   // composed frame statistics
    WCHAR m_szDeviceStats[256] = {};  // device statistics
    WCHAR m_szWindowTitle[256] = {};  // window title
};

// The state, created on first use.
CKitCoreState& KitCore();

// The process-wide use-lock switch.
void KitSetStateLocking(bool bUseLock);

// What the state's process-exit action calls to terminate the framework (with
// exit code 0). The device layer, which owns termination, sets it; it must be
// safe to call from a static initialiser.
using KitTerminateFn = void (*)(int nExitCode);
void KitSetExitTermination(KitTerminateFn pfnTerminate);

// Holds the state lock (when the use-lock switch is on) for one scope.
class KitStateLock {
  public:
    KitStateLock();
    ~KitStateLock();
    KitStateLock(const KitStateLock&) = delete;
    KitStateLock& operator=(const KitStateLock&) = delete;

  private:
    bool m_bLocked;
};

template <typename T>
T CKitCoreState::Get(T CKitCoreState::*field) {
    KitStateLock lock;
    return this->*field;
}

template <typename T>
void CKitCoreState::Set(T CKitCoreState::*field, const std::type_identity_t<T>& value) {
    KitStateLock lock;
    this->*field = value;
}
