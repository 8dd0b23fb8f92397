// The Direct3D object: adapters and modes from the backend, format checks and
// device creation. Direct3DCreate9 is the entry point of the "d3d9.dll" module.
#include "platform/d3d9/direct3d.h"

#include <cstdio>
#include <cstring>

#include "platform/d3d9/device.h"
#include "platform/d3d9/formats.h"

namespace plat::d3d9 {

D3DFORMAT ModeFormat(const DisplayMode& mode) {
    return mode.bitsPerPixel == 16 ? D3DFMT_R5G6B5 : D3DFMT_X8R8G8B8;
}

bool IsDeviceType(D3DDEVTYPE type) { return type == D3DDEVTYPE_HAL || type == D3DDEVTYPE_REF; }

Direct3D9::Direct3D9() { Refresh(); }

void Direct3D9::Refresh() {
    std::vector<MonitorDesc> monitors = CurrentBackend().Monitors();
    std::lock_guard<std::mutex> lock(m_lock);
    m_monitors = std::move(monitors);
}

bool Direct3D9::Monitor(UINT adapter, MonitorDesc& out) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (adapter >= m_monitors.size()) return false;
    out = m_monitors[adapter];
    return true;
}

std::vector<D3DDISPLAYMODE> Direct3D9::Modes(UINT adapter, D3DFORMAT format) {
    std::vector<D3DDISPLAYMODE> modes;
    MonitorDesc monitor;
    if (!Monitor(adapter, monitor)) return modes;
    for (const DisplayMode& m : monitor.modes) {
        if (ModeFormat(m) != format || m.width <= 0 || m.height <= 0) continue;
        D3DDISPLAYMODE d{UINT(m.width), UINT(m.height), UINT(m.refreshHz > 0 ? m.refreshHz : 0), format};
        bool seen = false;
        for (const auto& e : modes)
            seen = seen || (e.Width == d.Width && e.Height == d.Height && e.RefreshRate == d.RefreshRate);
        if (!seen) modes.push_back(d);
    }
    return modes;
}

HRESULT Direct3D9::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsUnknownIid(riid) || riid == IID_IDirect3D9) {
        *ppv = static_cast<IDirect3D9*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

UINT Direct3D9::GetAdapterCount() {
    Refresh();
    std::lock_guard<std::mutex> lock(m_lock);
    return UINT(m_monitors.size());
}

HRESULT Direct3D9::GetAdapterIdentifier(UINT Adapter, DWORD, D3DADAPTER_IDENTIFIER9* pIdentifier) {
    MonitorDesc monitor;
    if (!pIdentifier || !Monitor(Adapter, monitor)) return D3DERR_INVALIDCALL;
    std::memset(pIdentifier, 0, sizeof *pIdentifier);
    std::snprintf(pIdentifier->Driver, sizeof pIdentifier->Driver, "tumbral_sw.dll");
    std::snprintf(pIdentifier->Description, sizeof pIdentifier->Description,
                  "Tumbral Software Rasterizer (%s)",
                  monitor.name.empty() ? "Display" : monitor.name.c_str());
    std::snprintf(pIdentifier->DeviceName, sizeof pIdentifier->DeviceName, "\\\\.\\DISPLAY%u", Adapter + 1);
    pIdentifier->DriverVersion.QuadPart = (LONGLONG(9) << 48) | 1;
    pIdentifier->VendorId = 0x7B1;
    pIdentifier->DeviceId = 0x9;
    pIdentifier->DeviceIdentifier =
        GUID{0x7b1d3d09, 0x0001, 0x4a5b, {0x8c, 0x2d, 0, 0, 0, 0, 0, BYTE(Adapter)}};
    pIdentifier->WHQLLevel = 1;
    return S_OK;
}

UINT Direct3D9::GetAdapterModeCount(UINT Adapter, D3DFORMAT Format) {
    return UINT(Modes(Adapter, Format).size());
}

HRESULT Direct3D9::EnumAdapterModes(UINT Adapter, D3DFORMAT Format, UINT Mode, D3DDISPLAYMODE* pMode) {
    if (!pMode) return D3DERR_INVALIDCALL;
    std::vector<D3DDISPLAYMODE> modes = Modes(Adapter, Format);
    if (Mode >= modes.size()) return D3DERR_INVALIDCALL;
    *pMode = modes[Mode];
    return S_OK;
}

HRESULT Direct3D9::GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) {
    MonitorDesc monitor;
    if (!pMode || !Monitor(Adapter, monitor)) return D3DERR_INVALIDCALL;
    const DisplayMode& d = monitor.desktop;
    *pMode =
        D3DDISPLAYMODE{UINT(d.width), UINT(d.height), UINT(d.refreshHz > 0 ? d.refreshHz : 0), ModeFormat(d)};
    return S_OK;
}

