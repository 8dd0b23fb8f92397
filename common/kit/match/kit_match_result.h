// Settings matching, last step: the complete settings record for the chosen
// combination and the nearest full-screen resolution.
#pragma once

#include "common/kit/state/kit_callbacks.h"
#include "common/kit/match/kit_match.h"

class CKitCatalogCombo;

// The complete settings for a combination, each field chosen by its rule.
KitDeviceSetup KitSettingsFromCombo(const CKitCatalogCombo* pCombo, const KitDeviceSetup* pIn,
                                    const KitSettingsRules* pRules);
// The closest mode of the combination's adapter format to the wanted size
// (windowed: the wanted mode itself). E_FAIL, with the wanted mode, when the
// adapter has no mode of that format.
HRESULT KitNearestFullScreenResolution(const CKitCatalogCombo* pCombo, const D3DDISPLAYMODE& wanted,
                                       D3DDISPLAYMODE* pOut);
