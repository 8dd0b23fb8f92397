// The layer turn: which pairs turn which layer and which way, the frame count
// to the snap, where the cubies end up, rejected pairs and extra marks, and
// hundreds of turns in a row without drifting off the grid.
#include <cmath>
#include <random>

#include "tests/app/cube_test_env.h"

namespace {

constexpr float kR = 10.0f;

D3DXVECTOR3 Home(int i) {
    return D3DXVECTOR3(float(i / 9 - 1) * kR, float(i / 3 % 3 - 1) * kR, float(i % 3 - 1) * kR);
}

// A quarter turn of grid point p about an axis (0 x, 1 y, 2 z), dir +1 or -1,
// written out by hand (left-handed, row vectors).
D3DXVECTOR3 QuarterTurn(const D3DXVECTOR3& p, int nAxis, int nDir) {
    D3DXVECTOR3 q = p;
    for (int n = 0; n < (nDir > 0 ? 1 : 3); ++n) {
        const D3DXVECTOR3 s = q;
        if (nAxis == 0)
            q = D3DXVECTOR3(s.x, -s.z, s.y);
        else if (nAxis == 1)
            q = D3DXVECTOR3(s.z, s.y, -s.x);
        else
            q = D3DXVECTOR3(-s.y, s.x, s.z);
    }
    return q;
}

float Coord(const D3DXVECTOR3& v, int nAxis) { return nAxis == 0 ? v.x : (nAxis == 1 ? v.y : v.z); }

// The grid point nearest to v.
D3DXVECTOR3 Snapped(const D3DXVECTOR3& v) {
    return D3DXVECTOR3(std::round(v.x / kR) * kR, std::round(v.y / kR) * kR, std::round(v.z / kR) * kR);
}

}  // namespace

class CubeTurnTest : public CubeDeviceTest {
  protected:
    void SetUp() override {
        CubeDeviceTest::SetUp();
        WriteStandardBox();
        ASSERT_TRUE(m_pCube->Build(m_pDevice));
    }
    // The cubie whose centre is nearest to the grid cell.
    int CubieAt(const D3DXVECTOR3& cell) const {
        for (int i = 0; i < CPuzzleCube::kCubieCount; ++i)
            if (Snapped(m_pCube->GetCubie(i).vCenter) == cell) return i;
        return -1;
    }
    void Select(int a, int b) {
        m_pCube->GetCubie(a).bSelected = true;
        m_pCube->GetCubie(b).bSelected = true;
    }
};

TEST_F(CubeTurnTest, OuterLayerTurnsForwardAndSnapsInFrame51) {
    Select(3, 1);
    m_pCube->AdvanceTurn(m_pDevice);
    EXPECT_TRUE(m_pCube->IsTurning());
    EXPECT_EQ(g_fTurnedX, CPuzzleCube::kTurnIncrement);
    EXPECT_EQ(g_fTurnedY, 0.0f);
    D3DXMATRIX mStep;
    const D3DXVECTOR3 vX(1, 0, 0);
    D3DXMatrixRotationAxis(&mStep, &vX, float(3.1415927 / 100.0));
    for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) {
        D3DXMATRIX mHome;
        D3DXMatrixTranslation(&mHome, Home(i).x, Home(i).y, Home(i).z);
        // The x = -R layer turned one step about the world x axis; the rest did not move.
        EXPECT_TRUE(MatrixNear(m_pCube->GetCubie(i).mWorld, i < 9 ? mHome * mStep : mHome, 1e-5f)) << i;
    }

    EXPECT_EQ(1 + RunTurn(*m_pCube, m_pDevice), 51);
    for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) {
        const Cubie& c = m_pCube->GetCubie(i);
        const D3DXVECTOR3 vExpected = i < 9 ? QuarterTurn(Home(i), 0, +1) : Home(i);
        EXPECT_TRUE(VectorNear(c.vCenter, vExpected, 1e-4f)) << i;
        EXPECT_TRUE(VectorNear(D3DXVECTOR3(c.mWorld._41, c.mWorld._42, c.mWorld._43), vExpected, 1e-4f)) << i;
        EXPECT_TRUE(MatrixNear(m_pCube->GetSettled(i), c.mWorld, 0)) << i;
        EXPECT_FALSE(c.bSelected);
    }
    // Cubie 1 now sits in cubie 3's home cell.
    EXPECT_TRUE(VectorNear(m_pCube->GetCubie(1).vCenter, Home(3), 1e-4f));
    for (int n = 0; n < CPuzzleCube::kLayerSize; ++n) EXPECT_EQ(m_pCube->GetSnapEntry(n).nCubie, n);
    // Reset at the snap, then one increment.
    EXPECT_EQ(g_fTurnedX, CPuzzleCube::kTurnIncrement);
}

