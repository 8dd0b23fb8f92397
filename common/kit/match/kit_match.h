// Device settings matching: turns a requested settings record, which may be
// partly filled, impossible or stale, into one the device catalogue says can
// be created. Per field the caller says whether the request is ignored, kept
// exactly or approached as closely as possible.
#pragma once

#include "common/kit/state/kit_callbacks.h"

class CKitCatalogCombo;

// How one field of the request is treated. Any value other than ANY and KEEP
// behaves as NEAREST, except where a step tests for NEAREST (2) itself: the
// multisample choice, the wanted resolution and the wanted refresh rate.
enum KitRule : int {
    KITRULE_ANY = 0,      // the request is not consulted; a default is the ideal
    KITRULE_KEEP = 1,     // combinations that cannot give the requested value are rejected
    KITRULE_NEAREST = 2,  // the requested value is the ideal; the closest available is chosen
};

// One rule per field; a zero-initialised record is all ANY.
struct KitSettingsRules {
    KitRule ruleAdapter;
    KitRule ruleDeviceType;
    KitRule ruleWindowed;
    KitRule ruleAdapterFormat;
    KitRule ruleVertexProcessing;
    KitRule ruleResolution;
    KitRule ruleBackBufferFormat;
    KitRule ruleBackBufferCount;
    KitRule ruleMultisample;
    KitRule ruleSwapEffect;
    KitRule ruleDepthBits;
    KitRule ruleStencilBits;
    KitRule rulePresentFlags;
    KitRule ruleRefreshRate;
    KitRule rulePresentInterval;
};

// Fills *pOut with the best settings the catalogue offers for the request.
// pRules null means every rule is ANY; pIn may be null only then (otherwise
// E_INVALIDARG). KITERR_NOCOMPATIBLEDEVICES when no combination survives,
// KITERR_NODIRECT3D without a Direct3D object, E_INVALIDARG (traced with a
// pop-up) for a null output. *pOut is written only on success.
HRESULT KitFindValidDeviceSettings(KitDeviceSetup* pOut, const KitDeviceSetup* pIn,
                                   const KitSettingsRules* pRules);

// The steps of the search, usable on their own. A null request counts as
// every rule ANY. Desktop modes are read from the framework's Direct3D object.
//
// The record every combination is scored against.
KitDeviceSetup KitComposeIdealSettings(const KitDeviceSetup* pIn, const KitSettingsRules* pRules);
// Whether the combination can give every field whose rule is KEEP.
bool KitComboKeepsRequired(const CKitCatalogCombo* pCombo, const KitDeviceSetup* pIn,
                           const KitSettingsRules* pRules);
// Weighted points for how close the combination comes to the ideal.
float KitScoreCombo(const CKitCatalogCombo* pCombo, const KitDeviceSetup* pIdeal,
                    const D3DDISPLAYMODE* pDesktopMode);
