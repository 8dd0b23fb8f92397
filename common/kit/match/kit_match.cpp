// Settings matching: the search over every combination of the catalogue, the
// ideal record it scores against, the filter for fields that must be kept,
// and the score.
#include "common/kit/match/kit_match.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "common/kit/errors/kit_errors.h"
#include "common/kit/match/kit_match_bits.h"
#include "common/kit/match/kit_match_result.h"
#include "common/kit/match/kit_match_support.h"
#include "common/kit/state/kit_getters.h"

using kitmatch::AdapterHasRefresh;
using kitmatch::AdapterHasSize;
using kitmatch::ComboHasSampleQuality;

namespace {

bool IsAllAny(const KitSettingsRules& r) {
    const KitRule all[] = {r.ruleAdapter,          r.ruleDeviceType,       r.ruleWindowed,
                           r.ruleAdapterFormat,    r.ruleVertexProcessing, r.ruleResolution,
                           r.ruleBackBufferFormat, r.ruleBackBufferCount,  r.ruleMultisample,
                           r.ruleSwapEffect,       r.ruleDepthBits,        r.ruleStencilBits,
                           r.rulePresentFlags,     r.ruleRefreshRate,      r.rulePresentInterval};
    return std::all_of(std::begin(all), std::end(all), [](KitRule rule) { return rule == KITRULE_ANY; });
}

// Points for a format that is close but not equal: 0.9 less 0.2 per colour bit of difference, never below 0.
float FormatNearness(D3DFORMAT a, D3DFORMAT b) {
    int diff = std::abs(static_cast<int>(KitColorBitsOf(a)) - static_cast<int>(KitColorBitsOf(b)));
    return static_cast<float>(std::max(0.9 - 0.2 * diff, 0.0));
}

}  // namespace

HRESULT KitFindValidDeviceSettings(KitDeviceSetup* pOut, const KitDeviceSetup* pIn,
                                   const KitSettingsRules* pRules) {
    if (pOut == nullptr) return KIT_LOG_FAILURE_POPUP(L"KitFindValidDeviceSettings", E_INVALIDARG);
    // Without a request only "any" rules can be honoured.
    if (pIn == nullptr && pRules != nullptr && !IsAllAny(*pRules))
        return KIT_LOG_FAILURE_POPUP(L"KitFindValidDeviceSettings", E_INVALIDARG);

    CKitDeviceCatalog* pCatalog = KitPrepareDeviceCatalog();
    if (KitGetD3DObject() == nullptr) return KITERR_NODIRECT3D;

    KitDeviceSetup ideal = KitComposeIdealSettings(pIn, pRules);

    float fBestScore = -1.0f;
    CKitCatalogCombo* pBest = nullptr;
    CGrowableArray<CKitCatalogAdapter*>* pAdapters = pCatalog->GetAdapters();
    for (int iAdapter = 0; iAdapter < pAdapters->Length(); ++iAdapter) {
        CKitCatalogAdapter* pAdapter = pAdapters->GetAt(iAdapter);
        D3DDISPLAYMODE desktop = kitmatch::DesktopModeOf(pAdapter->m_nOrdinal);
        for (int iDevice = 0; iDevice < pAdapter->m_Devices.Length(); ++iDevice) {
            CKitCatalogDevice* pDevice = pAdapter->m_Devices.GetAt(iDevice);
            for (int iCombo = 0; iCombo < pDevice->m_Combos.Length(); ++iCombo) {
                CKitCatalogCombo* pCombo = pDevice->m_Combos.GetAt(iCombo);
                // A window is shown in the desktop's format.
                if (pCombo->m_bWindowed && pCombo->m_AdapterFormat != desktop.Format) continue;
                if (!KitComboKeepsRequired(pCombo, pIn, pRules)) continue;
                float fScore = KitScoreCombo(pCombo, &ideal, &desktop);
                if (fScore > fBestScore) {
                    fBestScore = fScore;
                    pBest = pCombo;
                }
            }
        }
    }
    if (pBest == nullptr) return KITERR_NOCOMPATIBLEDEVICES;

    // pOut may be the request itself: build the result completely before writing it.
    KitDeviceSetup result = KitSettingsFromCombo(pBest, pIn, pRules);
    *pOut = result;
    return S_OK;
}

