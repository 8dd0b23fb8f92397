// Picking: the nearest hit centre flips, ties go to the lower index, misses
// change nothing, and a screen point becomes the right world ray.
#include "app/app_pick.h"
#include "tests/app/cube_test_env.h"

namespace {

int CountSelected(const CPuzzleCube& cube) {
    int n = 0;
    for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) n += cube.GetCubie(i).bSelected ? 1 : 0;
    return n;
}

}  // namespace

class CubePickTest : public CubeDeviceTest {
  protected:
    void SetUp() override {
        CubeDeviceTest::SetUp();
        WriteStandardBox();
        ASSERT_TRUE(m_pCube->Build(m_pDevice));
    }
};

TEST_F(CubePickTest, NearestCentreAlongTheRayFlips) {
    // Down +z through x = y = -R: cubies 0, 1, 2 lie on the ray; 0 is nearest.
    const D3DXVECTOR3 vOrigin(-10, -10, -100), vDir(0, 0, 1);
    m_pCube->GetCubie(1).bSelected = true;
    EXPECT_TRUE(m_pCube->PickCubie(vOrigin, vDir));
    EXPECT_TRUE(m_pCube->GetCubie(0).bSelected);
    EXPECT_TRUE(m_pCube->GetCubie(1).bSelected);  // the farther one keeps its mark
    EXPECT_FALSE(m_pCube->GetCubie(2).bSelected);
    EXPECT_EQ(CountSelected(*m_pCube), 2);
    // Every cubie got its distance, hit or not.
    EXPECT_FLOAT_EQ(m_pCube->GetCubie(0).fPickDistSq, 90.0f * 90.0f / 100.0f);
    EXPECT_FLOAT_EQ(m_pCube->GetCubie(26).fPickDistSq, (20.f * 20.f + 20.f * 20.f + 110.f * 110.f) / 100.0f);

    // A second click on the same cubie deselects it.
    EXPECT_TRUE(m_pCube->PickCubie(vOrigin, vDir));
    EXPECT_FALSE(m_pCube->GetCubie(0).bSelected);
}

TEST_F(CubePickTest, SphereAroundTheOriginCounts) {
    // The origin lies inside the core's sphere: the core is hit and nearest.
    EXPECT_TRUE(m_pCube->PickCubie(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 0, 0)));
    EXPECT_TRUE(m_pCube->GetCubie(13).bSelected);
    EXPECT_EQ(CountSelected(*m_pCube), 1);
}

TEST_F(CubePickTest, TieBetweenTwoEquidistantCentres) {
    // Halfway between the layers z = -R and z = 0, along +x at y = 0: cubies
    // 3 (-R, 0, -R) and 4 (-R, 0, 0) are hit at the same distance; 3 wins.
    const D3DXVECTOR3 vOrigin(-100, 0, -5), vDir(1, 0, 0);
    EXPECT_TRUE(m_pCube->PickCubie(vOrigin, vDir));
    EXPECT_TRUE(m_pCube->GetCubie(3).bSelected);
    EXPECT_FALSE(m_pCube->GetCubie(4).bSelected);
    EXPECT_EQ(CountSelected(*m_pCube), 1);
}

TEST_F(CubePickTest, MissesAndSpheresBehindTheOriginChangeNothing) {
    m_pCube->GetCubie(5).bSelected = true;
    EXPECT_FALSE(m_pCube->PickCubie(D3DXVECTOR3(-100, 50, 0), D3DXVECTOR3(1, 0, 0)));
    // Every sphere lies behind this origin.
    EXPECT_FALSE(m_pCube->PickCubie(D3DXVECTOR3(0, 0, -100), D3DXVECTOR3(0, 0, -1)));
    EXPECT_EQ(CountSelected(*m_pCube), 1);
    EXPECT_TRUE(m_pCube->GetCubie(5).bSelected);
}

TEST_F(CubePickTest, ClickAtTheCentreWithTheStartCameraPicksTheFrontCentre) {
    SetStartCamera();
    EXPECT_TRUE(AppPick(m_pDevice, *m_pCube, kWidth / 2, kHeight / 2));
    EXPECT_TRUE(m_pCube->GetCubie(12).bSelected);
    EXPECT_EQ(CountSelected(*m_pCube), 1);

    // The top-left corner of the view sees nothing.
    EXPECT_FALSE(AppPick(m_pDevice, *m_pCube, 0, 0));
    EXPECT_EQ(CountSelected(*m_pCube), 1);
}

TEST_F(CubePickTest, RayFollowsTheProjectionAndView) {
    SetStartCamera();
    // Project the centre of cubie 6 (-R, +R, -R), the front top-left one, and
    // shoot through that pixel.
    D3DXMATRIX mView, mProj;
    m_pDevice->GetTransform(D3DTS_VIEW, &mView);
    m_pDevice->GetTransform(D3DTS_PROJECTION, &mProj);
    D3DVIEWPORT9 vp{};
    m_pDevice->GetViewport(&vp);
    const D3DXVECTOR3 vTarget = m_pCube->GetCubie(6).vCenter;
    D3DXVECTOR3 vScreen;
    D3DXVec3Project(&vScreen, &vTarget, &vp, &mProj, &mView, nullptr);

    D3DXVECTOR3 vOrigin, vDir;
    ASSERT_TRUE(AppPickRay(m_pDevice, UINT(vScreen.x + 0.5f), UINT(vScreen.y + 0.5f), &vOrigin, &vDir));
    EXPECT_TRUE(VectorNear(vOrigin, D3DXVECTOR3(0, 0, -100), 1e-4f));
    EXPECT_NEAR(D3DXVec3Length(&vDir), 1.0f, 1e-5f);
    // The ray passes the projected centre within half a pixel's width there (~0.2).
    const D3DXVECTOR3 vToTarget = vTarget - vOrigin;
    D3DXVECTOR3 vOff;
    D3DXVec3Cross(&vOff, &vToTarget, &vDir);
    EXPECT_LT(D3DXVec3Length(&vOff), 0.2f);
    EXPECT_TRUE(AppPick(m_pDevice, *m_pCube, UINT(vScreen.x + 0.5f), UINT(vScreen.y + 0.5f)));
    EXPECT_TRUE(m_pCube->GetCubie(6).bSelected);
}

TEST_F(CubePickTest, NoDeviceOrSingularViewGivesNoRay) {
    D3DXVECTOR3 vOrigin, vDir;
    EXPECT_FALSE(AppPick(nullptr, *m_pCube, 1, 1));
    SetStartCamera();
    D3DXMATRIX mZero;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) mZero.m[r][c] = 0.0f;
    m_pDevice->SetTransform(D3DTS_VIEW, &mZero);
    EXPECT_FALSE(AppPickRay(m_pDevice, 320, 240, &vOrigin, &vDir));
    EXPECT_EQ(CountSelected(*m_pCube), 0);
}
