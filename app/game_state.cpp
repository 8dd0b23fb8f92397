// The game's moves, clock and solve.
#include "app/game_state.h"

#include <cmath>

bool IsBetterResult(const GameResult& a, const GameResult& b) {
    return a.nMoves < b.nMoves || (a.nMoves == b.nMoves && a.nTenths < b.nTenths);
}

void CGameState::Start() {
    *this = CGameState();
    m_bActive = true;
}

void CGameState::End() { *this = CGameState(); }

void CGameState::TurnRunning() {
    if (m_bActive && !m_bSolved) m_bClockStarted = true;
}

void CGameState::TurnFinished(int nDelta) {
    if (m_bActive && !m_bSolved) m_nMoves += nDelta;
}

void CGameState::AdvanceClock(float fElapsed, bool bTimePaused) {
    if (!m_bActive || m_bSolved || !m_bClockStarted || bTimePaused) return;
    if (std::isfinite(fElapsed) && fElapsed > 0.0f) m_fSeconds += fElapsed;
}

GameResult CGameState::Solve() {
    m_bSolved = true;
    return GameResult{static_cast<DWORD>(m_nMoves > 0 ? m_nMoves : 0), Tenths()};
}

void CGameState::SetBest(const GameResult& best) {
    m_Best = best;
    m_bHasBest = true;
}

DWORD CGameState::Tenths() const {
    const double fTenths = std::floor(m_fSeconds * 10.0 + 1e-6);
    if (!(fTenths > 0.0)) return 0;
    return fTenths >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<DWORD>(fTenths);
}
