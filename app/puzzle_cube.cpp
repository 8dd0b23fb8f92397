// The puzzle cube's model: loading box.x, measuring it, the home layout of the
// 27 cubies, the settled matrices and the tolerant comparisons.
#include "app/puzzle_cube.h"

#include <cmath>
#include <cstdio>
#include <new>
#include <string>
#include <unordered_map>

#include "platform/win32.h"

namespace {

void ZeroMatrix(D3DXMATRIX& m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.m[r][c] = 0.0f;
}

// What names one texture file: the volume it is on and its index there, so
// that every spelling of its path ("big.png", "./big.png", a link to it)
// shares one texture. A file that cannot be opened keeps its spelling as its
// name (it is tried once and fails).
std::string TextureFileKey(const char* szFile) {
    const int nChars = MultiByteToWideChar(CP_ACP, 0, szFile, -1, nullptr, 0);
    if (nChars > 0) {
        std::wstring wszFile(size_t(nChars), L'\0');
        if (MultiByteToWideChar(CP_ACP, 0, szFile, -1, wszFile.data(), nChars) > 0) {
            HANDLE hFile = CreateFileW(wszFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
            if (hFile != INVALID_HANDLE_VALUE) {
                BY_HANDLE_FILE_INFORMATION info{};
                const BOOL bKnown = GetFileInformationByHandle(hFile, &info);
                CloseHandle(hFile);
                if (bKnown) {
                    char szKey[40];
                    std::snprintf(szKey, sizeof(szKey), "file:%08x:%08x%08x",
                                  unsigned(info.dwVolumeSerialNumber), unsigned(info.nFileIndexHigh),
                                  unsigned(info.nFileIndexLow));
                    return szKey;
                }
            }
        }
    }
    return std::string("name:") + szFile;
}

}  // namespace

CPuzzleCube::CPuzzleCube()
    : m_bTurning(false),
      m_pMesh(nullptr),
      m_bLaidOut(false),
      m_hrDeviceObjects(S_OK),
      m_fRadius(0.0f),
      m_bReverseTurn(false),
      m_Replay(TurnKind::None),
      m_ReplayRecord{},
      m_Finished(TurnKind::None),
      m_aFaceColour{},
      m_bFaceColoursKnown(false) {
    for (Cubie& c : m_aCubies) {
        c.fPickDistSq = 0.0f;
        ZeroMatrix(c.mWorld);
        c.bSelected = false;
        c.vCenter = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
        c.fPickRadius = 0.0f;
    }
    for (D3DXMATRIX& m : m_aSettled) ZeroMatrix(m);
    for (SnapEntry& e : m_aSnapLog) {
        e.nCubie = -1;
        ZeroMatrix(e.mRotation);
    }
}

CPuzzleCube::~CPuzzleCube() { ReleaseDeviceObjects(); }

bool CPuzzleCube::Build(IDirect3DDevice9* pd3dDevice) {
    float fRadius = 0.0f;
    if (!LoadAndAdopt(pd3dDevice, &fRadius)) return false;
    LayOut(fRadius);
    return true;
}

bool CPuzzleCube::CreateDeviceObjects(IDirect3DDevice9* pd3dDevice) {
    float fRadius = 0.0f;
    return LoadAndAdopt(pd3dDevice, &fRadius);
}

bool CPuzzleCube::LoadAndAdopt(IDirect3DDevice9* pd3dDevice, float* pfRadius) {
    ID3DXMesh* pMesh = nullptr;
    ID3DXBuffer* pMaterials = nullptr;
    DWORD dwMaterials = 0;
    m_hrDeviceObjects = E_FAIL;
    if (!LoadMesh(pd3dDevice, &pMesh, &pMaterials, &dwMaterials, pfRadius)) return false;
    return SUCCEEDED(AdoptDeviceObjects(pd3dDevice, pMesh, pMaterials, dwMaterials));
}

void CPuzzleCube::ReleaseDeviceObjects() {
    if (m_pMesh) {
        m_pMesh->Release();
        m_pMesh = nullptr;
    }
    for (IDirect3DTexture9* pTexture : m_Textures)
        if (pTexture) pTexture->Release();
    m_Textures.clear();
    m_Materials.clear();
}

// Everything that can fail happens here, before the cube is touched, so a
// bad file leaves the previous mesh and layout in place.
bool CPuzzleCube::LoadMesh(IDirect3DDevice9* pd3dDevice, ID3DXMesh** ppMesh, ID3DXBuffer** ppMaterials,
                           DWORD* pdwMaterials, float* pfRadius) {
    ID3DXBuffer* pAdjacency = nullptr;
    ID3DXBuffer* pMaterials = nullptr;
    DWORD dwMaterials = 0;
    ID3DXMesh* pMesh = nullptr;
    HRESULT hr = D3DXLoadMeshFromXW(L"box.x", D3DXMESH_MANAGED, pd3dDevice, &pAdjacency, &pMaterials, nullptr,
                                    &dwMaterials, &pMesh);
    if (FAILED(hr) || !pMesh) {
        if (pAdjacency) pAdjacency->Release();
        if (pMaterials) pMaterials->Release();
        if (pMesh) pMesh->Release();
        MessageBoxA(nullptr, "D3DXLoadMeshFromX() - FAILED", nullptr, MB_OK);
        // Memory that ran out is not the file's fault: the caller ends the run.
        if (hr == E_OUTOFMEMORY) m_hrDeviceObjects = E_OUTOFMEMORY;
        return false;
    }
    // Adjacency is not used.
    if (pAdjacency) pAdjacency->Release();

    float fRadius = 0.0f;
    bool bUsable = MeasureRadius(pMesh, &fRadius);
    if (bUsable && !RadiusSeparatesLayers(fRadius)) {
        MessageBoxA(nullptr, "ComputeRadius - FAILED", nullptr, MB_OK);
        bUsable = false;
    }
    if (!bUsable) {
        if (pMaterials) pMaterials->Release();
        pMesh->Release();
        return false;
    }
    *ppMesh = pMesh;
    *ppMaterials = pMaterials;
    *pdwMaterials = dwMaterials;
    *pfRadius = fRadius;
    return true;
}

// Takes over a loaded mesh: one material (ambient = diffuse) and one texture
// slot per subset. Consumes the material buffer. Materials that name the same
// file, however spelt, share one texture (each slot holds its own reference),
// so a file with many materials costs one decode. Out of memory leaves the
// cube without device objects and gives E_OUTOFMEMORY.
HRESULT CPuzzleCube::AdoptDeviceObjects(IDirect3DDevice9* pd3dDevice, ID3DXMesh* pMesh,
                                        ID3DXBuffer* pMaterials, DWORD dwMaterials) {
    ReleaseDeviceObjects();
    m_pMesh = pMesh;
    HRESULT hr = S_OK;
    if (pMaterials && dwMaterials > 0) {
        const D3DXMATERIAL* pMtrls = static_cast<const D3DXMATERIAL*>(pMaterials->GetBufferPointer());
        try {
            m_Materials.reserve(dwMaterials);
            m_Textures.reserve(dwMaterials);
            std::unordered_map<std::string, IDirect3DTexture9*> created;  // by file; null = failed
            for (DWORD i = 0; i < dwMaterials; ++i) {
                D3DMATERIAL9 mtrl = pMtrls[i].MatD3D;
                mtrl.Ambient = mtrl.Diffuse;
                m_Materials.push_back(mtrl);
                IDirect3DTexture9* pTexture = nullptr;
                const char* szTexture = pMtrls[i].pTextureFilename;
                if (szTexture && szTexture[0] != '\0') {
                    const std::string key = TextureFileKey(szTexture);
                    const auto it = created.find(key);
                    if (it != created.end()) {
                        pTexture = it->second;
                        if (pTexture) pTexture->AddRef();
                    } else {
                        // A texture that cannot be created leaves its subset untextured.
                        if (FAILED(D3DXCreateTextureFromFileA(pd3dDevice, szTexture, &pTexture)))
                            pTexture = nullptr;
                        m_Textures.push_back(pTexture);  // owned before anything else can throw
                        created.emplace(key, pTexture);
                        continue;
                    }
                }
                m_Textures.push_back(pTexture);
            }
        } catch (const std::bad_alloc&) {
            hr = E_OUTOFMEMORY;
        }
    }
    if (pMaterials) pMaterials->Release();
    if (FAILED(hr)) ReleaseDeviceObjects();
    MeasureFaceColours();
    m_hrDeviceObjects = hr;
    return hr;
}

float CPuzzleCube::ComputeRadius() {
    float fRadius = 0.0f;
    MeasureRadius(m_pMesh, &fRadius);
    return fRadius;
}

// Bounding-sphere radius over every vertex of the mesh (unreferenced ones too).
bool CPuzzleCube::MeasureRadius(ID3DXMesh* pMesh, float* pfRadius) {
    *pfRadius = 0.0f;
    HRESULT hr = E_FAIL;
    void* pVertices = nullptr;
    if (pMesh) hr = pMesh->LockVertexBuffer(0, &pVertices);
    if (SUCCEEDED(hr)) {
        D3DXVECTOR3 vCenter;
        hr = pVertices ? D3DXComputeBoundingSphere(static_cast<const D3DXVECTOR3*>(pVertices),
                                                   pMesh->GetNumVertices(),
                                                   D3DXGetFVFVertexSize(pMesh->GetFVF()), &vCenter, pfRadius)
                       : E_FAIL;
        pMesh->UnlockVertexBuffer();
    }
    if (FAILED(hr)) {
        *pfRadius = 0.0f;
        MessageBoxA(nullptr, "ComputeRadius - FAILED", nullptr, MB_OK);
        return false;
    }
    return true;
}

// The layer tolerance tells neighbouring layers apart only above 2.0, and the
// corner test of IsTurnablePair tells edge cubies (R from the layer centre)
// from corners (2 x 0.707 R) only above about 2.42; a mesh outside that range
// would make turns move the wrong cubies or never start.
bool CPuzzleCube::RadiusSeparatesLayers(float fRadius) {
    if (!std::isfinite(fRadius) || fRadius <= kLayerTolerance) return false;
    const float fCorner = 2.0f * (fRadius * kPickRadiusScale);
    const float fEdgeDist = fRadius;
    const float fCornerDist =
        PointDistance(D3DXVECTOR3(0.0f, 0.0f, 0.0f), D3DXVECTOR3(fRadius, fRadius, 0.0f));
    return std::fabs(fEdgeDist - fCorner) > kCornerTolerance &&
           std::fabs(fCornerDist - fCorner) <= kCornerTolerance;
}

void CPuzzleCube::LayOut(float fRadius) {
    int n = 0;
    for (int x = -1; x <= 1; ++x) {
        for (int y = -1; y <= 1; ++y) {
            for (int z = -1; z <= 1; ++z, ++n) {
                Cubie& c = m_aCubies[n];
                const float fx = x * fRadius, fy = y * fRadius, fz = z * fRadius;
                D3DXMatrixTranslation(&c.mWorld, fx, fy, fz);
                c.vCenter = D3DXVECTOR3(fx, fy, fz);
                c.fPickRadius = fRadius * kPickRadiusScale;
                c.bSelected = false;
            }
        }
    }
    m_bTurning = false;
    SettleAll();
    m_bLaidOut = true;
    m_fRadius = fRadius;
    m_bReverseTurn = false;
    m_Replay = TurnKind::None;
    m_Finished = TurnKind::None;
    ClearHistory();
}

void CPuzzleCube::SettleAll() {
    for (int i = 0; i < kCubieCount; ++i) m_aSettled[i] = m_aCubies[i].mWorld;
}

bool CPuzzleCube::NearlyEqual(float a, float b, float tol) { return std::fabs(a - b) <= tol; }

float CPuzzleCube::PointDistance(const D3DXVECTOR3& p, const D3DXVECTOR3& q) {
    const double dx = static_cast<float>(p.x - q.x);
    const double dy = static_cast<float>(p.y - q.y);
    const double dz = static_cast<float>(p.z - q.z);
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}
