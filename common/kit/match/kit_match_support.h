// Helpers shared by the steps of settings matching: the rules in force, the
// desktop mode of an adapter and questions about an adapter's display modes.
#pragma once

#include "common/devicecatalog/device_catalog.h"
#include "common/kit/match/kit_match.h"

namespace kitmatch {

// The rules to apply: all ANY without a rules record or without a request.
inline KitSettingsRules RulesInForce(const KitDeviceSetup* pIn, const KitSettingsRules* pRules) {
    return (pIn != nullptr && pRules != nullptr) ? *pRules : KitSettingsRules{};
}

// The request's fields, all zero without a request.
inline KitDeviceSetup RequestOrZero(const KitDeviceSetup* pIn) {
    return pIn != nullptr ? *pIn : KitDeviceSetup{};
}

// The adapter's current desktop mode from the framework's Direct3D object; all zero when it cannot be read.
D3DDISPLAYMODE DesktopModeOf(UINT nOrdinal);

// The adapter lists a mode of this format and exactly this size.
bool AdapterHasSize(const CKitCatalogAdapter* pAdapter, D3DFORMAT format, UINT nWidth, UINT nHeight);
// The adapter lists a mode of this format and exactly this refresh rate.
bool AdapterHasRefresh(const CKitCatalogAdapter* pAdapter, D3DFORMAT format, UINT nRefreshRate);
// The combination lists this multisample type with the quality level usable.
bool ComboHasSampleQuality(const CKitCatalogCombo* pCombo, D3DMULTISAMPLE_TYPE type, DWORD dwQuality);

}  // namespace kitmatch
