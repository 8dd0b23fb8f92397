// Whether the puzzle is solved, from geometry rather than pixels: which colour
// each of the mesh's six sides shows (measured once per mesh), and for every
// outer face of the cube which side of each of its nine cubies faces out
// (read from the cubie's settled orientation).
#include "app/puzzle_cube.h"

#include <cmath>

namespace {

// Side codes: 2 * axis + (1 on the positive side); -x, +x, -y, +y, -z, +z.
constexpr int kSides = 6;

// A triangle counts for a side when its normal lies within about 25 degrees of it.
constexpr float kAxisAlignment = 0.9f;

D3DXVECTOR3 PositionAt(const BYTE* pVertices, DWORD dwStride, DWORD nIndex) {
    return *reinterpret_cast<const D3DXVECTOR3*>(pVertices + static_cast<size_t>(nIndex) * dwStride);
}

// The side a triangle faces (its normal turned away from the mesh's centre),
// or -1 when it is slanted; *pfArea gets twice its area.
int SideOfTriangle(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2, float* pfArea) {
    const D3DXVECTOR3 e1 = p1 - p0, e2 = p2 - p0;
    D3DXVECTOR3 n(e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x);
    const D3DXVECTOR3 c = (p0 + p1 + p2) / 3.0f;
    if (n.x * c.x + n.y * c.y + n.z * c.z < 0.0f) n = -n;
    const float fLen = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    *pfArea = fLen;
    const float a[3] = {n.x, n.y, n.z};
    for (int axis = 0; axis < 3; ++axis)
        if (std::fabs(a[axis]) >= kAxisAlignment * fLen && fLen > 0.0f)
            return 2 * axis + (a[axis] > 0.0f ? 1 : 0);
    return -1;
}

DWORD PackColour(const D3DCOLORVALUE& c) { return D3DCOLOR_COLORVALUE(c.r, c.g, c.b, c.a); }

}  // namespace

// Each side shows the material with the most area facing it.
void CPuzzleCube::MeasureFaceColours() {
    m_bFaceColoursKnown = false;
    if (!m_pMesh || m_Materials.empty()) return;
    const DWORD dwFaces = m_pMesh->GetNumFaces();
    const DWORD dwVertices = m_pMesh->GetNumVertices();
    const DWORD dwStride = m_pMesh->GetNumBytesPerVertex();
    const bool bWide = (m_pMesh->GetOptions() & D3DXMESH_32BIT) != 0;
    void* pVertices = nullptr;
    void* pIndices = nullptr;
    DWORD* pAttributes = nullptr;
    std::vector<float> area(kSides * m_Materials.size(), 0.0f);
    if (SUCCEEDED(m_pMesh->LockVertexBuffer(D3DLOCK_READONLY, &pVertices))) {
        if (SUCCEEDED(m_pMesh->LockIndexBuffer(D3DLOCK_READONLY, &pIndices))) {
            if (SUCCEEDED(m_pMesh->LockAttributeBuffer(D3DLOCK_READONLY, &pAttributes))) {
                for (DWORD f = 0; f < dwFaces && pVertices && pIndices && pAttributes; ++f) {
                    DWORD idx[3];
                    for (int k = 0; k < 3; ++k)
                        idx[k] = bWide ? static_cast<const DWORD*>(pIndices)[3 * f + k]
                                       : static_cast<const WORD*>(pIndices)[3 * f + k];
                    if (idx[0] >= dwVertices || idx[1] >= dwVertices || idx[2] >= dwVertices) continue;
                    if (pAttributes[f] >= m_Materials.size()) continue;
                    const BYTE* pBytes = static_cast<const BYTE*>(pVertices);
                    float fArea = 0.0f;
                    const int nSide = SideOfTriangle(PositionAt(pBytes, dwStride, idx[0]),
                                                     PositionAt(pBytes, dwStride, idx[1]),
                                                     PositionAt(pBytes, dwStride, idx[2]), &fArea);
                    if (nSide >= 0) area[nSide * m_Materials.size() + pAttributes[f]] += fArea;
                }
                m_pMesh->UnlockAttributeBuffer();
            }
            m_pMesh->UnlockIndexBuffer();
        }
        m_pMesh->UnlockVertexBuffer();
    }

    bool bAll = true;
    for (int nSide = 0; nSide < kSides; ++nSide) {
        size_t best = 0;
        for (size_t i = 1; i < m_Materials.size(); ++i)
            if (area[nSide * m_Materials.size() + i] > area[nSide * m_Materials.size() + best]) best = i;
        if (area[nSide * m_Materials.size() + best] <= 0.0f) bAll = false;
        m_aFaceColour[nSide] = PackColour(m_Materials[best].Diffuse);
    }
    m_bFaceColoursKnown = bAll;
}

// For the outer face on world side s * axis a, the cubie's local direction
// that faces out is that direction times the inverse (the transpose) of its
// settled rotation: component j is s * M[j][a].
bool CPuzzleCube::ShowsOneColourPerFace() const {
    if (!m_bFaceColoursKnown || !m_bLaidOut) return false;
    for (int nAxis = 0; nAxis < 3; ++nAxis) {
        for (int nSign = -1; nSign <= 1; nSign += 2) {
            const float fOuter = static_cast<float>(nSign) * m_fRadius;
            bool bFirst = true;
            DWORD dwColour = 0;
            for (int k = 0; k < kCubieCount; ++k) {
                const D3DXVECTOR3& v = m_aCubies[k].vCenter;
                const float fCoord = nAxis == 0 ? v.x : (nAxis == 1 ? v.y : v.z);
                if (!NearlyEqual(fCoord, fOuter, kLayerTolerance)) continue;
                const D3DXMATRIX& m = m_aSettled[k];
                int nRow = 0;
                for (int j = 1; j < 3; ++j)
                    if (std::fabs(m.m[j][nAxis]) > std::fabs(m.m[nRow][nAxis])) nRow = j;
                const int nSide = 2 * nRow + (static_cast<float>(nSign) * m.m[nRow][nAxis] > 0.0f ? 1 : 0);
                if (bFirst) {
                    dwColour = m_aFaceColour[nSide];
                    bFirst = false;
                } else if (m_aFaceColour[nSide] != dwColour) {
                    return false;
                }
            }
        }
    }
    return true;
}
