// Catalogue population: adapters and their modes, the device types that can
// really be created, the format combinations the platform and the application
// accept, and what each combination offers. Platform query failures leave the
// adapter, device type or combination concerned out; they never abort.
#include <algorithm>
#include <initializer_list>
#include <cstring>
#include <new>

#include "common/devicecatalog/device_catalog.h"
#include "common/kit/errors/kit_errors.h"
#include "common/kit/state/kit_getters.h"

namespace {

// Display formats an adapter may use, in the order they are enumerated.
constexpr D3DFORMAT kAdapterFormats[] = {D3DFMT_X8R8G8B8, D3DFMT_X1R5G5B5, D3DFMT_R5G6B5, D3DFMT_A2R10G10B10};
// Back-buffer formats tried on every adapter format.
constexpr D3DFORMAT kBackBufferFormats[] = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_A2R10G10B10,
                                            D3DFMT_R5G6B5,   D3DFMT_A1R5G5B5, D3DFMT_X1R5G5B5};
// Device types tried on every adapter.
constexpr D3DDEVTYPE kDeviceTypes[] = {D3DDEVTYPE_HAL, D3DDEVTYPE_SW, D3DDEVTYPE_REF};

HRESULT AddUnique(CGrowableArray<D3DFORMAT>& list, D3DFORMAT format) {
    return list.Has(format) ? S_OK : list.Add(format);
}

// The description need not be terminated within its buffer.
size_t DescriptionLength(const D3DADAPTER_IDENTIFIER9& id) {
    return strnlen(id.Description, sizeof id.Description);
}

bool SameDescriptionIgnoringCase(const D3DADAPTER_IDENTIFIER9& a, const D3DADAPTER_IDENTIFIER9& b) {
    size_t n = DescriptionLength(a);
    if (n != DescriptionLength(b)) return false;
    for (size_t i = 0; i < n; ++i) {
        auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (fold(a.Description[i]) != fold(b.Description[i])) return false;
    }
    return true;
}

}  // namespace

HRESULT CKitDeviceCatalog::Populate(IDirect3D9* pD3D, KitAcceptDeviceFn pfnAcceptDevice,
                                    void* pAcceptContext) {
    if (pD3D == nullptr) pD3D = KitGetD3DObject();
    if (pD3D == nullptr) return KITERR_NODIRECT3D;
    m_pDirect3D = pD3D;
    m_pfnAcceptDevice = pfnAcceptDevice;
    m_pAcceptContext = pAcceptContext;

    ClearAdapters();

    UINT nAdapterCount = m_pDirect3D->GetAdapterCount();
    for (UINT nOrdinal = 0; nOrdinal < nAdapterCount; ++nOrdinal) {
        CKitCatalogAdapter* pAdapter = new (std::nothrow) CKitCatalogAdapter();
        if (pAdapter == nullptr) return E_OUTOFMEMORY;
        pAdapter->m_nOrdinal = nOrdinal;
        m_pDirect3D->GetAdapterIdentifier(nOrdinal, 0, &pAdapter->m_Identifier);

        // Adapter formats that have at least one mode within the limits, plus the desktop's.
        CGrowableArray<D3DFORMAT> adapterFormats;
        bool bListsOk = true;
        for (D3DFORMAT format : kAdapterFormats) {
            UINT nModeCount = m_pDirect3D->GetAdapterModeCount(nOrdinal, format);
            for (UINT nMode = 0; nMode < nModeCount; ++nMode) {
                D3DDISPLAYMODE mode{};
                if (FAILED(m_pDirect3D->EnumAdapterModes(nOrdinal, format, nMode, &mode))) continue;
                if (mode.Width < m_nWidthMin || mode.Height < m_nHeightMin || mode.Width > m_nWidthMax ||
                    mode.Height > m_nHeightMax || mode.RefreshRate < m_nRefreshLow ||
                    mode.RefreshRate > m_nRefreshHigh)
                    continue;
                bListsOk = bListsOk && SUCCEEDED(pAdapter->m_Modes.Add(mode)) &&
                           SUCCEEDED(AddUnique(adapterFormats, mode.Format));
            }
        }
        D3DDISPLAYMODE desktop{};
        if (SUCCEEDED(m_pDirect3D->GetAdapterDisplayMode(nOrdinal, &desktop)))
            bListsOk = bListsOk && SUCCEEDED(AddUnique(adapterFormats, desktop.Format));
        if (!bListsOk) {
            // Out of memory while listing: the adapter would be described wrongly, so leave it out.
            delete pAdapter;
            continue;
        }

        D3DDISPLAYMODE* pModes = pAdapter->m_Modes.Data();
        if (pModes != nullptr)
            std::stable_sort(
                pModes, pModes + pAdapter->m_Modes.Length(),
                [](const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b) { return KitCompareModes(a, b) < 0; });

        if (FAILED(CollectDevices(pAdapter, adapterFormats)) || pAdapter->m_Devices.Length() == 0) {
            delete pAdapter;
            continue;
        }
        HRESULT hr = m_Adapters.Add(pAdapter);
        if (FAILED(hr)) {
            delete pAdapter;
            return hr;
        }
    }

    LabelAdapters();
    return S_OK;
}

