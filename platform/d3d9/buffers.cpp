// Vertex and index buffers.
#include "platform/d3d9/buffers.h"

#include <utility>

#include "platform/d3d9/device.h"

namespace plat::d3d9 {

HRESULT BufferStore::Lock(UINT offset, UINT size, void** ppData) {
    if (!ppData) return D3DERR_INVALIDCALL;
    if (offset > m_bytes.size() || (size != 0 && size > m_bytes.size() - offset)) return D3DERR_INVALIDCALL;
    *ppData = m_bytes.data() + offset;
    ++m_locks;
    return S_OK;
}

HRESULT BufferStore::Unlock() {
    if (m_locks == 0) return D3DERR_INVALIDCALL;
    --m_locks;
    return S_OK;
}

// ---- BufferResource ---------------------------------------------------------

template <class Interface>
BufferResource<Interface>::BufferResource(Device* device, UINT length, DWORD usage, D3DPOOL pool,
                                          const IID& iid)
    : DeviceChild<Interface>(device), m_store(0, pool), m_usage(usage), m_iid(iid) {
    try {
        m_store = BufferStore(length, pool);
    } catch (...) {
        DeviceRelease(device);
        throw;
    }
    if (pool == D3DPOOL_DEFAULT) device->DefaultPoolCreated();
}

template <class Interface>
void BufferResource<Interface>::OnLastPublicRelease() {
    if (m_store.Pool() == D3DPOOL_DEFAULT) this->m_device->DefaultPoolReleased();
}

template <class Interface>
HRESULT BufferResource<Interface>::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsUnknownIid(riid) || riid == IID_IDirect3DResource9 || riid == m_iid) {
        *ppv = static_cast<Interface*>(this);
        this->AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

template <class Interface>
HRESULT BufferResource<Interface>::GetDevice(IDirect3DDevice9** ppDevice) {
    if (!ppDevice) return D3DERR_INVALIDCALL;
    *ppDevice = this->m_device;
    this->m_device->AddRef();
    return S_OK;
}

template <class Interface>
DWORD BufferResource<Interface>::SetPriority(DWORD priority) {
    std::swap(priority, m_priority);
    return priority;
}

template <class Interface>
HRESULT BufferResource<Interface>::Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD) {
    return m_store.Lock(OffsetToLock, SizeToLock, ppbData);
}

template class BufferResource<IDirect3DVertexBuffer9>;
template class BufferResource<IDirect3DIndexBuffer9>;

// ---- VertexBuffer and IndexBuffer ---------------------------------------------

VertexBuffer::VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : BufferResource(device, length, usage, pool, IID_IDirect3DVertexBuffer9), m_fvf(fvf) {}

HRESULT VertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* pDesc) {
    if (!pDesc) return D3DERR_INVALIDCALL;
    *pDesc = D3DVERTEXBUFFER_DESC{D3DFMT_VERTEXDATA, D3DRTYPE_VERTEXBUFFER, m_usage,
                                  m_store.Pool(),    m_store.Size(),        m_fvf};
    return S_OK;
}

IndexBuffer::IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : BufferResource(device, length, usage, pool, IID_IDirect3DIndexBuffer9), m_format(format) {}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* pDesc) {
    if (!pDesc) return D3DERR_INVALIDCALL;
    *pDesc = D3DINDEXBUFFER_DESC{m_format, D3DRTYPE_INDEXBUFFER, m_usage, m_store.Pool(), m_store.Size()};
    return S_OK;
}

}  // namespace plat::d3d9
