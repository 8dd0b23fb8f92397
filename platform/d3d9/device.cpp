// The device: creation, reference counting, reset, lost devices, presentation
// and the full-screen cursor.
#include "platform/d3d9/device.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/win32/device_bridge.h"
#include "platform/d3d9/direct3d.h"
#include "platform/d3d9/formats.h"
#include "platform/d3d9/state_block.h"
#include "platform/d3d9/surface.h"
#include "platform/d3d9/swap_chain.h"
#include "platform/d3d9/vertex_declaration.h"

namespace plat::d3d9 {

void DeviceAddRef(Device* device) { device->AddRef(); }
void DeviceRelease(Device* device) { device->Release(); }

namespace {

constexpr UINT kMaxBackBufferSide = 16384;

bool ClientSize(HWND hwnd, UINT& width, UINT& height) {
    RECT rc{};
    if (!GetClientRect(hwnd, &rc)) return false;
    width = UINT(std::max<LONG>(rc.right - rc.left, 0));
    height = UINT(std::max<LONG>(rc.bottom - rc.top, 0));
    return true;
}

// TWO to FOUR are not honoured (and never valid windowed).
bool ValidInterval(UINT interval) {
    return interval == D3DPRESENT_INTERVAL_DEFAULT || interval == D3DPRESENT_INTERVAL_ONE ||
           interval == D3DPRESENT_INTERVAL_IMMEDIATE;
}

}  // namespace

HRESULT ValidatePresentParameters(Direct3D9* d3d, UINT adapter, HWND focus, D3DPRESENT_PARAMETERS& p) {
    HWND window = p.hDeviceWindow ? p.hDeviceWindow : focus;
    if (!window || !IsWindow(window)) return D3DERR_INVALIDCALL;
    if (focus && !IsWindow(focus)) return D3DERR_INVALIDCALL;
    if (p.Windowed != FALSE && p.Windowed != TRUE) return D3DERR_INVALIDCALL;
    if (p.SwapEffect < D3DSWAPEFFECT_DISCARD || p.SwapEffect > D3DSWAPEFFECT_COPY) return D3DERR_INVALIDCALL;
    if (p.BackBufferCount > D3DPRESENT_BACK_BUFFERS_MAX) return D3DERR_INVALIDCALL;
    if (p.SwapEffect == D3DSWAPEFFECT_COPY && p.BackBufferCount > 1) return D3DERR_INVALIDCALL;
    if (p.MultiSampleType != D3DMULTISAMPLE_NONE || p.MultiSampleQuality != 0) return D3DERR_INVALIDCALL;
    if (p.EnableAutoDepthStencil && !IsDepthFormat(p.AutoDepthStencilFormat)) return D3DERR_INVALIDCALL;
    if (p.Flags & ~DWORD(D3DPRESENTFLAG_LOCKABLE_BACKBUFFER | D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL |
                         D3DPRESENTFLAG_DEVICECLIP | D3DPRESENTFLAG_VIDEO))
        return D3DERR_INVALIDCALL;
    if (!ValidInterval(p.PresentationInterval)) return D3DERR_INVALIDCALL;

    D3DDISPLAYMODE desktop{};
    if (FAILED(d3d->GetAdapterDisplayMode(adapter, &desktop))) return D3DERR_INVALIDCALL;
    if (p.Windowed) {
        if (p.FullScreen_RefreshRateInHz != 0) return D3DERR_INVALIDCALL;
        if (p.BackBufferFormat == D3DFMT_UNKNOWN) p.BackBufferFormat = desktop.Format;
        if (!IsBackBufferFormat(p.BackBufferFormat) || p.BackBufferFormat == D3DFMT_A2R10G10B10)
            return D3DERR_INVALIDCALL;
        if (p.BackBufferWidth == 0 || p.BackBufferHeight == 0) {
            UINT w = 0, h = 0;
            if (!ClientSize(window, w, h)) return D3DERR_INVALIDCALL;
            if (p.BackBufferWidth == 0) p.BackBufferWidth = std::max(w, 1u);
            if (p.BackBufferHeight == 0) p.BackBufferHeight = std::max(h, 1u);
        }
    } else {
        if (!IsBackBufferFormat(p.BackBufferFormat)) return D3DERR_INVALIDCALL;
        bool found = false;
        D3DFORMAT adapterFormat = p.BackBufferFormat == D3DFMT_A8R8G8B8   ? D3DFMT_X8R8G8B8
                                  : p.BackBufferFormat == D3DFMT_A1R5G5B5 ? D3DFMT_X1R5G5B5
                                                                          : p.BackBufferFormat;
        for (const D3DDISPLAYMODE& m : d3d->Modes(adapter, adapterFormat))
            if (m.Width == p.BackBufferWidth && m.Height == p.BackBufferHeight &&
                (p.FullScreen_RefreshRateInHz == 0 || m.RefreshRate == p.FullScreen_RefreshRateInHz))
                found = true;
        if (!found) return D3DERR_INVALIDCALL;
    }
    if (p.BackBufferWidth > kMaxBackBufferSide || p.BackBufferHeight > kMaxBackBufferSide)
        return D3DERR_INVALIDCALL;
    if (p.BackBufferCount == 0) p.BackBufferCount = 1;
    return S_OK;
}

Device::Device(Direct3D9* d3d, UINT adapter, D3DDEVTYPE type, HWND focus, DWORD flags) : m_d3d(d3d) {
    m_d3d->AddRef();
    m_creation = D3DDEVICE_CREATION_PARAMETERS{adapter, type, focus, flags};
    FillCaps(adapter, type, m_caps);
    m_lossCountSeen = ForcedDeviceLossCount();
    for (auto& s : m_state.streams) s = StreamBinding{};
    // TUMBRAL_REDRAW_ALL=1 draws every band of every frame (comparisons, measurements).
    const char* redrawAll = std::getenv("TUMBRAL_REDRAW_ALL");
    m_queue.SetReuse(!(redrawAll && std::strcmp(redrawAll, "1") == 0));
}

HRESULT Device::Create(Direct3D9* d3d, UINT adapter, D3DDEVTYPE type, HWND focus, DWORD flags,
                       const D3DPRESENT_PARAMETERS& params, Device** out) {
    Device* device = new (std::nothrow) Device(d3d, adapter, type, focus, flags);
    if (!device) return E_OUTOFMEMORY;
    device->m_swapChain = new (std::nothrow) SwapChain(device);
    HRESULT hr = device->m_swapChain ? device->BuildSwapChain(params) : E_OUTOFMEMORY;
    if (FAILED(hr)) {
        device->Release();
        return hr;
    }
    *out = device;
    return S_OK;
}

Device::~Device() {
    FinishDrawing();
    if (m_recording) m_recording->Release();
    ReleaseBindingRefs(m_state);
    SetRenderTargetInternal(nullptr);
    SetDepthInternal(nullptr);
    for (auto& entry : m_fvfDeclarations) entry.second->ReleaseInternal();
    LeaveDisplayMode();
    if (m_autoDepth) m_autoDepth->DeleteOwned();
    delete m_swapChain;
    m_d3d->Release();
}

HRESULT Device::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsUnknownIid(riid) || riid == IID_IDirect3DDevice9) {
        *ppv = static_cast<IDirect3DDevice9*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG Device::AddRef() { return ++m_refs; }

ULONG Device::Release() {
    ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
}

bool Device::Owns(IUnknown* object) const {
    auto* child = dynamic_cast<Bindable*>(object);
    return child && child->BoundDevice() == this;
}

HWND Device::DeviceWindow() const {
    const D3DPRESENT_PARAMETERS& p = m_swapChain->Params();
    return p.hDeviceWindow ? p.hDeviceWindow : m_creation.hFocusWindow;
}

// ---- Swap chain, display mode ------------------------------------------------

HRESULT Device::BuildSwapChain(const D3DPRESENT_PARAMETERS& params) {
    FinishDrawing();
    Surface* depth = nullptr;
    SetRenderTargetInternal(nullptr);
    SetDepthInternal(nullptr);
    // The old buffers go first, so that a reset never holds two sets (a failed build leaves none anyway).
    m_swapChain->DropBuffers();
    if (m_autoDepth) m_autoDepth->DeleteOwned();
    m_autoDepth = nullptr;
    try {
        m_swapChain->Rebuild(params);
        if (params.EnableAutoDepthStencil)
            depth = new Surface(this, this, params.BackBufferWidth, params.BackBufferHeight,
                                params.AutoDepthStencilFormat, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, false);
    } catch (const std::bad_alloc&) {
        m_swapChain->DropBuffers();
        return D3DERR_OUTOFVIDEOMEMORY;
    }
    m_autoDepth = depth;
    SetRenderTargetInternal(m_swapChain->BackBuffer(0));
    SetDepthInternal(m_autoDepth);
    ReleaseBindingRefs(m_state);
    ResetToDefaults(m_state, m_autoDepth != nullptr, params.BackBufferWidth, params.BackBufferHeight);
    StateChanged();
    if (params.Windowed)
        LeaveDisplayMode();
    else
        EnterDisplayMode(params);
    return S_OK;
}

void Device::EnterDisplayMode(const D3DPRESENT_PARAMETERS& p) {
    DisplayMode mode;
    mode.width = int(p.BackBufferWidth);
    mode.height = int(p.BackBufferHeight);
    mode.refreshHz = int(p.FullScreen_RefreshRateInHz);
    mode.bitsPerPixel = ColorFormatBytes(p.BackBufferFormat) == 2 ? 16 : 32;
    Backend& backend = CurrentBackend();
    backend.SetDisplayMode(int(m_creation.AdapterOrdinal), mode);
    // As the Windows runtime does, the device window covers the monitor at the mode's size.
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(MonitorHandle(int(m_creation.AdapterOrdinal)), &info))
        SetWindowPos(DeviceWindow(), HWND_TOPMOST, info.rcMonitor.left, info.rcMonitor.top, mode.width,
                     mode.height, SWP_NOACTIVATE);
    if (NativeWindowId id = NativeWindowOf(DeviceWindow()))
        backend.SetNativeWindowFullscreen(id, int(m_creation.AdapterOrdinal));
    m_fullscreenActive = true;
}

