// The owning device for the D3DX objects made on a device (fonts, sprites,
// meshes): each holds one device reference for its lifetime. References are
// counted by the platform's shared COM base.
#pragma once

#include "platform/d3d9.h"
#include "platform/d3d9/com_object.h"

namespace plat {

template <typename Interface>
class DeviceChild : public d3d9::ComObject<Interface> {
  public:
    HRESULT QueryInterface(REFIID, void** ppv) override {
        if (ppv) *ppv = nullptr;
        return E_NOINTERFACE;
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
};

}  // namespace plat
