// Turns beyond two plain marks: the other direction (Shift), undo and redo
// with their history, and any chain of turns, undos and redos against the
// net turns alone; and the solved test from the cubies' orientations.
#include <array>
#include <random>

#include "tests/app/cube_test_env.h"

namespace {

constexpr float kR = 10.0f;

D3DXVECTOR3 Home(int i) {
    return D3DXVECTOR3(float(i / 9 - 1) * kR, float(i / 3 % 3 - 1) * kR, float(i % 3 - 1) * kR);
}

class CubeMovesTest : public CubeDeviceTest {
  protected:
    void SetUp() override {
        CubeDeviceTest::SetUp();
        WriteStandardBox();
        ASSERT_TRUE(m_pCube->Build(m_pDevice));
    }
    static int CubieAt(const CPuzzleCube& cube, const D3DXVECTOR3& cell) {
        for (int i = 0; i < CPuzzleCube::kCubieCount; ++i)
            if (VectorNear(cube.GetCubie(i).vCenter, cell, 1.0f)) return i;
        return -1;
    }
    // Marks two edge cubies of the turn's layer, with Shift's reversal when their
    // own direction is the other one, and runs the turn; the frames it took.
    static int Turn(CPuzzleCube& cube, const LayerTurn& t, IDirect3DDevice9* pDevice = nullptr) {
        D3DXVECTOR3 vA(0, 0, 0), vB(0, 0, 0);
        (&vA.x)[t.nAxis] = (&vB.x)[t.nAxis] = float(t.nLayer) * kR;
        (&vA.x)[(t.nAxis + 1) % 3] = kR;
        (&vB.x)[(t.nAxis + 2) % 3] = kR;
        const int a = CubieAt(cube, vA), b = CubieAt(cube, vB);
        const int nOwn = CPuzzleCube::TurnDirection(cube.GetCubie(std::min(a, b)).vCenter,
                                                    cube.GetCubie(std::max(a, b)).vCenter);
        cube.GetCubie(a).bSelected = cube.GetCubie(b).bSelected = true;
        cube.SetReverseTurn(nOwn != t.nDir);
        return RunTurn(cube, pDevice);
    }
    // The cube after the given turns, applied at once from the start.
    std::unique_ptr<CPuzzleCube> Net(const std::vector<LayerTurn>& turns) {
        auto pCube = std::make_unique<CPuzzleCube>();
        EXPECT_TRUE(pCube->Build(m_pDevice));
        for (const LayerTurn& t : turns) pCube->TurnAtOnce(t);
        return pCube;
    }
    static void ExpectSame(const CPuzzleCube& a, const CPuzzleCube& b) {
        for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) {
            EXPECT_TRUE(MatrixNear(a.GetSettled(i), b.GetSettled(i), 1e-5f)) << i;
            EXPECT_TRUE(VectorNear(a.GetCubie(i).vCenter, b.GetCubie(i).vCenter, 1e-4f)) << i;
        }
    }
    static int RunTurn(CPuzzleCube& cube, IDirect3DDevice9* pDevice) {
        for (int n = 1; n <= 200; ++n) {
            cube.AdvanceTurn(pDevice);
            if (!cube.IsTurning()) return n;
        }
        return -1;
    }
};

}  // namespace

TEST_F(CubeMovesTest, ShiftTurnsTheOtherWayAndTheReverseTurnRestoresEveryMatrix) {
    // The x = -R layer (own direction +1) and the middle x layer (own -1), each reversed.
    bool bFirst = true;
    for (const auto& pair : {std::array<int, 2>{1, 3}, std::array<int, 2>{10, 12}}) {
        SCOPED_TRACE(pair[0]);
        ASSERT_TRUE(m_pCube->Build(m_pDevice));
        const int nOwn = CPuzzleCube::TurnDirection(Home(pair[0]), Home(pair[1]));
        m_pCube->GetCubie(pair[0]).bSelected = m_pCube->GetCubie(pair[1]).bSelected = true;
        m_pCube->SetReverseTurn(true);
        m_pCube->AdvanceTurn(m_pDevice);
        // One step the other way: cubie 1 (-R, -R, 0) leaves towards +z, cubie 10 (0, -R, 0) towards -z.
        EXPECT_GT(m_pCube->GetCubie(pair[0]).mWorld._43 * float(nOwn), 0.0f);
        // The x axis's first turn takes 51 frames, later ones 50.
        EXPECT_EQ(1 + RunTurn(*m_pCube, m_pDevice), bFirst ? 51 : 50);
        bFirst = false;
        EXPECT_FALSE(m_pCube->IsReverseTurn());
        auto pExpected = Net({LayerTurn{0, pair[0] / 9 - 1, -nOwn}});
        ExpectSame(*m_pCube, *pExpected);
        // The same layer turned its own way comes back to the start.
        EXPECT_EQ(Turn(*m_pCube, LayerTurn{0, pair[0] / 9 - 1, nOwn}, m_pDevice), 50);
        ExpectSame(*m_pCube, *Net({}));
    }
}

