// What start-up reads once: the user's accessibility settings survive a
// second start-up made while they are suppressed; the frame rate is first
// measured over a second of the program's own frames.
#include <gtest/gtest.h>

#include <string>

#include "common/kit/startup/kit_accessibility_keys.h"
#include "common/kit/startup/kit_startup.h"
#include "common/kit/state/kit_state.h"
#include "common/kit/time/kit_frame_stats.h"
#include "tests/common/kit/state_reset.h"
#include "tests/common/kit/test_backend.h"

namespace {

class StartupOnceTest : public ::testing::Test {
  protected:
    kittest::TestBackendScope backend;
    void SetUp() override { kittest::ResetCoreState(); }
    void TearDown() override {
        KitAllowAccessibilityKeys(true);
        kittest::ResetCoreState();
    }
    static DWORD StickyFlags() {
        STICKYKEYS sk{sizeof(STICKYKEYS), 0};
        SystemParametersInfoW(SPI_GETSTICKYKEYS, sizeof(sk), &sk, 0);
        return sk.dwFlags;
    }
};

TEST_F(StartupOnceTest, SecondStartupKeepsTheUsersAccessibilitySettings) {
    const DWORD kUser = SKF_AVAILABLE | SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY;
    STICKYKEYS sk{sizeof(STICKYKEYS), kUser};
    SystemParametersInfoW(SPI_SETSTICKYKEYS, sizeof(sk), &sk, 0);

    ASSERT_EQ(KitStartup(false, true, true, true), S_OK);
    KitAllowAccessibilityKeys(false);
    ASSERT_EQ(StickyFlags(), static_cast<DWORD>(SKF_AVAILABLE));  // the hot key is suppressed

    ASSERT_EQ(KitStartup(false, true, true, true), S_OK);
    KitAllowAccessibilityKeys(true);
    EXPECT_EQ(StickyFlags(), kUser) << "the suppressed settings were given back as the user's";
}

TEST_F(StartupOnceTest, FirstFrameShowsNoFrameRate) {
    ASSERT_EQ(KitStartup(false, true, true, true), S_OK);
    KitTickFrameStats();
    EXPECT_STREQ(KitCore().m_szFPS, L"") << "a rate was computed from time 0";

    // Eleven frames over just more than a second: the first update.
    for (int i = 0; i < 10; ++i) KitTickFrameStats();
    KitCore().m_fLastStatsTime -= 1.1;
    KitTickFrameStats();
    EXPECT_NEAR(KitCore().m_fFPS, 10.0f, 0.1f);  // eleven frames after the first, in 1.1 s
    EXPECT_STREQ(KitCore().m_szFPS, L"10.00 fps ");
}

}  // namespace