TEST_F(CubeTurnTest, MiddleLayerTurnsBackwardToMatchItsAnimation) {
    Select(10, 12);
    m_pCube->AdvanceTurn(m_pDevice);
    // One step of -pi/100: cubie 10 (0, -R, 0) moves towards +z.
    EXPECT_GT(m_pCube->GetCubie(10).mWorld._43, 0.0f);
    EXPECT_EQ(1 + RunTurn(*m_pCube, m_pDevice), 51);
    EXPECT_TRUE(VectorNear(m_pCube->GetCubie(10).vCenter, D3DXVECTOR3(0, 0, kR), 1e-4f));
    for (int i = 9; i < 18; ++i)
        EXPECT_TRUE(VectorNear(m_pCube->GetCubie(i).vCenter, QuarterTurn(Home(i), 0, -1), 1e-4f)) << i;
    for (int n = 0; n < CPuzzleCube::kLayerSize; ++n) EXPECT_EQ(m_pCube->GetSnapEntry(n).nCubie, 9 + n);
}

TEST_F(CubeTurnTest, LaterTurnsAboutTheSameAxisTake50Frames) {
    Select(1, 3);
    EXPECT_EQ(RunTurn(*m_pCube, m_pDevice), 51);
    Select(10, 12);
    EXPECT_EQ(RunTurn(*m_pCube, m_pDevice), 50);
    // The y axis has its own accumulator: its first turn takes 51 frames.
    Select(CubieAt(D3DXVECTOR3(-kR, kR, 0)), CubieAt(D3DXVECTOR3(0, kR, -kR)));
    EXPECT_EQ(RunTurn(*m_pCube, m_pDevice), 51);
    Select(CubieAt(D3DXVECTOR3(kR, 0, kR)), CubieAt(D3DXVECTOR3(0, kR, kR)));
    EXPECT_EQ(RunTurn(*m_pCube, m_pDevice), 51);
    Select(CubieAt(D3DXVECTOR3(0, -kR, 0)), CubieAt(D3DXVECTOR3(kR, 0, 0)));
    EXPECT_EQ(RunTurn(*m_pCube, m_pDevice), 50);
}

TEST_F(CubeTurnTest, UnusablePairsAreClearedAfterOneFrame) {
    // Opposite edges of a face (two shared coordinates), a corner with an
    // edge, nothing in common, two corners of one layer.
    const int pairs[][2] = {{1, 7}, {0, 5}, {0, 26}, {2, 6}};
    for (const auto& p : pairs) {
        Select(p[0], p[1]);
        m_pCube->AdvanceTurn(m_pDevice);
        EXPECT_FALSE(m_pCube->GetCubie(p[0]).bSelected) << p[0] << "," << p[1];
        EXPECT_FALSE(m_pCube->GetCubie(p[1]).bSelected) << p[0] << "," << p[1];
        EXPECT_FALSE(m_pCube->IsTurning());
    }
    EXPECT_EQ(g_fTurnedX, 0.0f);
    EXPECT_EQ(g_fTurnedY, 0.0f);
    EXPECT_EQ(g_fTurnedZ, 0.0f);
    for (int i = 0; i < CPuzzleCube::kCubieCount; ++i)
        EXPECT_TRUE(MatrixNear(m_pCube->GetCubie(i).mWorld, m_pCube->GetSettled(i), 0)) << i;
}

TEST_F(CubeTurnTest, ThreeMarksStandStill) {
    m_pCube->GetCubie(5).bSelected = true;
    Select(1, 3);
    m_pCube->AdvanceTurn(m_pDevice);
    EXPECT_FALSE(m_pCube->IsTurning());
    EXPECT_TRUE(m_pCube->GetCubie(1).bSelected && m_pCube->GetCubie(3).bSelected &&
                m_pCube->GetCubie(5).bSelected);
    EXPECT_TRUE(MatrixNear(m_pCube->GetCubie(1).mWorld, m_pCube->GetSettled(1), 0));

    // A turn whose selection gains a third mark halts where it is, then goes on.
    m_pCube->GetCubie(5).bSelected = false;
    for (int i = 0; i < 5; ++i) m_pCube->AdvanceTurn(m_pDevice);
    const D3DXMATRIX mHalted = m_pCube->GetCubie(1).mWorld;
    const float fTurned = g_fTurnedX;
    m_pCube->GetCubie(20).bSelected = true;
    for (int i = 0; i < 3; ++i) m_pCube->AdvanceTurn(m_pDevice);
    EXPECT_TRUE(m_pCube->IsTurning());
    EXPECT_TRUE(MatrixNear(m_pCube->GetCubie(1).mWorld, mHalted, 0));
    EXPECT_EQ(g_fTurnedX, fTurned);
    m_pCube->GetCubie(20).bSelected = false;
    EXPECT_EQ(5 + RunTurn(*m_pCube, m_pDevice), 51);
    EXPECT_TRUE(VectorNear(m_pCube->GetCubie(1).vCenter, Home(3), 1e-4f));
}

