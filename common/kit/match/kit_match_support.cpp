// Helpers shared by the steps of settings matching.
#include "common/kit/match/kit_match_support.h"
#include "common/kit/state/kit_getters.h"

namespace kitmatch {

D3DDISPLAYMODE DesktopModeOf(UINT nOrdinal) {
    D3DDISPLAYMODE mode{};
    IDirect3D9* pD3D = KitGetD3DObject();
    if (pD3D == nullptr || FAILED(pD3D->GetAdapterDisplayMode(nOrdinal, &mode))) mode = D3DDISPLAYMODE{};
    return mode;
}

bool AdapterHasSize(const CKitCatalogAdapter* pAdapter, D3DFORMAT format, UINT nWidth, UINT nHeight) {
    for (int i = 0; i < pAdapter->m_Modes.Length(); ++i) {
        const D3DDISPLAYMODE& mode = pAdapter->m_Modes.GetAt(i);
        if (mode.Format == format && mode.Width == nWidth && mode.Height == nHeight) return true;
    }
    return false;
}

bool AdapterHasRefresh(const CKitCatalogAdapter* pAdapter, D3DFORMAT format, UINT nRefreshRate) {
    for (int i = 0; i < pAdapter->m_Modes.Length(); ++i) {
        const D3DDISPLAYMODE& mode = pAdapter->m_Modes.GetAt(i);
        if (mode.Format == format && mode.RefreshRate == nRefreshRate) return true;
    }
    return false;
}

bool ComboHasSampleQuality(const CKitCatalogCombo* pCombo, D3DMULTISAMPLE_TYPE type, DWORD dwQuality) {
    for (int i = 0; i < pCombo->m_SampleTypes.Length(); ++i) {
        // Quality levels run from 0 to count - 1.
        if (pCombo->m_SampleTypes.GetAt(i) == type && pCombo->m_SampleQualities.GetAt(i) > dwQuality)
            return true;
    }
    return false;
}

}  // namespace kitmatch
