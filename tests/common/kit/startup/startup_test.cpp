// KitStartup: switches, the command line over the application's switches,
// the accessibility records and the Direct3D object.
#include <gtest/gtest.h>

#include "tests/common/kit/debug_capture.h"
#include "tests/common/kit/state_reset.h"
#include "tests/common/kit/test_backend.h"
#include "common/kit/errors/kit_debug_line.h"
#include "common/kit/startup/kit_d3d9_library.h"
#include "common/kit/startup/kit_startup.h"
#include "common/kit/state/kit_getters.h"
#include "platform/win32/kernel_process.h"

namespace {

class KitStartupTest : public ::testing::Test {
  protected:
    void SetUp() override { kittest::ResetCoreState(); }
    void TearDown() override {
        kittest::ResetCoreState();
        const char* argv[] = {"test"};
        plat::SetProcessCommandLine(1, argv);
    }
    kittest::TestBackendScope backend;
};

TEST_F(KitStartupTest, StoresSwitchesAndCreatesTheDirect3DObject) {
    STICKYKEYS sk{sizeof(STICKYKEYS), SKF_AVAILABLE | SKF_HOTKEYACTIVE};
    SystemParametersInfoW(SPI_SETSTICKYKEYS, sizeof(sk), &sk, 0);

    ASSERT_EQ(KitStartup(false, true, true, false), S_OK);
    CKitCoreState& s = KitCore();
    EXPECT_TRUE(s.m_bInitCalled);
    EXPECT_TRUE(s.m_bInited);
    EXPECT_TRUE(s.m_bHandleDefaultHotkeys);
    EXPECT_TRUE(s.m_bShowErrorBoxes);
    EXPECT_FALSE(s.m_bHandleAltEnter);
    EXPECT_NE(KitGetD3DObject(), nullptr);
    EXPECT_EQ(s.m_StartupStickyKeys.cbSize, 8u);
    EXPECT_EQ(s.m_StartupStickyKeys.dwFlags, SKF_AVAILABLE | SKF_HOTKEYACTIVE);
    EXPECT_EQ(s.m_StartupToggleKeys.cbSize, 8u);
    EXPECT_EQ(s.m_StartupFilterKeys.cbSize, 24u);

    // A second start-up keeps the one Direct3D object.
    IDirect3D9* pD3D = KitGetD3DObject();
    ASSERT_EQ(KitStartup(false, false, true, true), S_OK);
    EXPECT_EQ(KitGetD3DObject(), pD3D);
    EXPECT_FALSE(s.m_bHandleDefaultHotkeys);
    EXPECT_TRUE(s.m_bHandleAltEnter);
}

TEST_F(KitStartupTest, CommandLineWinsOverTheApplicationsSwitch) {
    const char* argv[] = {"/usr/bin/test", "/noerrormsgboxes", "-nostats"};
    plat::SetProcessCommandLine(3, argv);
    ASSERT_EQ(KitStartup(true, true, true, true), S_OK);
    EXPECT_FALSE(KitErrorBoxesEnabled());
    EXPECT_TRUE(KitCore().m_bNoStats);
}

TEST_F(KitStartupTest, CommandLineIsLeftAloneWhenNotAsked) {
    const char* argv[] = {"/usr/bin/test", "/noerrormsgboxes"};
    plat::SetProcessCommandLine(2, argv);
    ASSERT_EQ(KitStartup(false, true, true, true), S_OK);
    EXPECT_TRUE(KitErrorBoxesEnabled());
}

TEST_F(KitStartupTest, Direct3DLibraryAndMarkers) {
    EXPECT_TRUE(KitLoadD3D9());
    IDirect3D9* pD3D = KitCreateD3D9(D3D_SDK_VERSION);
    ASSERT_NE(pD3D, nullptr);
    EXPECT_GE(pD3D->GetAdapterCount(), 1u);
    pD3D->Release();
    EXPECT_EQ(KitCreateD3D9(12345), nullptr);  // not this runtime's version
    // The markers reach the library: a nested pair reports the levels it starts and ends in.
    int outer = KitPerfBeginEvent(D3DCOLOR_ARGB(0xFF, 0xC8, 0x64, 0x64), L"HUD / Stats");
    ASSERT_NE(outer, -1);
    int inner = KitPerfBeginEvent(D3DCOLOR_ARGB(0xFF, 0, 0, 0), L"inner");
    EXPECT_EQ(inner, outer + 1);
    EXPECT_EQ(KitPerfEndEvent(), inner);
    EXPECT_EQ(KitPerfEndEvent(), outer);
}

TEST_F(KitStartupTest, DebugLineIsBoundedTo511Characters) {
    kittest::DebugCapture capture;
    std::wstring text(2000, L'z');
    KitDebugLine(L"%ls", text.c_str());
    EXPECT_EQ(capture.Text(), std::string(511, 'z'));
}

}  // namespace
