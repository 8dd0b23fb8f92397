// The game's share of the callbacks: its switch at start-up, its keys in the
// message callback, its clock in frame move, and in frame render the
// scramble before the turn's step and the moves and the solve after it.
#include "app/app_game.h"

#include <exception>
#include <random>

#include "app/app_globals.h"
#include "app/game_best.h"
#include "app/game_scramble.h"
#include "app/game_switch.h"
#include "common/kit/startup/kit_app_switches.h"
#include "common/kit/state/kit_getters.h"

CGameState g_Game;
CGameRandom g_GameRandom;

namespace {

bool g_bScramblePending = false;  // a scramble starts on the next frame
bool g_bRandomSeeded = false;     // the generator has a seed

bool KeyHeld(int nVirtKey) { return (GetKeyState(nVirtKey) & 0x8000) != 0; }

// A seed nobody chose: the system's random source, or the performance
// counter where that source cannot be opened.
uint32_t RandomSeed() {
    try {
        std::random_device device;
        return device();
    } catch (const std::exception&) {
        LARGE_INTEGER count{};
        QueryPerformanceCounter(&count);
        return static_cast<uint32_t>(count.QuadPart ^ (count.QuadPart >> 32));
    }
}

}  // namespace

void AppInitGame() {
    KitRegisterAppSwitch(kScrambleSwitch);
    const ScrambleSwitch scramble = AppReadScrambleSwitch();
    if (!scramble.bScramble) return;
    if (scramble.bSeeded)
        AppRequestScramble(scramble.nSeed);
    else
        AppRequestScramble();
}

void AppRequestScramble() {
    if (!g_bRandomSeeded) {
        g_GameRandom.Seed(RandomSeed());
        g_bRandomSeeded = true;
    }
    g_bScramblePending = true;
}

void AppRequestScramble(uint32_t nSeed) {
    g_GameRandom.Seed(nSeed);
    g_bRandomSeeded = true;
    g_bScramblePending = true;
}

void AppEndGame() {
    g_bScramblePending = false;
    g_Game.End();
    g_PuzzleCube.ClearHistory();
}

bool AppGameKey(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg != WM_KEYDOWN || !KeyHeld(VK_CONTROL) || KeyHeld(VK_MENU)) return false;
    const bool bShift = KeyHeld(VK_SHIFT);
    const bool bNew = wParam == 'N' && !bShift;
    const bool bUndo = wParam == 'Z' && !bShift;
    const bool bRedo = (wParam == 'Y' && !bShift) || (wParam == 'Z' && bShift);
    if (!bNew && !bUndo && !bRedo) return false;
    // Bit 30: the key was already down (auto-repeat).
    if (lParam & (LPARAM(1) << 30)) return true;
    if (bNew)
        AppRequestScramble();
    else if (bUndo)
        g_PuzzleCube.StartUndo();
    else
        g_PuzzleCube.StartRedo();
    return true;
}

void AppGameAfterPick(WPARAM wParam) {
    g_PuzzleCube.SetReverseTurn(g_PuzzleCube.MarkedCount() == 2 && (wParam & MK_SHIFT) != 0);
}

void AppGameFrameMove(float fElapsedTime) { g_Game.AdvanceClock(fElapsedTime, KitTimeHeld()); }

void AppGameBeforeTurn() {
    if (!g_bScramblePending || !g_PuzzleCube.IsLaidOut() || g_PuzzleCube.IsTurning()) return;
    g_bScramblePending = false;
    AppScrambleCube(g_PuzzleCube, g_GameRandom);
    g_Game.Start();
}

void AppGameAfterTurn() {
    if (g_PuzzleCube.IsTurning()) g_Game.TurnRunning();
    const TurnKind finished = g_PuzzleCube.TakeFinishedTurn();
    if (finished == TurnKind::None || !g_Game.IsActive() || g_Game.IsSolved()) return;
    g_Game.TurnFinished(finished == TurnKind::Undo ? -1 : 1);
    if (g_PuzzleCube.ShowsOneColourPerFace()) g_Game.SetBest(AppRecordResult(g_Game.Solve()));
}
