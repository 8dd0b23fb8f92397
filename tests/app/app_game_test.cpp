// The game through the program's own paths: the application's callbacks on
// the framework, keys and clicks as the headless backend's input, frames of
// the framework with a stepped clock (0.1 s a frame). The seeded scramble,
// undo and redo by keys, a solve with its clock and best result, and where
// the game's lines sit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "app/app_game.h"
#include "app/game_best.h"
#include "app/game_scramble.h"
#include "common/kit/loop/kit_frame.h"
#include "platform/win32/kernel_process.h"
#include "tests/app/app_kit_env.h"
#include "tests/support/device_setup.h"

namespace {

// Client points of the front face's edge cubies in the start view (box of
// half-size 4, R = 10): top, right, bottom.
constexpr int kTop[2] = {320, 176}, kRight[2] = {384, 240}, kBottom[2] = {320, 304};

class AppGameTest : public AppOnKitTest {
  protected:
    void SetUp() override {
        AppOnKitTest::SetUp();
        setenv("TUMBRAL_REGISTRY_FILE", (m_WorkDir.Path() / "registry").c_str(), 1);
        KitRegisterMsgProc(AppMsgProc, nullptr);
        KitRegisterKeyboard(AppKeyboard, nullptr);
        KitRegisterFrameMove(AppFrameMove, nullptr);
        KitRegisterFrameRender(AppFrameRender, nullptr);
        KitSetFixedFrameTime(true, 0.1f);
        g_fTurnedX = g_fTurnedY = g_fTurnedZ = 0.0f;
        AppEndGame();
        Frames(1);
        m_Start = Settled();
    }
    void TearDown() override {
        while (g_PuzzleCube.IsTurning()) Frames(1);
        AppEndGame();
        unsetenv("TUMBRAL_REGISTRY_FILE");
        const char* argv[] = {"test"};
        plat::SetProcessCommandLine(1, argv);
        AppOnKitTest::TearDown();
    }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            Pump();
            KitRenderOneFrame();
        }
    }
    // Runs frames while a turn runs; the frames it took.
    int FinishTurn() {
        int n = 0;
        do Frames(1);
        while (g_PuzzleCube.IsTurning() && ++n < 200);
        return n + 1;
    }
    void Key(UINT vk, bool bCtrl, bool bShift = false) {
        if (bCtrl) PushKey(VK_LCONTROL, true);
        if (bShift) PushKey(VK_LSHIFT, true);
        PushKey(vk, true);
        PushKey(vk, false);
        if (bShift) PushKey(VK_LSHIFT, false);
        if (bCtrl) PushKey(VK_LCONTROL, false);
        Pump();
    }
    void Click(const int pt[2], bool bShift = false) {
        if (bShift) PushKey(VK_LSHIFT, true);
        PushMouse(plat::EventType::MouseButton, pt[0], pt[1], plat::MouseButton::Left, true);
        PushMouse(plat::EventType::MouseButton, pt[0], pt[1], plat::MouseButton::Left, false);
        if (bShift) PushKey(VK_LSHIFT, false);
        Pump();
    }
    static std::vector<D3DXMATRIX> Settled() {
        std::vector<D3DXMATRIX> m;
        for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) m.push_back(g_PuzzleCube.GetSettled(i));
        return m;
    }
    static bool Same(const std::vector<D3DXMATRIX>& a, const std::vector<D3DXMATRIX>& b) {
        for (size_t i = 0; i < a.size(); ++i)
            if (!MatrixNear(a[i], b[i], 1e-5f)) return false;
        return a.size() == b.size();
    }
    // Turns the layer of `t` by marking two of its edge cubies (reversed as Shift would when needed).
    int Turn(const LayerTurn& t) {
        D3DXVECTOR3 vA(0, 0, 0), vB(0, 0, 0);
        (&vA.x)[t.nAxis] = (&vB.x)[t.nAxis] = float(t.nLayer) * 10.0f;
        (&vA.x)[(t.nAxis + 1) % 3] = (&vB.x)[(t.nAxis + 2) % 3] = 10.0f;
        int a = -1, b = -1;
        for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) {
            if (VectorNear(g_PuzzleCube.GetCubie(i).vCenter, vA, 1.0f)) a = i;
            if (VectorNear(g_PuzzleCube.GetCubie(i).vCenter, vB, 1.0f)) b = i;
        }
        const int nOwn = CPuzzleCube::TurnDirection(g_PuzzleCube.GetCubie(std::min(a, b)).vCenter,
                                                    g_PuzzleCube.GetCubie(std::max(a, b)).vCenter);
        g_PuzzleCube.GetCubie(a).bSelected = g_PuzzleCube.GetCubie(b).bSelected = true;
        g_PuzzleCube.SetReverseTurn(nOwn != t.nDir);
        return FinishTurn();
    }

    std::vector<D3DXMATRIX> m_Start;
};

}  // namespace

