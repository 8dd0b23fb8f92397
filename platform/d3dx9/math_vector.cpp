// D3DX vector operations that are not inline: normalising, transforms,
// projection to and from the viewport.
#include "platform/d3dx9math.h"

D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV) {
    const FLOAT len = D3DXVec2Length(pV);
    *pOut = len > 0.0f ? *pV / len : D3DXVECTOR2(0.0f, 0.0f);
    return pOut;
}

D3DXVECTOR2* D3DXVec2TransformCoord(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV, const D3DXMATRIX* pM) {
    const FLOAT x = pV->x * pM->_11 + pV->y * pM->_21 + pM->_41;
    const FLOAT y = pV->x * pM->_12 + pV->y * pM->_22 + pM->_42;
    const FLOAT w = pV->x * pM->_14 + pV->y * pM->_24 + pM->_44;
    *pOut = D3DXVECTOR2(x / w, y / w);
    return pOut;
}

D3DXVECTOR2* D3DXVec2TransformNormal(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV, const D3DXMATRIX* pM) {
    *pOut = D3DXVECTOR2(pV->x * pM->_11 + pV->y * pM->_21, pV->x * pM->_12 + pV->y * pM->_22);
    return pOut;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV) {
    const FLOAT len = D3DXVec3Length(pV);
    *pOut = len > 0.0f ? *pV / len : D3DXVECTOR3(0.0f, 0.0f, 0.0f);
    return pOut;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM) {
    const D3DXVECTOR4 r(pV->x * pM->_11 + pV->y * pM->_21 + pV->z * pM->_31 + pM->_41,
                        pV->x * pM->_12 + pV->y * pM->_22 + pV->z * pM->_32 + pM->_42,
                        pV->x * pM->_13 + pV->y * pM->_23 + pV->z * pM->_33 + pM->_43,
                        pV->x * pM->_14 + pV->y * pM->_24 + pV->z * pM->_34 + pM->_44);
    *pOut = r;
    return pOut;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM) {
    D3DXVECTOR4 r;
    D3DXVec3Transform(&r, pV, pM);
    *pOut = D3DXVECTOR3(r.x / r.w, r.y / r.w, r.z / r.w);
    return pOut;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM) {
    const D3DXVECTOR3 r(pV->x * pM->_11 + pV->y * pM->_21 + pV->z * pM->_31,
                        pV->x * pM->_12 + pV->y * pM->_22 + pV->z * pM->_32,
                        pV->x * pM->_13 + pV->y * pM->_23 + pV->z * pM->_33);
    *pOut = r;
    return pOut;
}

D3DXVECTOR3* D3DXVec3TransformCoordArray(D3DXVECTOR3* pOut, UINT outStride, const D3DXVECTOR3* pV,
                                         UINT vStride, const D3DXMATRIX* pM, UINT n) {
    auto* out = reinterpret_cast<BYTE*>(pOut);
    auto* in = reinterpret_cast<const BYTE*>(pV);
    for (UINT i = 0; i < n; ++i) {
        D3DXVECTOR3 v;
        std::memcpy(&v, in + (size_t)i * vStride, sizeof v);
        D3DXVec3TransformCoord(&v, &v, pM);
        std::memcpy(out + (size_t)i * outStride, &v, sizeof v);
    }
    return pOut;
}

namespace {
// world x view x projection, each factor optional.
D3DXMATRIX CombinedTransform(const D3DXMATRIX* pProjection, const D3DXMATRIX* pView,
                             const D3DXMATRIX* pWorld) {
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    if (pWorld) m *= *pWorld;
    if (pView) m *= *pView;
    if (pProjection) m *= *pProjection;
    return m;
}
}  // namespace

D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                             const D3DXMATRIX* pProjection, const D3DXMATRIX* pView,
                             const D3DXMATRIX* pWorld) {
    const D3DXMATRIX m = CombinedTransform(pProjection, pView, pWorld);
    D3DXVECTOR3 v;
    D3DXVec3TransformCoord(&v, pV, &m);
    if (pViewport) {
        v.x = pViewport->X + (1.0f + v.x) * pViewport->Width * 0.5f;
        v.y = pViewport->Y + (1.0f - v.y) * pViewport->Height * 0.5f;
        v.z = pViewport->MinZ + v.z * (pViewport->MaxZ - pViewport->MinZ);
    }
    *pOut = v;
    return pOut;
}

D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                               const D3DXMATRIX* pProjection, const D3DXMATRIX* pView,
                               const D3DXMATRIX* pWorld) {
    D3DXMATRIX m = CombinedTransform(pProjection, pView, pWorld);
    if (!D3DXMatrixInverse(&m, nullptr, &m)) return nullptr;
    D3DXVECTOR3 v = *pV;
    if (pViewport) {
        v.x = 2.0f * (v.x - pViewport->X) / pViewport->Width - 1.0f;
        v.y = 1.0f - 2.0f * (v.y - pViewport->Y) / pViewport->Height;
        v.z = (v.z - pViewport->MinZ) / (pViewport->MaxZ - pViewport->MinZ);
    }
    D3DXVec3TransformCoord(pOut, &v, &m);
    return pOut;
}

D3DXVECTOR4* D3DXVec4Normalize(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV) {
    const FLOAT len = D3DXVec4Length(pV);
    *pOut = len > 0.0f ? *pV / len : D3DXVECTOR4(0.0f, 0.0f, 0.0f, 0.0f);
    return pOut;
}

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV, const D3DXMATRIX* pM) {
    const D3DXVECTOR4 r(pV->x * pM->_11 + pV->y * pM->_21 + pV->z * pM->_31 + pV->w * pM->_41,
                        pV->x * pM->_12 + pV->y * pM->_22 + pV->z * pM->_32 + pV->w * pM->_42,
                        pV->x * pM->_13 + pV->y * pM->_23 + pV->z * pM->_33 + pV->w * pM->_43,
                        pV->x * pM->_14 + pV->y * pM->_24 + pV->z * pM->_34 + pV->w * pM->_44);
    *pOut = r;
    return pOut;
}
