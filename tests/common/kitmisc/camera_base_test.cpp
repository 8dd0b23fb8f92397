// Base camera: key and button state, capture, placement angles and the
// velocity with and without damping, driven through window messages.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/common/kitmisc/camera_test_window.h"
#include "common/kitmisc/base_camera.h"

namespace {

constexpr float kEps = 1e-4f;

// The smallest derived camera: keyboard movement, and the mouse when asked.
class MotionCamera : public CBaseCamera {
  public:
    void Advance(float fElapsedTime) override {
        GatherInput(m_bMoveEnabled, bMouse, false, bRecentre);
        UpdateMotion(fElapsedTime);
    }
    bool bMouse = false;
    bool bRecentre = false;
};

class BaseCameraTest : public ::testing::Test {
  protected:
    MotionCamera cam;
    CameraTestWindow window{[this](HWND h, UINT m, WPARAM w, LPARAM l) { cam.ProcessMessage(h, m, w, l); }};

    D3DXVECTOR3 Velocity() const { return *cam.VelocityNow(); }
};

TEST_F(BaseCameraTest, KeysMoveAlongTheirAxesAtMoveSpeed) {
    window.KeyDown('W');
    cam.Advance(0.1f);
    EXPECT_NEAR(Velocity().z, 5.0f, kEps);

    window.KeyDown('D');
    cam.Advance(0.1f);
    const float diag = 5.0f / std::sqrt(2.0f);
    EXPECT_NEAR(Velocity().x, diag, kEps);
    EXPECT_NEAR(Velocity().z, diag, kEps);
    window.KeyUp('D');
    window.KeyUp('W');

    // Up moves only while vertical movement is on; unmapped keys do nothing.
    window.KeyDown(VK_PRIOR);
    window.KeyDown('Z');
    cam.Advance(0.1f);
    EXPECT_NEAR(Velocity().y, 5.0f, kEps);
    cam.SetMoveEnabled(true, false);
    cam.Advance(0.1f);
    EXPECT_NEAR(D3DXVec3Length(cam.VelocityNow()), 0.0f, kEps);
}

TEST_F(BaseCameraTest, KeyPressedTwiceIsReleasedByOneKeyUp) {
    window.KeyDown('W');
    window.KeyDown('W');  // auto-repeat
    window.KeyUp('W');
    cam.Advance(0.1f);
    EXPECT_NEAR(D3DXVec3Length(cam.VelocityNow()), 0.0f, kEps);

    // A release whose press went elsewhere does not disturb a held key.
    window.KeyDown(VK_UP);
    window.KeyUp('S');
    cam.Advance(0.1f);
    EXPECT_NEAR(Velocity().z, 5.0f, kEps);
}

TEST_F(BaseCameraTest, PressOutsideDragAreaCapturesWithoutButtonFlag) {
    const RECT rc = {100, 100, 300, 300};
    cam.SetDragArea(&rc);

    window.LeftDown(50, 50);
    EXPECT_EQ(GetCapture(), window.hwnd());
    EXPECT_EQ(cam.ButtonsDown(), 0);
    window.LeftUp(50, 50);
    EXPECT_EQ(GetCapture(), nullptr);

    // The capture stays while a button pressed inside is still held.
    window.RightDown(150, 150);
    EXPECT_EQ(cam.ButtonsDown(), BTN_MASK_RIGHT);
    window.LeftDown(20, 20);
    EXPECT_EQ(cam.ButtonsDown(), BTN_MASK_RIGHT);
    window.LeftUp(20, 20);
    EXPECT_EQ(GetCapture(), window.hwnd());
    window.Send(WM_MBUTTONDOWN, MK_MBUTTON | MK_RBUTTON, MAKELPARAM(299, 299));
    EXPECT_EQ(cam.ButtonsDown(), BTN_MASK_RIGHT | BTN_MASK_MIDDLE);
    window.Send(WM_MBUTTONUP, MK_RBUTTON, MAKELPARAM(299, 299));
    window.RightUp(150, 150);
    EXPECT_EQ(cam.ButtonsDown(), 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(BaseCameraTest, PlacementGivesYawAndPitch) {
    const D3DXVECTOR3 eye(0, 0, -100), target(0, 0, 0);
    cam.SetEyeAndTarget(&eye, &target);
    EXPECT_NEAR(cam.Yaw(), 0.0f, kEps);
    EXPECT_NEAR(cam.Pitch(), 0.0f, kEps);

    const D3DXVECTOR3 origin(0, 0, 0), right(1, 0, 0), up45(0, 1, 1);
    cam.SetEyeAndTarget(&origin, &right);
    EXPECT_NEAR(cam.Yaw(), D3DX_PI / 2, kEps);
    EXPECT_NEAR(cam.Pitch(), 0.0f, kEps);
    cam.SetEyeAndTarget(&origin, &up45);
    EXPECT_NEAR(cam.Yaw(), 0.0f, kEps);
    EXPECT_NEAR(cam.Pitch(), -D3DX_PI / 4, kEps);

    // A missing point leaves everything as it was.
    cam.SetEyeAndTarget(nullptr, &right);
    EXPECT_NEAR(cam.Pitch(), -D3DX_PI / 4, kEps);
    EXPECT_EQ(*cam.TargetPos(), up45);
}

TEST_F(BaseCameraTest, DampingFallsLinearlyToZero) {
    cam.SetDamping(true, 0.25f);
    window.KeyDown('W');
    cam.Advance(0.05f);
    EXPECT_NEAR(Velocity().z, 5.0f, kEps);
    window.KeyUp('W');

    for (float expected : {4.0f, 3.0f, 2.0f, 1.0f, 0.0f, 0.0f}) {
        cam.Advance(0.05f);
        EXPECT_NEAR(Velocity().z, expected, kEps);
    }
}

TEST_F(BaseCameraTest, DampingNeverReversesOnALongLastFrame) {
    cam.SetDamping(true, 0.25f);
    window.KeyDown('W');
    cam.Advance(0.1f);
    window.KeyUp('W');
    // 0.25 s is not a whole number of 0.1 s frames: the last one stops at zero.
    for (float expected : {3.0f, 1.0f, 0.0f, 0.0f}) {
        cam.Advance(0.1f);
        EXPECT_NEAR(Velocity().z, expected, kEps);
    }
}

// Both cursor tests build their camera after placing the cursor: a camera
// measures the first movement from where the cursor was at its construction.
TEST(BaseCameraCursorTest, CursorMovementIsSmoothedOverTwoFrames) {
    SetCursorPos(500, 400);
    MotionCamera cam;
    cam.bMouse = true;
    cam.Advance(0.02f);
    EXPECT_EQ(cam.TurnRate()->x, 0.0f);
    SetCursorPos(520, 390);
    cam.Advance(0.02f);
    // Half of each new movement joins half of the previous average; 0.01 rad per pixel.
    for (float expected : {0.1f, 0.05f, 0.025f}) {
        EXPECT_NEAR(cam.TurnRate()->x, expected, kEps);
        EXPECT_NEAR(cam.TurnRate()->y, -expected / 2, kEps);
        cam.Advance(0.02f);
    }
}

TEST(BaseCameraCursorTest, RecentredCursorReturnsToTheMonitorCentre) {
    SetCursorPos(100, 100);
    MotionCamera cam;
    cam.bMouse = true;
    cam.bRecentre = true;
    cam.Advance(0.02f);
    POINT pt;
    ASSERT_TRUE(GetCursorPos(&pt));
    EXPECT_EQ(pt.x, 960);  // the default headless monitor is 1920 x 1080
    EXPECT_EQ(pt.y, 540);
    // The next movement is measured from the centre.
    SetCursorPos(970, 540);
    cam.Advance(0.02f);
    EXPECT_NEAR(cam.TurnRate()->x, 0.05f, kEps);
    EXPECT_EQ(cam.TurnRate()->y, 0.0f);
}

}  // namespace
