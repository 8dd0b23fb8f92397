// Reference counting and the owning device for the D3DX objects made on a
// device (fonts, sprites): each holds one device reference for its lifetime.
#pragma once

#include <atomic>

#include "platform/d3d9.h"

namespace plat {

template <typename Interface>
class DeviceChild : public Interface {
  public:
    HRESULT QueryInterface(REFIID, void** ppv) override {
        if (ppv) *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        const ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override {
        if (!ppDevice) return D3DERR_INVALIDCALL;
        m_device->AddRef();
        *ppDevice = m_device;
        return S_OK;
    }

  protected:
    explicit DeviceChild(IDirect3DDevice9* device) : m_device(device) { m_device->AddRef(); }
    // The device goes last, after everything the object made on it.
    ~DeviceChild() override { m_device->Release(); }

    IDirect3DDevice9* const m_device;

  private:
    std::atomic<ULONG> m_refs{1};
};

}  // namespace plat
