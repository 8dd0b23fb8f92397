// The application's entry: registers the callbacks, has the framework make a
// window and a device, and runs the main loop until the window closes.
#include "app/app_callbacks.h"
#include "app/app_game.h"
#include "app/app_restore_dialog.h"
#include "app/app_settings_dialog.h"
#include "app/app_usage.h"
#include "common/kit/device/kit_cursor.h"
#include "common/kit/device/kit_device_terminate.h"
#include "common/kit/loop/kit_device_build.h"
#include "common/kit/loop/kit_mainloop.h"
#include "common/kit/startup/kit_startup.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/window/kit_window_create.h"

int AppMain() {
    // --help, -h and --version are answered before anything starts.
    int nInfoExitCode = 0;
    if (AppAnswerInfoSwitch(&nInfoExitCode)) return nInfoExitCode;

    // Allocation tracking with a leak report at exit has no runtime switch on
    // this platform; the sanitizer build (TUMBRAL_SANITIZE) reports leaks.

    KitRegisterDeviceCreated(AppDeviceCreated, nullptr);
    KitRegisterDeviceReset(AppDeviceReset, nullptr);
    KitRegisterDeviceLost(AppDeviceLost, nullptr);
    KitRegisterDeviceDestroyed(AppDeviceDestroyed, nullptr);
    KitRegisterMsgProc(AppMsgProc, nullptr);
    KitRegisterKeyboard(AppKeyboard, nullptr);
    KitRegisterFrameRender(AppFrameRender, nullptr);
    KitRegisterFrameMove(AppFrameMove, nullptr);

    // The settings page and the restore dialog are set up before the framework starts.
    AppInitSettingsDialog();
    AppInitRestoreDialog();
    // The game's own switch, /scramble, before the framework reads the command line.
    AppInitGame();

    // Parse the command line, handle the default hot keys, show error boxes, handle Alt+Enter.
    KitStartup(true, true, true, true);
    // Full screen: show the cursor, do not clip it.
    KitSetCursorPolicy(true, false);
    KitCreateWindow(L"Tumbral", nullptr, nullptr, nullptr, CW_USEDEFAULT, CW_USEDEFAULT);
    KitBuildDevice(0, true, 640, 480, AppAcceptDevice, AppAdjustDeviceSetup, nullptr);

    // Each step above records its failure in the framework, whose later steps
    // then fail too; the exit code tells what went wrong.
    KitMainLoop(nullptr);

    // The device is released now rather than at process exit, so that a
    // leaked reference (exit code 5) is part of the code returned here.
    KitTerminate(0);
    return KitProcessExitCode();
}
