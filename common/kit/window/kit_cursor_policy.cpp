// The full-screen cursor switches: stored in the state, then applied to the
// current device by the window handling.
#include "kit/state/kit_state.h"
#include "kit/window/kit_cursor.h"

void KitSetCursorPolicy(bool bShowCursorWhenFullScreen, bool bClipCursorWhenFullScreen) {
    CKitCoreState& s = KitCore();
    {
        KitStateLock lock;
        s.m_bShowCursorFullScreen = bShowCursorWhenFullScreen;
        s.m_bClipCursorFullScreen = bClipCursorWhenFullScreen;
    }
    KitApplyCursorPolicy();
}
