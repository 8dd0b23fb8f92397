// KitStartup: records the user's accessibility settings, raises the timer
// resolution, stores the switches, reads the command line, checks the library
// versions and creates the Direct3D object.
#include "common/kit/startup/kit_startup.h"

#include "common/kit/base/kit_clock.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/startup/kit_commandline.h"
#include "common/kit/startup/kit_d3d9_library.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"
#include "platform/d3dx9.h"

namespace {

typedef MMRESULT(WINAPI* LPTIMEBEGINPERIOD)(UINT uPeriod);

// One-millisecond timer resolution through winmm.dll; failures are ignored.
void RaiseTimerResolution() {
    WCHAR strPath[MAX_PATH + 1];
    UINT nLen = GetSystemDirectoryW(strPath, MAX_PATH);
    if (nLen == 0 || nLen > MAX_PATH) return;
    if (FAILED(StringCchCatW(strPath, MAX_PATH, L"\\winmm.dll"))) return;
    HMODULE hWinMM = LoadLibraryW(strPath);
    if (hWinMM == nullptr) return;
    LPTIMEBEGINPERIOD pTimeBeginPeriod =
        reinterpret_cast<LPTIMEBEGINPERIOD>(GetProcAddress(hWinMM, "timeBeginPeriod"));
    if (pTimeBeginPeriod != nullptr) pTimeBeginPeriod(1);
    FreeLibrary(hWinMM);
}

// The user's accessibility settings as they are before this framework edits them.
void ReadUserAccessibilitySettings() {
    CKitCoreState& s = KitCore();
    STICKYKEYS sk{};
    sk.cbSize = sizeof(STICKYKEYS);
    SystemParametersInfoW(SPI_GETSTICKYKEYS, sizeof(STICKYKEYS), &sk, 0);
    TOGGLEKEYS tk{};
    tk.cbSize = sizeof(TOGGLEKEYS);
    SystemParametersInfoW(SPI_GETTOGGLEKEYS, sizeof(TOGGLEKEYS), &tk, 0);
    FILTERKEYS fk{};
    fk.cbSize = sizeof(FILTERKEYS);
    SystemParametersInfoW(SPI_GETFILTERKEYS, sizeof(FILTERKEYS), &fk, 0);
    {
        KitStateLock lock;
        s.m_StartupStickyKeys = sk;
        s.m_StartupToggleKeys = tk;
        s.m_StartupFilterKeys = fk;
    }
}

}  // namespace

HRESULT KitStartup(bool bParseCommandLine, bool bHandleDefaultHotkeys, bool bShowMsgBoxOnError,
                   bool bHandleAltEnter) {
    CKitCoreState& s = KitCore();
    s.Set(&CKitCoreState::m_bInitCalled, true);
    InitCommonControls();

    // The user's own settings are read once: a later start-up may find them
    // suppressed by this framework.
    bool bSettingsRead;
    {
        KitStateLock lock;
        bSettingsRead = s.m_StartupStickyKeys.cbSize == sizeof(STICKYKEYS);
    }
    if (!bSettingsRead) ReadUserAccessibilitySettings();

    RaiseTimerResolution();

    {
        KitStateLock lock;
        s.m_bShowErrorBoxes = bShowMsgBoxOnError;
        s.m_bHandleDefaultHotkeys = bHandleDefaultHotkeys;
        s.m_bHandleAltEnter = bHandleAltEnter;
    }

    if (bParseCommandLine) KitReadCommandLine();

    if (!D3DXCheckVersion(D3D_SDK_VERSION, D3DX_SDK_VERSION)) {
        KitShowErrorMessage(KITERR_INCORRECTVERSION);
        return KIT_LOG_FAILURE(L"D3DXCheckVersion", KITERR_INCORRECTVERSION);
    }

    if (KitGetD3DObject() == nullptr) s.Set(&CKitCoreState::m_pD3DObject, KitCreateD3D9(D3D_SDK_VERSION));

    if (KitGetD3DObject() == nullptr) {
        KitShowErrorMessage(KITERR_NODIRECT3D);
        return KIT_LOG_FAILURE(L"Direct3DCreate9", KITERR_NODIRECT3D);
    }

    KitClock()->Rewind();
    s.Set(&CKitCoreState::m_bInited, true);
    return S_OK;
}
