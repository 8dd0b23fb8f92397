// Model-viewer camera: placement, wheel zoom, orbit and model drags, the reset
// key and the idle frame, driven through window messages.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "tests/common/kitmisc/model_viewer_fixture.h"

namespace {

constexpr float kEps = 1e-4f;

bool MatrixNear(const D3DXMATRIX& a, const D3DXMATRIX& b, float eps = kEps) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (std::fabs(a.m[r][c] - b.m[r][c]) > eps) return false;
    return true;
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

class ModelViewerTest : public ModelViewerCameraTest {
  protected:
    // A drag from the centre 144 px to the right: 60 degrees about y.
    void Drag(bool bRight) {
        const WPARAM mk = bRight ? MK_RBUTTON : MK_LBUTTON;
        bRight ? window.RightDown(320, 240) : window.LeftDown(320, 240);
        window.Move(464, 240, mk);
        bRight ? window.RightUp(464, 240) : window.LeftUp(464, 240);
    }
};

TEST_F(ModelViewerTest, StartPlacementLooksDownZFromDistance100) {
    EXPECT_FLOAT_EQ(cam.Distance(), 100.0f);
    EXPECT_FLOAT_EQ(cam.MinDistance(), 1.0f);
    EXPECT_EQ(cam.MaxDistance(), FLT_MAX);

    D3DXVECTOR3 v;
    const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 50);
    D3DXVec3TransformCoord(&v, &origin, cam.ViewMatrix());
    EXPECT_NEAR(v.x, 0.0f, kEps);
    EXPECT_NEAR(v.y, 0.0f, kEps);
    EXPECT_NEAR(v.z, 100.0f, kEps);
    D3DXVec3TransformCoord(&v, &ahead, cam.ViewMatrix());
    EXPECT_NEAR(v.z, 150.0f, kEps);
    EXPECT_NEAR(cam.EyePos()->z, -100.0f, kEps);
    EXPECT_TRUE(MatrixNear(*cam.WorldMatrix(), Identity()));
}

TEST_F(ModelViewerTest, WheelNotchesZoomOnTheNextFrame) {
    window.Wheel(120, 320, 240);
    EXPECT_FLOAT_EQ(cam.Distance(), 100.0f);
    cam.Advance(0.02f);
    EXPECT_NEAR(cam.Distance(), 90.0f, kEps);
    EXPECT_NEAR(cam.EyePos()->z, -90.0f, kEps);

    window.Wheel(240, 320, 240);  // two notches: 20 %
    cam.Advance(0.02f);
    EXPECT_NEAR(cam.Distance(), 72.0f, kEps);
    window.Wheel(-120, 320, 240);  // one notch back: 10 % more
    cam.Advance(0.02f);
    EXPECT_NEAR(cam.Distance(), 79.2f, kEps);
    window.Wheel(60, 320, 240);  // less than a notch
    cam.Advance(0.02f);
    EXPECT_NEAR(cam.Distance(), 79.2f, kEps);
}

TEST_F(ModelViewerTest, ZoomStopsAtMinimumDistance) {
    window.Wheel(1200, 320, 240);
    cam.Advance(0.02f);
    EXPECT_FLOAT_EQ(cam.Distance(), 1.0f);
    window.Wheel(120, 320, 240);
    cam.Advance(0.02f);
    EXPECT_FLOAT_EQ(cam.Distance(), 1.0f);
    EXPECT_NEAR(cam.EyePos()->z, -1.0f, kEps);
}

TEST_F(ModelViewerTest, OnlyTheLastWheelMessageOfAFrameCounts) {
    window.Wheel(240, 320, 240);
    window.Wheel(-360, 320, 240);
    window.Wheel(120, 320, 240);
    cam.Advance(0.02f);
    EXPECT_NEAR(cam.Distance(), 90.0f, kEps);
}

TEST_F(ModelViewerTest, RightDragOrbitsTheViewOnly) {
    Drag(true);
    cam.Advance(0.02f);
    EXPECT_FALSE(MatrixNear(*cam.ViewMatrix(), startView, 1e-2f));
    EXPECT_TRUE(MatrixNear(*cam.WorldMatrix(), Identity()));
    // The eye circles the target at the same distance, 60 degrees round.
    EXPECT_NEAR(D3DXVec3Length(cam.EyePos()), 100.0f, 1e-3f);
    EXPECT_NEAR(cam.EyePos()->y, 0.0f, 1e-3f);
    EXPECT_NEAR(cam.EyePos()->z, -50.0f, 1e-3f);
}