HRESULT Direct3D9::CheckDeviceType(UINT Adapter, D3DDEVTYPE DevType, D3DFORMAT AdapterFormat,
                                   D3DFORMAT BackBufferFormat, BOOL bWindowed) {
    MonitorDesc monitor;
    if (!Monitor(Adapter, monitor)) return D3DERR_INVALIDCALL;
    if (!IsDeviceType(DevType)) return D3DERR_NOTAVAILABLE;
    if (!IsDisplayFormat(AdapterFormat)) return D3DERR_NOTAVAILABLE;
    if (BackBufferFormat == D3DFMT_UNKNOWN && bWindowed) BackBufferFormat = AdapterFormat;
    if (!IsBackBufferFormat(BackBufferFormat)) return D3DERR_NOTAVAILABLE;
    if (bWindowed) {
        // Windowed back buffers are converted at present; ten-bit formats are full-screen only.
        if (BackBufferFormat == D3DFMT_A2R10G10B10 || AdapterFormat == D3DFMT_A2R10G10B10)
            return D3DERR_NOTAVAILABLE;
        return S_OK;
    }
    bool matches = BackBufferFormat == AdapterFormat ||
                   (AdapterFormat == D3DFMT_X8R8G8B8 && BackBufferFormat == D3DFMT_A8R8G8B8) ||
                   (AdapterFormat == D3DFMT_X1R5G5B5 && BackBufferFormat == D3DFMT_A1R5G5B5);
    if (!matches || Modes(Adapter, AdapterFormat).empty()) return D3DERR_NOTAVAILABLE;
    return S_OK;
}

HRESULT Direct3D9::CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat,
                                     DWORD Usage, D3DRESOURCETYPE RType, D3DFORMAT CheckFormat) {
    MonitorDesc monitor;
    if (!Monitor(Adapter, monitor)) return D3DERR_INVALIDCALL;
    if (!IsDeviceType(DeviceType)) return D3DERR_NOTAVAILABLE;
    if (!IsDisplayFormat(AdapterFormat)) return D3DERR_NOTAVAILABLE;
    const DWORD unsupportedQueries = D3DUSAGE_QUERY_LEGACYBUMPMAP | D3DUSAGE_QUERY_SRGBREAD |
                                     D3DUSAGE_QUERY_SRGBWRITE | D3DUSAGE_QUERY_VERTEXTEXTURE | D3DUSAGE_DMAP;
    if (Usage & unsupportedQueries) return D3DERR_NOTAVAILABLE;
    switch (RType) {
        case D3DRTYPE_SURFACE:
        case D3DRTYPE_TEXTURE:
        case D3DRTYPE_CUBETEXTURE:
        case D3DRTYPE_VOLUMETEXTURE:
            if (Usage & D3DUSAGE_DEPTHSTENCIL) {
                if (RType != D3DRTYPE_SURFACE || !IsDepthFormat(CheckFormat)) return D3DERR_NOTAVAILABLE;
                return S_OK;
            }
            if (IsDepthFormat(CheckFormat) || !IsTextureFormat(CheckFormat)) return D3DERR_NOTAVAILABLE;
            if ((Usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING)) &&
                (!IsRenderTargetFormat(CheckFormat) || RType == D3DRTYPE_VOLUMETEXTURE))
                return D3DERR_NOTAVAILABLE;
            // Mip levels are generated on request (GenerateMipSubLevels), not automatically.
            if (Usage & D3DUSAGE_AUTOGENMIPMAP) return D3DOK_NOAUTOGEN;
            return S_OK;
        case D3DRTYPE_VERTEXBUFFER:
            return CheckFormat == D3DFMT_VERTEXDATA ? S_OK : D3DERR_NOTAVAILABLE;
        case D3DRTYPE_INDEXBUFFER:
            return (CheckFormat == D3DFMT_INDEX16 || CheckFormat == D3DFMT_INDEX32) ? S_OK
                                                                                    : D3DERR_NOTAVAILABLE;
        default:
            return D3DERR_INVALIDCALL;
    }
}

