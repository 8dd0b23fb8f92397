// Picking: a world-space ray against one sphere per cubie; the hit cubie whose
// centre is nearest to the ray's origin flips its mark.
#include "app/puzzle_cube.h"

#include <cmath>

// The direction must have unit length (the quadratic's leading term is 1).
bool CPuzzleCube::PickCubie(const D3DXVECTOR3& vOrigin, const D3DXVECTOR3& vDir) {
    int nBest = -1;
    for (int q = 0; q < kCubieCount; ++q) {
        Cubie& c = m_aCubies[q];
        const D3DXVECTOR3 v(vOrigin.x - c.vCenter.x, vOrigin.y - c.vCenter.y, vOrigin.z - c.vCenter.z);
        const float fVV = v.x * v.x + v.y * v.y + v.z * v.z;
        c.fPickDistSq = fVV / 100.0f;

        const float b = 2.0f * (vDir.x * v.x + vDir.y * v.y + vDir.z * v.z);
        const float e = fVV - c.fPickRadius * c.fPickRadius;
        const float fDisc = b * b - 4.0f * e;
        if (fDisc < 0.0f) continue;
        const float s = std::sqrt(fDisc);
        const float t0 = (-b + s) / 2.0f;
        const float t1 = (-b - s) / 2.0f;
        if (t0 < 0.0f && t1 < 0.0f) continue;

        // Nearest centre wins; on equal distances the lower index stays.
        if (nBest < 0 || m_aCubies[nBest].fPickDistSq > c.fPickDistSq) nBest = q;
    }
    if (nBest < 0) return false;
    m_aCubies[nBest].bSelected = !m_aCubies[nBest].bSelected;
    return true;
}
