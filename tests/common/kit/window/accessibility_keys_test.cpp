// Accessibility shortcut keys: suppressing edits copies only, so allowing
// gives the user's own settings back; the hook swallows the Windows keys.
#include <gtest/gtest.h>

#include "common/kit/state_reset.h"
#include "common/kit/test_backend.h"
#include "kit/window/kit_accessibility_keys.h"

namespace {

class AccessibilityKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        kittest::ResetCoreState();
        // The user's settings: sticky keys off with their hot key on, toggle keys in use.
        STICKYKEYS sk{sizeof(STICKYKEYS), SKF_AVAILABLE | SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY};
        TOGGLEKEYS tk{sizeof(TOGGLEKEYS), TKF_TOGGLEKEYSON | TKF_HOTKEYACTIVE | TKF_CONFIRMHOTKEY};
        FILTERKEYS fk{sizeof(FILTERKEYS), FKF_AVAILABLE | FKF_HOTKEYACTIVE, 1, 2, 3, 4};
        SystemParametersInfoW(SPI_SETSTICKYKEYS, sizeof(sk), &sk, 0);
        SystemParametersInfoW(SPI_SETTOGGLEKEYS, sizeof(tk), &tk, 0);
        SystemParametersInfoW(SPI_SETFILTERKEYS, sizeof(fk), &fk, 0);
        KitCore().m_StartupStickyKeys = sk;
        KitCore().m_StartupToggleKeys = tk;
        KitCore().m_StartupFilterKeys = fk;
    }
    void TearDown() override {
        KitAllowAccessibilityKeys(true);
        kittest::ResetCoreState();
    }

    static STICKYKEYS Sticky() {
        STICKYKEYS sk{sizeof(STICKYKEYS), 0};
        SystemParametersInfoW(SPI_GETSTICKYKEYS, sizeof(sk), &sk, 0);
        return sk;
    }
    static TOGGLEKEYS Toggle() {
        TOGGLEKEYS tk{sizeof(TOGGLEKEYS), 0};
        SystemParametersInfoW(SPI_GETTOGGLEKEYS, sizeof(tk), &tk, 0);
        return tk;
    }
    static FILTERKEYS Filter() {
        FILTERKEYS fk{sizeof(FILTERKEYS), 0, 0, 0, 0, 0};
        SystemParametersInfoW(SPI_GETFILTERKEYS, sizeof(fk), &fk, 0);
        return fk;
    }
    kittest::TestBackendScope backend;
};

TEST_F(AccessibilityKeys, SuppressingThenAllowingGivesTheUsersSettingsBack) {
    KitAllowAccessibilityKeys(false);
    EXPECT_FALSE(KitCore().m_bKeysAllowed);
    EXPECT_EQ(Sticky().dwFlags, SKF_AVAILABLE);  // hot key off
    EXPECT_EQ(Toggle().dwFlags,
              TKF_TOGGLEKEYSON | TKF_HOTKEYACTIVE | TKF_CONFIRMHOTKEY);  // in use: untouched
    EXPECT_EQ(Filter().dwFlags, FKF_AVAILABLE);
    EXPECT_EQ(Filter().iBounceMSec, 4u);
    // The start-up records are as read.
    EXPECT_EQ(KitCore().m_StartupStickyKeys.dwFlags, SKF_AVAILABLE | SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY);

    KitAllowAccessibilityKeys(false);  // a second suppression changes nothing
    KitAllowAccessibilityKeys(true);
    EXPECT_TRUE(KitCore().m_bKeysAllowed);
    EXPECT_EQ(Sticky().dwFlags, SKF_AVAILABLE | SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY);
    EXPECT_EQ(Filter().dwFlags, FKF_AVAILABLE | FKF_HOTKEYACTIVE);
    EXPECT_EQ(KitCore().m_hKeyboardHook, nullptr);
}

TEST_F(AccessibilityKeys, HookSwallowsWindowsKeysOnlyWhileSuppressed) {
    KitAllowAccessibilityKeys(false);
    EXPECT_NE(KitCore().m_hKeyboardHook, nullptr);
    KBDLLHOOKSTRUCT key{};
    key.vkCode = VK_LWIN;
    EXPECT_EQ(KitWindowsKeyHook(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&key)), 1);
    key.vkCode = VK_RWIN;
    EXPECT_EQ(KitWindowsKeyHook(HC_ACTION, WM_KEYUP, reinterpret_cast<LPARAM>(&key)), 1);
    key.vkCode = 'A';
    EXPECT_EQ(KitWindowsKeyHook(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&key)), 0);
    KitAllowAccessibilityKeys(true);
    key.vkCode = VK_LWIN;
    EXPECT_EQ(KitWindowsKeyHook(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&key)), 0);
}

TEST_F(AccessibilityKeys, WindowsKeyNeverReachesTheKeyStateWhileSuppressed) {
    auto press = [this](UINT vk, bool down) {
        plat::Event e;
        e.type = plat::EventType::Key;
        e.vk = vk;
        e.down = down;
        backend->events.push_back(e);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    };
    KitAllowAccessibilityKeys(false);
    press(VK_LWIN, true);
    EXPECT_EQ(GetAsyncKeyState(VK_LWIN), 0);
    press(VK_LWIN, false);
    press('A', true);
    EXPECT_NE(GetAsyncKeyState('A'), 0);
    press('A', false);
    KitAllowAccessibilityKeys(true);
    press(VK_LWIN, true);
    EXPECT_NE(GetAsyncKeyState(VK_LWIN), 0);
    press(VK_LWIN, false);
}

TEST_F(AccessibilityKeys, PolicyAppliesForTheCurrentModeOnceInitialised) {
    KitSetAccessibilityKeyPolicy(false, true);
    EXPECT_FALSE(KitCore().m_bAllowKeysFullScreen);
    EXPECT_TRUE(KitCore().m_bAllowKeysWindowed);
    EXPECT_FALSE(KitCore().m_bKeysAllowed);  // not initialised: nothing applied
    KitCore().m_bInited = true;
    KitSetAccessibilityKeyPolicy(false, true);  // no settings: full screen
    EXPECT_FALSE(KitCore().m_bKeysAllowed);
    KitCore().m_pCurrentSetup = new KitDeviceSetup{};
    KitCore().m_pCurrentSetup->PresentParams.Windowed = TRUE;
    KitSetAccessibilityKeyPolicy(false, true);
    EXPECT_TRUE(KitCore().m_bKeysAllowed);
    KitCore().m_bInited = false;
}

}  // namespace