TEST_F(AppGameTest, TheSeededSwitchScramblesAlikeEveryRunAndCtrlNDrawsTheNext) {
    const char* argv[] = {"tumbral", "/scramble:2024"};
    plat::SetProcessCommandLine(2, argv);
    AppInitGame();
    Frames(1);
    const std::vector<D3DXMATRIX> first = Settled();
    EXPECT_TRUE(g_Game.IsActive());
    EXPECT_FALSE(g_PuzzleCube.ShowsOneColourPerFace());
    EXPECT_EQ(g_PuzzleCube.UndoCount(), 0u);
    // The switch read again (a second run): the same 27 matrices, those of the seed's turns.
    AppInitGame();
    Frames(1);
    EXPECT_TRUE(Same(Settled(), first));
    CGameRandom rng(2024);
    g_PuzzleCube.ReturnToStart();
    for (const LayerTurn& t : AppMakeScramble(rng)) g_PuzzleCube.TurnAtOnce(t);
    EXPECT_TRUE(Same(Settled(), first));

    // Ctrl+N: the generator's next scramble; the zoomed view stays, the mark goes.
    PushMouse(plat::EventType::MouseWheel, 320, 240, plat::MouseButton::Left, false, 240);
    Click(kTop);
    Frames(2);
    const D3DXMATRIX mView = *g_ViewCamera.ViewMatrix();
    Key('N', true);
    Frames(1);
    EXPECT_FALSE(Same(Settled(), first));
    EXPECT_EQ(g_PuzzleCube.MarkedCount(), 0);
    EXPECT_TRUE(MatrixNear(*g_ViewCamera.ViewMatrix(), mView, 0.0f));
}

TEST_F(AppGameTest, CtrlZAndCtrlYTakeBackAndRepeatWholeTurnsAndTheHistoryClears) {
    Click(kTop);
    Click(kRight);
    EXPECT_EQ(FinishTurn(), 51);
    const std::vector<D3DXMATRIX> turned = Settled();
    Key('Z', true);
    EXPECT_EQ(FinishTurn(), 50);
    EXPECT_TRUE(Same(Settled(), m_Start));
    Key('Y', true);
    EXPECT_EQ(FinishTurn(), 50);
    EXPECT_TRUE(Same(Settled(), turned));
    Key('Z', true);
    FinishTurn();
    Key('Z', true, true);  // Ctrl+Shift+Z redoes too
    FinishTurn();
    EXPECT_TRUE(Same(Settled(), turned));

    // A turn with Shift on the second mark goes the other way; a new turn leaves nothing to redo.
    Key('Z', true);
    FinishTurn();
    Click(kTop);
    Click(kRight, true);
    FinishTurn();
    EXPECT_FALSE(Same(Settled(), turned));
    EXPECT_FALSE(Same(Settled(), m_Start));
    EXPECT_EQ(g_PuzzleCube.RedoCount(), 0u);
    Key('Y', true);
    Frames(1);
    EXPECT_FALSE(g_PuzzleCube.IsTurning());

    // The restore key and Ctrl+N clear the history.
    Key('R', false);
    Frames(1);
    EXPECT_TRUE(Same(Settled(), m_Start));
    EXPECT_EQ(g_PuzzleCube.UndoCount(), 0u);
    Click(kTop);
    Click(kRight);
    FinishTurn();
    Key('N', true);
    Frames(1);
    EXPECT_EQ(g_PuzzleCube.UndoCount(), 0u);
    Key('Z', true);
    Frames(1);
    EXPECT_FALSE(g_PuzzleCube.IsTurning());
}