// Hundreds of quarter turns about all three axes: every centre stays on a grid
// point (far inside the layer tolerance), every world matrix stays a signed
// permutation with its translation at the centre, and the puzzle keeps turning.
TEST_F(CubeTurnTest, HundredsOfTurnsStayOnTheGrid) {
    std::mt19937 rng(12345);
    const int kTurns = 600;
    float fMaxDrift = 0.0f, fMaxMatrixDrift = 0.0f;
    int nTurnsPerAxis[3] = {0, 0, 0};
    for (int t = 0; t < kTurns; ++t) {
        const int nAxis = int(rng() % 3);
        const float fLayer = float(int(rng() % 3) - 1) * kR;
        // Two edge cells of the layer at a right angle about its centre.
        const int u = (nAxis + 1) % 3, v = (nAxis + 2) % 3;
        const float su = (rng() & 1) ? kR : -kR, sv = (rng() & 1) ? kR : -kR;
        D3DXVECTOR3 cellA(0, 0, 0), cellB(0, 0, 0);
        float* pa = &cellA.x;
        float* pb = &cellB.x;
        pa[nAxis] = pb[nAxis] = fLayer;
        pa[u] = su;
        pb[v] = sv;
        int a = -1, b = -1;
        for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) {
            const D3DXVECTOR3 g = Snapped(m_pCube->GetCubie(i).vCenter);
            if (g == cellA) a = i;
            if (g == cellB) b = i;
        }
        ASSERT_TRUE(a >= 0 && b >= 0) << "turn " << t;
        const int lo = std::min(a, b), hi = std::max(a, b);
        const int nDir =
            CPuzzleCube::TurnDirection(m_pCube->GetCubie(lo).vCenter, m_pCube->GetCubie(hi).vCenter);

        D3DXVECTOR3 vExpected[CPuzzleCube::kCubieCount];
        for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) {
            const D3DXVECTOR3 g = Snapped(m_pCube->GetCubie(i).vCenter);
            vExpected[i] = Coord(g, nAxis) == fLayer ? QuarterTurn(g, nAxis, nDir) : g;
        }
        Select(a, b);
        const int nFrames = RunTurn(*m_pCube, nullptr);
        ASSERT_TRUE(nFrames == 50 || nFrames == 51) << "turn " << t << " took " << nFrames;
        ++nTurnsPerAxis[nAxis];

        for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) {
            const Cubie& c = m_pCube->GetCubie(i);
            ASSERT_TRUE(VectorNear(c.vCenter, vExpected[i], CPuzzleCube::kLayerTolerance)) << "turn " << t;
            fMaxDrift = std::max(fMaxDrift, CPuzzleCube::PointDistance(c.vCenter, vExpected[i]));
            for (int r = 0; r < 3; ++r)
                for (int k = 0; k < 3; ++k) {
                    const float e = c.mWorld.m[r][k];
                    fMaxMatrixDrift = std::max(fMaxMatrixDrift, std::fabs(e - std::round(e)));
                }
            const D3DXVECTOR3 vTranslation(c.mWorld._41, c.mWorld._42, c.mWorld._43);
            fMaxMatrixDrift =
                std::max(fMaxMatrixDrift, CPuzzleCube::PointDistance(vTranslation, c.vCenter) / kR);
        }
    }
    for (int n : nTurnsPerAxis) EXPECT_GT(n, 100);
    EXPECT_LT(fMaxDrift, 0.01f);
    EXPECT_LT(fMaxMatrixDrift, 1e-3f);
    RecordProperty("max_centre_drift", std::to_string(fMaxDrift));
    RecordProperty("max_matrix_drift", std::to_string(fMaxMatrixDrift));
}