void CKitDeviceCatalog::LabelAdapters() {
    bool bUnique = true;
    for (int i = 0; i < m_Adapters.Length() && bUnique; ++i)
        for (int j = i + 1; j < m_Adapters.Length() && bUnique; ++j)
            if (SameDescriptionIgnoringCase(m_Adapters.GetAt(i)->m_Identifier,
                                            m_Adapters.GetAt(j)->m_Identifier))
                bUnique = false;

    for (int i = 0; i < m_Adapters.Length(); ++i) {
        CKitCatalogAdapter* pAdapter = m_Adapters.GetAt(i);
        // At most 100 characters of the description are kept.
        WCHAR strWide[sizeof(D3DADAPTER_IDENTIFIER9::Description) + 1];
        int cch = MultiByteToWideChar(CP_ACP, 0, pAdapter->m_Identifier.Description,
                                      static_cast<int>(DescriptionLength(pAdapter->m_Identifier)), strWide,
                                      static_cast<int>(sizeof(D3DADAPTER_IDENTIFIER9::Description)));
        if (cch < 0) cch = 0;
        if (cch > 100) cch = 100;
        std::memcpy(pAdapter->m_szLabel, strWide, sizeof(WCHAR) * static_cast<size_t>(cch));
        pAdapter->m_szLabel[cch] = L'\0';
        pAdapter->m_szLabel[100] = L'\0';
        if (!bUnique) {
            WCHAR strSuffix[100];
            StringCchPrintfW(strSuffix, 100, L" (#%d)", static_cast<int>(pAdapter->m_nOrdinal));
            StringCchCatW(pAdapter->m_szLabel, 256, strSuffix);
        }
    }
}

HRESULT CKitDeviceCatalog::CollectDevices(CKitCatalogAdapter* pAdapter,
                                          const CGrowableArray<D3DFORMAT>& adapterFormats) {
    for (D3DDEVTYPE type : kDeviceTypes) {
        CKitCatalogDevice* pDevice = new (std::nothrow) CKitCatalogDevice();
        if (pDevice == nullptr) return E_OUTOFMEMORY;
        pDevice->m_nOrdinal = pAdapter->m_nOrdinal;
        pDevice->m_DeviceType = type;
        if (FAILED(m_pDirect3D->GetDeviceCaps(pAdapter->m_nOrdinal, type, &pDevice->m_Caps))) {
            delete pDevice;
            continue;
        }

        // Prove the type can be created with a 1 x 1 windowed device on the primary's format.
        D3DDISPLAYMODE primary{};
        m_pDirect3D->GetAdapterDisplayMode(0, &primary);
        D3DPRESENT_PARAMETERS pp{};
        pp.BackBufferWidth = 1;
        pp.BackBufferHeight = 1;
        pp.BackBufferFormat = primary.Format;
        pp.BackBufferCount = 1;
        pp.SwapEffect = D3DSWAPEFFECT_COPY;
        pp.hDeviceWindow = KitFocusWindow();
        pp.Windowed = 1;
        IDirect3DDevice9* pTestDevice = nullptr;
        HRESULT hr = m_pDirect3D->CreateDevice(pAdapter->m_nOrdinal, type, KitFocusWindow(),
                                               D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &pTestDevice);
        if (pTestDevice != nullptr) pTestDevice->Release();
        if (hr == D3DERR_NOTAVAILABLE) {
            delete pDevice;
            continue;
        }

        if (FAILED(CollectCombos(pAdapter, pDevice, adapterFormats)) || pDevice->m_Combos.Length() == 0 ||
            FAILED(pAdapter->m_Devices.Add(pDevice)))
            delete pDevice;
    }
    return S_OK;
}

HRESULT CKitDeviceCatalog::CollectCombos(CKitCatalogAdapter* pAdapter, CKitCatalogDevice* pDevice,
                                         const CGrowableArray<D3DFORMAT>& adapterFormats) {
    for (int iFormat = 0; iFormat < adapterFormats.Length(); ++iFormat) {
        D3DFORMAT adapterFormat = adapterFormats.GetAt(iFormat);
        for (D3DFORMAT backBufferFormat : kBackBufferFormats) {
            for (BOOL bWindowed : {0, 1}) {
                if (!bWindowed && pAdapter->m_Modes.Length() == 0) continue;
                if (FAILED(m_pDirect3D->CheckDeviceType(pAdapter->m_nOrdinal, pDevice->m_DeviceType,
                                                        adapterFormat, backBufferFormat, bWindowed)))
                    continue;
                if (m_bNeedBlending &&
                    FAILED(m_pDirect3D->CheckDeviceFormat(
                        pAdapter->m_nOrdinal, pDevice->m_DeviceType, adapterFormat,
                        D3DUSAGE_QUERY_POSTPIXELSHADER_BLENDING, D3DRTYPE_TEXTURE, backBufferFormat)))
                    continue;
                if (m_pfnAcceptDevice != nullptr &&
                    !m_pfnAcceptDevice(&pDevice->m_Caps, adapterFormat, backBufferFormat, bWindowed != 0,
                                       m_pAcceptContext))
                    continue;

                CKitCatalogCombo* pCombo = new (std::nothrow) CKitCatalogCombo();
                if (pCombo == nullptr) return E_OUTOFMEMORY;
                pCombo->m_nOrdinal = pAdapter->m_nOrdinal;
                pCombo->m_DeviceType = pDevice->m_DeviceType;
                pCombo->m_AdapterFormat = adapterFormat;
                pCombo->m_BackBufferFormat = backBufferFormat;
                pCombo->m_bWindowed = bWindowed ? 1 : 0;

                HRESULT hr = FillDepthFormats(pCombo);
                if (SUCCEEDED(hr)) hr = FillSampleTypes(pCombo);
                if (SUCCEEDED(hr) && pCombo->m_SampleTypes.Length() == 0) {
                    delete pCombo;
                    continue;
                }
                if (SUCCEEDED(hr)) hr = FillConflicts(pCombo);
                if (SUCCEEDED(hr)) hr = FillPresentIntervals(pDevice, pCombo);
                pCombo->m_pAdapter = pAdapter;
                pCombo->m_pDevice = pDevice;
                if (SUCCEEDED(hr)) hr = pDevice->m_Combos.Add(pCombo);
                if (FAILED(hr)) {
                    delete pCombo;
                    return hr;
                }
            }
        }
    }
    return S_OK;
}

