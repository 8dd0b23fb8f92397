// System services the window handling reaches by name: the monitor functions
// of user32 (with a one-monitor fallback) and the game-pad library.
#include "common/kit/base/kit_window_devices.h"

#include "platform/xinput.h"

namespace {

typedef HMONITOR(WINAPI* LPMONITORFROMWINDOW)(HWND, DWORD);
typedef BOOL(WINAPI* LPGETMONITORINFO)(HMONITOR, LPMONITORINFO);

// The pseudo handle of the whole screen when the monitor functions are missing.
HMONITOR const kPrimaryMonitor = reinterpret_cast<HMONITOR>(static_cast<ULONG_PTR>(0x12340042));

struct MonitorFunctions {
    bool bLookedUp = false;
    LPMONITORFROMWINDOW pMonitorFromWindow = nullptr;
    LPGETMONITORINFO pGetMonitorInfo = nullptr;
};

MonitorFunctions& Monitors() {
    static MonitorFunctions s_functions;
    if (!s_functions.bLookedUp) {
        s_functions.bLookedUp = true;
        HMODULE hUser32 = GetModuleHandleW(L"user32.dll");
        if (hUser32 == nullptr) hUser32 = LoadLibraryW(L"user32.dll");
        if (hUser32 != nullptr) {
            s_functions.pMonitorFromWindow =
                reinterpret_cast<LPMONITORFROMWINDOW>(GetProcAddress(hUser32, "MonitorFromWindow"));
            s_functions.pGetMonitorInfo =
                reinterpret_cast<LPGETMONITORINFO>(GetProcAddress(hUser32, "GetMonitorInfoW"));
        }
    }
    return s_functions;
}

LPXINPUTSETSTATE g_pXInputSetState = nullptr;

}  // namespace

HMONITOR KitMonitorFromWindow(HWND hWnd, DWORD dwFlags) {
    MonitorFunctions& functions = Monitors();
    if (functions.pMonitorFromWindow != nullptr) return functions.pMonitorFromWindow(hWnd, dwFlags);
    if (dwFlags == MONITOR_DEFAULTTOPRIMARY || dwFlags == MONITOR_DEFAULTTONEAREST) return kPrimaryMonitor;
    return nullptr;
}

BOOL KitGetMonitorInfo(HMONITOR hMonitor, LPMONITORINFO lpMonitorInfo) {
    MonitorFunctions& functions = Monitors();
    if (functions.pGetMonitorInfo != nullptr) return functions.pGetMonitorInfo(hMonitor, lpMonitorInfo);
    if (hMonitor != kPrimaryMonitor || lpMonitorInfo == nullptr ||
        lpMonitorInfo->cbSize < sizeof(MONITORINFO))
        return FALSE;
    RECT rcWork;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0)) return FALSE;
    lpMonitorInfo->rcMonitor = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    lpMonitorInfo->rcWork = rcWork;
    lpMonitorInfo->dwFlags = MONITORINFOF_PRIMARY;
    return TRUE;
}

void KitStopGamepadVibration() {
    if (g_pXInputSetState == nullptr) {
        WCHAR strPath[MAX_PATH + 1];
        UINT nLen = GetSystemDirectoryW(strPath, MAX_PATH);
        if (nLen == 0 || nLen > MAX_PATH) return;
        if (FAILED(StringCchCatW(strPath, MAX_PATH, L"\\xinput1_3.dll"))) return;
        // The library stays loaded for the life of the process.
        HMODULE hXInput = LoadLibraryW(strPath);
        if (hXInput == nullptr) return;
        g_pXInputSetState = reinterpret_cast<LPXINPUTSETSTATE>(GetProcAddress(hXInput, "XInputSetState"));
        if (g_pXInputSetState == nullptr) return;
    }
    for (DWORD dwUser = 0; dwUser < XUSER_MAX_COUNT; ++dwUser) {
        XINPUT_VIBRATION vibration = {0, 0};
        g_pXInputSetState(dwUser, &vibration);
    }
}
