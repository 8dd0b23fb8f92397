// ID3DXBuffer: a reference-counted block of bytes, and the interface
// identifiers of the D3DX objects.
#include "platform/d3dx9/buffer.h"

#include <cstring>
#include <memory>
#include <new>

#include "platform/d3d9/com_object.h"

const IID IID_ID3DXBuffer = {0x8ba5fb08, 0x5195, 0x40e2, {0xac, 0x58, 0x0d, 0x98, 0x9c, 0x3a, 0x01, 0x02}};
const IID IID_ID3DXBaseMesh = {0x7ed943dd, 0x52e8, 0x40b5, {0xa8, 0xd8, 0x76, 0x68, 0x5c, 0x40, 0x63, 0x30}};
const IID IID_ID3DXMesh = {0x4020e5c2, 0x1403, 0x4929, {0x88, 0x3f, 0xe2, 0xe8, 0x49, 0xfa, 0xc1, 0x95}};

namespace plat {
namespace {

class Buffer final : public d3d9::ComObject<ID3DXBuffer> {
  public:
    explicit Buffer(DWORD size) : m_Bytes(new (std::nothrow) uint8_t[size ? size : 1]()), m_nSize(size) {}
    bool ok() const { return m_Bytes != nullptr; }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (riid == IID_ID3DXBuffer || d3d9::IsUnknownIid(riid)) {
            AddRef();
            *ppv = static_cast<ID3DXBuffer*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    LPVOID GetBufferPointer() override { return m_Bytes.get(); }
    DWORD GetBufferSize() override { return m_nSize; }

  private:
    ~Buffer() override = default;

    std::unique_ptr<uint8_t[]> m_Bytes;
    DWORD m_nSize;
};

}  // namespace

HRESULT CreateBufferWith(const void* bytes, size_t size, ID3DXBuffer** ppBuffer) {
    if (size > 0xFFFFFFFFu) return E_OUTOFMEMORY;
    const HRESULT hr = D3DXCreateBuffer(static_cast<DWORD>(size), ppBuffer);
    if (SUCCEEDED(hr) && size) std::memcpy((*ppBuffer)->GetBufferPointer(), bytes, size);
    return hr;
}

}  // namespace plat

HRESULT D3DXCreateBuffer(DWORD NumBytes, LPD3DXBUFFER* ppBuffer) {
    if (!ppBuffer) return E_INVALIDARG;
    *ppBuffer = nullptr;
    auto* b = new (std::nothrow) plat::Buffer(NumBytes);
    if (!b) return E_OUTOFMEMORY;
    if (!b->ok()) {
        b->Release();
        return E_OUTOFMEMORY;
    }
    *ppBuffer = b;
    return S_OK;
}
