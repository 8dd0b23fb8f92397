// The best solved game, kept with the program's settings in the registry
// (HKEY_CURRENT_USER\Software\Tumbral\Tumbral: "Best Moves" and
// "Best Time" in tenths of a second, both REG_DWORD).
#pragma once

#include "app/game_state.h"

// The stored best result; false when there is none or the entry is malformed
// (a value missing, of another type or size, or no moves).
bool AppLoadBestResult(GameResult* pBest);
// Stores the result as the best; false when the registry could not be written.
bool AppSaveBestResult(const GameResult& best);
// After a solve: the better of the stored best and this result, stored when
// it is this one (a malformed entry counts as none and is overwritten).
GameResult AppRecordResult(const GameResult& result);
