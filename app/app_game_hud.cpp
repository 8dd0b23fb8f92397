// The game's lines in the HUD: right-aligned in the bottom-right corner,
// "Moves 12   01:23.4" while a game runs, "Solved: 34 moves, 02:11.5" and
// "Best 28 moves, 01:58.2" once it is solved. They end just above the row of
// the "Press F1 for help" hint and start below the help block, so they stay
// clear of both whatever the width, of the statistics at the top and of the
// restore button (a tenth of the height down) down to the smallest window.
#include <cwchar>

#include "app/app_game.h"

namespace {

constexpr int kLineStep = 15;
// The last line's top: three line steps above the bottom edge, so that it
// ends where the hint's row begins (H - 30).
constexpr int kLastLineFromBottom = 45;
constexpr int kRightMargin = 10;

// "mm:ss.t" (minutes go past 99 as they must).
void FormatClock(DWORD nTenths, WCHAR* strText, size_t cchText) {
    swprintf(strText, cchText, L"%02lu:%02lu.%lu", static_cast<unsigned long>(nTenths / 600),
             static_cast<unsigned long>(nTenths / 10 % 60), static_cast<unsigned long>(nTenths % 10));
}

const WCHAR* MovesWord(DWORD nMoves) { return nMoves == 1 ? L"move" : L"moves"; }

}  // namespace

bool AppGameLineText(int nLine, WCHAR* strText, size_t cchText) {
    if (!g_Game.IsActive() || cchText == 0) return false;
    WCHAR strClock[32];
    if (!g_Game.IsSolved()) {
        if (nLine != 0) return false;
        FormatClock(g_Game.Tenths(), strClock, 32);
        swprintf(strText, cchText, L"Moves %d   %ls", g_Game.Moves(), strClock);
        return true;
    }
    if (nLine == 0) {
        const DWORD nMoves = static_cast<DWORD>(g_Game.Moves() > 0 ? g_Game.Moves() : 0);
        FormatClock(g_Game.Tenths(), strClock, 32);
        swprintf(strText, cchText, L"Solved: %lu %ls, %ls", static_cast<unsigned long>(nMoves),
                 MovesWord(nMoves), strClock);
        return true;
    }
    if (nLine != 1 || !g_Game.HasBest()) return false;
    const GameResult& best = g_Game.Best();
    FormatClock(best.nTenths, strClock, 32);
    swprintf(strText, cchText, L"Best %lu %ls, %ls", static_cast<unsigned long>(best.nMoves),
             MovesWord(best.nMoves), strClock);
    return true;
}

void AppDrawGameLines(CKitTextWriter& txtHelper, int nWidth, int nHeight) {
    if (!g_Game.IsActive()) return;
    WCHAR strLines[2][64];
    int nLines = 0;
    while (nLines < 2 && AppGameLineText(nLines, strLines[nLines], 64)) ++nLines;
    // Running: white like the hint; solved: yellow like the statistics.
    txtHelper.SetTextColor(g_Game.IsSolved() ? D3DXCOLOR(1.0f, 1.0f, 0.0f, 1.0f)
                                             : D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f));
    int y = nHeight - kLastLineFromBottom - kLineStep * (nLines - 1);
    for (int i = 0; i < nLines; ++i, y += kLineStep) {
        const RECT rc{0, y, nWidth - kRightMargin, y + kLineStep};
        txtHelper.DrawTextLineIn(rc, DT_RIGHT | DT_NOCLIP, strLines[i]);
    }
}
