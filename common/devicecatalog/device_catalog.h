// The device catalogue: every adapter, on each the device types that can be
// created, and for each device every combination of adapter format,
// back-buffer format and windowed/full-screen that the platform and the
// application accept, with the depth formats, multisample types, present
// intervals and depth/multisample conflicts valid for it.
#pragma once

#include "kit/kit_callbacks.h"
#include "kitmisc/growable_array.h"

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
    UINT m_nOrdinal;                                   // adapter ordinal
    D3DDEVTYPE m_DeviceType;
    D3DFORMAT m_AdapterFormat;                         // display format
    D3DFORMAT m_BackBufferFormat;
    BOOL m_bWindowed;                                  // 1 = windowed
    CGrowableArray<D3DFORMAT> m_DepthFormats;          // usable depth/stencil formats, candidate order
    CGrowableArray<D3DMULTISAMPLE_TYPE> m_SampleTypes;  // usable multisample types, candidate order
    CGrowableArray<DWORD> m_SampleQualities;           // quality levels per entry of m_SampleTypes
    CGrowableArray<UINT> m_PresentIntervals;           // usable present intervals, candidate order
    CGrowableArray<CKitCatalogConflict> m_Conflicts;   // unusable depth/multisample pairs
    CKitCatalogAdapter* m_pAdapter;                    // owning adapter (not owned)
    CKitCatalogDevice* m_pDevice;                      // owning device (not owned)
};

// One device type on one adapter.
class CKitCatalogDevice {
public:
    ~CKitCatalogDevice();

    UINT m_nOrdinal;                            // adapter ordinal
    D3DDEVTYPE m_DeviceType;                    // HAL, SW or REF
    D3DCAPS9 m_Caps;                            // capabilities as the platform reports them
    CGrowableArray<CKitCatalogCombo*> m_Combos;  // owned combinations
};

// One adapter.
class CKitCatalogAdapter {
public:
    ~CKitCatalogAdapter();

    UINT m_nOrdinal;                              // adapter ordinal
    D3DADAPTER_IDENTIFIER9 m_Identifier;          // the platform's identifier record
    WCHAR m_szLabel[256];                         // description, made unique among adapters
    CGrowableArray<D3DDISPLAYMODE> m_Modes;       // modes within the limits, sorted by KitCompareModes
    CGrowableArray<CKitCatalogDevice*> m_Devices;  // owned devices
};

class CKitDeviceCatalog {
public:
    CKitDeviceCatalog();
    ~CKitDeviceCatalog();

    // Discards the contents and rebuilds the catalogue from the Direct3D object.
    HRESULT Populate(IDirect3D9* pD3D, KitAcceptDeviceFn pfnAcceptDevice, void* pAcceptContext);

    CGrowableArray<CKitCatalogAdapter*>* GetAdapters() { return &m_Adapters; }
    CKitCatalogAdapter* FindAdapter(UINT nOrdinal);
    CKitCatalogDevice* FindDevice(UINT nOrdinal, D3DDEVTYPE DeviceType);
    CKitCatalogCombo* GetDeviceSettingsCombo(UINT nOrdinal, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat,
                                             D3DFORMAT BackBufferFormat, BOOL bWindowed);
    void ClearAdapters();

    void SetResolutionRange(UINT nWidthMin, UINT nHeightMin, UINT nWidthMax, UINT nHeightMax);
    void SetRefreshRange(UINT nLow, UINT nHigh);
    void SetQualityCap(UINT nMax);
    void SetAllowedVertexProcessing(bool bSoftware, bool bHardware, bool bPure, bool bMixed);
    void GetAllowedVertexProcessing(bool* pbSoftware, bool* pbHardware, bool* pbPure, bool* pbMixed);

private:
    IDirect3D9* m_pDirect3D;
    KitAcceptDeviceFn m_pfnAcceptDevice;
    void* m_pAcceptContext;
    bool m_bNeedBlending;
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
    UINT m_nQualityCap;
    CGrowableArray<CKitCatalogAdapter*> m_Adapters;
};

// The framework's catalogue, populated on first use and whenever bForce is set.
CKitDeviceCatalog* KitPrepareDeviceCatalog(bool bForce = false);
// Adapter format of the first combination with this back-buffer format and windowed flag.
HRESULT KitLookUpAdapterFormat(UINT nOrdinal, D3DDEVTYPE DeviceType, D3DFORMAT BackBufferFormat, BOOL bWindowed,
                               D3DFORMAT* pAdapterFormat);
// Display-mode order: width, height, format, refresh rate, all ascending.
int KitCompareModes(const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b);
