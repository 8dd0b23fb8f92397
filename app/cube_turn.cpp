// The layer turn: two marked edge cubies of one layer, at a right angle about
// its centre, turn that layer a fixed step per frame about the world axis
// (the other way when the second mark was made with Shift); after a quarter
// turn the layer snaps exactly into place from the settled matrices and the
// cubies' centres move. An undo or redo runs through the same steps.
#include "app/puzzle_cube.h"

#include <cmath>

namespace {

float Coord(const D3DXVECTOR3& v, int nAxis) { return nAxis == 0 ? v.x : (nAxis == 1 ? v.y : v.z); }

float* Accumulator(int nAxis) { return nAxis == 0 ? &g_fTurnedX : (nAxis == 1 ? &g_fTurnedY : &g_fTurnedZ); }

D3DXVECTOR3 AxisVector(int nAxis) {
    return D3DXVECTOR3(nAxis == 0 ? 1.0f : 0.0f, nAxis == 1 ? 1.0f : 0.0f, nAxis == 2 ? 1.0f : 0.0f);
}

}  // namespace

int CPuzzleCube::SharedAxis(const D3DXVECTOR3& vA, const D3DXVECTOR3& vB) {
    int nAxis = -1;
    for (int a = 0; a < 3; ++a)
        if (NearlyEqual(Coord(vA, a), Coord(vB, a), kLayerTolerance)) nAxis = a;
    return nAxis;
}

void CPuzzleCube::AdvanceTurn(IDirect3DDevice9* pd3dDevice) {
    if (m_Replay != TurnKind::None) {
        StepReplayedTurn();
        DrawCubies(pd3dDevice);
        return;
    }

    int nSelected = 0, a = -1, b = -1;
    for (int k = 0; k < kCubieCount; ++k) {
        if (!m_aCubies[k].bSelected) continue;
        if (nSelected == 0)
            a = k;
        else if (nSelected == 1)
            b = k;
        ++nSelected;
    }
    if (nSelected != 2) {
        DrawCubies(pd3dDevice);
        return;
    }

    const D3DXVECTOR3 vA = m_aCubies[a].vCenter;
    const D3DXVECTOR3 vB = m_aCubies[b].vCenter;
    int nDiffering = 0;
    for (int ax = 0; ax < 3; ++ax)
        if (!NearlyEqual(Coord(vA, ax), Coord(vB, ax), kLayerTolerance)) ++nDiffering;
    if (nDiffering != 2 || !IsTurnablePair(vA, vB)) {
        // The unusable pair shows highlighted for this one frame.
        DrawCubies(pd3dDevice);
        m_aCubies[a].bSelected = false;
        m_aCubies[b].bSelected = false;
        m_bReverseTurn = false;
        return;
    }

    const int nAxis = SharedAxis(vA, vB);
    const int nDir = m_bReverseTurn ? -TurnDirection(vA, vB) : TurnDirection(vA, vB);
    const float fLayer = Coord(vA, nAxis);
    if (StepLayer(nAxis, fLayer, nDir)) {
        m_aCubies[a].bSelected = false;
        m_aCubies[b].bSelected = false;
        m_bReverseTurn = false;
        TurnRecord record;
        SnapLayer(nAxis, fLayer, nDir, &record);
        // A new turn: what was taken back can no longer be made again.
        m_Undo.push_back(record);
        m_Redo.clear();
        m_Finished = TurnKind::Marked;
    }
    DrawCubies(pd3dDevice);
}

bool CPuzzleCube::StepLayer(int nAxis, float fLayer, int nDir) {
    m_bTurning = true;
    const D3DXVECTOR3 vAxis = AxisVector(nAxis);
    float* pfTurned = Accumulator(nAxis);

    D3DXMATRIX mStep;
    D3DXMatrixRotationAxis(&mStep, &vAxis, static_cast<float>(nDir * kStepNumerator / 100.0));
    for (int k = 0; k < kCubieCount; ++k)
        if (NearlyEqual(Coord(m_aCubies[k].vCenter, nAxis), fLayer, kLayerTolerance))
            D3DXMatrixMultiply(&m_aCubies[k].mWorld, &m_aCubies[k].mWorld, &mStep);

    // The accumulator is reset at the snap and still takes this frame's
    // increment, so the next turn about this axis takes one frame less.
    const bool bSnap = static_cast<double>(*pfTurned) > kSnapThreshold;
    if (bSnap) *pfTurned = 0.0f;
    *pfTurned += kTurnIncrement;
    return bSnap;
}

