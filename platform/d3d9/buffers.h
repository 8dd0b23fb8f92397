// Vertex and index buffers: plain memory with D3D9 locking.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d9/com_object.h"

namespace plat::d3d9 {

// The memory and bookkeeping both buffer kinds share.
class BufferStore {
  public:
    BufferStore(UINT size, D3DPOOL pool) : m_bytes(size), m_pool(pool) {}
    HRESULT Lock(UINT offset, UINT size, void** ppData);
    HRESULT Unlock();
    const uint8_t* Data() const { return m_bytes.data(); }
    UINT Size() const { return UINT(m_bytes.size()); }
    D3DPOOL Pool() const { return m_pool; }

  private:
    std::vector<uint8_t> m_bytes;
    D3DPOOL m_pool;
    int m_locks = 0;
};

// What vertex and index buffers share: the memory, the default-pool
// bookkeeping, the priority and the resource calls. `Interface` is
// IDirect3DVertexBuffer9 or IDirect3DIndexBuffer9.
template <class Interface>
class BufferResource : public DeviceChild<Interface> {
  public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    DWORD SetPriority(DWORD priority) override;
    DWORD GetPriority() override { return m_priority; }
    void PreLoad() override {}
    HRESULT Lock(UINT OffsetToLock, UINT SizeToLock, void** ppbData, DWORD Flags) override;
    HRESULT Unlock() override { return m_store.Unlock(); }

    const BufferStore& Store() const { return m_store; }

  protected:
    BufferResource(Device* device, UINT length, DWORD usage, D3DPOOL pool, const IID& iid);
    ~BufferResource() override = default;
    void OnLastPublicRelease() override;

    BufferStore m_store;
    DWORD m_usage;

  private:
    const IID& m_iid;
    DWORD m_priority = 0;
};

class VertexBuffer final : public BufferResource<IDirect3DVertexBuffer9> {
  public:
    VertexBuffer(Device* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_VERTEXBUFFER; }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* pDesc) override;

  private:
    ~VertexBuffer() override = default;
    DWORD m_fvf;
};

class IndexBuffer final : public BufferResource<IDirect3DIndexBuffer9> {
  public:
    IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    D3DRESOURCETYPE GetType() override { return D3DRTYPE_INDEXBUFFER; }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* pDesc) override;
    bool Is32Bit() const { return m_format == D3DFMT_INDEX32; }

  private:
    ~IndexBuffer() override = default;
    D3DFORMAT m_format;
};

}  // namespace plat::d3d9
