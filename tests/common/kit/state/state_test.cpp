// The framework state: defaults, copies of the settings, key and button
// reads, the fixed frame time rule, the callback registry and the lock.
#include <gtest/gtest.h>

#include <thread>

#include "common/kit/state_reset.h"
#include "common/kit/test_backend.h"
#include "kit/state/kit_getters.h"
#include "kit/state/kit_state.h"

namespace {

class KitState : public ::testing::Test {
  protected:
    void SetUp() override { kittest::ResetCoreState(); }
    void TearDown() override { kittest::ResetCoreState(); }
};

TEST_F(KitState, DefaultsOfTheSwitches) {
    CKitCoreState& s = KitCore();
    EXPECT_TRUE(s.m_bAllowKeysWindowed);
    EXPECT_FALSE(s.m_bAllowKeysFullScreen);
    EXPECT_TRUE(s.m_bCallDefWindowProc);
    EXPECT_TRUE(s.m_bFollowMonitor);
    EXPECT_TRUE(s.m_bActive);
    EXPECT_EQ(s.m_nOverrideAdapter, -1);
    EXPECT_EQ(s.m_nOverrideForceVsync, -1);
    EXPECT_TRUE(KitErrorBoxesEnabled());
    EXPECT_TRUE(KitAppActive());
    EXPECT_EQ(KitProcessExitCode(), 0);
}

TEST_F(KitState, NoCurrentSettingsGivesZeroRecords) {
    KitDeviceSetup setup = KitCurrentSetup();
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&setup);
    for (size_t i = 0; i < sizeof(setup); ++i) ASSERT_EQ(bytes[i], 0) << "byte " << i;
    D3DPRESENT_PARAMETERS pp = KitCurrentPresentParams();
    EXPECT_EQ(pp.BackBufferWidth, 0u);
    EXPECT_EQ(pp.Windowed, 0);
    EXPECT_FALSE(KitInWindowedMode());
}

TEST_F(KitState, SettingsAreHandedOutAsCopies) {
    CKitCoreState& s = KitCore();
    s.m_pCurrentSetup = new KitDeviceSetup{};
    s.m_pCurrentSetup->AdapterOrdinal = 1;
    s.m_pCurrentSetup->PresentParams.Windowed = TRUE;
    s.m_pCurrentSetup->PresentParams.BackBufferWidth = 640;
    KitDeviceSetup copy = KitCurrentSetup();
    EXPECT_EQ(copy.PresentParams.BackBufferWidth, 640u);
    EXPECT_NE(&copy, s.m_pCurrentSetup);
    s.m_pCurrentSetup->PresentParams.BackBufferWidth = 800;
    EXPECT_EQ(copy.PresentParams.BackBufferWidth, 640u);
    EXPECT_EQ(KitCurrentPresentParams().BackBufferWidth, 800u);
    EXPECT_EQ(KitCurrentSetup().AdapterOrdinal, 1u);
    EXPECT_TRUE(KitInWindowedMode());
}

TEST_F(KitState, ActiveWindowFollowsTheWindowedFlag) {
    CKitCoreState& s = KitCore();
    HWND hWindowed = reinterpret_cast<HWND>(0x100);
    HWND hFullScreen = reinterpret_cast<HWND>(0x200);
    s.m_hWndWindowed = hWindowed;
    s.m_hWndFullScreen = hFullScreen;
    EXPECT_EQ(KitActiveWindow(), hFullScreen);  // no settings: not windowed
    s.m_pCurrentSetup = new KitDeviceSetup{};
    s.m_pCurrentSetup->PresentParams.Windowed = TRUE;
    EXPECT_EQ(KitActiveWindow(), hWindowed);
    s.m_pCurrentSetup->PresentParams.Windowed = FALSE;
    EXPECT_EQ(KitActiveWindow(), hFullScreen);
    s.m_hWndWindowed = s.m_hWndFullScreen = nullptr;
}

TEST_F(KitState, MouseButtonIndexes) {
    CKitCoreState& s = KitCore();
    // Order in the state: left, middle, right, first extra, second extra.
    s.m_MouseButtons[0] = true;
    EXPECT_TRUE(KitMouseButtonDown(VK_LBUTTON));
    EXPECT_TRUE(KitKeyDown(VK_LBUTTON));
    EXPECT_FALSE(KitMouseButtonDown(VK_RBUTTON));
    s.m_MouseButtons[0] = false;
    s.m_MouseButtons[2] = true;
    EXPECT_TRUE(KitMouseButtonDown(VK_RBUTTON));
    EXPECT_TRUE(KitKeyDown(VK_RBUTTON));
    EXPECT_FALSE(KitMouseButtonDown(VK_MBUTTON));
    s.m_MouseButtons[1] = true;
    EXPECT_TRUE(KitMouseButtonDown(VK_MBUTTON));
    EXPECT_TRUE(KitMouseButtonDown(MK_MBUTTON));
    s.m_MouseButtons[3] = true;
    EXPECT_TRUE(KitMouseButtonDown(MK_XBUTTON1));
    EXPECT_TRUE(KitKeyDown(VK_XBUTTON1));
    EXPECT_FALSE(KitMouseButtonDown(VK_XBUTTON2));
    s.m_MouseButtons[4] = true;
    EXPECT_TRUE(KitMouseButtonDown(MK_XBUTTON2));
}

