// ID3DXMesh: a vertex buffer and an index buffer on a device, per-face
// attributes and the attribute table. Holds one reference on the device and
// one on each buffer; the last Release frees them.
#include "platform/d3dx9/mesh_object.h"

#include <cstring>
#include <new>
#include <unordered_map>
#include <vector>

#include "platform/d3d9/com_object.h"
#include "platform/d3dx9/device_child.h"

namespace plat {
namespace {

D3DPOOL PoolFor(DWORD options, DWORD managedBit, DWORD systemBit) {
    if (options & managedBit) return D3DPOOL_MANAGED;
    if (options & systemBit) return D3DPOOL_SYSTEMMEM;
    return D3DPOOL_DEFAULT;
}

DWORD UsageFor(DWORD options, bool vertex) {
    DWORD usage = 0;
    if (options & (vertex ? D3DXMESH_VB_WRITEONLY : D3DXMESH_IB_WRITEONLY)) usage |= D3DUSAGE_WRITEONLY;
    if (options & (vertex ? D3DXMESH_VB_DYNAMIC : D3DXMESH_IB_DYNAMIC)) usage |= D3DUSAGE_DYNAMIC;
    if (options & (vertex ? D3DXMESH_VB_SOFTWAREPROCESSING : D3DXMESH_IB_SOFTWAREPROCESSING))
        usage |= D3DUSAGE_SOFTWAREPROCESSING;
    if (options & D3DXMESH_DONOTCLIP) usage |= D3DUSAGE_DONOTCLIP;
    if (options & D3DXMESH_POINTS) usage |= D3DUSAGE_POINTS;
    if (options & D3DXMESH_RTPATCHES) usage |= D3DUSAGE_RTPATCHES;
    if (options & D3DXMESH_NPATCHES) usage |= D3DUSAGE_NPATCHES;
    return usage;
}

class Mesh final : public DeviceChild<ID3DXMesh> {
  public:
    Mesh(IDirect3DDevice9* device, IDirect3DVertexBuffer9* vb, IDirect3DIndexBuffer9* ib,
         const MeshImage& image, DWORD options)
        : DeviceChild(device),
          m_pVB(vb),
          m_pIB(ib),
          m_dwFVF(image.fvf),
          m_nStride(image.stride),
          m_nVertices(image.numVertices),
          m_dwOptions(options),
          m_Attributes(image.attributes),
          m_Table(image.table) {
        m_RangeOf.reserve(m_Table.size());
        for (size_t i = 0; i < m_Table.size(); ++i) m_RangeOf.try_emplace(m_Table[i].AttribId, i);
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_ID3DXMesh || riid == IID_ID3DXBaseMesh || d3d9::IsUnknownIid(riid)) {
            AddRef();
            *ppv = static_cast<ID3DXMesh*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

    HRESULT DrawSubset(DWORD AttribId) override {
        const auto it = m_RangeOf.find(AttribId);
        if (it == m_RangeOf.end()) return S_OK;  // no faces carry this attribute
        const D3DXATTRIBUTERANGE& r = m_Table[it->second];
        if (r.FaceCount == 0) return S_OK;
        HRESULT hr = m_device->SetFVF(m_dwFVF);
        if (SUCCEEDED(hr)) hr = m_device->SetStreamSource(0, m_pVB, 0, m_nStride);
        if (SUCCEEDED(hr)) hr = m_device->SetIndices(m_pIB);
        if (SUCCEEDED(hr))
            hr = m_device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, r.VertexStart, r.VertexCount,
                                                r.FaceStart * 3, r.FaceCount);
        return hr;
    }
    DWORD GetNumFaces() override { return static_cast<DWORD>(m_Attributes.size()); }
    DWORD GetNumVertices() override { return m_nVertices; }
    DWORD GetFVF() override { return m_dwFVF; }
    DWORD GetNumBytesPerVertex() override { return m_nStride; }
    DWORD GetOptions() override { return m_dwOptions; }
    HRESULT GetVertexBuffer(IDirect3DVertexBuffer9** ppVB) override {
        if (!ppVB) return D3DERR_INVALIDCALL;
        m_pVB->AddRef();
        *ppVB = m_pVB;
        return S_OK;
    }
    HRESULT GetIndexBuffer(IDirect3DIndexBuffer9** ppIB) override {
        if (!ppIB) return D3DERR_INVALIDCALL;
        m_pIB->AddRef();
        *ppIB = m_pIB;
        return S_OK;
    }
    HRESULT LockVertexBuffer(DWORD Flags, LPVOID* ppData) override {
        if (!ppData) return D3DERR_INVALIDCALL;
        return m_pVB->Lock(0, 0, ppData, Flags);
    }
    HRESULT UnlockVertexBuffer() override { return m_pVB->Unlock(); }
    HRESULT LockIndexBuffer(DWORD Flags, LPVOID* ppData) override {
        if (!ppData) return D3DERR_INVALIDCALL;
        return m_pIB->Lock(0, 0, ppData, Flags);
    }
    HRESULT UnlockIndexBuffer() override { return m_pIB->Unlock(); }
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable, DWORD* pAttribTableSize) override {
        if (!pAttribTable && !pAttribTableSize) return D3DERR_INVALIDCALL;
        if (pAttribTableSize) *pAttribTableSize = static_cast<DWORD>(m_Table.size());
        if (pAttribTable && !m_Table.empty())
            std::memcpy(pAttribTable, m_Table.data(), m_Table.size() * sizeof(D3DXATTRIBUTERANGE));
        return S_OK;
    }
    HRESULT LockAttributeBuffer(DWORD /*Flags*/, DWORD** ppData) override {
        if (!ppData) return D3DERR_INVALIDCALL;
        *ppData = m_Attributes.data();
        return S_OK;
    }
    HRESULT UnlockAttributeBuffer() override { return S_OK; }

