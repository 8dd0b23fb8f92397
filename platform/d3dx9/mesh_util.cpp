// Vertex-format sizes and bounding volumes of vertex positions.
#include <cstring>
#include <cmath>

#include "platform/d3dx9mesh.h"

UINT D3DXGetFVFVertexSize(DWORD FVF) {
    UINT size = 0;
    switch (FVF & D3DFVF_POSITION_MASK) {
        case D3DFVF_XYZ:
            size = 12;
            break;
        case D3DFVF_XYZRHW:
            size = 16;
            break;
        case D3DFVF_XYZW:
            size = 16;
            break;
        case D3DFVF_XYZB1:
            size = 16;
            break;
        case D3DFVF_XYZB2:
            size = 20;
            break;
        case D3DFVF_XYZB3:
            size = 24;
            break;
        case D3DFVF_XYZB4:
            size = 28;
            break;
        case D3DFVF_XYZB5:
            size = 32;
            break;
        default:
            break;
    }
    if (FVF & D3DFVF_NORMAL) size += 12;
    if (FVF & D3DFVF_PSIZE) size += 4;
    if (FVF & D3DFVF_DIFFUSE) size += 4;
    if (FVF & D3DFVF_SPECULAR) size += 4;
    // Each texture-coordinate set: two floats unless its size bits say 1, 3 or 4.
    const UINT sets = (FVF & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    for (UINT i = 0; i < sets && i < 8; ++i) {
        switch ((FVF >> (16 + 2 * i)) & 3) {
            case D3DFVF_TEXTUREFORMAT1:
                size += 4;
                break;
            case D3DFVF_TEXTUREFORMAT2:
                size += 8;
                break;
            case D3DFVF_TEXTUREFORMAT3:
                size += 12;
                break;
            case D3DFVF_TEXTUREFORMAT4:
                size += 16;
                break;
        }
    }
    return size;
}

namespace {
D3DXVECTOR3 PositionAt(const D3DXVECTOR3* first, DWORD stride, DWORD i) {
    D3DXVECTOR3 p;
    std::memcpy(&p, reinterpret_cast<const BYTE*>(first) + size_t(i) * stride, sizeof p);
    return p;
}
}  // namespace

HRESULT D3DXComputeBoundingSphere(const D3DXVECTOR3* pFirstPosition, DWORD NumVertices, DWORD dwStride,
                                  D3DXVECTOR3* pCenter, FLOAT* pRadius) {
    if (!pFirstPosition || !pCenter || !pRadius || NumVertices == 0 || dwStride < 12) return E_INVALIDARG;
    D3DXVECTOR3 sum(0, 0, 0);
    for (DWORD i = 0; i < NumVertices; ++i) sum += PositionAt(pFirstPosition, dwStride, i);
    const D3DXVECTOR3 centre = sum / static_cast<FLOAT>(NumVertices);
    FLOAT maxSq = 0;
    for (DWORD i = 0; i < NumVertices; ++i) {
        const D3DXVECTOR3 d = PositionAt(pFirstPosition, dwStride, i) - centre;
        const FLOAT sq = D3DXVec3LengthSq(&d);
        if (sq > maxSq) maxSq = sq;
    }
    *pCenter = centre;
    *pRadius = std::sqrt(maxSq);
    return S_OK;
}

HRESULT D3DXComputeBoundingBox(const D3DXVECTOR3* pFirstPosition, DWORD NumVertices, DWORD dwStride,
                               D3DXVECTOR3* pMin, D3DXVECTOR3* pMax) {
    if (!pFirstPosition || !pMin || !pMax || NumVertices == 0 || dwStride < 12) return E_INVALIDARG;
    D3DXVECTOR3 lo = PositionAt(pFirstPosition, dwStride, 0), hi = lo;
    for (DWORD i = 1; i < NumVertices; ++i) {
        const D3DXVECTOR3 p = PositionAt(pFirstPosition, dwStride, i);
        D3DXVec3Minimize(&lo, &lo, &p);
        D3DXVec3Maximize(&hi, &hi, &p);
    }
    *pMin = lo;
    *pMax = hi;
    return S_OK;
}
