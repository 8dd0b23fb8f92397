// OK on the settings page: the edited record, completed for a windowed
// device, goes through the framework's device change.
#include "common/kit/loop/kit_device_build.h"
#include "common/kit/state/kit_getters.h"
#include "common/kitsettingsdlg/settings_dialog.h"

void CD3DSettingsDlg::ApplyEditedSetup() {
    D3DPRESENT_PARAMETERS& pp = s_EditedSetup.PresentParams;
    if (pp.Windowed) {
        pp.FullScreen_RefreshRateInHz = 0;
        RECT rc = {0, 0, 0, 0};
        if (KitInWindowedMode())
            GetClientRect(KitActiveWindow(), &rc);
        else
            rc = KitWindowedSizeAtSwitch();
        pp.BackBufferWidth = UINT(rc.right - rc.left);
        pp.BackBufferHeight = UINT(rc.bottom - rc.top);
    }
    // A multisampled back buffer cannot be locked.
    if (pp.MultiSampleType != D3DMULTISAMPLE_NONE) pp.Flags &= ~DWORD(D3DPRESENTFLAG_LOCKABLE_BACKBUFFER);

    // Failures are reported by the framework; the page closes either way.
    KitBuildDeviceFromSetup(&s_EditedSetup, false, true);
}
