// Settings matching, last step: the complete settings record for the chosen
// combination, every field picked by its rule, and the nearest full-screen
// resolution.
#include "common/kit/match/kit_match_result.h"

#include <algorithm>
#include <cstdlib>

#include "common/kit/match/kit_match_bits.h"
#include "common/kit/match/kit_match_support.h"
#include "common/kit/state/kit_getters.h"

namespace {

const DWORD kVertexProcessingFlags = D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                     D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING;

long long Distance(UINT a, UINT b) {
    return std::llabs(static_cast<long long>(a) - static_cast<long long>(b));
}

DWORD ChooseBehaviorFlags(KitRule rule, DWORD requested, bool bHwTnL) {
    if (rule == KITRULE_KEEP) return requested;
    DWORD fallback = bHwTnL ? D3DCREATE_HARDWARE_VERTEXPROCESSING : D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    if (rule == KITRULE_ANY) return fallback;
    DWORD flags = requested;
    if (!bHwTnL && (flags & (D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING))) {
        // A pure device needs hardware vertex processing, so it goes with it.
        flags &= ~DWORD(D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_MIXED_VERTEXPROCESSING |
                        D3DCREATE_PUREDEVICE);
        flags |= D3DCREATE_SOFTWARE_VERTEXPROCESSING;
    }
    if ((flags & kVertexProcessingFlags) == 0) flags |= fallback;
    return flags;
}

// The combination's multisample type closest to the requested one (the earlier on ties).
void ChooseNearestSamples(const CKitCatalogCombo* pCombo, D3DMULTISAMPLE_TYPE requestedType,
                          DWORD requestedQuality, D3DPRESENT_PARAMETERS& pp) {
    pp.MultiSampleType = D3DMULTISAMPLE_NONE;
    pp.MultiSampleQuality = 0;
    for (int i = 0; i < pCombo->m_SampleTypes.Length(); ++i) {
        D3DMULTISAMPLE_TYPE type = pCombo->m_SampleTypes.GetAt(i);
        if (Distance(UINT(type), UINT(requestedType)) <
            Distance(UINT(pp.MultiSampleType), UINT(requestedType))) {
            DWORD dwCount = pCombo->m_SampleQualities.GetAt(i);
            pp.MultiSampleType = type;
            // Quality levels run from 0 to count - 1; a count of 0 leaves only level 0.
            pp.MultiSampleQuality = dwCount == 0 ? 0 : std::min(dwCount - 1, requestedQuality);
        }
    }
}

// The combination's depth/stencil format ranked best for the rules, or UNKNOWN.
D3DFORMAT ChooseDepthFormat(const CKitCatalogCombo* pCombo, const KitSettingsRules& rules,
                            D3DFORMAT requested) {
    const long long B = KitColorBitsOf(pCombo->m_BackBufferFormat);
    const long long D = KitDepthBitsOf(requested);
    const long long S = KitStencilBitsOf(requested);
    long long bestRank = 100000;
    D3DFORMAT best = D3DFMT_UNKNOWN;
    for (int i = 0; i < pCombo->m_DepthFormats.Length(); ++i) {
        D3DFORMAT format = pCombo->m_DepthFormats.GetAt(i);
        const long long d = KitDepthBitsOf(format);
        const long long s = KitStencilBitsOf(format);
        long long rank;
        if (rules.ruleDepthBits == KITRULE_KEEP)
            rank = d == D ? 0 : 10000;
        else if (rules.ruleDepthBits == KITRULE_ANY)
            rank = std::llabs(d - 4 * B);
        else
            rank = std::llabs(d - D);
        if (rules.ruleStencilBits == KITRULE_KEEP)
            rank += s == S ? 0 : 10000;
        else if (rules.ruleStencilBits == KITRULE_ANY)
            rank += s;
        else
            rank += std::llabs(s - S);
        if (rank < bestRank) {
            bestRank = rank;
            best = format;
        }
    }
    return best;
}

// The refresh rate of the adapter's modes of this format and size closest to the wanted one; 0 when none.
UINT ChooseRefreshRate(const CKitCatalogCombo* pCombo, UINT nWidth, UINT nHeight, UINT nWanted) {
    UINT nChosen = 0;
    if (nWanted == 0) return nChosen;
    long long bestDistance = -1;
    const CKitCatalogAdapter* pAdapter = pCombo->m_pAdapter;
    for (int i = 0; i < pAdapter->m_Modes.Length(); ++i) {
        const D3DDISPLAYMODE& mode = pAdapter->m_Modes.GetAt(i);
        if (mode.Format != pCombo->m_AdapterFormat || mode.Width != nWidth || mode.Height != nHeight)
            continue;
        long long distance = Distance(mode.RefreshRate, nWanted);
        if (bestDistance < 0 || distance < bestDistance) {
            bestDistance = distance;
            nChosen = mode.RefreshRate;
            if (distance == 0) break;
        }
    }
    return nChosen;
}

// The back-buffer size: kept, the nearest full-screen mode to the request, or
// to a default (640 x 480 windowed, the desktop's size full screen).
void ChooseBackBufferSize(const CKitCatalogCombo* pCombo, const KitSettingsRules& rules,
                          const KitDeviceSetup* pIn, const D3DPRESENT_PARAMETERS& rpp,
                          const D3DDISPLAYMODE& desktop, D3DPRESENT_PARAMETERS& pp) {
    if (rules.ruleResolution == KITRULE_KEEP) {
        pp.BackBufferWidth = rpp.BackBufferWidth;
        pp.BackBufferHeight = rpp.BackBufferHeight;
        return;
    }
    D3DDISPLAYMODE wanted{};
    if (rules.ruleResolution == KITRULE_NEAREST && pIn != nullptr) {
        wanted.Width = rpp.BackBufferWidth;
        wanted.Height = rpp.BackBufferHeight;
    } else if (pCombo->m_bWindowed) {
        wanted.Width = 640;
        wanted.Height = 480;
    } else {
        wanted.Width = desktop.Width;
        wanted.Height = desktop.Height;
    }
    D3DDISPLAYMODE chosen{};
    KitNearestFullScreenResolution(pCombo, wanted, &chosen);
    pp.BackBufferWidth = chosen.Width;
    pp.BackBufferHeight = chosen.Height;
}

// Back-buffer count, multisampling and swap effect.
void ChooseBuffering(const CKitCatalogCombo* pCombo, const KitSettingsRules& rules, const KitDeviceSetup* pIn,
                     const D3DPRESENT_PARAMETERS& rpp, D3DPRESENT_PARAMETERS& pp) {
    if (rules.ruleBackBufferCount == KITRULE_KEEP)
        pp.BackBufferCount = rpp.BackBufferCount;
    else if (rules.ruleBackBufferCount == KITRULE_ANY)
        pp.BackBufferCount = 2;
    else
        pp.BackBufferCount = std::clamp<UINT>(rpp.BackBufferCount, 1, 3);

    // Multisampling needs the discard swap effect.
    if (pIn != nullptr && rpp.SwapEffect != D3DSWAPEFFECT_DISCARD) {
        pp.MultiSampleType = D3DMULTISAMPLE_NONE;
        pp.MultiSampleQuality = 0;
    } else if (rules.ruleMultisample == KITRULE_KEEP) {
        pp.MultiSampleType = rpp.MultiSampleType;
        pp.MultiSampleQuality = rpp.MultiSampleQuality;
    } else if (rules.ruleMultisample == KITRULE_NEAREST) {
        ChooseNearestSamples(pCombo, rpp.MultiSampleType, rpp.MultiSampleQuality, pp);
    } else {
        pp.MultiSampleType = D3DMULTISAMPLE_NONE;
        pp.MultiSampleQuality = 0;
    }

    if (rules.ruleSwapEffect == KITRULE_KEEP)
        pp.SwapEffect = rpp.SwapEffect;
    else if (rules.ruleSwapEffect == KITRULE_ANY)
        pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    else
        pp.SwapEffect = (rpp.SwapEffect == D3DSWAPEFFECT_DISCARD || rpp.SwapEffect == D3DSWAPEFFECT_FLIP ||
                         rpp.SwapEffect == D3DSWAPEFFECT_COPY)
                            ? rpp.SwapEffect
                            : D3DSWAPEFFECT_DISCARD;
}

// Depth buffer, present flags, refresh rate and presentation interval.
void ChoosePresentation(const CKitCatalogCombo* pCombo, const KitSettingsRules& rules,
                        const D3DPRESENT_PARAMETERS& rpp, const D3DDISPLAYMODE& desktop,
                        D3DPRESENT_PARAMETERS& pp) {
    pp.AutoDepthStencilFormat = ChooseDepthFormat(pCombo, rules, rpp.AutoDepthStencilFormat);
    pp.EnableAutoDepthStencil = pp.AutoDepthStencilFormat != D3DFMT_UNKNOWN ? 1 : 0;

    const DWORD discardDepth = pp.EnableAutoDepthStencil ? DWORD(D3DPRESENTFLAG_DISCARD_DEPTHSTENCIL) : 0;
    if (rules.rulePresentFlags == KITRULE_KEEP)
        pp.Flags = rpp.Flags;
    else if (rules.rulePresentFlags == KITRULE_ANY)
        pp.Flags = discardDepth;
    else
        pp.Flags = rpp.Flags | discardDepth;

    if (pCombo->m_bWindowed)
        pp.FullScreen_RefreshRateInHz = 0;
    else if (rules.ruleRefreshRate == KITRULE_KEEP)
        pp.FullScreen_RefreshRateInHz = rpp.FullScreen_RefreshRateInHz;
    else
        pp.FullScreen_RefreshRateInHz = ChooseRefreshRate(
            pCombo, pp.BackBufferWidth, pp.BackBufferHeight,
            rules.ruleRefreshRate == KITRULE_NEAREST ? rpp.FullScreen_RefreshRateInHz : desktop.RefreshRate);

    if (rules.rulePresentInterval == KITRULE_KEEP)
        pp.PresentationInterval = rpp.PresentationInterval;
    else if (rules.rulePresentInterval == KITRULE_ANY)
        pp.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    else
        pp.PresentationInterval = pCombo->m_PresentIntervals.Has(rpp.PresentationInterval)
                                      ? rpp.PresentationInterval
                                      : UINT(D3DPRESENT_INTERVAL_DEFAULT);
}

}  // namespace

