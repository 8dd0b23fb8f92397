// The device catalogue: every adapter, on each the device types that can be
// created, and for each device every combination of adapter format,
// back-buffer format and windowed/full-screen that the platform and the
// application accept, with the depth formats, multisample types, present
// intervals and depth/multisample conflicts valid for it.
//
// Pure data plus a population routine; every platform call goes through the
// Direct3D object's query operations, so any IDirect3D9 can drive it.
#pragma once

#include "common/kit/base/growable_array.h"
#include "common/kit/state/kit_callbacks.h"

class CKitCatalogAdapter;
class CKitCatalogDevice;

// A depth/stencil format and a multisample type that cannot be used together.
struct CKitCatalogConflict {
    D3DFORMAT m_DepthFormat;
    D3DMULTISAMPLE_TYPE m_SampleType;
};

// One usable combination of formats and windowed flag on a device.
class CKitCatalogCombo {
  public:
    UINT m_nOrdinal = 0;  // adapter ordinal
    D3DDEVTYPE m_DeviceType = D3DDEVTYPE(0);
    D3DFORMAT m_AdapterFormat = D3DFMT_UNKNOWN;  // display format
    D3DFORMAT m_BackBufferFormat = D3DFMT_UNKNOWN;
    BOOL m_bWindowed = 0;                               // 1 = windowed
    CGrowableArray<D3DFORMAT> m_DepthFormats;           // usable depth/stencil formats, candidate order
    CGrowableArray<D3DMULTISAMPLE_TYPE> m_SampleTypes;  // usable multisample types, candidate order
    CGrowableArray<DWORD> m_SampleQualities;            // quality levels per entry of m_SampleTypes
    CGrowableArray<UINT> m_PresentIntervals;            // usable present intervals, candidate order
    CGrowableArray<CKitCatalogConflict> m_Conflicts;    // unusable depth/multisample pairs
    CKitCatalogAdapter* m_pAdapter = nullptr;           // owning adapter (not owned)
    CKitCatalogDevice* m_pDevice = nullptr;             // owning device (not owned)
};

// One device type on one adapter.
class CKitCatalogDevice {
  public:
    ~CKitCatalogDevice();

    UINT m_nOrdinal = 0;                         // adapter ordinal
    D3DDEVTYPE m_DeviceType = D3DDEVTYPE(0);     // HAL, SW or REF
    D3DCAPS9 m_Caps{};                           // capabilities as the platform reports them
    CGrowableArray<CKitCatalogCombo*> m_Combos;  // owned combinations
};

// One adapter.
class CKitCatalogAdapter {
  public:
    ~CKitCatalogAdapter();

    UINT m_nOrdinal = 0;                           // adapter ordinal
    D3DADAPTER_IDENTIFIER9 m_Identifier{};         // the platform's identifier record
    WCHAR m_szLabel[256] = {};                     // description, made unique among adapters
    CGrowableArray<D3DDISPLAYMODE> m_Modes;        // modes within the limits, sorted by KitCompareModes
    CGrowableArray<CKitCatalogDevice*> m_Devices;  // owned devices
};

class CKitDeviceCatalog {
  public:
    CKitDeviceCatalog();
    ~CKitDeviceCatalog();
    CKitDeviceCatalog(const CKitDeviceCatalog&) = delete;
    CKitDeviceCatalog& operator=(const CKitDeviceCatalog&) = delete;

    // Discards the contents and rebuilds the catalogue from the Direct3D
    // object (the framework's when null). KITERR_NODIRECT3D when there is
    // none, and then nothing changes.
    HRESULT Populate(IDirect3D9* pD3D, KitAcceptDeviceFn pfnAcceptDevice, void* pAcceptContext);

    CGrowableArray<CKitCatalogAdapter*>* GetAdapters() { return &m_Adapters; }
    CKitCatalogAdapter* FindAdapter(UINT nOrdinal);
    CKitCatalogDevice* FindDevice(UINT nOrdinal, D3DDEVTYPE DeviceType);
    // The first combination of the device with exactly these formats and windowed flag.
    CKitCatalogCombo* GetDeviceSettingsCombo(UINT nOrdinal, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat,
                                             D3DFORMAT BackBufferFormat, BOOL bWindowed);
    void ClearAdapters();

    // Mode limits and the quality cap take effect at the next Populate.
    void SetResolutionRange(UINT nWidthMin, UINT nHeightMin, UINT nWidthMax, UINT nHeightMax);
    void SetRefreshRange(UINT nLow, UINT nHigh);
    void SetQualityCap(UINT nMax);  // clamped to 0xFFFF
    // Read only by the settings dialog.
    void SetAllowedVertexProcessing(bool bSoftware, bool bHardware, bool bPure, bool bMixed);
    void GetAllowedVertexProcessing(bool* pbSoftware, bool* pbHardware, bool* pbPure, bool* pbMixed);

  private:
    HRESULT CollectDevices(CKitCatalogAdapter* pAdapter, const CGrowableArray<D3DFORMAT>& adapterFormats);
    HRESULT CollectCombos(CKitCatalogAdapter* pAdapter, CKitCatalogDevice* pDevice,
                          const CGrowableArray<D3DFORMAT>& adapterFormats);
    HRESULT FillDepthFormats(CKitCatalogCombo* pCombo);
    HRESULT FillSampleTypes(CKitCatalogCombo* pCombo);
    HRESULT FillConflicts(CKitCatalogCombo* pCombo);
    HRESULT FillPresentIntervals(CKitCatalogDevice* pDevice, CKitCatalogCombo* pCombo);
    void LabelAdapters();

    IDirect3D9* m_pDirect3D;  // queried, not owned
    KitAcceptDeviceFn m_pfnAcceptDevice;
    void* m_pAcceptContext;
    bool m_bNeedBlending;  // back buffers must blend after the pixel shader
    CGrowableArray<D3DFORMAT> m_CandidateDepthFormats;
    CGrowableArray<D3DMULTISAMPLE_TYPE> m_CandidateSampleTypes;
    CGrowableArray<UINT> m_CandidateIntervals;
    bool m_bAllowSoftwareVP;
    bool m_bAllowHardwareVP;
    bool m_bAllowPureVP;
    bool m_bAllowMixedVP;
    UINT m_nWidthMin;
    UINT m_nWidthMax;
    UINT m_nHeightMin;
    UINT m_nHeightMax;
    UINT m_nRefreshLow;
    UINT m_nRefreshHigh;
    UINT m_nQualityCap;                              // largest multisample quality level kept
    CGrowableArray<CKitCatalogAdapter*> m_Adapters;  // owned, in ordinal order
};

// The framework's catalogue (kept in the framework state), populated on first
// use and whenever bForce is set, with the framework's Direct3D object and the
// registered device-acceptance callback.
CKitDeviceCatalog* KitPrepareDeviceCatalog(bool bForce = false);
// Adapter format of the first combination with this back-buffer format and
// windowed flag; E_FAIL (and the back-buffer format stored) when there is none.
HRESULT KitLookUpAdapterFormat(UINT nOrdinal, D3DDEVTYPE DeviceType, D3DFORMAT BackBufferFormat,
                               BOOL bWindowed, D3DFORMAT* pAdapterFormat);
// Display-mode order: width, height, format, refresh rate, all ascending;
// negative, 0 or positive.
int KitCompareModes(const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b);
