// The two switches the hot keys offer: windowed <-> full screen and
// HAL <-> reference device. A switch that fails goes back to where it came
// from; when even that fails the framework terminates.
#include "common/kit/device/kit_device_flip.h"

#include "common/kit/device/kit_apply.h"
#include "common/kit/device/kit_device_terminate.h"
#include "common/kit/match/kit_device_rules.h"
#include "common/kit/state/kit_getters.h"

namespace {

// The rules and back-buffer size for a switch to the record's windowed flag:
// the size last used in that mode, or any size when there is none.
void ChooseSwitchSize(KitDeviceSetup* pSetup, KitSettingsRules* pRules) {
    RECT rcSize = pSetup->PresentParams.Windowed ? KitWindowedSizeAtSwitch() : KitFullScreenSizeAtSwitch();
    if (rcSize.right != 0 && rcSize.bottom != 0) {
        pSetup->PresentParams.BackBufferWidth = static_cast<UINT>(rcSize.right);
        pSetup->PresentParams.BackBufferHeight = static_cast<UINT>(rcSize.bottom);
        pRules->ruleResolution = KITRULE_NEAREST;
    } else {
        pRules->ruleResolution = KITRULE_ANY;
    }
}

HRESULT Match(KitDeviceSetup* pSetup, const KitSettingsRules& rules) {
    KitDeviceSetup request = *pSetup;
    return KitFindValidDeviceSettings(pSetup, &request, &rules);
}

// HAL becomes REF and REF becomes HAL; other types stay.
void SwapReferenceType(KitDeviceSetup* pSetup) {
    if (pSetup->DeviceType == D3DDEVTYPE_HAL)
        pSetup->DeviceType = D3DDEVTYPE_REF;
    else if (pSetup->DeviceType == D3DDEVTYPE_REF)
        pSetup->DeviceType = D3DDEVTYPE_HAL;
}

}  // namespace

HRESULT KitFlipFullScreen() {
    KitDeviceSetup setup = KitCurrentSetup();
    setup.PresentParams.Windowed = !setup.PresentParams.Windowed;

    KitSettingsRules rules = KitRulesAll(KITRULE_NEAREST);
    rules.ruleAdapter = KITRULE_KEEP;
    rules.ruleWindowed = KITRULE_KEEP;
    rules.ruleAdapterFormat = KITRULE_ANY;
    rules.ruleBackBufferFormat = KITRULE_ANY;
    rules.ruleRefreshRate = KITRULE_ANY;
    ChooseSwitchSize(&setup, &rules);

    HRESULT hr = Match(&setup, rules);
    if (FAILED(hr)) return hr;

    hr = KitApplyDeviceSetup(&setup, nullptr, false, false);
    if (FAILED(hr) && hr != E_ABORT) {
        setup.PresentParams.Windowed = !setup.PresentParams.Windowed;
        ChooseSwitchSize(&setup, &rules);
        Match(&setup, rules);
        if (FAILED(KitApplyDeviceSetup(&setup, nullptr, false, false))) KitTerminate(0);
    }
    return hr;
}

HRESULT KitFlipReferenceDevice() {
    KitDeviceSetup setup = KitCurrentSetup();
    SwapReferenceType(&setup);

    KitSettingsRules rules = KitRulesAll(KITRULE_NEAREST);
    rules.ruleAdapter = KITRULE_KEEP;
    rules.ruleDeviceType = KITRULE_KEEP;

    HRESULT hr = Match(&setup, rules);
    if (FAILED(hr)) return hr;

    hr = KitApplyDeviceSetup(&setup, nullptr, false, false);
    if (FAILED(hr) && hr != E_ABORT) {
        SwapReferenceType(&setup);
        Match(&setup, rules);
        if (FAILED(KitApplyDeviceSetup(&setup, nullptr, false, false))) KitTerminate(0);
    }
    return hr;
}