void Device::LeaveDisplayMode() {
    if (!m_fullscreenActive) return;
    Backend& backend = CurrentBackend();
    if (NativeWindowId id = NativeWindowOf(DeviceWindow())) backend.SetNativeWindowFullscreen(id, -1);
    backend.RestoreDisplayMode(int(m_creation.AdapterOrdinal));
    m_fullscreenActive = false;
}

// ---- Loss and reset -----------------------------------------------------------

bool Device::Resettable() {
    if (m_swapChain->Params().Windowed) return true;
    HWND focus = m_creation.hFocusWindow ? m_creation.hFocusWindow : DeviceWindow();
    return IsWindow(focus) && !IsIconic(focus) && GetForegroundWindow() == focus;
}

// A full-screen device is lost while its focus window is inactive or
// minimised; every device is lost once per forced loss.
bool Device::UpdateLoss() {
    uint64_t forced = ForcedDeviceLossCount();
    if (forced != m_lossCountSeen) {
        m_lossCountSeen = forced;
        m_lost = true;
    }
    if (!m_lost && !m_swapChain->Params().Windowed && !Resettable()) m_lost = true;
    return m_lost;
}

HRESULT Device::TestCooperativeLevel() {
    if (!UpdateLoss()) return S_OK;
    return Resettable() ? D3DERR_DEVICENOTRESET : D3DERR_DEVICELOST;
}

