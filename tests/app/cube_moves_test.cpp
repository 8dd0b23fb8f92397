// Turns beyond two plain marks: Shift's other direction, undo and redo, and
// chains of them against their net turns; the solved test from orientations.
#include <random>

#include "tests/app/cube_test_env.h"

namespace {

class CubeMovesTest : public CubeDeviceTest {
  protected:
    void SetUp() override {
        CubeDeviceTest::SetUp();
        WriteStandardBox();
        ASSERT_TRUE(m_pCube->Build(m_pDevice));
    }
    int Turn(const LayerTurn& turn) {
        MarkLayerTurn(*m_pCube, turn);
        return RunTurn(*m_pCube, nullptr);
    }
    // The frames an undo or redo took; 0 when none started.
    int Replay(bool bUndo) {
        return (bUndo ? m_pCube->StartUndo() : m_pCube->StartRedo()) ? RunTurn(*m_pCube, nullptr) : 0;
    }
    // Settled matrices and centres as the turns applied at once from the start leave them.
    void ExpectNet(const std::vector<LayerTurn>& turns) {
        CPuzzleCube net;
        ASSERT_TRUE(net.Build(m_pDevice));
        for (const LayerTurn& t : turns) net.TurnAtOnce(t);
        for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) {
            EXPECT_TRUE(MatrixNear(m_pCube->GetSettled(i), net.GetSettled(i), 1e-5f)) << i;
            EXPECT_TRUE(VectorNear(m_pCube->GetCubie(i).vCenter, net.GetCubie(i).vCenter, 1e-4f)) << i;
        }
    }
};

}  // namespace

TEST_F(CubeMovesTest, ShiftTurnsTheOtherWayUndoAndRedoReplayWholeTurnsAndANewTurnLeavesNoRedo) {
    // Cubies 1 and 3 turn the x = -R layer by +90 degrees; reversed, by -90, as fast.
    m_pCube->GetCubie(1).bSelected = m_pCube->GetCubie(3).bSelected = true;
    m_pCube->SetReverseTurn(true);
    m_pCube->AdvanceTurn(nullptr);
    EXPECT_GT(m_pCube->GetCubie(1).mWorld._43, 0.0f) << "cubie 1 (-R, -R, 0) leaves towards +z";
    EXPECT_EQ(1 + RunTurn(*m_pCube, nullptr), 51);
    EXPECT_FALSE(m_pCube->IsReverseTurn());
    const LayerTurn t1{0, -1, -1}, t2{0, 0, 1}, t3{2, 0, 1};
    ExpectNet({t1});
    EXPECT_EQ(Turn(t2), 50);  // the middle layer, whose own way is -90, reversed
    EXPECT_EQ(m_pCube->TakeFinishedTurn(), TurnKind::Marked);
    ExpectNet({t1, t2});
    m_pCube->GetCubie(13).bSelected = true;
    EXPECT_EQ(Replay(true), 50);
    EXPECT_EQ(m_pCube->MarkedCount(), 0) << "an undo clears the marks";
    EXPECT_EQ(m_pCube->TakeFinishedTurn(), TurnKind::Undo);
    ExpectNet({t1});
    EXPECT_EQ(Replay(true), 50);
    ExpectNet({});
    EXPECT_EQ(Replay(true), 0) << "nothing left to take back";
    EXPECT_EQ(Replay(false), 50);
    EXPECT_EQ(m_pCube->TakeFinishedTurn(), TurnKind::Redo);
    ExpectNet({t1});
    Turn(t3);
    EXPECT_EQ(Replay(false), 0) << "a new turn leaves nothing to redo";
    ExpectNet({t1, t3});
    Turn({2, 0, -1});  // the same layer the other way: every matrix back
    ExpectNet({t1});
}

// Random chains: the net turns' matrices, and a click on each cell of the
// front face finds the cubie drawn there.
TEST_F(CubeMovesTest, AnyChainOfTurnsUndosAndRedosLeavesItsNetTurns) {
    std::mt19937 rng(2024);
    std::vector<LayerTurn> net, redo;
    for (int op = 1; op <= 240; ++op) {
        const unsigned r = rng() % 20;
        if (r < 12) {
            const LayerTurn t{int(rng() % 3), int(rng() % 3) - 1, (rng() & 1) ? 1 : -1};
            ASSERT_GT(Turn(t), 0) << op;
            net.push_back(t);
            redo.clear();
        } else {
            std::vector<LayerTurn>& from = r < 17 ? net : redo;
            std::vector<LayerTurn>& to = r < 17 ? redo : net;
            ASSERT_EQ(Replay(r < 17), from.empty() ? 0 : 50) << op;
            if (from.empty()) continue;
            to.push_back(from.back());
            from.pop_back();
        }
        if (op % 40 == 0) ExpectNet(net);
    }
    for (int i = 0; i < CPuzzleCube::kCubieCount; i += 3) {
        const D3DXVECTOR3 vCell(float(i / 9 - 1) * 10.0f, float(i / 3 % 3 - 1) * 10.0f, -10.0f);
        ASSERT_TRUE(m_pCube->PickCubie(D3DXVECTOR3(vCell.x, vCell.y, -100.0f), D3DXVECTOR3(0, 0, 1)));
        ASSERT_EQ(m_pCube->MarkedCount(), 1);
        for (int k = 0; k < CPuzzleCube::kCubieCount; ++k) {
            if (!m_pCube->GetCubie(k).bSelected) continue;
            const D3DXMATRIX& m = m_pCube->GetSettled(k);
            EXPECT_TRUE(VectorNear(D3DXVECTOR3(m._41, m._42, m._43), vCell, 1e-3f)) << i;
            m_pCube->GetCubie(k).bSelected = false;
        }
    }
}

TEST_F(CubeMovesTest, OneColourPerFaceIsReadFromTheOrientations) {
    EXPECT_TRUE(m_pCube->ShowsOneColourPerFace());
    m_pCube->TurnAtOnce({0, -1, 1});
    EXPECT_FALSE(m_pCube->ShowsOneColourPerFace());
    m_pCube->TurnAtOnce({0, -1, -1});
    EXPECT_TRUE(m_pCube->ShowsOneColourPerFace());
    // The whole cube turned: every cubie moved and turned, every face one colour.
    for (int nLayer = -1; nLayer <= 1; ++nLayer) m_pCube->TurnAtOnce({1, nLayer, 1});
    EXPECT_TRUE(m_pCube->ShowsOneColourPerFace());
    // Its middle layer alone: four face centres show their neighbours' colours.
    m_pCube->TurnAtOnce({1, 0, 1});
    EXPECT_FALSE(m_pCube->ShowsOneColourPerFace());
    // A mesh with no +z side shows no colour there: never solved.
    std::vector<XQuad> quads = CubeQuads(4.0f);
    quads.pop_back();
    WriteTextFile("box.x", MakeXFile(quads, SixColours(), 10.0f));
    ASSERT_TRUE(m_pCube->Build(m_pDevice));
    EXPECT_FALSE(m_pCube->ShowsOneColourPerFace());
}