TEST_F(AppGameTest, KeysDuringATurnAreIgnoredAndAKeyHeldAcrossItDoesNotFireAfter) {
    Click(kTop);
    Click(kRight);
    Frames(3);
    ASSERT_TRUE(g_PuzzleCube.IsTurning());
    Key('N', true);
    PushKey(VK_LCONTROL, true);
    PushKey('Z', true);  // held down across the rest of the turn
    Pump();
    FinishTurn();
    PushKey('Z', true);  // its auto-repeat after the turn
    Pump();
    Frames(2);
    EXPECT_FALSE(g_PuzzleCube.IsTurning());
    EXPECT_FALSE(g_Game.IsActive()) << "no scramble";
    EXPECT_EQ(g_PuzzleCube.UndoCount(), 1u);
    PushKey('Z', false);
    PushKey(VK_LCONTROL, false);
    Pump();
}

// The scramble's inverse played back solves it: the clock (frozen by Pause)
// stops, the result is stored and shown as the best.
TEST_F(AppGameTest, TheScramblesInversePlayedBackSolvesItAndStoresTheBest) {
    g_PuzzleCube.ReleaseDeviceObjects();  // nothing drawn: faster frames, same game
    AppRequestScramble(99);
    Frames(1);
    CGameRandom rng(99);
    std::vector<LayerTurn> turns = AppMakeScramble(rng);
    std::reverse(turns.begin(), turns.end());
    DWORD nPausedAt = 0;
    for (size_t i = 0; i < turns.size(); ++i) {
        Turn(LayerTurn{turns[i].nAxis, turns[i].nLayer, -turns[i].nDir});
        if (i != 3) continue;
        PushKey(VK_PAUSE, true);
        PushKey(VK_PAUSE, false);
        Frames(1);
        nPausedAt = g_Game.Tenths();
        Frames(20);
        EXPECT_EQ(g_Game.Tenths(), nPausedAt) << "Pause freezes the game's clock";
        PushKey(VK_PAUSE, true);
        PushKey(VK_PAUSE, false);
    }
    ASSERT_TRUE(g_Game.IsSolved());
    EXPECT_EQ(g_Game.Moves(), 25);
    const DWORD nTenths = g_Game.Tenths();
    EXPECT_GT(nTenths, nPausedAt + 100);
    Frames(10);
    EXPECT_EQ(g_Game.Tenths(), nTenths) << "the clock stopped at the solve";
    GameResult best{};
    ASSERT_TRUE(AppLoadBestResult(&best));
    EXPECT_EQ(best.nMoves, 25u);
    EXPECT_EQ(best.nTenths, nTenths);

    // Quick solves from a solved start (a turn and its reverse): fewer moves is
    // better; as many moves in more time is not; a malformed entry is ignored
    // and overwritten.
    GameResult twoMoves{};
    for (int nRound = 0; nRound < 3; ++nRound) {
        if (nRound == 2) {
            HKEY hKey = nullptr;
            RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tumbral\\Tumbral", 0, KEY_WRITE, &hKey);
            RegSetValueExW(hKey, L"Best Moves", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1"), 4);
            RegCloseKey(hKey);
            EXPECT_FALSE(AppLoadBestResult(&best));
        }
        g_PuzzleCube.ReturnToStart();
        g_Game.Start();
        Turn(LayerTurn{2, 1, 1});
        EXPECT_FALSE(g_Game.IsSolved());
        Frames(nRound == 0 ? 0 : 30);
        Turn(LayerTurn{2, 1, -1});
        ASSERT_TRUE(g_Game.IsSolved());
        ASSERT_TRUE(AppLoadBestResult(&best));
        EXPECT_EQ(best.nMoves, 2u);
        if (nRound == 0) twoMoves = best;
        EXPECT_EQ(best.nTenths, nRound == 1 ? twoMoves.nTenths : g_Game.Tenths()) << nRound;
        EXPECT_EQ(g_Game.Best().nTenths, best.nTenths) << "the line shows the stored best";
    }
    EXPECT_GT(best.nTenths, twoMoves.nTenths);
}

// At every size down to the smallest window, with the help shown or hidden,
// the game's lines are whole and cover nothing else of the HUD.
TEST_F(AppGameTest, TheLinesStayClearOfTheHudAtEverySize) {
    g_PuzzleCube.ReleaseDeviceObjects();
    IDirect3DDevice9* pDevice = nullptr;
    auto shot = [&]() {
        pDevice = KitCurrentDevice();
        AppFrameRender(pDevice, 1.0, 0.0f, nullptr);
        return tumbral_test::ReadBackBuffer(pDevice);
    };
    for (const SIZE& size : {SIZE{640, 480}, SIZE{1000, 700}, SIZE{330, 260}, SIZE{10, 10}}) {
        // The user drags the frame: the window keeps its smallest tracking size.
        plat::Event e;
        for (plat::EventType type :
             {plat::EventType::SizeMoveBegin, plat::EventType::WindowResized, plat::EventType::SizeMoveEnd}) {
            e.type = type;
            e.width = size.cx;
            e.height = size.cy;
            Push(e);
        }
        Pump();
        const int W = int(KitGetBackBufferSurfaceDesc()->Width),
                  H = int(KitGetBackBufferSurfaceDesc()->Height);
        if (size.cx == 10) {
            EXPECT_LT(W, 200) << "the smallest window";
        }
        for (bool bHelp : {true, false}) {
            g_bHelpVisible = bHelp;
            for (bool bSolved : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << W << "x" << H << " help " << bHelp << " solved " << bSolved);
                AppEndGame();
                const std::vector<DWORD> plain = shot();
                // Wide lines: "Moves 134   12:34.3", then solved with a best of "123 moves, 60:00.0".
                g_Game.Start();
                g_Game.TurnRunning();
                g_Game.AdvanceClock(754.3f, false);
                for (int i = 0; i < 134; ++i) g_Game.TurnFinished(1);
                if (bSolved) {
                    g_Game.Solve();
                    g_Game.SetBest(GameResult{123, 36000});
                }
                const std::vector<DWORD> game = shot();
                int left = W, top = H, right = -1, bottom = -1;
                for (int y = 0; y < H; ++y)
                    for (int x = 0; x < W; ++x)
                        if (plain[size_t(y) * W + x] != game[size_t(y) * W + x]) {
                            left = std::min(left, x), right = std::max(right, x);
                            top = std::min(top, y), bottom = std::max(bottom, y);
                        }
                ASSERT_GE(right, 0) << "the lines are drawn";
                EXPECT_GT(left, 0);
                EXPECT_LT(right, W - 1);
                EXPECT_GE(bottom - top, bSolved ? 20 : 8);
                // Nothing of the HUD under or right beside them.
                for (int y = std::max(0, top - 1); y <= std::min(H - 1, bottom + 1); ++y)
                    for (int x = std::max(0, left - 1); x <= std::min(W - 1, right + 1); ++x)
                        ASSERT_EQ(plain[size_t(y) * W + x], 0x2D32AAu) << x << "," << y;
            }
        }
    }
    g_bHelpVisible = true;
}
