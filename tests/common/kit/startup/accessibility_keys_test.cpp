// Accessibility shortcut keys: suppressing edits copies only, so allowing
// gives the user's own settings back; the hook swallows the Windows keys; the
// policy applies for the current mode once the framework has started.
#include <gtest/gtest.h>

#include "common/kit/startup/kit_accessibility_keys.h"
#include "common/kit/startup/kit_startup.h"
#include "tests/common/kit/lifecycle_fixture.h"
#include "tests/common/kit/state_reset.h"
#include "tests/common/kit/test_backend.h"

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
    }
    // Start-up reads the user's settings.
    static void Start() { ASSERT_EQ(KitStartup(false, true, false, true), S_OK); }
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
    static bool HookSwallows(DWORD vk) {
        KBDLLHOOKSTRUCT key{};
        key.vkCode = vk;
        return KitWindowsKeyHook(HC_ACTION, WM_KEYDOWN, reinterpret_cast<LPARAM>(&key)) == 1;
    }
    static FILTERKEYS Filter() {
        FILTERKEYS fk{sizeof(FILTERKEYS), 0, 0, 0, 0, 0};
        SystemParametersInfoW(SPI_GETFILTERKEYS, sizeof(fk), &fk, 0);
        return fk;
    }
    kittest::TestBackendScope backend;
};

TEST_F(AccessibilityKeys, SuppressingThenAllowingGivesTheUsersSettingsBack) {
    Start();
    KitAllowAccessibilityKeys(false);
    EXPECT_TRUE(HookSwallows(VK_LWIN));
    EXPECT_EQ(Sticky().dwFlags, SKF_AVAILABLE);  // hot key off
    EXPECT_EQ(Toggle().dwFlags,
              TKF_TOGGLEKEYSON | TKF_HOTKEYACTIVE | TKF_CONFIRMHOTKEY);  // in use: untouched
    EXPECT_EQ(Filter().dwFlags, FKF_AVAILABLE);
    EXPECT_EQ(Filter().iBounceMSec, 4u);

    // A second suppression starts again from the records read at start-up, not from the edited settings.
    KitAllowAccessibilityKeys(false);
    KitAllowAccessibilityKeys(true);
    EXPECT_FALSE(HookSwallows(VK_LWIN));
    EXPECT_EQ(Sticky().dwFlags, SKF_AVAILABLE | SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY);
    EXPECT_EQ(Toggle().dwFlags, TKF_TOGGLEKEYSON | TKF_HOTKEYACTIVE | TKF_CONFIRMHOTKEY);
    EXPECT_EQ(Filter().dwFlags, FKF_AVAILABLE | FKF_HOTKEYACTIVE);
    EXPECT_EQ(Filter().iBounceMSec, 4u);
}

TEST_F(AccessibilityKeys, HookSwallowsWindowsKeysOnlyWhileSuppressed) {
    Start();
    KitAllowAccessibilityKeys(false);
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
    Start();
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

TEST_F(AccessibilityKeys, PolicyIsOnlyStoredBeforeStartUp) {
    KitSetAccessibilityKeyPolicy(false, false);
    EXPECT_EQ(Sticky().dwFlags, SKF_AVAILABLE | SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY);
    // No hook was installed: the Windows key reaches the key state.
    plat::Event e;
    e.type = plat::EventType::Key;
    e.vk = VK_LWIN;
    e.down = true;
    backend->events.push_back(e);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    EXPECT_NE(GetAsyncKeyState(VK_LWIN), 0);
    e.down = false;
    backend->events.push_back(e);
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

// With a device: the policy for the mode in use.
class AccessibilityKeysInUse : public kittest::KitAppTest {
  protected:
    void TearDown() override {
        KitAllowAccessibilityKeys(true);
        KitAppTest::TearDown();
    }
    static DWORD StickyFlags() {
        STICKYKEYS sk{sizeof(STICKYKEYS), 0};
        SystemParametersInfoW(SPI_GETSTICKYKEYS, sizeof(sk), &sk, 0);
        return sk.dwFlags;
    }
};

TEST_F(AccessibilityKeysInUse, PolicyAppliesForTheCurrentMode) {
    // Start-up reads the user's settings once per run: start again from a clean state.
    kittest::ResetCoreState();
    app.Register();
    STICKYKEYS sk{sizeof(STICKYKEYS), SKF_AVAILABLE | SKF_HOTKEYACTIVE};
    SystemParametersInfoW(SPI_SETSTICKYKEYS, sizeof(sk), &sk, 0);
    ASSERT_EQ(KitStartup(false, true, true, true), S_OK);  // reads the settings above

    KitSetAccessibilityKeyPolicy(false, true);  // no settings yet: full screen
    EXPECT_EQ(StickyFlags(), static_cast<DWORD>(SKF_AVAILABLE));
    ASSERT_EQ(app.Build(true, 640, 480), S_OK);
    KitSetAccessibilityKeyPolicy(false, true);  // windowed
    EXPECT_EQ(StickyFlags(), static_cast<DWORD>(SKF_AVAILABLE | SKF_HOTKEYACTIVE));
    KitSetAccessibilityKeyPolicy(true, false);
    EXPECT_EQ(StickyFlags(), static_cast<DWORD>(SKF_AVAILABLE));
}

}  // namespace
