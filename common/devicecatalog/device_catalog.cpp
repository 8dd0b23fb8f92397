// The device catalogue's records, defaults, limits and lookups. Population
// lives in device_catalog_populate.cpp.
#include <initializer_list>

#include "common/devicecatalog/device_catalog.h"

CKitCatalogDevice::~CKitCatalogDevice() {
    for (int i = 0; i < m_Combos.Length(); ++i) delete m_Combos.GetAt(i);
    m_Combos.Clear();
}

CKitCatalogAdapter::~CKitCatalogAdapter() {
    for (int i = 0; i < m_Devices.Length(); ++i) delete m_Devices.GetAt(i);
    m_Devices.Clear();
}

CKitDeviceCatalog::CKitDeviceCatalog()
    : m_pDirect3D(nullptr),
      m_pfnAcceptDevice(nullptr),
      m_pAcceptContext(nullptr),
      m_bNeedBlending(true),
      m_bAllowSoftwareVP(true),
      m_bAllowHardwareVP(true),
      m_bAllowPureVP(true),
      m_bAllowMixedVP(false),
      m_nWidthMin(640),
      m_nWidthMax(0xFFFFFFFFu),
      m_nHeightMin(480),
      m_nHeightMax(0xFFFFFFFFu),
      m_nRefreshLow(0),
      m_nRefreshHigh(0xFFFFFFFFu),
      m_nQualityCap(0xFFFF) {
    // A failed Add leaves a shorter candidate list: fewer formats are tried, nothing breaks.
    for (D3DFORMAT f : {D3DFMT_D16, D3DFMT_D15S1, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D32})
        m_CandidateDepthFormats.Add(f);
    for (int t = 0; t <= 16; ++t) m_CandidateSampleTypes.Add(static_cast<D3DMULTISAMPLE_TYPE>(t));
    for (UINT interval : {UINT(D3DPRESENT_INTERVAL_IMMEDIATE), UINT(D3DPRESENT_INTERVAL_DEFAULT),
                          UINT(D3DPRESENT_INTERVAL_ONE), UINT(D3DPRESENT_INTERVAL_TWO),
                          UINT(D3DPRESENT_INTERVAL_THREE), UINT(D3DPRESENT_INTERVAL_FOUR)})
        m_CandidateIntervals.Add(interval);
}

CKitDeviceCatalog::~CKitDeviceCatalog() {
    ClearAdapters();
    m_CandidateDepthFormats.Clear();
    m_CandidateSampleTypes.Clear();
    m_CandidateIntervals.Clear();
}

void CKitDeviceCatalog::ClearAdapters() {
    for (int i = 0; i < m_Adapters.Length(); ++i) delete m_Adapters.GetAt(i);
    m_Adapters.Clear();
}

CKitCatalogAdapter* CKitDeviceCatalog::FindAdapter(UINT nOrdinal) {
    for (int i = 0; i < m_Adapters.Length(); ++i) {
        CKitCatalogAdapter* pAdapter = m_Adapters.GetAt(i);
        if (pAdapter->m_nOrdinal == nOrdinal) return pAdapter;
    }
    return nullptr;
}

CKitCatalogDevice* CKitDeviceCatalog::FindDevice(UINT nOrdinal, D3DDEVTYPE DeviceType) {
    CKitCatalogAdapter* pAdapter = FindAdapter(nOrdinal);
    if (pAdapter == nullptr) return nullptr;
    for (int i = 0; i < pAdapter->m_Devices.Length(); ++i) {
        CKitCatalogDevice* pDevice = pAdapter->m_Devices.GetAt(i);
        if (pDevice->m_DeviceType == DeviceType) return pDevice;
    }
    return nullptr;
}

CKitCatalogCombo* CKitDeviceCatalog::GetDeviceSettingsCombo(UINT nOrdinal, D3DDEVTYPE DeviceType,
                                                            D3DFORMAT AdapterFormat,
                                                            D3DFORMAT BackBufferFormat, BOOL bWindowed) {
    CKitCatalogDevice* pDevice = FindDevice(nOrdinal, DeviceType);
    if (pDevice == nullptr) return nullptr;
    for (int i = 0; i < pDevice->m_Combos.Length(); ++i) {
        CKitCatalogCombo* pCombo = pDevice->m_Combos.GetAt(i);
        // Any non-zero windowed flag means windowed; combinations store 0 or 1.
        if (pCombo->m_AdapterFormat == AdapterFormat && pCombo->m_BackBufferFormat == BackBufferFormat &&
            pCombo->m_bWindowed == (bWindowed ? 1 : 0))
            return pCombo;
    }
    return nullptr;
}

void CKitDeviceCatalog::SetResolutionRange(UINT nWidthMin, UINT nHeightMin, UINT nWidthMax, UINT nHeightMax) {
    m_nWidthMin = nWidthMin;
    m_nHeightMin = nHeightMin;
    m_nWidthMax = nWidthMax;
    m_nHeightMax = nHeightMax;
}

void CKitDeviceCatalog::SetRefreshRange(UINT nLow, UINT nHigh) {
    m_nRefreshLow = nLow;
    m_nRefreshHigh = nHigh;
}

void CKitDeviceCatalog::SetQualityCap(UINT nMax) { m_nQualityCap = nMax > 0xFFFF ? 0xFFFF : nMax; }

void CKitDeviceCatalog::SetAllowedVertexProcessing(bool bSoftware, bool bHardware, bool bPure, bool bMixed) {
    m_bAllowSoftwareVP = bSoftware;
    m_bAllowHardwareVP = bHardware;
    m_bAllowPureVP = bPure;
    m_bAllowMixedVP = bMixed;
}

void CKitDeviceCatalog::GetAllowedVertexProcessing(bool* pbSoftware, bool* pbHardware, bool* pbPure,
                                                   bool* pbMixed) {
    if (pbSoftware) *pbSoftware = m_bAllowSoftwareVP;
    if (pbHardware) *pbHardware = m_bAllowHardwareVP;
    if (pbPure) *pbPure = m_bAllowPureVP;
    if (pbMixed) *pbMixed = m_bAllowMixedVP;
}

int KitCompareModes(const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b) {
    auto order = [](UINT x, UINT y) { return x < y ? -1 : (x > y ? 1 : 0); };
    if (int c = order(a.Width, b.Width)) return c;
    if (int c = order(a.Height, b.Height)) return c;
    if (int c = order(UINT(a.Format), UINT(b.Format))) return c;
    return order(a.RefreshRate, b.RefreshRate);
}
