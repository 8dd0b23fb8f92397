// Drawing and applying a scramble.
#include "app/game_scramble.h"

namespace {

// Scrambles drawn again when one leaves the cube solved, before giving up
// (only a mesh whose sides all show one colour gets that far).
constexpr int kMaxScrambleDraws = 8;

}  // namespace

std::vector<LayerTurn> AppMakeScramble(CGameRandom& rng) {
    std::vector<LayerTurn> turns;
    turns.reserve(kScrambleTurns);
    for (int i = 0; i < kScrambleTurns; ++i) {
        LayerTurn turn{};
        do {
            const int nLayer = static_cast<int>(rng.Below(9));
            turn.nAxis = nLayer / 3;
            turn.nLayer = nLayer % 3 - 1;
            turn.nDir = rng.Below(2) == 0 ? 1 : -1;
        } while (!turns.empty() && turns.back().nAxis == turn.nAxis && turns.back().nLayer == turn.nLayer &&
                 turns.back().nDir == -turn.nDir);
        turns.push_back(turn);
    }
    return turns;
}

std::vector<LayerTurn> AppScrambleCube(CPuzzleCube& cube, CGameRandom& rng) {
    std::vector<LayerTurn> turns;
    if (!cube.IsLaidOut()) return turns;
    for (int nDraw = 0; nDraw < kMaxScrambleDraws; ++nDraw) {
        cube.ReturnToStart();
        turns = AppMakeScramble(rng);
        for (const LayerTurn& turn : turns) cube.TurnAtOnce(turn);
        if (!cube.ShowsOneColourPerFace()) break;
    }
    return turns;
}
