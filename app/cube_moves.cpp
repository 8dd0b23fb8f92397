// The game's moves on the cube: turns applied at once (a scramble), the
// history of completed turns, and undo and redo. An undo is animated as the
// opposite turn and ends by putting the layer back exactly as its record
// holds it; a redo snaps from the settled matrices like the turn it repeats,
// so any chain of turns, undos and redos leaves the same matrices as the net
// turns alone.
#include "app/puzzle_cube.h"

int CPuzzleCube::MarkedCount() const {
    int n = 0;
    for (const Cubie& c : m_aCubies) n += c.bSelected ? 1 : 0;
    return n;
}

void CPuzzleCube::ReturnToStart() {
    if (m_bLaidOut) LayOut(m_fRadius);
}

void CPuzzleCube::TurnAtOnce(const LayerTurn& turn) {
    if (m_bTurning || !m_bLaidOut) return;
    SnapLayer(turn.nAxis, static_cast<float>(turn.nLayer) * m_fRadius, turn.nDir);
}

bool CPuzzleCube::StartUndo() {
    if (m_bTurning || m_Replay != TurnKind::None || m_Undo.empty()) return false;
    m_ReplayRecord = m_Undo.back();
    m_Undo.pop_back();
    m_Replay = TurnKind::Undo;
    // Marks made before belong to no turn any more.
    for (Cubie& c : m_aCubies) c.bSelected = false;
    m_bReverseTurn = false;
    return true;
}

bool CPuzzleCube::StartRedo() {
    if (m_bTurning || m_Replay != TurnKind::None || m_Redo.empty()) return false;
    m_ReplayRecord = m_Redo.back();
    m_Redo.pop_back();
    m_Replay = TurnKind::Redo;
    for (Cubie& c : m_aCubies) c.bSelected = false;
    m_bReverseTurn = false;
    return true;
}

void CPuzzleCube::ClearHistory() {
    m_Undo.clear();
    m_Redo.clear();
}

TurnKind CPuzzleCube::TakeFinishedTurn() {
    const TurnKind kind = m_Finished;
    m_Finished = TurnKind::None;
    return kind;
}

void CPuzzleCube::StepReplayedTurn() {
    const LayerTurn& turn = m_ReplayRecord.turn;
    const bool bUndo = m_Replay == TurnKind::Undo;
    const float fLayer = static_cast<float>(turn.nLayer) * m_fRadius;
    if (!StepLayer(turn.nAxis, fLayer, bUndo ? -turn.nDir : turn.nDir)) return;
    if (bUndo) {
        RestoreLayer(m_ReplayRecord);
        m_Redo.push_back(m_ReplayRecord);
    } else {
        TurnRecord record;
        SnapLayer(turn.nAxis, fLayer, turn.nDir, &record);
        m_Undo.push_back(record);
    }
    m_Finished = m_Replay;
    m_Replay = TurnKind::None;
}

void CPuzzleCube::RestoreLayer(const TurnRecord& record) {
    for (int n = 0; n < kLayerSize; ++n) {
        const int d = record.aCubie[n];
        if (d < 0 || d >= kCubieCount) continue;
        m_aCubies[d].mWorld = record.aSettled[n];
        m_aCubies[d].vCenter = record.aCenter[n];
    }
    SettleAll();
    m_bTurning = false;
}
