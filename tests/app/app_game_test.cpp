// The game through the program's own paths: the application's callbacks on
// the framework, keys and clicks as the headless backend's input, frames of
// the framework with a stepped clock (0.1 s a frame).
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

class AppGameTest : public AppOnKitTest {
  protected:
    void SetUp() override {
        AppOnKitTest::SetUp();
        setenv("TUMBRAL_REGISTRY_FILE", (m_WorkDir.Path() / "registry").c_str(), 1);
        KitRegisterMsgProc(AppMsgProc, nullptr);
        KitRegisterFrameMove(AppFrameMove, nullptr);
        KitRegisterFrameRender(AppFrameRender, nullptr);
        KitSetFixedFrameTime(true, 0.1f);
        g_fTurnedX = g_fTurnedY = g_fTurnedZ = 0.0f;
        Frames(1);
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
    int FinishTurn() {
        int n = 1;
        for (Frames(1); g_PuzzleCube.IsTurning() && n < 200; ++n) Frames(1);
        return n;
    }
    void Key(UINT vk, bool bCtrl = true, bool bShift = false) {
        if (bCtrl) PushKey(VK_LCONTROL, true);
        if (bShift) PushKey(VK_LSHIFT, true);
        PushKey(vk, true);
        PushKey(vk, false);
        if (bShift) PushKey(VK_LSHIFT, false);
        if (bCtrl) PushKey(VK_LCONTROL, false);
        Pump();
    }
    // The top and right edge cubies of the front face in the start view (R = 10).
    void ClickFrontPair() {
        for (const POINT& pt : {POINT{320, 176}, POINT{384, 240}}) {
            PushMouse(plat::EventType::MouseButton, pt.x, pt.y, plat::MouseButton::Left, true);
            PushMouse(plat::EventType::MouseButton, pt.x, pt.y, plat::MouseButton::Left, false);
        }
        Pump();
    }
    static bool SameAs(const std::vector<D3DXMATRIX>& m) {
        for (int i = 0; i < CPuzzleCube::kCubieCount; ++i)
            if (!MatrixNear(g_PuzzleCube.GetSettled(i), m[i], 1e-5f)) return false;
        return true;
    }
    static std::vector<D3DXMATRIX> Settled() {
        std::vector<D3DXMATRIX> m;
        for (int i = 0; i < CPuzzleCube::kCubieCount; ++i) m.push_back(g_PuzzleCube.GetSettled(i));
        return m;
    }
};

}  // namespace

TEST_F(AppGameTest, TheSeededSwitchScramblesAlikeEveryRunAndCtrlNDrawsTheNextKeepingTheView) {
    const char* argv[] = {"tumbral", "/scramble:2024"};
    plat::SetProcessCommandLine(2, argv);
    for (int nRun = 0; nRun < 2; ++nRun) {
        AppInitGame();
        Frames(1);
        ASSERT_TRUE(g_Game.IsActive());
        CPuzzleCube expected;  // the seed's scramble applied at once
        ASSERT_TRUE(expected.Build(KitCurrentDevice()));
        CGameRandom rng(2024);
        for (const LayerTurn& t : AppMakeScramble(rng)) expected.TurnAtOnce(t);
        for (int i = 0; i < CPuzzleCube::kCubieCount; ++i)
            EXPECT_TRUE(MatrixNear(g_PuzzleCube.GetSettled(i), expected.GetSettled(i), 0.0f)) << i;
    }
    const std::vector<D3DXMATRIX> first = Settled();
    PushMouse(plat::EventType::MouseWheel, 320, 240, plat::MouseButton::Left, false, 240);
    Frames(2);
    const D3DXMATRIX mView = *g_ViewCamera.ViewMatrix();
    ClickFrontPair();  // two marks that would turn a layer in the next frame
    Key('N');
    Frames(1);
    EXPECT_FALSE(SameAs(first));
    EXPECT_EQ(g_PuzzleCube.MarkedCount(), 0);
    EXPECT_FALSE(g_PuzzleCube.IsTurning());
    EXPECT_TRUE(MatrixNear(*g_ViewCamera.ViewMatrix(), mView, 0.0f));
}

TEST_F(AppGameTest, KeysDuringATurnAreIgnoredHeldKeysDoNotFireAfterAndRestoreOrCtrlNClearTheHistory) {
    const std::vector<D3DXMATRIX> start = Settled();
    ClickFrontPair();
    Frames(3);
    Key('N');
    PushKey(VK_LCONTROL, true);
    PushKey('Z', true);  // held across the rest of the turn
    Pump();
    EXPECT_EQ(FinishTurn(), 48);
    const std::vector<D3DXMATRIX> turned = Settled();
    PushKey('Z', true);  // its auto-repeat after the turn
    PushKey('Z', false);
    PushKey(VK_LCONTROL, false);
    Frames(2);
    EXPECT_FALSE(g_PuzzleCube.IsTurning() || g_Game.IsActive()) << "no undo, no scramble";
    Key('Z');
    EXPECT_EQ(FinishTurn(), 50);
    EXPECT_TRUE(SameAs(start));
    Key('Z', true, true);  // Ctrl+Shift+Z redoes
    FinishTurn();
    EXPECT_TRUE(SameAs(turned));

    Key('R', false);
    Frames(1);
    EXPECT_TRUE(SameAs(start));
    EXPECT_EQ(g_PuzzleCube.UndoCount() + g_PuzzleCube.RedoCount(), 0u);
    ClickFrontPair();
    FinishTurn();
    Key('Z');
    FinishTurn();
    Key('N');
    Frames(1);
    EXPECT_EQ(g_PuzzleCube.UndoCount() + g_PuzzleCube.RedoCount(), 0u);
}

