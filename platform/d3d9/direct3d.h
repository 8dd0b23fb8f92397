// The Direct3D object: adapters (one per backend monitor), display modes,
// capabilities, format checks and device creation.
#pragma once

#include <mutex>
#include <vector>

#include "platform/backend/backend_table.h"
#include "platform/win32/device_bridge.h"
#include "platform/d3d9/com_object.h"

namespace plat::d3d9 {

class Direct3D9 final : public ComObject<IDirect3D9> {
  public:
    Direct3D9();

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    UINT GetAdapterCount() override;
    HRESULT GetAdapterIdentifier(UINT Adapter, DWORD Flags, D3DADAPTER_IDENTIFIER9* pIdentifier) override;
    UINT GetAdapterModeCount(UINT Adapter, D3DFORMAT Format) override;
    HRESULT EnumAdapterModes(UINT Adapter, D3DFORMAT Format, UINT Mode, D3DDISPLAYMODE* pMode) override;
    HRESULT GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) override;
    HRESULT CheckDeviceType(UINT Adapter, D3DDEVTYPE DevType, D3DFORMAT AdapterFormat,
                            D3DFORMAT BackBufferFormat, BOOL bWindowed) override;
    HRESULT CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat, DWORD Usage,
                              D3DRESOURCETYPE RType, D3DFORMAT CheckFormat) override;
    HRESULT CheckDeviceMultiSampleType(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT SurfaceFormat,
                                       BOOL Windowed, D3DMULTISAMPLE_TYPE MultiSampleType,
                                       DWORD* pQualityLevels) override;
    HRESULT CheckDepthStencilMatch(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat,
                                   D3DFORMAT RenderTargetFormat, D3DFORMAT DepthStencilFormat) override;
    HRESULT CheckDeviceFormatConversion(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT SourceFormat,
                                        D3DFORMAT TargetFormat) override;
    HRESULT GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS9* pCaps) override;
    HMONITOR GetAdapterMonitor(UINT Adapter) override;
    HRESULT CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD BehaviorFlags,
                         D3DPRESENT_PARAMETERS* pPresentationParameters,
                         IDirect3DDevice9** ppReturnedDeviceInterface) override;

    // Internal: a snapshot of one adapter's monitor; false for an unknown ordinal.
    bool Monitor(UINT adapter, MonitorDesc& out);
    // The display modes of a format, in the backend's order without repeats.
    std::vector<D3DDISPLAYMODE> Modes(UINT adapter, D3DFORMAT format);

  private:
    ~Direct3D9() override = default;
    void Refresh();

    std::mutex m_lock;
    std::vector<MonitorDesc> m_monitors;
};

// Capabilities of our software device (HAL and REF alike).
void FillCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9& caps);
// Display format of a backend mode.
D3DFORMAT ModeFormat(const DisplayMode& mode);
bool IsDeviceType(D3DDEVTYPE type);  // HAL or REF

}  // namespace plat::d3d9