KitDeviceSetup KitComposeIdealSettings(const KitDeviceSetup* pIn, const KitSettingsRules* pRules) {
    const KitSettingsRules rules = kitmatch::RulesInForce(pIn, pRules);
    const KitDeviceSetup req = kitmatch::RequestOrZero(pIn);
    const D3DPRESENT_PARAMETERS& rpp = req.PresentParams;
    KitDeviceSetup ideal{};
    D3DPRESENT_PARAMETERS& pp = ideal.PresentParams;

    ideal.AdapterOrdinal = rules.ruleAdapter == KITRULE_ANY ? 0 : req.AdapterOrdinal;
    ideal.DeviceType = rules.ruleDeviceType == KITRULE_ANY ? D3DDEVTYPE_HAL : req.DeviceType;
    pp.Windowed = rules.ruleWindowed == KITRULE_ANY ? 1 : rpp.Windowed;

    if (rules.ruleAdapterFormat == KITRULE_ANY) {
        D3DDISPLAYMODE desktop = kitmatch::DesktopModeOf(ideal.AdapterOrdinal);
        if (pp.Windowed || KitColorBitsOf(desktop.Format) >= 8)
            ideal.AdapterFormat = desktop.Format;
        else
            ideal.AdapterFormat = D3DFMT_X8R8G8B8;
    } else {
        ideal.AdapterFormat = req.AdapterFormat;
    }

    ideal.BehaviorFlags = rules.ruleVertexProcessing == KITRULE_ANY
                              ? DWORD(D3DCREATE_HARDWARE_VERTEXPROCESSING)
                              : req.BehaviorFlags;

    if (rules.ruleResolution == KITRULE_ANY) {
        if (pp.Windowed) {
            pp.BackBufferWidth = 640;
            pp.BackBufferHeight = 480;
        } else {
            D3DDISPLAYMODE desktop = kitmatch::DesktopModeOf(ideal.AdapterOrdinal);
            pp.BackBufferWidth = desktop.Width;
            pp.BackBufferHeight = desktop.Height;
        }
    } else {
        pp.BackBufferWidth = rpp.BackBufferWidth;
        pp.BackBufferHeight = rpp.BackBufferHeight;
    }

    pp.BackBufferFormat =
        rules.ruleBackBufferFormat == KITRULE_ANY ? ideal.AdapterFormat : rpp.BackBufferFormat;
    pp.BackBufferCount = rules.ruleBackBufferCount == KITRULE_ANY ? 2 : rpp.BackBufferCount;
    if (rules.ruleMultisample == KITRULE_ANY) {
        pp.MultiSampleType = D3DMULTISAMPLE_NONE;
        pp.MultiSampleQuality = 0;
    } else {
        pp.MultiSampleType = rpp.MultiSampleType;
        pp.MultiSampleQuality = rpp.MultiSampleQuality;
    }
    pp.SwapEffect = rules.ruleSwapEffect == KITRULE_ANY ? D3DSWAPEFFECT_DISCARD : rpp.SwapEffect;

    if (rules.ruleDepthBits != KITRULE_ANY || rules.ruleStencilBits != KITRULE_ANY)
        pp.AutoDepthStencilFormat = rpp.AutoDepthStencilFormat;
    else
        pp.AutoDepthStencilFormat = KitColorBitsOf(pp.BackBufferFormat) >= 8 ? D3DFMT_D32 : D3DFMT_D16;

    pp.Flags = rules.rulePresentFlags == KITRULE_ANY ? DWORD(D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL) : rpp.Flags;
    pp.FullScreen_RefreshRateInHz = rules.ruleRefreshRate == KITRULE_ANY ? 0 : rpp.FullScreen_RefreshRateInHz;
    pp.PresentationInterval = rules.rulePresentInterval == KITRULE_ANY ? UINT(D3DPRESENT_INTERVAL_DEFAULT)
                                                                       : rpp.PresentationInterval;
    return ideal;
}

