// Base camera: key and button state, capture, placement angles and the
// velocity with and without damping, driven through window messages.
#include <gtest/gtest.h>

#include <cmath>

#include "camera_test_window.h"
#include "kitmisc/base_camera.h"

namespace {

constexpr float kEps = 1e-4f;

// The smallest derived camera: keyboard movement only.
class MotionCamera : public CBaseCamera {
public:
    void Advance(float fElapsedTime) override
    {
        GatherInput(m_bMoveEnabled, false, false, false);
        UpdateMotion(fElapsedTime);
    }
};

class BaseCameraTest : public ::testing::Test {
protected:
    MotionCamera cam;
    CameraTestWindow window{[this](HWND h, UINT m, WPARAM w, LPARAM l) { cam.ProcessMessage(h, m, w, l); }};

    D3DXVECTOR3 Velocity() const { return *cam.VelocityNow(); }
};

TEST_F(BaseCameraTest, KeysMoveAlongTheirAxesAtMoveSpeed)
{
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

TEST_F(BaseCameraTest, KeyPressedTwiceIsReleasedByOneKeyUp)
{
    window.KeyDown('W');
    window.KeyDown('W'); // auto-repeat
    window.KeyUp('W');
    cam.Advance(0.1f);
    EXPECT_NEAR(D3DXVec3Length(cam.VelocityNow()), 0.0f, kEps);

    // A release whose press went elsewhere does not disturb a held key.
    window.KeyDown(VK_UP);
    window.KeyUp('S');
    cam.Advance(0.1f);
    EXPECT_NEAR(Velocity().z, 5.0f, kEps);
}

TEST_F(BaseCameraTest, PressOutsideDragAreaCapturesWithoutButtonFlag)
{
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

TEST_F(BaseCameraTest, PlacementGivesYawAndPitch)
{
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

TEST_F(BaseCameraTest, DampingFallsLinearlyToZero)
{
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

TEST_F(BaseCameraTest, DampingNeverReversesOnALongLastFrame)
{
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

} // namespace