TEST_F(KitState, KeysComeFromTheKeyTable) {
    CKitCoreState& s = KitCore();
    s.m_Keys['A'] = true;
    EXPECT_TRUE(KitKeyDown('A'));
    EXPECT_FALSE(KitKeyDown('B'));
}

void PumpKey(kittest::TestBackend& backend, UINT vk, bool down) {
    plat::Event e;
    e.type = plat::EventType::Key;
    e.vk = vk;
    e.down = down;
    backend.events.push_back(e);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST_F(KitState, SideSpecificModifiersReadTheLiveState) {
    kittest::TestBackendScope backend;
    // No key message ever reached the framework: the table says up.
    ASSERT_FALSE(KitCore().m_Keys[VK_LSHIFT]);
    PumpKey(*backend, VK_LSHIFT, true);
    EXPECT_TRUE(KitKeyDown(VK_LSHIFT));
    EXPECT_FALSE(KitKeyDown(VK_RSHIFT));
    PumpKey(*backend, VK_LSHIFT, false);
    EXPECT_FALSE(KitKeyDown(VK_LSHIFT));
    // And a stale table entry does not make it down either.
    KitCore().m_Keys[VK_RMENU] = true;
    EXPECT_FALSE(KitKeyDown(VK_RMENU));
}

TEST_F(KitState, FixedFrameTimeFromTheCommandLineWins) {
    KitSetFixedFrameTime(true, 0.5f);
    EXPECT_TRUE(KitCore().m_bFixedFrameTime);
    EXPECT_FLOAT_EQ(KitCore().m_fFixedFrameTime, 0.5f);

    KitCore().m_bOverrideFixedFrameTime = true;
    KitCore().m_fOverrideFixedFrameTime = 0.01f;
    KitSetFixedFrameTime(false, 0.0f);
    EXPECT_TRUE(KitCore().m_bFixedFrameTime);
    EXPECT_FLOAT_EQ(KitCore().m_fFixedFrameTime, 0.01f);
}

TEST_F(KitState, SmallSetters) {
    KitSetFollowMonitor(false);
    EXPECT_FALSE(KitCore().m_bFollowMonitor);
    KitSetFollowMonitor(true);
    KitSetDefaultWindowProcessing(false);
    EXPECT_FALSE(KitCore().m_bCallDefWindowProc);
    KitSetDefaultWindowProcessing(true);
    KitCore().m_nFullScreenWidthAtSwitch = 800;
    KitCore().m_nFullScreenHeightAtSwitch = 600;
    RECT rc = KitFullScreenSizeAtSwitch();
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.right, 800);
    EXPECT_EQ(rc.bottom, 600);
    KitCore().m_nFullScreenWidthAtSwitch = KitCore().m_nFullScreenHeightAtSwitch = 0;
}

int g_nCalls = 0;
void* g_pSeenContext = nullptr;
void OnLost(void* pUserContext) {
    ++g_nCalls;
    g_pSeenContext = pUserContext;
}
void OnMouse(bool, bool, bool, bool, bool, int, int, int, void*) {}

TEST_F(KitState, RegistrationStoresCallbackAndContext) {
    int context = 0;
    KitRegisterDeviceLost(OnLost, &context);
    CKitCoreState& s = KitCore();
    ASSERT_EQ(s.m_pfnDeviceLost, &OnLost);
    s.m_pfnDeviceLost(s.m_pDeviceLostContext);
    EXPECT_EQ(g_nCalls, 1);
    EXPECT_EQ(g_pSeenContext, &context);
    KitRegisterDeviceLost(nullptr, nullptr);
    EXPECT_EQ(s.m_pfnDeviceLost, nullptr);

    KitRegisterMouse(OnMouse, true, &context);
    EXPECT_EQ(s.m_pfnMouse, &OnMouse);
    EXPECT_TRUE(s.m_bNotifyMouseMove);
    EXPECT_EQ(s.m_pMouseContext, &context);
    KitRegisterMouse(nullptr);
    EXPECT_FALSE(s.m_bNotifyMouseMove);
}

TEST_F(KitState, LockSerialisesFieldUpdatesAcrossThreads) {
    CKitCoreState& s = KitCore();
    auto work = [&s] {
        for (int i = 0; i < 20000; ++i) {
            KitStateLock lock;
            s.m_nFrameNumber++;
        }
    };
    s.Set(&CKitCoreState::m_nFrameNumber, 0);
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(s.Get(&CKitCoreState::m_nFrameNumber), 40000);
    s.Set(&CKitCoreState::m_nFrameNumber, 0);
}

}  // namespace