bool KitComboKeepsRequired(const CKitCatalogCombo* pCombo, const KitDeviceSetup* pIn,
                           const KitSettingsRules* pRules) {
    const KitSettingsRules rules = kitmatch::RulesInForce(pIn, pRules);
    const KitDeviceSetup req = kitmatch::RequestOrZero(pIn);
    const D3DPRESENT_PARAMETERS& rpp = req.PresentParams;
    const CKitCatalogAdapter* pAdapter = pCombo->m_pAdapter;
    auto keep = [](KitRule rule) { return rule == KITRULE_KEEP; };

    if (keep(rules.ruleAdapter) && pCombo->m_nOrdinal != req.AdapterOrdinal) return false;
    if (keep(rules.ruleDeviceType) && pCombo->m_DeviceType != req.DeviceType) return false;
    if (keep(rules.ruleWindowed) && (pCombo->m_bWindowed != 0) != (rpp.Windowed != 0)) return false;
    if (keep(rules.ruleAdapterFormat) && pCombo->m_AdapterFormat != req.AdapterFormat) return false;
    if (keep(rules.ruleVertexProcessing) && (req.BehaviorFlags & D3DCREATE_HARDWARE_VERTEXPROCESSING) &&
        (pCombo->m_pDevice->m_Caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) == 0)
        return false;
    if (keep(rules.ruleResolution) &&
        !AdapterHasSize(pAdapter, pCombo->m_AdapterFormat, rpp.BackBufferWidth, rpp.BackBufferHeight))
        return false;
    if (keep(rules.ruleBackBufferFormat) && pCombo->m_BackBufferFormat != rpp.BackBufferFormat) return false;
    if (keep(rules.ruleMultisample) &&
        !ComboHasSampleQuality(pCombo, rpp.MultiSampleType, rpp.MultiSampleQuality))
        return false;

    D3DFORMAT depth = rpp.AutoDepthStencilFormat;
    if (depth != D3DFMT_UNKNOWN) {
        bool bExact = false, bSameDepth = false, bSameStencil = false;
        for (int i = 0; i < pCombo->m_DepthFormats.Length(); ++i) {
            D3DFORMAT listed = pCombo->m_DepthFormats.GetAt(i);
            bExact = bExact || listed == depth;
            bSameDepth = bSameDepth || KitDepthBitsOf(listed) == KitDepthBitsOf(depth);
            bSameStencil = bSameStencil || KitStencilBitsOf(listed) == KitStencilBitsOf(depth);
        }
        if (keep(rules.ruleDepthBits) && keep(rules.ruleStencilBits) && !bExact) return false;
        if (keep(rules.ruleDepthBits) && !bSameDepth) return false;
        if (keep(rules.ruleStencilBits) && !bSameStencil) return false;
    }

    if (keep(rules.ruleRefreshRate) &&
        !AdapterHasRefresh(pAdapter, pCombo->m_AdapterFormat, rpp.FullScreen_RefreshRateInHz))
        return false;
    if (keep(rules.rulePresentInterval) && !pCombo->m_PresentIntervals.Has(rpp.PresentationInterval))
        return false;
    return true;
}

float KitScoreCombo(const CKitCatalogCombo* pCombo, const KitDeviceSetup* pIdeal,
                    const D3DDISPLAYMODE* pDesktopMode) {
    const D3DPRESENT_PARAMETERS& ipp = pIdeal->PresentParams;
    const CKitCatalogAdapter* pAdapter = pCombo->m_pAdapter;
    const bool bHwTnL = (pCombo->m_pDevice->m_Caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0;
    const D3DFORMAT desktopFormat = pDesktopMode != nullptr ? pDesktopMode->Format : D3DFMT_UNKNOWN;
    float fScore = 0.0f;

    if (pCombo->m_nOrdinal == pIdeal->AdapterOrdinal) fScore += 1000.0f;
    if (pCombo->m_DeviceType == pIdeal->DeviceType) fScore += 100.0f;
    if (pCombo->m_DeviceType == D3DDEVTYPE_HAL) fScore += 0.1f;
    if ((pCombo->m_bWindowed != 0) == (ipp.Windowed != 0)) fScore += 10.0f;

    if (pCombo->m_AdapterFormat == pIdeal->AdapterFormat)
        fScore += 1.0f;
    else
        fScore += FormatNearness(pCombo->m_AdapterFormat, pIdeal->AdapterFormat);

    if (!pCombo->m_bWindowed) {
        D3DFORMAT preferred = KitColorBitsOf(desktopFormat) >= 8 ? desktopFormat : D3DFMT_X8R8G8B8;
        if (pCombo->m_AdapterFormat == preferred) fScore += 0.1f;
    }

    if ((pIdeal->BehaviorFlags & (D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING)) &&
        bHwTnL)
        fScore += 1.0f;
    if (bHwTnL) fScore += 0.1f;

    if (AdapterHasSize(pAdapter, pCombo->m_AdapterFormat, ipp.BackBufferWidth, ipp.BackBufferHeight))
        fScore += 1.0f;

    if (pCombo->m_BackBufferFormat == ipp.BackBufferFormat)
        fScore += 1.0f;
    else
        fScore += FormatNearness(pCombo->m_BackBufferFormat, ipp.BackBufferFormat);
    if (pCombo->m_BackBufferFormat == pCombo->m_AdapterFormat) fScore += 0.1f;

    if (ComboHasSampleQuality(pCombo, ipp.MultiSampleType, ipp.MultiSampleQuality)) fScore += 1.0f;
    if (pCombo->m_DepthFormats.Has(ipp.AutoDepthStencilFormat)) fScore += 1.0f;
    if (AdapterHasRefresh(pAdapter, pCombo->m_AdapterFormat, ipp.FullScreen_RefreshRateInHz)) fScore += 1.0f;
    if (pCombo->m_PresentIntervals.Has(ipp.PresentationInterval)) fScore += 1.0f;
    return fScore;
}
