// The exit code the application's entry returns after a run that leaked a
// device reference: the leak is reported in it, not only on the debug output.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/app_callbacks.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/state/kit_state.h"
#include "common/kit/time/kit_timers.h"

namespace {

// Runs inside the main loop: keeps one reference on the device and closes the window.
void LeakAndClose(UINT, void*) {
    static bool s_bDone = false;
    if (s_bDone) return;
    s_bDone = true;
    if (IDirect3DDevice9* pd3dDevice = KitCurrentDevice()) pd3dDevice->AddRef();
    PostMessageW(KitActiveWindow(), WM_CLOSE, 0, 0);
}

}  // namespace

TEST(AppExitTest, LeakedDeviceReferenceAtANormalCloseEndsWithExitCode5) {
    EXPECT_EXIT(
        {
            KitSetTimer(LeakAndClose, 0.001f);
            std::exit(AppMain());
        },
        ::testing::ExitedWithCode(5), "KitCleanup3DEnvironment");
}