  private:
    ~Mesh() override {
        m_pIB->Release();
        m_pVB->Release();
    }

    IDirect3DVertexBuffer9* m_pVB;
    IDirect3DIndexBuffer9* m_pIB;
    DWORD m_dwFVF;
    UINT m_nStride;
    DWORD m_nVertices;
    DWORD m_dwOptions;
    std::vector<DWORD> m_Attributes;
    std::vector<D3DXATTRIBUTERANGE> m_Table;
    // The first range of each attribute, so that drawing a subset does not
    // search the table (a mesh may have thousands of subsets).
    std::unordered_map<DWORD, size_t> m_RangeOf;
};

HRESULT Fill(IDirect3DVertexBuffer9* vb, const void* bytes, size_t size) {
    void* p = nullptr;
    const HRESULT hr = vb->Lock(0, 0, &p, 0);
    if (FAILED(hr)) return hr;
    std::memcpy(p, bytes, size);
    return vb->Unlock();
}

HRESULT Fill(IDirect3DIndexBuffer9* ib, const std::vector<uint32_t>& indices, bool wide) {
    void* p = nullptr;
    const HRESULT hr = ib->Lock(0, 0, &p, 0);
    if (FAILED(hr)) return hr;
    if (wide) {
        std::memcpy(p, indices.data(), indices.size() * 4);
    } else {
        auto* out = static_cast<uint16_t*>(p);
        for (size_t i = 0; i < indices.size(); ++i) out[i] = static_cast<uint16_t>(indices[i]);
    }
    return ib->Unlock();
}

}  // namespace

HRESULT CreateMesh(const MeshImage& image, DWORD options, IDirect3DDevice9* pDevice, ID3DXMesh** ppMesh) {
    *ppMesh = nullptr;
    if (image.numVertices > 0xFFFF) options |= D3DXMESH_32BIT;
    const bool wide = (options & D3DXMESH_32BIT) != 0;
    const uint64_t vbBytes = image.vertices.size();
    const uint64_t ibBytes = uint64_t(image.indices.size()) * (wide ? 4 : 2);
    if (vbBytes == 0 || ibBytes == 0) return D3DXERR_INVALIDMESH;  // no vertices or no faces
    if (vbBytes > 0x7FFFFFFF || ibBytes > 0x7FFFFFFF) return E_OUTOFMEMORY;

    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    HRESULT hr = pDevice->CreateVertexBuffer(static_cast<UINT>(vbBytes), UsageFor(options, true), image.fvf,
                                             PoolFor(options, D3DXMESH_VB_MANAGED, D3DXMESH_VB_SYSTEMMEM),
                                             &vb, nullptr);
    if (SUCCEEDED(hr))
        hr = pDevice->CreateIndexBuffer(
            static_cast<UINT>(ibBytes), UsageFor(options, false), wide ? D3DFMT_INDEX32 : D3DFMT_INDEX16,
            PoolFor(options, D3DXMESH_IB_MANAGED, D3DXMESH_IB_SYSTEMMEM), &ib, nullptr);
    if (SUCCEEDED(hr)) hr = Fill(vb, image.vertices.data(), image.vertices.size());
    if (SUCCEEDED(hr)) hr = Fill(ib, image.indices, wide);
    if (SUCCEEDED(hr)) {
        Mesh* mesh = nullptr;
        try {  // the constructor copies the image's tables
            mesh = new Mesh(pDevice, vb, ib, image, options);
        } catch (const std::bad_alloc&) {
            mesh = nullptr;
        }
        if (mesh) {
            *ppMesh = mesh;
            return S_OK;
        }
        hr = E_OUTOFMEMORY;
    }
    if (ib) ib->Release();
    if (vb) vb->Release();
    return hr;
}

}  // namespace plat