TEST_F(ModelViewerTest, LeftDragTurnsTheModelOnly) {
    Drag(false);
    cam.Advance(0.02f);
    EXPECT_TRUE(MatrixNear(*cam.ViewMatrix(), startView));
    const D3DXMATRIX& w = *cam.WorldMatrix();
    EXPECT_NEAR(w._11, 0.5f, kEps);
    EXPECT_NEAR(w._22, 1.0f, kEps);
    EXPECT_NEAR(w._33, 0.5f, kEps);
    EXPECT_NEAR(std::fabs(w._13), std::sqrt(0.75f), kEps);
    EXPECT_NEAR(w._41, 0.0f, kEps);
}

TEST_F(ModelViewerTest, CarriedModelTurnsWithTheOrbitUnlessControlIsHeld) {
    cam.SetCarryModel(true);
    window.KeyDown(VK_CONTROL);
    window.RightDown(320, 240);
    window.Move(464, 240, MK_RBUTTON);
    cam.Advance(0.02f);
    EXPECT_TRUE(MatrixNear(*cam.WorldMatrix(), Identity()));

    window.KeyUp(VK_CONTROL);
    window.Move(320, 240, MK_RBUTTON);
    cam.Advance(0.02f);
    EXPECT_FALSE(MatrixNear(*cam.WorldMatrix(), Identity(), 1e-2f));
}

TEST_F(ModelViewerTest, DragAreaLimitsWhereAnOrbitMayStart) {
    const RECT rc = {100, 100, 300, 300};
    cam.SetDragArea(&rc);
    window.RightDown(50, 50);
    window.Move(250, 200, MK_RBUTTON);
    window.RightUp(250, 200);
    cam.Advance(0.02f);
    EXPECT_TRUE(MatrixNear(*cam.ViewMatrix(), startView));

    window.RightDown(200, 200);
    window.Move(250, 200, MK_RBUTTON);
    cam.Advance(0.02f);
    EXPECT_FALSE(MatrixNear(*cam.ViewMatrix(), startView, 1e-2f));
}

TEST_F(ModelViewerTest, HoldingHomeResetsEveryFrame) {
    window.Wheel(240, 320, 240);
    Drag(true);
    Drag(false);
    cam.Advance(0.02f);
    ASSERT_FALSE(MatrixNear(*cam.ViewMatrix(), startView, 1e-2f));

    window.KeyDown(VK_HOME);
    cam.Advance(0.02f);
    EXPECT_TRUE(MatrixNear(*cam.ViewMatrix(), startView));
    EXPECT_TRUE(MatrixNear(*cam.WorldMatrix(), Identity()));
    EXPECT_FLOAT_EQ(cam.Distance(), 100.0f);

    // Still held: a new orbit is undone on the next frame.
    Drag(true);
    cam.Advance(0.02f);
    EXPECT_TRUE(MatrixNear(*cam.ViewMatrix(), startView));

    window.KeyUp(VK_HOME);
    Drag(true);
    cam.Advance(0.02f);
    EXPECT_FALSE(MatrixNear(*cam.ViewMatrix(), startView, 1e-2f));
}

// A box that excludes the target shows whether a frame recomputed the camera.
class IdleFrameTest : public ModelViewerTest {
  protected:
    void SetUp() override {
        ModelViewerTest::SetUp();
        const D3DXVECTOR3 lo(1, 1, 1), hi(2, 2, 2);
        cam.SetClampToBox(true, &lo, &hi);
    }
    bool Recomputed() const { return cam.TargetPos()->x == 1.0f; }
};

TEST_F(IdleFrameTest, NoInputKeepsTheView) {
    cam.Advance(0.02f);
    cam.Advance(0.02f);
    EXPECT_FALSE(Recomputed());
    EXPECT_TRUE(MatrixNear(*cam.ViewMatrix(), startView, 0.0f));

    window.Move(10, 10, 0);
    cam.Advance(0.02f);
    EXPECT_TRUE(Recomputed());
}

TEST_F(IdleFrameTest, StrayKeyUpDoesNotKeepTheCameraAwake) {
    // The press went to another window; only the release arrives here.
    window.KeyUp('W');
    cam.Advance(0.02f);
    EXPECT_FALSE(Recomputed());
}

TEST_F(IdleFrameTest, RepeatedKeyDownIsReleasedByOneKeyUp) {
    window.KeyDown('W');
    window.KeyDown('W');
    window.KeyUp('W');
    cam.Advance(0.02f);
    EXPECT_FALSE(Recomputed());

    // While a camera key is held every frame recomputes.
    window.KeyDown('W');
    cam.Advance(0.02f);
    EXPECT_TRUE(Recomputed());
}

}  // namespace