HRESULT Device::Reset(D3DPRESENT_PARAMETERS* pp) {
    if (!pp) return D3DERR_INVALIDCALL;
    UpdateLoss();
    if (m_lost && !Resettable()) return D3DERR_DEVICELOST;
    if (m_defaultPoolObjects > 0) return D3DERR_INVALIDCALL;
    if (m_recording) return D3DERR_INVALIDCALL;
    D3DPRESENT_PARAMETERS params = *pp;
    HRESULT hr = ValidatePresentParameters(m_d3d, m_creation.AdapterOrdinal, m_creation.hFocusWindow, params);
    if (FAILED(hr)) return hr;
    hr = BuildSwapChain(params);
    if (FAILED(hr)) {
        m_lost = true;  // no buffers: only another Reset can bring the device back
        return hr;
    }
    m_inScene = false;
    m_lost = false;
    m_lossCountSeen = ForcedDeviceLossCount();
    *pp = params;
    return S_OK;
}

// ---- Presentation --------------------------------------------------------------

HRESULT Device::Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                        const RGNDATA*) {
    return PresentChain(pSourceRect, pDestRect, hDestWindowOverride);
}

// Rectangles are not supported: the whole back buffer goes to the whole client area.
HRESULT Device::PresentChain(const RECT*, const RECT*, HWND hDestWindowOverride) {
    m_queue.Flush();  // presenting reads the pixels but changes none
    if (UpdateLoss()) return D3DERR_DEVICELOST;
    if (m_inScene) return D3DERR_INVALIDCALL;
    Surface* back = m_swapChain->BackBuffer(0);
    if (!back) return D3DERR_INVALIDCALL;
    ColorTarget target = back->AsColorTarget();
    FrameView frame{target.pixels, target.width, target.height, target.pitch};
    // Only the rows drawn since the last present need to reach the window.
    frame.source = this;
    if (m_queue.TakeChangedRows(target.pixels, m_changedRows) && !hDestWindowOverride) {
        frame.changedRows = m_changedRows.data();
        frame.changedCount = int(m_changedRows.size());
    }
    // Another window gets this frame: the device window has not seen the rows taken above.
    if (hDestWindowOverride) m_queue.ForgetDrawn();
    if (m_cursorVisible && !m_swapChain->Params().Windowed && !m_cursorPixels.empty()) {
        // Composite the device cursor over a copy of the frame.
        m_presentScratch.assign(target.pixels, target.pixels + size_t(target.pitch) * target.height);
        for (UINT y = 0; y < m_cursorHeight; ++y) {
            int py = m_cursorY - int(m_cursorHotY) + int(y);
            if (py < 0 || py >= target.height) continue;
            for (UINT x = 0; x < m_cursorWidth; ++x) {
                int px = m_cursorX - int(m_cursorHotX) + int(x);
                uint32_t c = m_cursorPixels[size_t(y) * m_cursorWidth + x];
                if (px < 0 || px >= target.width || (c >> 24) < 128) continue;
                m_presentScratch[size_t(py) * target.pitch + px] = c;
            }
        }
        frame.pixels = m_presentScratch.data();
        frame.changedRows = nullptr;  // the cursor moves over rows that did not change
        frame.changedCount = -1;
    }
    HWND window = hDestWindowOverride ? hDestWindowOverride : DeviceWindow();
    bool vsync = m_swapChain->Params().PresentationInterval != D3DPRESENT_INTERVAL_IMMEDIATE;
    if (!PresentToWindow(window, frame, vsync)) return D3DERR_INVALIDCALL;
    return S_OK;
}