HRESULT Direct3D9::CheckDeviceMultiSampleType(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT SurfaceFormat,
                                              BOOL, D3DMULTISAMPLE_TYPE MultiSampleType,
                                              DWORD* pQualityLevels) {
    MonitorDesc monitor;
    if (!Monitor(Adapter, monitor)) return D3DERR_INVALIDCALL;
    if (!IsDeviceType(DeviceType)) return D3DERR_NOTAVAILABLE;
    if (!IsRenderTargetFormat(SurfaceFormat) && !IsDepthFormat(SurfaceFormat)) return D3DERR_NOTAVAILABLE;
    // No multisampling is implemented: only "none" is available.
    if (MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_NOTAVAILABLE;
    if (pQualityLevels) *pQualityLevels = 1;
    return S_OK;
}

HRESULT Direct3D9::CheckDepthStencilMatch(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat,
                                          D3DFORMAT RenderTargetFormat, D3DFORMAT DepthStencilFormat) {
    MonitorDesc monitor;
    if (!Monitor(Adapter, monitor)) return D3DERR_INVALIDCALL;
    if (!IsDeviceType(DeviceType) || !IsDisplayFormat(AdapterFormat) ||
        !IsRenderTargetFormat(RenderTargetFormat) || !IsDepthFormat(DepthStencilFormat))
        return D3DERR_NOTAVAILABLE;
    return S_OK;
}

HRESULT Direct3D9::CheckDeviceFormatConversion(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT SourceFormat,
                                               D3DFORMAT TargetFormat) {
    MonitorDesc monitor;
    if (!Monitor(Adapter, monitor)) return D3DERR_INVALIDCALL;
    if (!IsDeviceType(DeviceType) || !IsTextureFormat(SourceFormat) || !IsRenderTargetFormat(TargetFormat))
        return D3DERR_NOTAVAILABLE;
    return S_OK;
}

HRESULT Direct3D9::GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS9* pCaps) {
    MonitorDesc monitor;
    if (!pCaps || !Monitor(Adapter, monitor)) return D3DERR_INVALIDCALL;
    if (!IsDeviceType(DeviceType)) return D3DERR_NOTAVAILABLE;
    FillCaps(Adapter, DeviceType, *pCaps);
    return S_OK;
}

HMONITOR Direct3D9::GetAdapterMonitor(UINT Adapter) {
    MonitorDesc monitor;
    if (!Monitor(Adapter, monitor)) return nullptr;
    POINT centre{(monitor.bounds.left + monitor.bounds.right) / 2,
                 (monitor.bounds.top + monitor.bounds.bottom) / 2};
    return MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST);
}

HRESULT Direct3D9::CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD BehaviorFlags,
                                D3DPRESENT_PARAMETERS* pPresentationParameters,
                                IDirect3DDevice9** ppReturnedDeviceInterface) {
    if (!ppReturnedDeviceInterface || !pPresentationParameters) return D3DERR_INVALIDCALL;
    *ppReturnedDeviceInterface = nullptr;
    MonitorDesc monitor;
    if (!Monitor(Adapter, monitor)) return D3DERR_INVALIDCALL;
    if (!IsDeviceType(DeviceType)) return D3DERR_NOTAVAILABLE;
    DWORD vp = BehaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                D3DCREATE_MIXED_VERTEXPROCESSING);
    if (vp != D3DCREATE_SOFTWARE_VERTEXPROCESSING && vp != D3DCREATE_HARDWARE_VERTEXPROCESSING &&
        vp != D3DCREATE_MIXED_VERTEXPROCESSING)
        return D3DERR_INVALIDCALL;
    if ((BehaviorFlags & D3DCREATE_PUREDEVICE) && vp != D3DCREATE_HARDWARE_VERTEXPROCESSING)
        return D3DERR_INVALIDCALL;
    if (!pPresentationParameters->Windowed && !hFocusWindow) return D3DERR_INVALIDCALL;
    D3DPRESENT_PARAMETERS params = *pPresentationParameters;
    HRESULT hr = ValidatePresentParameters(this, Adapter, hFocusWindow, params);
    if (FAILED(hr)) return hr;
    // A full-screen device needs its window in front. A window the program is
    // about to show (hidden while it turns into a popup, nothing else active)
    // counts as in front, as with the Windows runtime; a minimised window, or
    // another window in front, makes the device lost until that changes.
    HWND hForeground = GetForegroundWindow();
    if (!params.Windowed &&
        (IsIconic(hFocusWindow) || (hForeground != nullptr && hForeground != hFocusWindow)))
        return D3DERR_DEVICELOST;
    Device* device = nullptr;
    hr = Device::Create(this, Adapter, DeviceType, hFocusWindow, BehaviorFlags, params, &device);
    if (FAILED(hr)) return hr;
    *pPresentationParameters = params;
    *ppReturnedDeviceInterface = device;
    return S_OK;
}

}  // namespace plat::d3d9

IDirect3D9* WINAPI Direct3DCreate9(UINT SDKVersion) {
    if ((SDKVersion & 0x7FFFFFFFu) != D3D_SDK_VERSION) return nullptr;
    return new (std::nothrow) plat::d3d9::Direct3D9();
}
