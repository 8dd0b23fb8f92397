// The implicit swap chain.
#include "platform/d3d9/swap_chain.h"

#include "platform/d3d9/device.h"
#include "platform/d3d9/direct3d.h"
#include "platform/d3d9/surface.h"

namespace plat::d3d9 {

SwapChain::~SwapChain() { DropBuffers(); }

HRESULT SwapChain::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsUnknownIid(riid) || riid == IID_IDirect3DSwapChain9) {
        *ppv = static_cast<IDirect3DSwapChain9*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG SwapChain::AddRef() { return m_device->AddRef(); }
ULONG SwapChain::Release() { return m_device->Release(); }

HRESULT SwapChain::Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                           const RGNDATA*, DWORD) {
    return m_device->PresentChain(pSourceRect, pDestRect, hDestWindowOverride);
}

HRESULT SwapChain::GetBackBuffer(UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                                 IDirect3DSurface9** ppBackBuffer) {
    if (!ppBackBuffer || Type != D3DBACKBUFFER_TYPE_MONO || iBackBuffer >= m_buffers.size())
        return D3DERR_INVALIDCALL;
    *ppBackBuffer = m_buffers[iBackBuffer];
    AddRef();
    return S_OK;
}

HRESULT SwapChain::GetDisplayMode(D3DDISPLAYMODE* pMode) {
    if (!pMode) return D3DERR_INVALIDCALL;
    if (!m_params.Windowed) {
        *pMode = D3DDISPLAYMODE{
            m_params.BackBufferWidth, m_params.BackBufferHeight, m_params.FullScreen_RefreshRateInHz,
            m_params.BackBufferFormat == D3DFMT_A8R8G8B8 ? D3DFMT_X8R8G8B8 : m_params.BackBufferFormat};
        return S_OK;
    }
    D3DDEVICE_CREATION_PARAMETERS cp{};
    m_device->GetCreationParameters(&cp);
    return m_device->Object()->GetAdapterDisplayMode(cp.AdapterOrdinal, pMode);
}

HRESULT SwapChain::GetDevice(IDirect3DDevice9** ppDevice) {
    if (!ppDevice) return D3DERR_INVALIDCALL;
    *ppDevice = m_device;
    m_device->AddRef();
    return S_OK;
}

HRESULT SwapChain::GetPresentParameters(D3DPRESENT_PARAMETERS* pPresentationParameters) {
    if (!pPresentationParameters) return D3DERR_INVALIDCALL;
    *pPresentationParameters = m_params;
    return S_OK;
}

void SwapChain::Rebuild(const D3DPRESENT_PARAMETERS& params) {
    std::vector<Surface*> fresh;
    try {
        for (UINT i = 0; i < params.BackBufferCount; ++i)
            fresh.push_back(new Surface(m_device, this, params.BackBufferWidth, params.BackBufferHeight,
                                        params.BackBufferFormat, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT,
                                        (params.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0));
    } catch (...) {
        for (Surface* s : fresh) s->DeleteOwned();
        throw;
    }
    DropBuffers();
    m_buffers = std::move(fresh);
    m_params = params;
}

void SwapChain::DropBuffers() {
    for (Surface* s : m_buffers) s->DeleteOwned();
    m_buffers.clear();
}

}  // namespace plat::d3d9