HRESULT CKitDeviceCatalog::FillDepthFormats(CKitCatalogCombo* pCombo) {
    for (int i = 0; i < m_CandidateDepthFormats.Length(); ++i) {
        D3DFORMAT depthFormat = m_CandidateDepthFormats.GetAt(i);
        if (FAILED(m_pDirect3D->CheckDeviceFormat(pCombo->m_nOrdinal, pCombo->m_DeviceType,
                                                  pCombo->m_AdapterFormat, D3DUSAGE_DEPTHSTENCIL,
                                                  D3DRTYPE_SURFACE, depthFormat)))
            continue;
        if (FAILED(m_pDirect3D->CheckDepthStencilMatch(pCombo->m_nOrdinal, pCombo->m_DeviceType,
                                                       pCombo->m_AdapterFormat, pCombo->m_BackBufferFormat,
                                                       depthFormat)))
            continue;
        HRESULT hr = pCombo->m_DepthFormats.Add(depthFormat);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT CKitDeviceCatalog::FillSampleTypes(CKitCatalogCombo* pCombo) {
    for (int i = 0; i < m_CandidateSampleTypes.Length(); ++i) {
        D3DMULTISAMPLE_TYPE sampleType = m_CandidateSampleTypes.GetAt(i);
        DWORD dwQualityCount = 0;
        if (FAILED(m_pDirect3D->CheckDeviceMultiSampleType(pCombo->m_nOrdinal, pCombo->m_DeviceType,
                                                           pCombo->m_BackBufferFormat, pCombo->m_bWindowed,
                                                           sampleType, &dwQualityCount)))
            continue;
        HRESULT hr = pCombo->m_SampleTypes.Add(sampleType);
        if (FAILED(hr)) return hr;
        // The cap is at most 0xFFFF, so cap + 1 cannot wrap.
        hr = pCombo->m_SampleQualities.Add(std::min<DWORD>(dwQualityCount, m_nQualityCap + 1));
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT CKitDeviceCatalog::FillConflicts(CKitCatalogCombo* pCombo) {
    for (int iDepth = 0; iDepth < pCombo->m_DepthFormats.Length(); ++iDepth) {
        D3DFORMAT depthFormat = pCombo->m_DepthFormats.GetAt(iDepth);
        for (int iType = 0; iType < pCombo->m_SampleTypes.Length(); ++iType) {
            D3DMULTISAMPLE_TYPE sampleType = pCombo->m_SampleTypes.GetAt(iType);
            if (SUCCEEDED(m_pDirect3D->CheckDeviceMultiSampleType(pCombo->m_nOrdinal, pCombo->m_DeviceType,
                                                                  depthFormat, pCombo->m_bWindowed,
                                                                  sampleType, nullptr)))
                continue;
            HRESULT hr = pCombo->m_Conflicts.Add(CKitCatalogConflict{depthFormat, sampleType});
            if (FAILED(hr)) return hr;
        }
    }
    return S_OK;
}

HRESULT CKitDeviceCatalog::FillPresentIntervals(CKitCatalogDevice* pDevice, CKitCatalogCombo* pCombo) {
    for (int i = 0; i < m_CandidateIntervals.Length(); ++i) {
        UINT interval = m_CandidateIntervals.GetAt(i);
        // Intervals above one frame only make sense full screen.
        if (pCombo->m_bWindowed &&
            (interval == D3DPRESENT_INTERVAL_TWO || interval == D3DPRESENT_INTERVAL_THREE ||
             interval == D3DPRESENT_INTERVAL_FOUR))
            continue;
        if (interval != D3DPRESENT_INTERVAL_DEFAULT &&
            (pDevice->m_Caps.PresentationIntervals & interval) == 0)
            continue;
        HRESULT hr = pCombo->m_PresentIntervals.Add(interval);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}
