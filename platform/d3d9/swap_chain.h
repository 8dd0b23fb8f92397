// The device's implicit swap chain: its presentation parameters and back
// buffers. It is part of the device and counts its references there.
#pragma once

#include <vector>

#include "platform/d3d9/com_object.h"

namespace plat::d3d9 {

class Surface;

class SwapChain final : public IDirect3DSwapChain9 {
  public:
    explicit SwapChain(Device* device) : m_device(device) {}
    ~SwapChain() override;

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                    const RGNDATA* pDirtyRegion, DWORD dwFlags) override;
    HRESULT GetBackBuffer(UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                          IDirect3DSurface9** ppBackBuffer) override;
    HRESULT GetDisplayMode(D3DDISPLAYMODE* pMode) override;
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    HRESULT GetPresentParameters(D3DPRESENT_PARAMETERS* pPresentationParameters) override;

    // Replaces the buffers for new (validated) parameters; throws std::bad_alloc.
    void Rebuild(const D3DPRESENT_PARAMETERS& params);
    void DropBuffers();
    const D3DPRESENT_PARAMETERS& Params() const { return m_params; }
    Surface* BackBuffer(UINT i) const { return i < m_buffers.size() ? m_buffers[i] : nullptr; }

  private:
    Device* m_device;
    D3DPRESENT_PARAMETERS m_params{};
    std::vector<Surface*> m_buffers;
};

}  // namespace plat::d3d9