HRESULT Device::GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                              IDirect3DSurface9** ppBackBuffer) {
    if (iSwapChain != 0 || !ppBackBuffer) return D3DERR_INVALIDCALL;
    return m_swapChain->GetBackBuffer(iBackBuffer, Type, ppBackBuffer);
}

HRESULT Device::GetSwapChain(UINT iSwapChain, IDirect3DSwapChain9** pSwapChain) {
    if (iSwapChain != 0 || !pSwapChain) return D3DERR_INVALIDCALL;
    *pSwapChain = m_swapChain;
    m_swapChain->AddRef();
    return S_OK;
}

HRESULT Device::GetRasterStatus(UINT iSwapChain, D3DRASTER_STATUS* pRasterStatus) {
    if (iSwapChain != 0 || !pRasterStatus) return D3DERR_INVALIDCALL;
    *pRasterStatus = D3DRASTER_STATUS{FALSE, 0};
    return S_OK;
}

HRESULT Device::GetDisplayMode(UINT iSwapChain, D3DDISPLAYMODE* pMode) {
    if (iSwapChain != 0 || !pMode) return D3DERR_INVALIDCALL;
    return m_swapChain->GetDisplayMode(pMode);
}

// ---- Queries -------------------------------------------------------------------

UINT Device::GetAvailableTextureMem() { return 512u * 1024u * 1024u; }
HRESULT Device::EvictManagedResources() { return S_OK; }

