// D3DX matrix operations: products, inverse, transforms, rotations, cameras
// and projections, each to its textbook formula in the row-vector,
// left-handed convention.
#include "platform/d3dx9math.h"

#include <cmath>

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2) {
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = pM1->m[i][0] * pM2->m[0][j] + pM1->m[i][1] * pM2->m[1][j] +
                        pM1->m[i][2] * pM2->m[2][j] + pM1->m[i][3] * pM2->m[3][j];
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM) {
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = pM->m[j][i];
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixMultiplyTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2) {
    D3DXMatrixMultiply(pOut, pM1, pM2);
    return D3DXMatrixTranspose(pOut, pOut);
}

namespace {
// The 2x2 minors of the lower and upper row pairs and the cofactor matrix,
// shared by the determinant and the inverse (Laplace expansion by row pairs).
struct Cofactors {
    FLOAT c[4][4];  // c[i][j]: cofactor of element (i, j)
    FLOAT det;
};

Cofactors ComputeCofactors(const D3DXMATRIX& a) {
    const FLOAT(*m)[4] = a.m;
    // Minors of rows 0 and 1.
    const FLOAT s0 = m[0][0] * m[1][1] - m[1][0] * m[0][1];
    const FLOAT s1 = m[0][0] * m[1][2] - m[1][0] * m[0][2];
    const FLOAT s2 = m[0][0] * m[1][3] - m[1][0] * m[0][3];
    const FLOAT s3 = m[0][1] * m[1][2] - m[1][1] * m[0][2];
    const FLOAT s4 = m[0][1] * m[1][3] - m[1][1] * m[0][3];
    const FLOAT s5 = m[0][2] * m[1][3] - m[1][2] * m[0][3];
    // Minors of rows 2 and 3.
    const FLOAT c5 = m[2][2] * m[3][3] - m[3][2] * m[2][3];
    const FLOAT c4 = m[2][1] * m[3][3] - m[3][1] * m[2][3];
    const FLOAT c3 = m[2][1] * m[3][2] - m[3][1] * m[2][2];
    const FLOAT c2 = m[2][0] * m[3][3] - m[3][0] * m[2][3];
    const FLOAT c1 = m[2][0] * m[3][2] - m[3][0] * m[2][2];
    const FLOAT c0 = m[2][0] * m[3][1] - m[3][0] * m[2][1];

    Cofactors r;
    r.det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    r.c[0][0] = m[1][1] * c5 - m[1][2] * c4 + m[1][3] * c3;
    r.c[0][1] = -(m[1][0] * c5 - m[1][2] * c2 + m[1][3] * c1);
    r.c[0][2] = m[1][0] * c4 - m[1][1] * c2 + m[1][3] * c0;
    r.c[0][3] = -(m[1][0] * c3 - m[1][1] * c1 + m[1][2] * c0);
    r.c[1][0] = -(m[0][1] * c5 - m[0][2] * c4 + m[0][3] * c3);
    r.c[1][1] = m[0][0] * c5 - m[0][2] * c2 + m[0][3] * c1;
    r.c[1][2] = -(m[0][0] * c4 - m[0][1] * c2 + m[0][3] * c0);
    r.c[1][3] = m[0][0] * c3 - m[0][1] * c1 + m[0][2] * c0;
    r.c[2][0] = m[3][1] * s5 - m[3][2] * s4 + m[3][3] * s3;
    r.c[2][1] = -(m[3][0] * s5 - m[3][2] * s2 + m[3][3] * s1);
    r.c[2][2] = m[3][0] * s4 - m[3][1] * s2 + m[3][3] * s0;
    r.c[2][3] = -(m[3][0] * s3 - m[3][1] * s1 + m[3][2] * s0);
    r.c[3][0] = -(m[2][1] * s5 - m[2][2] * s4 + m[2][3] * s3);
    r.c[3][1] = m[2][0] * s5 - m[2][2] * s2 + m[2][3] * s1;
    r.c[3][2] = -(m[2][0] * s4 - m[2][1] * s2 + m[2][3] * s0);
    r.c[3][3] = m[2][0] * s3 - m[2][1] * s1 + m[2][2] * s0;
    return r;
}
}  // namespace

