// D3DX quaternion operations: products, normalising, conversions to and from
// axis-angle and rotation matrices, spherical interpolation.
#include "platform/d3dx9math.h"

#include <cmath>

D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1,
                                       const D3DXQUATERNION* pQ2) {
    const D3DXQUATERNION& a = *pQ1;
    const D3DXQUATERNION& b = *pQ2;
    const D3DXQUATERNION r(
        b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y, b.w * a.y - b.x * a.z + b.y * a.w + b.z * a.x,
        b.w * a.z + b.x * a.y - b.y * a.x + b.z * a.w, b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z);
    *pOut = r;
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ) {
    const FLOAT len = D3DXQuaternionLength(pQ);
    *pOut = len > 0.0f ? *pQ / len : D3DXQUATERNION(0, 0, 0, 0);
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionInverse(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ) {
    const FLOAT lenSq = D3DXQuaternionLengthSq(pQ);
    if (!(lenSq > 0.0f)) {
        *pOut = D3DXQUATERNION(0, 0, 0, 0);
        return pOut;
    }
    D3DXQuaternionConjugate(pOut, pQ);
    *pOut /= lenSq;
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* pOut, const D3DXVECTOR3* pV, FLOAT angle) {
    D3DXVECTOR3 v;
    D3DXVec3Normalize(&v, pV);
    const FLOAT s = std::sin(angle * 0.5f);
    *pOut = D3DXQUATERNION(v.x * s, v.y * s, v.z * s, std::cos(angle * 0.5f));
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* pOut, const D3DXMATRIX* pM) {
    // Inverts D3DXMatrixRotationQuaternion, taking the largest of w, x, y, z
    // from the diagonal first so that the divisions are well conditioned.
    const D3DXMATRIX& m = *pM;
    const FLOAT trace = m._11 + m._22 + m._33;
    D3DXQUATERNION q;
    if (trace > 0.0f) {
        const FLOAT s = 2.0f * std::sqrt(trace + 1.0f);  // 4w
        q = D3DXQUATERNION((m._23 - m._32) / s, (m._31 - m._13) / s, (m._12 - m._21) / s, 0.25f * s);
    } else if (m._11 >= m._22 && m._11 >= m._33) {
        const FLOAT s = 2.0f * std::sqrt(1.0f + m._11 - m._22 - m._33);  // 4x
        q = D3DXQUATERNION(0.25f * s, (m._12 + m._21) / s, (m._13 + m._31) / s, (m._23 - m._32) / s);
    } else if (m._22 >= m._33) {
        const FLOAT s = 2.0f * std::sqrt(1.0f - m._11 + m._22 - m._33);  // 4y
        q = D3DXQUATERNION((m._12 + m._21) / s, 0.25f * s, (m._23 + m._32) / s, (m._31 - m._13) / s);
    } else {
        const FLOAT s = 2.0f * std::sqrt(1.0f - m._11 - m._22 + m._33);  // 4z
        q = D3DXQUATERNION((m._13 + m._31) / s, (m._23 + m._32) / s, 0.25f * s, (m._12 - m._21) / s);
    }
    return D3DXQuaternionNormalize(pOut, &q);
}

D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* pOut, FLOAT yaw, FLOAT pitch, FLOAT roll) {
    // Same order as the matrix: roll about z, then pitch about x, then yaw about y.
    const D3DXVECTOR3 ax(1, 0, 0), ay(0, 1, 0), az(0, 0, 1);
    D3DXQUATERNION qz, qx, qy;
    D3DXQuaternionRotationAxis(&qz, &az, roll);
    D3DXQuaternionRotationAxis(&qx, &ax, pitch);
    D3DXQuaternionRotationAxis(&qy, &ay, yaw);
    D3DXQuaternionMultiply(pOut, &qz, &qx);
    return D3DXQuaternionMultiply(pOut, pOut, &qy);
}

D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1,
                                    const D3DXQUATERNION* pQ2, FLOAT t) {
    D3DXQUATERNION b = *pQ2;
    FLOAT cosom = D3DXQuaternionDot(pQ1, &b);
    if (cosom < 0.0f) {  // q and -q are the same rotation: take the shorter arc
        cosom = -cosom;
        b = -b;
    }
    FLOAT k0 = 1.0f - t, k1 = t;
    if (cosom < 0.9999f) {
        const FLOAT omega = std::acos(cosom);
        const FLOAT sinom = std::sin(omega);
        k0 = std::sin((1.0f - t) * omega) / sinom;
        k1 = std::sin(t * omega) / sinom;
    }
    *pOut = *pQ1 * k0 + b * k1;
    return pOut;
}

void D3DXQuaternionToAxisAngle(const D3DXQUATERNION* pQ, D3DXVECTOR3* pAxis, FLOAT* pAngle) {
    if (pAxis) *pAxis = D3DXVECTOR3(pQ->x, pQ->y, pQ->z);
    if (pAngle) {
        FLOAT w = pQ->w;
        w = w > 1.0f ? 1.0f : (w < -1.0f ? -1.0f : w);
        *pAngle = 2.0f * std::acos(w);
    }
}
