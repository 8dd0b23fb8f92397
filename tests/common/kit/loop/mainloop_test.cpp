// The main loop and its frames: constant frame time, quit-after-frame,
// lost devices that cannot yet be reset, forced losses recovered by the loop,
// and a loop started without a device.
#include "common/kit/loop/kit_frame.h"
#include "common/kit/time/kit_timers.h"
#include "platform/manual_clock.h"
#include "tests/common/kit/lifecycle_fixture.h"

namespace {

using kittest::KitAppTest;

TEST_F(KitAppTest, ConstantFrameTimeAdvancesTimeExactly) {
    ASSERT_EQ(app.Build(), S_OK);
    KitSetFixedFrameTime(true, 0.0333f);
    ASSERT_EQ(RunFrames(10), S_OK);
    ASSERT_EQ(app.moves.size(), 10u);
    for (const kittest::FrameCall& call : app.moves) EXPECT_FLOAT_EQ(call.elapsed, 0.0333f);
    EXPECT_NEAR(app.moves[9].time, 10 * static_cast<double>(0.0333f), 1e-9);
    EXPECT_NEAR(KitCurrentTime(), 10 * static_cast<double>(0.0333f), 1e-9);
    EXPECT_EQ(KitCore().Get(&CKitCoreState::m_nFrameNumber), 10);
}

TEST_F(KitAppTest, QuitAfterFrameOneEndsAfterTheSecondFrame) {
    KitCore().Set(&CKitCoreState::m_nOverrideQuitAfterFrame, 1);
    ASSERT_EQ(app.Build(), S_OK);
    EXPECT_EQ(KitMainLoop(), S_OK);
    EXPECT_EQ(app.moves.size(), 2u);
    EXPECT_EQ(app.renders.size(), 2u);
    EXPECT_EQ(KitProcessExitCode(), 0);
    // Termination released the device with its callbacks.
    EXPECT_EQ(app.DeviceEvents(), (std::vector<std::string>{"created", "reset", "lost", "destroyed"}));
}

TEST_F(KitAppTest, LoopWithoutADeviceBuildsADefaultOne) {
    EXPECT_EQ(RunFrames(1), S_OK);
    EXPECT_EQ(app.moves.size(), 1u);
    EXPECT_EQ(app.DeviceEvents().front(), "created");
    EXPECT_STREQ(KitWindowTitle(), L"Direct3D Window");
}

TEST_F(KitAppTest, ForcedDeviceLossIsRecoveredByTheLoop) {
    ASSERT_EQ(app.Build(), S_OK);
    app.onFrameMove = [](int nFrame) {
        if (nFrame == 2) plat::ForceDeviceLoss();
    };
    ASSERT_EQ(RunFrames(6), S_OK);
    EXPECT_EQ(app.DeviceEvents(), (std::vector<std::string>{"created", "reset", "lost", "reset"}));
    EXPECT_EQ(app.moves.size(), 6u);
    EXPECT_FALSE(KitCore().Get(&CKitCoreState::m_bDeviceLost));
}

TEST_F(KitAppTest, LostDeviceThatCannotBeResetGetsNoFrameCallbacks) {
    KitCore().Set(&CKitCoreState::m_bOverrideFullScreen, true);
    ASSERT_EQ(app.Build(), S_OK);
    // The first full-screen device is there at once: its window is shown in front.
    ASSERT_NE(KitCurrentDevice(), nullptr);
    EXPECT_FALSE(KitCore().Get(&CKitCoreState::m_bDeviceLost));
    KitRenderOneFrame();
    ASSERT_EQ(app.moves.size(), 1u);

    // Another program comes to the front: the full-screen device is lost
    // until the window is active again.
    plat::Event e;
    e.type = plat::EventType::WindowDeactivated;
    Push(e);
    Pump();
    ASSERT_FALSE(KitAppActive());
    ASSERT_TRUE(KitRenderingHeld());
    // Undo the pause so that the loss alone holds the frames back.
    KitSuspend(false, false);
    KitRenderOneFrame();  // presents, and so learns of the loss
    ASSERT_TRUE(KitCore().Get(&CKitCoreState::m_bDeviceLost));
    size_t nMoves = app.moves.size();
    size_t nRenders = app.renders.size();
    {
        plat::ManualClock clock;  // the idle passes' sleeps move it on
        const int64_t llStart = clock.Nanos();
        for (int i = 0; i < 3; ++i) KitRenderOneFrame();
        EXPECT_EQ(clock.Nanos() - llStart, 150000000LL);  // 50 ms per idle pass
    }
    EXPECT_EQ(app.moves.size(), nMoves);
    EXPECT_EQ(app.renders.size(), nRenders);

    // Back in front: the loop resets the device and frames resume.
    app.events.clear();
    e.type = plat::EventType::WindowActivated;
    Push(e);
    Pump();
    KitRenderOneFrame();
    EXPECT_EQ(app.DeviceEvents(), (std::vector<std::string>{"lost", "reset"}));
    EXPECT_EQ(app.moves.size(), nMoves + 1);
    EXPECT_FALSE(KitCore().Get(&CKitCoreState::m_bDeviceLost));
}

}  // namespace