TEST_F(CubeMovesTest, UndoAndRedoReplayWholeTurnsAndANewTurnClearsTheRedo) {
    const LayerTurn t1{0, -1, 1}, t2{1, 1, -1}, t3{2, 0, 1};
    Turn(*m_pCube, t1);
    Turn(*m_pCube, t2);
    EXPECT_EQ(m_pCube->TakeFinishedTurn(), TurnKind::Marked);
    EXPECT_EQ(m_pCube->UndoCount(), 2u);

    // A mark made before an undo goes; the undo runs 50 frames the other way.
    m_pCube->GetCubie(13).bSelected = true;
    ASSERT_TRUE(m_pCube->StartUndo());
    EXPECT_EQ(m_pCube->MarkedCount(), 0);
    EXPECT_FALSE(m_pCube->StartRedo()) << "one replay at a time";
    EXPECT_EQ(RunTurn(*m_pCube, m_pDevice), 50);
    EXPECT_EQ(m_pCube->TakeFinishedTurn(), TurnKind::Undo);
    ExpectSame(*m_pCube, *Net({t1}));
    ASSERT_TRUE(m_pCube->StartUndo());
    EXPECT_EQ(RunTurn(*m_pCube, nullptr), 50);
    ExpectSame(*m_pCube, *Net({}));
    EXPECT_FALSE(m_pCube->StartUndo()) << "nothing left to take back";
    EXPECT_EQ(m_pCube->RedoCount(), 2u);

    ASSERT_TRUE(m_pCube->StartRedo());
    EXPECT_EQ(RunTurn(*m_pCube, nullptr), 50);
    EXPECT_EQ(m_pCube->TakeFinishedTurn(), TurnKind::Redo);
    ExpectSame(*m_pCube, *Net({t1}));
    Turn(*m_pCube, t3);
    EXPECT_EQ(m_pCube->RedoCount(), 0u);
    EXPECT_FALSE(m_pCube->StartRedo());
    ExpectSame(*m_pCube, *Net({t1, t3}));
    m_pCube->ReturnToStart();
    EXPECT_EQ(m_pCube->UndoCount(), 0u);
}

// Random chains: the settled matrices and centres are those of the net turns,
// and a click on each cell of the front face still finds the cubie drawn there.
TEST_F(CubeMovesTest, AnyChainOfTurnsUndosAndRedosLeavesTheNetTurns) {
    std::mt19937 rng(2024);
    std::vector<LayerTurn> net, redo;
    for (int op = 1; op <= 240; ++op) {
        const unsigned r = rng() % 20;
        if (r < 12) {
            const LayerTurn t{int(rng() % 3), int(rng() % 3) - 1, (rng() & 1) ? 1 : -1};
            ASSERT_GT(Turn(*m_pCube, t), 0) << op;
            net.push_back(t);
            redo.clear();
        } else if (r < 17) {
            ASSERT_EQ(m_pCube->StartUndo(), !net.empty());
            if (net.empty()) continue;
            ASSERT_EQ(RunTurn(*m_pCube, nullptr), 50);
            redo.push_back(net.back());
            net.pop_back();
        } else {
            ASSERT_EQ(m_pCube->StartRedo(), !redo.empty());
            if (redo.empty()) continue;
            ASSERT_EQ(RunTurn(*m_pCube, nullptr), 50);
            net.push_back(redo.back());
            redo.pop_back();
        }
        if (op % 40 == 0) ExpectSame(*m_pCube, *Net(net));
    }
    for (int i = 0; i < CPuzzleCube::kCubieCount; i += 3) {
        // A ray from in front of cell (x, y, -R) straight into the cube.
        const D3DXVECTOR3 vCell = Home(i);
        ASSERT_TRUE(m_pCube->PickCubie(D3DXVECTOR3(vCell.x, vCell.y, -100.0f), D3DXVECTOR3(0, 0, 1)));
        const int nPicked = CubieAt(*m_pCube, vCell);
        EXPECT_TRUE(m_pCube->GetCubie(nPicked).bSelected);
        const D3DXMATRIX& mPicked = m_pCube->GetSettled(nPicked);
        EXPECT_TRUE(VectorNear(D3DXVECTOR3(mPicked._41, mPicked._42, mPicked._43), vCell, 1e-3f)) << i;
        m_pCube->GetCubie(nPicked).bSelected = false;
    }
}

TEST_F(CubeMovesTest, OneColourPerFaceIsReadFromTheOrientations) {
    EXPECT_TRUE(m_pCube->ShowsOneColourPerFace());
    m_pCube->TurnAtOnce(LayerTurn{0, -1, 1});
    EXPECT_FALSE(m_pCube->ShowsOneColourPerFace());
    m_pCube->TurnAtOnce(LayerTurn{0, -1, -1});
    EXPECT_TRUE(m_pCube->ShowsOneColourPerFace());
    // The whole cube turned: every cubie moved and turned, every face still one colour.
    for (int nLayer = -1; nLayer <= 1; ++nLayer) m_pCube->TurnAtOnce(LayerTurn{1, nLayer, 1});
    EXPECT_TRUE(m_pCube->ShowsOneColourPerFace());
    // Only the middle layer: four face centres show their neighbours' colours.
    m_pCube->TurnAtOnce(LayerTurn{1, 0, 1});
    EXPECT_FALSE(m_pCube->ShowsOneColourPerFace());

    // A mesh with no +z side shows no colour there: never solved.
    std::vector<XQuad> quads = CubeQuads(4.0f);
    quads.pop_back();
    WriteTextFile("box.x", MakeXFile(quads, SixColours(), 10.0f));
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    EXPECT_FALSE(m_pCube->ShowsOneColourPerFace());
}
