// Game pads: the poll through the built-in game-pad module (dead zone, axis
// snapping, scaling) and the model-viewer camera following the stick of the
// pad used most recently. A headless backend with scripted pads stands in for
// real controllers.
#include <gtest/gtest.h>

#include <array>
#include <memory>

#include "tests/common/kitmisc/camera_test_window.h"
#include "common/kit/state/kit_state.h"
#include "common/kitmisc/camera_gamepad.h"
#include "common/kitmisc/model_viewer_camera.h"
#include "platform/backend.h"
#include "platform/headless/headless_backend.h"

namespace {

constexpr float kEps = 1e-4f;

// Headless, but with pads the test sets.
class PadBackend : public plat::HeadlessBackend {
  public:
    PadBackend() : plat::HeadlessBackend(plat::HeadlessConfig{}) {}
    bool Gamepad(int index, plat::GamepadState& out) override {
        out = pads.at(index);
        return out.connected;
    }
    std::array<plat::GamepadState, 4> pads{};
};

class GamePadTest : public ::testing::Test {
  protected:
    PadBackend* backend = nullptr;

    void SetUp() override {
        plat::ResetWindowSystem();
        auto b = std::make_unique<PadBackend>();
        backend = b.get();
        plat::SetBackend(std::move(b));
    }
    void TearDown() override {
        plat::ResetWindowSystem();
        plat::SetBackend(std::make_unique<plat::HeadlessBackend>(plat::HeadlessConfig{}));
        KitCore().Set(&CKitCoreState::m_fTime, 0.0);
    }
    plat::GamepadState& Pad(int i) {
        backend->pads[i].connected = true;
        return backend->pads[i];
    }
};

TEST_F(GamePadTest, AbsentPadReadsAsNotConnected) {
    KitGamePad pad;
    EXPECT_EQ(KitPollGamePad(0, &pad, true, true), S_FALSE);
    EXPECT_FALSE(pad.bConnected);
    EXPECT_FALSE(KitGamePadActive(pad));
    EXPECT_EQ(KitPollGamePad(4, &pad, true, true), E_INVALIDARG);
}

TEST_F(GamePadTest, DeadZoneSnapsPerAxisOrAsACircle) {
    plat::GamepadState& p = Pad(1);
    p.thumbLX = 5000;  // inside the left dead zone (7849)
    p.thumbLY = 20000;
    p.thumbRX = -32768;
    p.thumbRY = 9000;  // just outside the right dead zone (8689)

    KitGamePad pad;
    ASSERT_EQ(KitPollGamePad(1, &pad, true, true), S_OK);
    EXPECT_TRUE(pad.bConnected);
    EXPECT_EQ(pad.sThumbLX, 0);
    EXPECT_EQ(pad.fThumbLX, 0.0f);
    EXPECT_NEAR(pad.fThumbLY, 20000 / 32767.0f, kEps);
    EXPECT_EQ(pad.fThumbRX, -1.0f);
    EXPECT_NEAR(pad.fThumbRY, 9000 / 32767.0f, kEps);

    // As a circle, (5000, 5000) is inside the dead zone; (5000, 20000) is not.
    p.thumbLY = 5000;
    KitPollGamePad(1, &pad, true, false);
    EXPECT_EQ(pad.sThumbLX, 0);
    EXPECT_EQ(pad.sThumbLY, 0);
    p.thumbLY = 20000;
    KitPollGamePad(1, &pad, true, false);
    EXPECT_EQ(pad.sThumbLX, 5000);

    // Without the dead zone the raw reading stays.
    p.thumbLY = 100;
    KitPollGamePad(1, &pad, false, false);
    EXPECT_EQ(pad.sThumbLY, 100);
    EXPECT_TRUE(KitGamePadActive(pad));
}

TEST_F(GamePadTest, CameraFollowsTheLeftStickOfThePadUsedLast) {
    CModelViewerCamera cam;
    CameraTestWindow window([&cam](HWND h, UINT m, WPARAM w, LPARAM l) { cam.ProcessMessage(h, m, w, l); });
    const D3DXVECTOR3 eye(0, 0, -100), target(0, 0, 0);
    cam.SetEyeAndTarget(&eye, &target);
    cam.SetViewportSize(640, 480, 0.9f);

    // Pad 0 pushed forward at time 1: the target moves 5 units/s along the view.
    KitCore().Set(&CKitCoreState::m_fTime, 1.0);
    Pad(0).thumbLY = 32767;
    cam.Advance(0.5f);
    EXPECT_NEAR(cam.TargetPos()->z, 2.5f, kEps);
    EXPECT_NEAR(cam.EyePos()->z, -97.5f, kEps);

    // At time 2 pad 0 is idle and pad 3 is pulled back: pad 3 steers.
    KitCore().Set(&CKitCoreState::m_fTime, 2.0);
    Pad(0).thumbLY = 0;
    Pad(3).thumbLY = -32767;
    window.Move(10, 10, 0);
    cam.Advance(0.5f);
    EXPECT_NEAR(cam.TargetPos()->z, 0.0f, kEps);
}

}  // namespace
