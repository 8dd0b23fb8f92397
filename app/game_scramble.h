// A scramble: 25 random quarter turns from the start position, applied at
// once. Each is a layer of the nine drawn uniformly and a direction drawn
// uniformly, drawn again while it would undo the turn just before it.
#pragma once

#include <vector>

#include "app/game_random.h"
#include "app/puzzle_cube.h"

constexpr int kScrambleTurns = 25;

// The next scramble's turns from the generator.
std::vector<LayerTurn> AppMakeScramble(CGameRandom& rng);

// Puts the cube in its start position and applies a scramble (marks and
// history cleared, the view untouched). A scramble that happens to leave
// every face one colour is replaced by the generator's next one. Returns the
// turns applied; none when the cube has never been laid out.
std::vector<LayerTurn> AppScrambleCube(CPuzzleCube& cube, CGameRandom& rng);
