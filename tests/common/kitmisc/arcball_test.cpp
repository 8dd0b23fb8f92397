// Arcball: area test, ball mapping, drags and its own mouse handler, driven
// through window messages sent to a headless window.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/common/kitmisc/camera_test_window.h"
#include "common/kitmisc/arcball.h"

namespace {

constexpr float kEps = 1e-5f;

class ArcBallTest : public ::testing::Test {
  protected:
    CKitArcBall ball;
    CameraTestWindow window{
        [this](HWND h, UINT m, WPARAM w, LPARAM l) { handled = ball.ProcessMessage(h, m, w, l); }};
    bool handled = false;

    void SetUp() override {
        ball.SetArea(200, 100, 0.9f);
        ball.SetAreaOrigin(10, 20);
    }
};

void ExpectQuatNear(const D3DXQUATERNION& a, const D3DXQUATERNION& b) {
    EXPECT_NEAR(a.x, b.x, kEps);
    EXPECT_NEAR(a.y, b.y, kEps);
    EXPECT_NEAR(a.z, b.z, kEps);
    EXPECT_NEAR(a.w, b.w, kEps);
}

TEST_F(ArcBallTest, PressOutsideAreaStartsNoDrag) {
    const D3DXQUATERNION identity(0, 0, 0, 1);
    // Left of the origin, and on the exclusive right and bottom edges.
    for (POINT pt : {POINT{9, 50}, POINT{210, 50}, POINT{100, 120}, POINT{100, 19}}) {
        window.LeftDown(pt.x, pt.y);
        EXPECT_FALSE(ball.IsDragging()) << pt.x << "," << pt.y;
        window.Move(150, 70, MK_LBUTTON);
        window.LeftUp(150, 70);
        ExpectQuatNear(ball.CurrentQuat(), identity);
    }
    // The origin itself is inside.
    window.LeftDown(10, 20);
    EXPECT_TRUE(ball.IsDragging());
}

TEST_F(ArcBallTest, MoveBackToPressPointKeepsPressRotation) {
    // First drag leaves some rotation behind.
    window.LeftDown(110, 70);
    window.Move(160, 40, MK_LBUTTON);
    window.LeftUp(160, 40);
    const D3DXQUATERNION qBefore = ball.CurrentQuat();
    ASSERT_GT(std::fabs(qBefore.w - 1.0f), 1e-3f);

    window.LeftDown(60, 90);
    window.Move(60, 90, MK_LBUTTON);
    ExpectQuatNear(ball.CurrentQuat(), qBefore);
}

TEST_F(ArcBallTest, DragFromCentreTurnsAboutVerticalAxis) {
    // Centre (110, 70); a point 45 px to the right maps to x = -45 / 90 = -0.5,
    // 30 degrees from the centre point, so the rotation is 60 degrees about y.
    window.LeftDown(110, 70);
    window.Move(155, 70, MK_LBUTTON);
    const D3DXMATRIX m = *ball.SpinMatrix();
    EXPECT_NEAR(m._22, 1.0f, kEps);
    EXPECT_NEAR(m._11, 0.5f, kEps);
    EXPECT_NEAR(m._33, 0.5f, kEps);
    EXPECT_NEAR(std::fabs(m._13), std::sqrt(0.75f), kEps);

    // After the release further moves change nothing.
    window.LeftUp(155, 70);
    const D3DXQUATERNION q = ball.CurrentQuat();
    window.Move(20, 30, MK_LBUTTON);
    ExpectQuatNear(ball.CurrentQuat(), q);
}

TEST_F(ArcBallTest, PointsOutsideTheCircleLandOnTheRim) {
    for (POINT pt : {POINT{10, 20}, POINT{209, 70}, POINT{-500, 400}}) {
        const D3DXVECTOR3 v = ball.PointOnBall(float(pt.x), float(pt.y));
        EXPECT_EQ(v.z, 0.0f);
        EXPECT_NEAR(D3DXVec3Length(&v), 1.0f, kEps);
    }
    const D3DXVECTOR3 centre = ball.PointOnBall(110, 70);
    EXPECT_NEAR(centre.z, 1.0f, kEps);
}

TEST_F(ArcBallTest, RightOfCentreIsNegativeXBelowIsPositiveY) {
    const D3DXVECTOR3 right = ball.PointOnBall(130, 70);
    EXPECT_LT(right.x, 0.0f);
    EXPECT_NEAR(right.y, 0.0f, kEps);
    const D3DXVECTOR3 below = ball.PointOnBall(110, 80);
    EXPECT_GT(below.y, 0.0f);
    EXPECT_NEAR(below.x, 0.0f, kEps);
    EXPECT_NEAR(D3DXVec3Length(&below), 1.0f, kEps);
}

TEST_F(ArcBallTest, ResetBallUsesRadiusOneUntilNextSetArea) {
    ball.SetArea(200, 200, 0.5f);
    ball.SetAreaOrigin(0, 0);
    // 50 px right of the centre: on the rim with radius 0.5, halfway with 1.0.
    EXPECT_EQ(ball.PointOnBall(150, 100).z, 0.0f);
    ball.ResetBall();
    const D3DXVECTOR3 v = ball.PointOnBall(150, 100);
    EXPECT_NEAR(v.x, -0.5f, kEps);
    EXPECT_NEAR(v.z, std::sqrt(0.75f), kEps);
    ball.SetArea(200, 200, 0.5f);
    EXPECT_EQ(ball.PointOnBall(150, 100).z, 0.0f);
}

TEST_F(ArcBallTest, OwnHandlerCapturesAndShifts) {
    window.LeftDown(110, 70);
    EXPECT_TRUE(handled);
    EXPECT_EQ(GetCapture(), window.hwnd());
    window.LeftUp(110, 70);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(ball.IsDragging());

    // Right drag: x step -2 * (last - x) / width, y step 2 * (last - y) / height.
    window.RightDown(100, 50);
    EXPECT_EQ(GetCapture(), window.hwnd());
    window.Move(150, 40, MK_RBUTTON);
    EXPECT_NEAR(ball.ShiftMatrix()->_41, 0.5f, kEps);
    EXPECT_NEAR(ball.ShiftMatrix()->_42, 0.2f, kEps);
    EXPECT_NEAR(ball.ShiftMatrix()->_43, 0.0f, kEps);
    window.RightUp(150, 40);
    EXPECT_EQ(GetCapture(), nullptr);

    // Middle drag moves along z by 5 * (last - y) / height, accumulated.
    window.Send(WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(150, 40));
    window.Move(150, 30, MK_MBUTTON);
    EXPECT_NEAR(ball.ShiftMatrix()->_43, 0.5f, kEps);
    EXPECT_NEAR(ball.ShiftMatrix()->_41, 0.5f, kEps);

    // A move without buttons changes nothing; messages outside the mouse range are not handled.
    window.Move(10, 10, 0);
    EXPECT_NEAR(ball.ShiftMatrix()->_43, 0.5f, kEps);
    EXPECT_TRUE(handled);
    window.Wheel(120, 110, 70);
    EXPECT_FALSE(handled);
}

}  // namespace
