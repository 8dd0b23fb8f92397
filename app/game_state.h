// A scrambled game: the moves made since the scramble, its clock, whether the
// cube is solved, and the best result to show beside a solve.
#pragma once

#include "platform/win32.h"

// A solved game: quarter turns and time in tenths of a second.
struct GameResult {
    DWORD nMoves;
    DWORD nTenths;
};

// Fewer moves is better; with as many moves, less time.
bool IsBetterResult(const GameResult& a, const GameResult& b);

class CGameState {
  public:
    // A new game right after a scramble: no moves, the clock at zero and
    // waiting for the first turn.
    void Start();
    // No game (the restore button): nothing to show.
    void End();
    bool IsActive() const { return m_bActive; }
    bool IsSolved() const { return m_bSolved; }

    // A turn is running: the first one starts the clock.
    void TurnRunning();
    // A quarter turn completed (+1) or was taken back (-1). Ignored once solved.
    void TurnFinished(int nDelta);
    // Adds a frame's time while the clock runs: after the first turn, before
    // the solve, and not while the framework's time is paused.
    void AdvanceClock(float fElapsed, bool bTimePaused);
    // The cube is solved: the clock stops; the result is returned.
    GameResult Solve();
    // The best result to show with the solve.
    void SetBest(const GameResult& best);

    int Moves() const { return m_nMoves; }
    double Seconds() const { return m_fSeconds; }
    // The clock in whole tenths of a second (as shown).
    DWORD Tenths() const;
    bool HasBest() const { return m_bHasBest; }
    const GameResult& Best() const { return m_Best; }

  private:
    bool m_bActive = false;        // a game is shown
    bool m_bSolved = false;        // every face showed one colour
    bool m_bClockStarted = false;  // the first turn has begun
    int m_nMoves = 0;              // net quarter turns since the scramble
    double m_fSeconds = 0.0;       // the game's clock
    bool m_bHasBest = false;       // m_Best holds the best result
    GameResult m_Best{};
};
