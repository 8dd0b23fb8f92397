// The game on top of the puzzle: Ctrl+N and /scramble start a scrambled game,
// Ctrl+Z takes the last turn back, Ctrl+Y or Ctrl+Shift+Z makes it again; the
// moves, the clock and the solve are kept here and shown by the HUD. Without
// the switch and the keys none of it does anything.
#pragma once

#include "app/game_random.h"
#include "app/game_state.h"
#include "common/kitmisc/text_writer.h"
#include "platform/win32.h"

extern CGameState g_Game;         // the game shown in the HUD
extern CGameRandom g_GameRandom;  // draws the scrambles

// Registers /scramble with the framework and reads it (before KitStartup).
void AppInitGame();
// Asks for a new scrambled game; it starts on the next frame, once the cube
// exists. The first scramble without a seed seeds the generator at random.
void AppRequestScramble();
void AppRequestScramble(uint32_t nSeed);
// The restore button: the game ends, the history goes, no scramble waits.
void AppEndGame();

// Ctrl+N, Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z from the message callback; true
// when the message was one of them. A key held down (auto-repeat) does not
// act again, so a key held across a turn does nothing after it.
bool AppGameKey(UINT uMsg, WPARAM wParam, LPARAM lParam);
// After a pick: a second mark made with Shift turns the layer the other way.
void AppGameAfterPick(WPARAM wParam);

// Frame move: the game's clock.
void AppGameFrameMove(float fElapsedTime);
// Frame render, after the cube is built: a requested scramble.
void AppGameBeforeTurn();
// Frame render, after the turn's step: moves, the clock's start and the solve.
void AppGameAfterTurn();

// The HUD's game lines in the bottom-right corner (app_game_hud.cpp).
void AppDrawGameLines(CKitTextWriter& txtHelper, int nWidth, int nHeight);
// The lines' texts; false for a line that is not shown.
bool AppGameLineText(int nLine, WCHAR* strText, size_t cchText);
