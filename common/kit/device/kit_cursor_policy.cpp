// The full-screen cursor switches: stored in the state, then applied to the
// current device by the window handling.
#include "common/kit/device/kit_cursor.h"
#include "common/kit/state/kit_state.h"

void KitSetCursorPolicy(bool bShowCursorWhenFullScreen, bool bClipCursorWhenFullScreen) {
    CKitCoreState& s = KitCore();
    {
        KitStateLock lock;
        s.m_bShowCursorFullScreen = bShowCursorWhenFullScreen;
        s.m_bClipCursorFullScreen = bClipCursorWhenFullScreen;
    }
    KitApplyCursorPolicy();
}
