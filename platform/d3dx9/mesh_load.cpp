// D3DXLoadMeshFromX*: read the file, build the mesh image, create the mesh
// on the device and hand out the adjacency and material buffers.
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "platform/d3dx9/buffer.h"
#include "platform/d3dx9/file_bytes.h"
#include "platform/d3dx9/mesh_build.h"
#include "platform/d3dx9/mesh_object.h"
#include "platform/d3dx9/xfile_reader.h"
#include "platform/d3dx9mesh.h"

namespace {

// D3DXMATERIAL records followed by their zero-terminated texture names; the
// records point at the names inside the same buffer.
HRESULT MakeMaterialBuffer(const std::vector<plat::XMaterial>& materials, ID3DXBuffer** ppBuffer) {
    size_t size = materials.size() * sizeof(D3DXMATERIAL);
    for (const plat::XMaterial& m : materials)
        if (m.hasTexture) size += m.textureFile.size() + 1;
    HRESULT hr = D3DXCreateBuffer(static_cast<DWORD>(size), ppBuffer);
    if (FAILED(hr)) return hr;
    auto* base = static_cast<uint8_t*>((*ppBuffer)->GetBufferPointer());
    auto* records = reinterpret_cast<D3DXMATERIAL*>(base);
    char* names = reinterpret_cast<char*>(base + materials.size() * sizeof(D3DXMATERIAL));
    for (size_t i = 0; i < materials.size(); ++i) {
        records[i].MatD3D = materials[i].material;
        records[i].pTextureFilename = nullptr;
        if (materials[i].hasTexture) {
            std::memcpy(names, materials[i].textureFile.c_str(), materials[i].textureFile.size() + 1);
            records[i].pTextureFilename = names;
            names += materials[i].textureFile.size() + 1;
        }
    }
    return S_OK;
}

HRESULT BuildFromBytes(const uint8_t* bytes, size_t size, DWORD Options, IDirect3DDevice9* pD3DDevice,
                       LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials, DWORD* pNumMaterials,
                       LPD3DXMESH* ppMesh) {
    plat::XMeshData data;
    HRESULT hr = plat::ReadXFile(bytes, size, &data);
    if (FAILED(hr)) return hr;
    plat::MeshImage image;
    plat::BuildMeshImage(data, &image);

    ID3DXMesh* mesh = nullptr;
    ID3DXBuffer* adjacency = nullptr;
    ID3DXBuffer* materials = nullptr;
    hr = plat::CreateMesh(image, Options, pD3DDevice, &mesh);
    if (SUCCEEDED(hr) && ppAdjacency)
        hr = plat::CreateBufferWith(image.adjacency.data(), image.adjacency.size() * sizeof(DWORD),
                                    &adjacency);
    if (SUCCEEDED(hr) && ppMaterials && !data.materials.empty())
        hr = MakeMaterialBuffer(data.materials, &materials);
    if (FAILED(hr)) {
        if (materials) materials->Release();
        if (adjacency) adjacency->Release();
        if (mesh) mesh->Release();
        return hr;
    }
    *ppMesh = mesh;
    if (ppAdjacency) *ppAdjacency = adjacency;
    if (ppMaterials) *ppMaterials = materials;
    if (pNumMaterials) *pNumMaterials = static_cast<DWORD>(data.materials.size());
    return S_OK;
}

// Reading and building allocate in proportion to the file; running out of
// memory there is E_OUTOFMEMORY (the objects made so far are released by
// their owners' destructors or were not made yet).
HRESULT LoadFromBytes(const uint8_t* bytes, size_t size, DWORD Options, IDirect3DDevice9* pD3DDevice,
                      LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials, DWORD* pNumMaterials,
                      LPD3DXMESH* ppMesh) {
    try {
        return BuildFromBytes(bytes, size, Options, pD3DDevice, ppAdjacency, ppMaterials, pNumMaterials,
                              ppMesh);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// Outputs are cleared first so that a failure never leaves stale pointers.
bool ClearOutputs(IDirect3DDevice9* pD3DDevice, LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials,
                  LPD3DXBUFFER* ppEffectInstances, DWORD* pNumMaterials, LPD3DXMESH* ppMesh) {
    if (ppAdjacency) *ppAdjacency = nullptr;
    if (ppMaterials) *ppMaterials = nullptr;
    if (ppEffectInstances) *ppEffectInstances = nullptr;
    if (pNumMaterials) *pNumMaterials = 0;
    if (ppMesh) *ppMesh = nullptr;
    return pD3DDevice && ppMesh;
}

}  // namespace

HRESULT D3DXLoadMeshFromXInMemory(LPCVOID Memory, DWORD SizeOfMemory, DWORD Options,
                                  IDirect3DDevice9* pD3DDevice, LPD3DXBUFFER* ppAdjacency,
                                  LPD3DXBUFFER* ppMaterials, LPD3DXBUFFER* ppEffectInstances,
                                  DWORD* pNumMaterials, LPD3DXMESH* ppMesh) {
    if (!ClearOutputs(pD3DDevice, ppAdjacency, ppMaterials, ppEffectInstances, pNumMaterials, ppMesh) ||
        !Memory)
        return E_INVALIDARG;
    return LoadFromBytes(static_cast<const uint8_t*>(Memory), SizeOfMemory, Options, pD3DDevice, ppAdjacency,
                         ppMaterials, pNumMaterials, ppMesh);
}

HRESULT D3DXLoadMeshFromXW(LPCWSTR pFilename, DWORD Options, IDirect3DDevice9* pD3DDevice,
                           LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials,
                           LPD3DXBUFFER* ppEffectInstances, DWORD* pNumMaterials, LPD3DXMESH* ppMesh) {
    if (!ClearOutputs(pD3DDevice, ppAdjacency, ppMaterials, ppEffectInstances, pNumMaterials, ppMesh) ||
        !pFilename)
        return E_INVALIDARG;
    std::vector<uint8_t> bytes;
    const HRESULT hr = plat::ReadFileBytes(pFilename, &bytes);
    if (FAILED(hr)) return hr;
    return LoadFromBytes(bytes.data(), bytes.size(), Options, pD3DDevice, ppAdjacency, ppMaterials,
                         pNumMaterials, ppMesh);
}

HRESULT D3DXLoadMeshFromXA(LPCSTR pFilename, DWORD Options, IDirect3DDevice9* pD3DDevice,
                           LPD3DXBUFFER* ppAdjacency, LPD3DXBUFFER* ppMaterials,
                           LPD3DXBUFFER* ppEffectInstances, DWORD* pNumMaterials, LPD3DXMESH* ppMesh) {
    if (!ClearOutputs(pD3DDevice, ppAdjacency, ppMaterials, ppEffectInstances, pNumMaterials, ppMesh) ||
        !pFilename)
        return E_INVALIDARG;
    std::vector<uint8_t> bytes;
    const HRESULT hr = plat::ReadFileBytes(pFilename, &bytes);
    if (FAILED(hr)) return hr;
    return LoadFromBytes(bytes.data(), bytes.size(), Options, pD3DDevice, ppAdjacency, ppMaterials,
                         pNumMaterials, ppMesh);
}
