// Accessibility shortcut keys and the Windows keys while the application runs.
// The user's settings as read at start-up are never edited: suppressing writes
// edited copies, so allowing always gives the user's own settings back.
#include "common/kit/startup/kit_accessibility_keys.h"

#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"

namespace {

// The hook needs an NT-family platform newer than version 4.
bool CanHookKeyboard() {
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    if (!GetVersionExW(&version)) return false;
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion > 4;
}

}  // namespace

void KitSetAccessibilityKeyPolicy(bool bAllowWhenFullScreen, bool bAllowWhenWindowed) {
    CKitCoreState& s = KitCore();
    bool bInited;
    {
        KitStateLock lock;
        s.m_bAllowKeysFullScreen = bAllowWhenFullScreen;
        s.m_bAllowKeysWindowed = bAllowWhenWindowed;
        bInited = s.m_bInited;
    }
    if (bInited) KitAllowAccessibilityKeys(KitInWindowedMode() ? bAllowWhenWindowed : bAllowWhenFullScreen);
}

void KitAllowAccessibilityKeys(bool bAllowKeys) {
    CKitCoreState& s = KitCore();
    STICKYKEYS sk;
    TOGGLEKEYS tk;
    FILTERKEYS fk;
    HHOOK hHook;
    {
        KitStateLock lock;
        s.m_bKeysAllowed = bAllowKeys;
        sk = s.m_StartupStickyKeys;
        tk = s.m_StartupToggleKeys;
        fk = s.m_StartupFilterKeys;
        hHook = s.m_hKeyboardHook;
    }

    if (bAllowKeys) {
        // The records are only meaningful once start-up has read them.
        if (sk.cbSize == sizeof(STICKYKEYS))
            SystemParametersInfoW(SPI_SETSTICKYKEYS, sizeof(STICKYKEYS), &sk, 0);
        if (tk.cbSize == sizeof(TOGGLEKEYS))
            SystemParametersInfoW(SPI_SETTOGGLEKEYS, sizeof(TOGGLEKEYS), &tk, 0);
        if (fk.cbSize == sizeof(FILTERKEYS))
            SystemParametersInfoW(SPI_SETFILTERKEYS, sizeof(FILTERKEYS), &fk, 0);
        if (hHook != nullptr) {
            UnhookWindowsHookEx(hHook);
            s.Set(&CKitCoreState::m_hKeyboardHook, nullptr);
        }
        return;
    }

    if (hHook == nullptr && CanHookKeyboard()) {
        hHook = SetWindowsHookExW(WH_KEYBOARD_LL, KitWindowsKeyHook, GetModuleHandleW(nullptr), 0);
        s.Set(&CKitCoreState::m_hKeyboardHook, hHook);
    }

    // Only the features that are off lose their hot keys; a feature in use keeps its settings.
    if (sk.cbSize == sizeof(STICKYKEYS) && (sk.dwFlags & SKF_STICKYKEYSON) == 0) {
        sk.dwFlags &= ~(SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY);
        SystemParametersInfoW(SPI_SETSTICKYKEYS, sizeof(STICKYKEYS), &sk, 0);
    }
    if (tk.cbSize == sizeof(TOGGLEKEYS) && (tk.dwFlags & TKF_TOGGLEKEYSON) == 0) {
        tk.dwFlags &= ~(TKF_HOTKEYACTIVE | TKF_CONFIRMHOTKEY);
        SystemParametersInfoW(SPI_SETTOGGLEKEYS, sizeof(TOGGLEKEYS), &tk, 0);
    }
    if (fk.cbSize == sizeof(FILTERKEYS) && (fk.dwFlags & FKF_FILTERKEYSON) == 0) {
        fk.dwFlags &= ~(FKF_HOTKEYACTIVE | FKF_CONFIRMHOTKEY);
        SystemParametersInfoW(SPI_SETFILTERKEYS, sizeof(FILTERKEYS), &fk, 0);
    }
}

LRESULT CALLBACK KitWindowsKeyHook(int nCode, WPARAM wParam, LPARAM lParam) {
    CKitCoreState& s = KitCore();
    if (nCode == HC_ACTION && (wParam == WM_KEYDOWN || wParam == WM_KEYUP) &&
        !s.Get(&CKitCoreState::m_bKeysAllowed)) {
        const KBDLLHOOKSTRUCT* pKey = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if (pKey->vkCode == VK_LWIN || pKey->vkCode == VK_RWIN) return 1;
    }
    return CallNextHookEx(s.Get(&CKitCoreState::m_hKeyboardHook), nCode, wParam, lParam);
}