KitDeviceSetup KitSettingsFromCombo(const CKitCatalogCombo* pCombo, const KitDeviceSetup* pIn,
                                    const KitSettingsRules* pRules) {
    const KitSettingsRules rules = kitmatch::RulesInForce(pIn, pRules);
    const KitDeviceSetup req = kitmatch::RequestOrZero(pIn);
    const D3DPRESENT_PARAMETERS& rpp = req.PresentParams;
    const bool bHwTnL = (pCombo->m_pDevice->m_Caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) != 0;

    KitDeviceSetup out{};
    D3DPRESENT_PARAMETERS& pp = out.PresentParams;
    out.AdapterOrdinal = pCombo->m_nOrdinal;
    out.DeviceType = pCombo->m_DeviceType;
    out.AdapterFormat = pCombo->m_AdapterFormat;
    pp.BackBufferFormat = pCombo->m_BackBufferFormat;
    pp.Windowed = pCombo->m_bWindowed;

    const D3DDISPLAYMODE desktop = kitmatch::DesktopModeOf(pCombo->m_nOrdinal);
    out.BehaviorFlags = ChooseBehaviorFlags(rules.ruleVertexProcessing, req.BehaviorFlags, bHwTnL);
    ChooseBackBufferSize(pCombo, rules, pIn, rpp, desktop, pp);
    ChooseBuffering(pCombo, rules, pIn, rpp, pp);
    ChoosePresentation(pCombo, rules, rpp, desktop, pp);

    pp.hDeviceWindow = pCombo->m_bWindowed ? KitWindowedWindow() : KitFullScreenWindow();
    return out;
}

HRESULT KitNearestFullScreenResolution(const CKitCatalogCombo* pCombo, const D3DDISPLAYMODE& wanted,
                                       D3DDISPLAYMODE* pOut) {
    if (pOut == nullptr) return E_INVALIDARG;
    *pOut = wanted;
    if (pCombo->m_bWindowed) return S_OK;

    long long bestDistance = 100000;
    bool bFound = false;
    const CKitCatalogAdapter* pAdapter = pCombo->m_pAdapter;
    for (int i = 0; i < pAdapter->m_Modes.Length(); ++i) {
        const D3DDISPLAYMODE& mode = pAdapter->m_Modes.GetAt(i);
        if (mode.Format != pCombo->m_AdapterFormat) continue;
        long long distance = Distance(mode.Width, wanted.Width) + Distance(mode.Height, wanted.Height);
        if (distance < bestDistance) {
            bestDistance = distance;
            pOut->Width = mode.Width;
            pOut->Height = mode.Height;
            bFound = true;
            if (distance == 0) break;
        }
    }
    return bFound ? S_OK : E_FAIL;
}