void CPuzzleCube::SnapLayer(int nAxis, float fLayer, int nDir, TurnRecord* pBefore) {
    const D3DXVECTOR3 vAxis = AxisVector(nAxis);
    D3DXMATRIX mSnap;
    D3DXMatrixRotationAxis(&mSnap, &vAxis, nDir * kSnapAngle);
    for (SnapEntry& e : m_aSnapLog) e.nCubie = -1;
    if (pBefore) {
        const float fSpacing = m_fRadius > 0.0f ? m_fRadius : 1.0f;
        pBefore->turn = LayerTurn{nAxis, static_cast<int>(std::lround(fLayer / fSpacing)), nDir};
        for (int& n : pBefore->aCubie) n = -1;
    }
    int nLogged = 0;
    for (int d = 0; d < kCubieCount; ++d) {
        if (!NearlyEqual(Coord(m_aCubies[d].vCenter, nAxis), fLayer, kLayerTolerance)) continue;
        // A layer holds nine cubies; the bound only guards the log.
        if (nLogged < kLayerSize && pBefore) {
            pBefore->aCubie[nLogged] = d;
            pBefore->aSettled[nLogged] = m_aSettled[d];
            pBefore->aCenter[nLogged] = m_aCubies[d].vCenter;
        }
        D3DXMatrixMultiply(&m_aCubies[d].mWorld, &m_aSettled[d], &mSnap);
        if (nLogged < kLayerSize) m_aSnapLog[nLogged++] = SnapEntry{d, mSnap};
    }
    SettleAll();
    ApplySnapToCenters();
    m_bTurning = false;
}

bool CPuzzleCube::IsTurnablePair(const D3DXVECTOR3& vA, const D3DXVECTOR3& vB) const {
    const int nAxis = SharedAxis(vA, vB);
    if (nAxis < 0) return false;
    D3DXVECTOR3 vLayerCenter(0.0f, 0.0f, 0.0f);
    if (nAxis == 0)
        vLayerCenter.x = vA.x;
    else if (nAxis == 1)
        vLayerCenter.y = vA.y;
    else
        vLayerCenter.z = vA.z;

    const float fCornerDist = 2.0f * m_aCubies[0].fPickRadius;
    int nCorners = 0;
    if (std::fabs(PointDistance(vLayerCenter, vA) - fCornerDist) <= kCornerTolerance) ++nCorners;
    if (std::fabs(PointDistance(vLayerCenter, vB) - fCornerDist) <= kCornerTolerance) ++nCorners;
    return nCorners == 0;
}

// -1 when the cosine between A and A - B lies strictly between 0.6 and 0.8
// (a middle layer's pair, 1/sqrt 2), +1 otherwise (an outer layer's, 0.5).
int CPuzzleCube::TurnDirection(const D3DXVECTOR3& vA, const D3DXVECTOR3& vB) {
    const double dx = vA.x - vB.x, dy = vA.y - vB.y, dz = vA.z - vB.z;
    const double fLenA = std::sqrt(double(vA.x) * vA.x + double(vA.y) * vA.y + double(vA.z) * vA.z);
    const double fLenD = std::sqrt(dx * dx + dy * dy + dz * dz);
    if (fLenA * fLenD == 0.0) return 1;
    const double fCos = (vA.x * dx + vA.y * dy + vA.z * dz) / (fLenA * fLenD);
    return (fCos > 0.6 && fCos < 0.8) ? -1 : 1;
}

void CPuzzleCube::ApplySnapToCenters() {
    for (const SnapEntry& e : m_aSnapLog) {
        if (e.nCubie < 0) continue;
        D3DXVECTOR3& v = m_aCubies[e.nCubie].vCenter;
        const D3DXVECTOR3 vIn = v;
        D3DXVec3TransformCoord(&v, &vIn, &e.mRotation);
    }
}