HRESULT Device::GetDirect3D(IDirect3D9** ppD3D9) {
    if (!ppD3D9) return D3DERR_INVALIDCALL;
    *ppD3D9 = m_d3d;
    m_d3d->AddRef();
    return S_OK;
}

HRESULT Device::GetDeviceCaps(D3DCAPS9* pCaps) {
    if (!pCaps) return D3DERR_INVALIDCALL;
    *pCaps = m_caps;
    return S_OK;
}

HRESULT Device::GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS* pParameters) {
    if (!pParameters) return D3DERR_INVALIDCALL;
    *pParameters = m_creation;
    return S_OK;
}

// ---- Full-screen cursor -----------------------------------------------------------

HRESULT Device::SetCursorProperties(UINT XHotSpot, UINT YHotSpot, IDirect3DSurface9* pCursorBitmap) {
    auto* surface = dynamic_cast<Surface*>(pCursorBitmap);
    if (!surface || surface->OwnerDevice() != this) return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC& d = surface->Desc();
    if (d.Format != D3DFMT_A8R8G8B8 || d.Width > 256 || d.Height > 256 || XHotSpot >= d.Width ||
        YHotSpot >= d.Height)
        return D3DERR_INVALIDCALL;
    FinishDrawing();
    ImageLevel image = surface->Image();
    m_cursorPixels.resize(size_t(d.Width) * d.Height);
    for (UINT y = 0; y < d.Height; ++y)
        std::memcpy(&m_cursorPixels[size_t(y) * d.Width], image.texels + size_t(y) * image.pitch,
                    d.Width * 4);
    m_cursorWidth = d.Width;
    m_cursorHeight = d.Height;
    m_cursorHotX = XHotSpot;
    m_cursorHotY = YHotSpot;
    return S_OK;
}

void Device::SetCursorPosition(int X, int Y, DWORD) {
    // Screen coordinates; the cursor is drawn relative to the adapter's monitor.
    MonitorDesc monitor;
    if (m_d3d->Monitor(m_creation.AdapterOrdinal, monitor)) {
        X -= monitor.bounds.left;
        Y -= monitor.bounds.top;
    }
    m_cursorX = X;
    m_cursorY = Y;
}

BOOL Device::ShowCursor(BOOL bShow) {
    BOOL was = m_cursorVisible ? TRUE : FALSE;
    m_cursorVisible = bShow != FALSE;
    return was;
}

// ---- Scenes ----------------------------------------------------------------------

HRESULT Device::BeginScene() {
    if (m_inScene) return D3DERR_INVALIDCALL;
    m_inScene = true;
    return S_OK;
}

HRESULT Device::EndScene() {
    if (!m_inScene) return D3DERR_INVALIDCALL;
    m_inScene = false;
    // The scene is drawn by the time EndScene returns (over all drawing threads).
    m_queue.Flush();
    return S_OK;
}

}  // namespace plat::d3d9