// The scramble's inverse played back solves it: the clock (frozen by Pause)
// stops, the result is stored and shown as the best.
TEST_F(AppGameTest, TheScramblesInversePlayedBackSolvesItAndKeepsTheBest) {
    g_PuzzleCube.ReleaseDeviceObjects();  // nothing drawn: faster frames, the same game
    AppRequestScramble(99);
    Frames(1);
    CGameRandom rng(99);
    std::vector<LayerTurn> turns = AppMakeScramble(rng);
    for (size_t i = turns.size(); i-- > 0;) {
        MarkLayerTurn(g_PuzzleCube, LayerTurn{turns[i].nAxis, turns[i].nLayer, -turns[i].nDir});
        FinishTurn();
        if (i != 20) continue;
        PushKey(VK_PAUSE, true);
        PushKey(VK_PAUSE, false);
        Frames(1);
        const DWORD nPausedAt = g_Game.Tenths();
        Frames(20);
        EXPECT_EQ(g_Game.Tenths(), nPausedAt) << "Pause freezes the game's clock";
        PushKey(VK_PAUSE, true);
        PushKey(VK_PAUSE, false);
    }
    ASSERT_TRUE(g_Game.IsSolved());
    EXPECT_EQ(g_Game.Moves(), 25);
    const DWORD nTenths = g_Game.Tenths();
    Frames(10);
    EXPECT_EQ(g_Game.Tenths(), nTenths) << "the clock stopped at the solve";
    GameResult best{};
    ASSERT_TRUE(AppLoadBestResult(&best));
    EXPECT_TRUE(best.nMoves == 25 && best.nTenths == nTenths);

    // Quick solves (a turn and its reverse): fewer moves is better; a
    // malformed entry is ignored and overwritten, even by a slower solve.
    GameResult first{};
    for (int nRound = 0; nRound < 2; ++nRound) {
        if (nRound == 1) {
            HKEY hKey = nullptr;
            RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Tumbral\\Tumbral", 0, KEY_WRITE, &hKey);
            RegSetValueExW(hKey, L"Best Moves", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"1"), 4);
            RegCloseKey(hKey);
        }
        g_PuzzleCube.ReturnToStart();
        g_Game.Start();
        MarkLayerTurn(g_PuzzleCube, {2, 1, 1});
        FinishTurn();
        Frames(nRound == 0 ? 0 : 30);
        MarkLayerTurn(g_PuzzleCube, {2, 1, -1});
        FinishTurn();
        ASSERT_TRUE(g_Game.IsSolved() && AppLoadBestResult(&best));
        if (nRound == 0) first = best;
        EXPECT_EQ(best.nMoves, 2u);
        EXPECT_EQ(best.nTenths, g_Game.Tenths()) << nRound;
        EXPECT_EQ(g_Game.Best().nTenths, best.nTenths) << "the line shows the stored best";
    }
    EXPECT_GT(best.nTenths, first.nTenths);
}

// At every size down to the smallest window, with the help shown or hidden,
// the game's lines are whole and cover nothing else of the HUD.
TEST_F(AppGameTest, TheLinesStayClearOfTheHudAtEverySize) {
    g_PuzzleCube.ReleaseDeviceObjects();
    auto shot = [&]() {
        AppFrameRender(KitCurrentDevice(), 1.0, 0.0f, nullptr);
        return tumbral_test::ReadBackBuffer(KitCurrentDevice());
    };
    for (const SIZE& size : {SIZE{640, 480}, SIZE{1000, 700}, SIZE{330, 260}, SIZE{10, 10}}) {
        plat::Event e;  // the user drags the frame
        for (plat::EventType type :
             {plat::EventType::SizeMoveBegin, plat::EventType::WindowResized, plat::EventType::SizeMoveEnd}) {
            e.type = type, e.width = size.cx, e.height = size.cy;
            Push(e);
        }
        Pump();
        const int W = int(KitGetBackBufferSurfaceDesc()->Width),
                  H = int(KitGetBackBufferSurfaceDesc()->Height);
        EXPECT_TRUE(size.cx > 10 || W < 200) << "the smallest window";
        for (int nCase = 0; nCase < 4; ++nCase) {
            SCOPED_TRACE(testing::Message() << W << "x" << H << " case " << nCase);
            g_bHelpVisible = nCase < 2;
            AppEndGame();
            const std::vector<DWORD> plain = shot();
            // Wide lines: "Moves 134   12:34.3"; solved, with "Best 123 moves, 60:00.0".
            g_Game.Start();
            g_Game.TurnRunning();
            g_Game.AdvanceClock(754.3f, false);
            for (int i = 0; i < 134; ++i) g_Game.TurnFinished(1);
            if (nCase % 2) {
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
            ASSERT_TRUE(left > 0 && right < W - 1) << "whole: " << left << ".." << right;
            EXPECT_GE(bottom - top, nCase % 2 ? 20 : 8);
            for (int y = std::max(0, top - 1); y <= std::min(H - 1, bottom + 1); ++y)
                for (int x = std::max(0, left - 1); x <= std::min(W - 1, right + 1); ++x)
                    ASSERT_EQ(plain[size_t(y) * W + x], 0x2D32AAu) << "under the lines at " << x << "," << y;
        }
    }
    g_bHelpVisible = true;
}
