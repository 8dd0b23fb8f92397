// The built-in "xinput1_3.dll": game pads 0-3 read from the backend.
#include <atomic>

#include "platform/backend/backend_table.h"
#include "platform/win32/kernel_modules.h"
#include "platform/xinput.h"

namespace {

// XInputEnable(FALSE) makes every pad read as neutral and stops vibration.
std::atomic<bool> g_enabled{true};

DWORD WINAPI XInputGetState(DWORD dwUserIndex, XINPUT_STATE* pState) {
    if (dwUserIndex >= XUSER_MAX_COUNT || !pState) return ERROR_BAD_ARGUMENTS;
    plat::GamepadState pad;
    if (!plat::CurrentBackend().Gamepad(static_cast<int>(dwUserIndex), pad) || !pad.connected)
        return ERROR_DEVICE_NOT_CONNECTED;
    *pState = XINPUT_STATE{};
    pState->dwPacketNumber = pad.packet;
    if (g_enabled) {
        pState->Gamepad.wButtons = pad.buttons;
        pState->Gamepad.bLeftTrigger = pad.leftTrigger;
        pState->Gamepad.bRightTrigger = pad.rightTrigger;
        pState->Gamepad.sThumbLX = pad.thumbLX;
        pState->Gamepad.sThumbLY = pad.thumbLY;
        pState->Gamepad.sThumbRX = pad.thumbRX;
        pState->Gamepad.sThumbRY = pad.thumbRY;
    }
    return ERROR_SUCCESS;
}

DWORD WINAPI XInputSetState(DWORD dwUserIndex, XINPUT_VIBRATION* pVibration) {
    if (dwUserIndex >= XUSER_MAX_COUNT || !pVibration) return ERROR_BAD_ARGUMENTS;
    plat::Backend& backend = plat::CurrentBackend();
    plat::GamepadState pad;
    if (!backend.Gamepad(static_cast<int>(dwUserIndex), pad) || !pad.connected)
        return ERROR_DEVICE_NOT_CONNECTED;
    if (g_enabled)
        backend.SetGamepadVibration(static_cast<int>(dwUserIndex), pVibration->wLeftMotorSpeed,
                                    pVibration->wRightMotorSpeed);
    return ERROR_SUCCESS;
}

void WINAPI XInputEnable(BOOL enable) {
    g_enabled = enable != FALSE;
    if (enable) return;
    plat::Backend& backend = plat::CurrentBackend();
    for (int i = 0; i < XUSER_MAX_COUNT; ++i) backend.SetGamepadVibration(i, 0, 0);
}

const bool g_registered =
    plat::RegisterBuiltinModule("xinput1_3.dll", {{"XInputGetState", plat::Export(&XInputGetState)},
                                                  {"XInputSetState", plat::Export(&XInputSetState)},
                                                  {"XInputEnable", plat::Export(&XInputEnable)}});

}  // namespace