FLOAT D3DXMatrixDeterminant(const D3DXMATRIX* pM) { return ComputeCofactors(*pM).det; }

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* pOut, FLOAT* pDeterminant, const D3DXMATRIX* pM) {
    const Cofactors cf = ComputeCofactors(*pM);
    if (pDeterminant) *pDeterminant = cf.det;
    if (cf.det == 0.0f || !std::isfinite(cf.det)) return nullptr;
    const FLOAT inv = 1.0f / cf.det;
    D3DXMATRIX r;
    // Inverse = adjugate / det; the adjugate is the transposed cofactor matrix.
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = cf.c[j][i] * inv;
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, FLOAT x, FLOAT y, FLOAT z) {
    D3DXMatrixIdentity(pOut);
    pOut->_41 = x;
    pOut->_42 = y;
    pOut->_43 = z;
    return pOut;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pOut, FLOAT sx, FLOAT sy, FLOAT sz) {
    D3DXMatrixIdentity(pOut);
    pOut->_11 = sx;
    pOut->_22 = sy;
    pOut->_33 = sz;
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* pOut, FLOAT angle) {
    const FLOAT c = std::cos(angle), s = std::sin(angle);
    *pOut = D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* pOut, FLOAT angle) {
    const FLOAT c = std::cos(angle), s = std::sin(angle);
    *pOut = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pOut, FLOAT angle) {
    const FLOAT c = std::cos(angle), s = std::sin(angle);
    *pOut = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* pOut, const D3DXVECTOR3* pV, FLOAT angle) {
    D3DXVECTOR3 v;
    D3DXVec3Normalize(&v, pV);
    const FLOAT c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    const FLOAT x = v.x, y = v.y, z = v.z;
    *pOut = D3DXMATRIX(t * x * x + c, t * x * y + s * z, t * x * z - s * y, 0,  //
                       t * x * y - s * z, t * y * y + c, t * y * z + s * x, 0,  //
                       t * x * z + s * y, t * y * z - s * x, t * z * z + c, 0,  //
                       0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* pOut, const D3DXQUATERNION* pQ) {
    const FLOAT x = pQ->x, y = pQ->y, z = pQ->z, w = pQ->w;
    *pOut = D3DXMATRIX(1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0,  //
                       2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0,  //
                       2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y), 0,  //
                       0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* pOut, FLOAT yaw, FLOAT pitch, FLOAT roll) {
    D3DXMATRIX rz, rx, ry;
    D3DXMatrixRotationZ(&rz, roll);
    D3DXMatrixRotationX(&rx, pitch);
    D3DXMatrixRotationY(&ry, yaw);
    D3DXMatrixMultiply(pOut, &rz, &rx);
    return D3DXMatrixMultiply(pOut, pOut, &ry);
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                               const D3DXVECTOR3* pUp) {
    D3DXVECTOR3 zaxis, xaxis, yaxis;
    const D3DXVECTOR3 dir = *pAt - *pEye;
    D3DXVec3Normalize(&zaxis, &dir);
    D3DXVec3Cross(&xaxis, pUp, &zaxis);
    D3DXVec3Normalize(&xaxis, &xaxis);
    D3DXVec3Cross(&yaxis, &zaxis, &xaxis);
    *pOut = D3DXMATRIX(xaxis.x, yaxis.x, zaxis.x, 0,  //
                       xaxis.y, yaxis.y, zaxis.y, 0,  //
                       xaxis.z, yaxis.z, zaxis.z, 0,  //
                       -D3DXVec3Dot(&xaxis, pEye), -D3DXVec3Dot(&yaxis, pEye), -D3DXVec3Dot(&zaxis, pEye), 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, FLOAT fovy, FLOAT aspect, FLOAT zn, FLOAT zf) {
    const FLOAT yScale = 1.0f / std::tan(fovy / 2.0f);
    const FLOAT xScale = yScale / aspect;
    *pOut = D3DXMATRIX(xScale, 0, 0, 0,          //
                       0, yScale, 0, 0,          //
                       0, 0, zf / (zf - zn), 1,  //
                       0, 0, -zn * zf / (zf - zn), 0);
    return pOut;
}

D3DXMATRIX* D3DXMatrixPerspectiveLH(D3DXMATRIX* pOut, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
    *pOut = D3DXMATRIX(2 * zn / w, 0, 0, 0,      //
                       0, 2 * zn / h, 0, 0,      //
                       0, 0, zf / (zf - zn), 1,  //
                       0, 0, -zn * zf / (zf - zn), 0);
    return pOut;
}

D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* pOut, FLOAT w, FLOAT h, FLOAT zn, FLOAT zf) {
    *pOut = D3DXMATRIX(2 / w, 0, 0, 0,          //
                       0, 2 / h, 0, 0,          //
                       0, 0, 1 / (zf - zn), 0,  //
                       0, 0, zn / (zn - zf), 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* pOut, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn,
                                       FLOAT zf) {
    *pOut = D3DXMATRIX(2 / (r - l), 0, 0, 0,    //
                       0, 2 / (t - b), 0, 0,    //
                       0, 0, 1 / (zf - zn), 0,  //
                       (l + r) / (l - r), (t + b) / (b - t), zn / (zn - zf), 1);
    return pOut;
}
