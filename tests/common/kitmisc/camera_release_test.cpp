// Cameras letting go: keys and buttons held when the window loses activation,
// a damping time of zero, and the unlimited default drag area.
#include <gtest/gtest.h>

#include <cfenv>
#include <climits>
#include <cmath>

#include "tests/common/kitmisc/model_viewer_fixture.h"

namespace {

bool MatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float eps) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (!(std::fabs(a.m[r][c] - b.m[r][c]) <= eps)) return false;
    return true;
}

class CameraReleaseTest : public ModelViewerCameraTest {
  protected:
    CameraTestWindow other{[](HWND, UINT, WPARAM, LPARAM) {}};

    void SetUp() override {
        ModelViewerCameraTest::SetUp();
        SetActiveWindow(window.hwnd());
    }
    void TearDown() override { ReleaseCapture(); }

    // Another window of the desktop becomes active: the camera's window gets WM_ACTIVATE (WA_INACTIVE).
    void LoseActivation() {
        SetActiveWindow(other.hwnd());
        ASSERT_EQ(GetActiveWindow(), other.hwnd());
    }
    void Orbit(int dx) {
        window.RightDown(320, 240);
        window.Move(320 + dx, 240, MK_RBUTTON);
        window.RightUp(320 + dx, 240);
    }
};

TEST_F(CameraReleaseTest, KeyHeldWhenActivationIsLostIsNoLongerHeld) {
    window.KeyDown(VK_HOME);
    LoseActivation();
    // Home comes up while the other window is active; focus comes back.
    SetActiveWindow(window.hwnd());

    Orbit(144);
    cam.Advance(0.02f);
    EXPECT_FALSE(MatrixNear(*cam.ViewMatrix(), startView, 1e-2f)) << "the view stayed locked to the start";
}

TEST_F(CameraReleaseTest, ButtonHeldWhenActivationIsLostEndsTheDrag) {
    window.RightDown(320, 240);
    ASSERT_EQ(cam.ButtonsDown(), BTN_MASK_RIGHT);
    ASSERT_EQ(GetCapture(), window.hwnd());
    LoseActivation();
    EXPECT_EQ(cam.ButtonsDown(), 0);
    EXPECT_EQ(GetCapture(), nullptr);

    // The release happened elsewhere: plain moves after coming back do not orbit.
    SetActiveWindow(window.hwnd());
    window.Move(464, 240, 0);
    cam.Advance(0.02f);
    EXPECT_TRUE(MatrixNear(*cam.ViewMatrix(), startView, 1e-4f));
}

TEST_F(CameraReleaseTest, DeactivationWithNothingHeldLeavesOthersCaptureAlone) {
    SetCapture(other.hwnd());
    LoseActivation();
    EXPECT_EQ(GetCapture(), other.hwnd());
}

TEST_F(CameraReleaseTest, UnlimitedDefaultDragAreaDoesNotWhirlTheView) {
    const RECT rcAll = {INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    cam.SetDragArea(&rcAll);
    // Over an area of four thousand million pixels a short drag is no turn at all.
    window.RightDown(320, 240);
    window.Move(330, 250, MK_RBUTTON);
    cam.Advance(0.02f);
    EXPECT_TRUE(MatrixNear(*cam.ViewMatrix(), startView, 1e-3f));

    // A real area afterwards works as before.
    window.RightUp(330, 250);
    const RECT rc = {0, 0, 640, 480};
    cam.SetDragArea(&rc);
    Orbit(144);
    cam.Advance(0.02f);
    EXPECT_FALSE(MatrixNear(*cam.ViewMatrix(), startView, 1e-2f));
}

// The smallest derived camera: keyboard movement with the base's damping.
class MovingCamera : public CBaseCamera {
  public:
    void Advance(float fElapsedTime) override {
        GatherInput(true, false, false, false);
        UpdateMotion(fElapsedTime);
    }
};

TEST(CameraDampingTest, ZeroDampingTimeStopsAtOnceWithoutDividingByZero) {
    MovingCamera cam;
    CameraTestWindow window{[&cam](HWND h, UINT m, WPARAM w, LPARAM l) { cam.ProcessMessage(h, m, w, l); }};
    cam.SetDamping(true, 0.0f);
    window.KeyDown('W');
    std::feclearexcept(FE_ALL_EXCEPT);
    cam.Advance(0.05f);
    EXPECT_FALSE(std::fetestexcept(FE_DIVBYZERO | FE_INVALID)) << "the decay step divided by a zero time";
    EXPECT_NEAR(cam.VelocityNow()->z, 5.0f, 1e-4f);

    window.KeyUp('W');
    cam.Advance(0.05f);
    EXPECT_TRUE(std::isfinite(cam.VelocityNow()->z));
    EXPECT_NEAR(D3DXVec3Length(cam.VelocityNow()), 0.0f, 1e-6f);
}

}  // namespace
