// Game-pad poll through the game-pad module, loaded once by name.
#include "common/kitmisc/camera_gamepad.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/xinput.h"

namespace {

// The module's state reader, or null when the module or the export is missing.
LPXINPUTGETSTATE GetStateFunction() {
    static LPXINPUTGETSTATE s_fn = [] {
        HMODULE hModule = LoadLibraryW(L"xinput1_3.dll");
        if (!hModule) return static_cast<LPXINPUTGETSTATE>(nullptr);
        return reinterpret_cast<LPXINPUTGETSTATE>(GetProcAddress(hModule, "XInputGetState"));
    }();
    return s_fn;
}

// One stick: zero readings inside the dead zone, per axis or as a circle.
void ApplyDeadZone(SHORT& x, SHORT& y, int nDeadZone, bool bSnapToAxes) {
    if (bSnapToAxes) {
        if (std::abs(x) < nDeadZone) x = 0;
        if (std::abs(y) < nDeadZone) y = 0;
    } else if (int64_t(x) * x + int64_t(y) * y < int64_t(nDeadZone) * nDeadZone) {
        x = 0;
        y = 0;
    }
}

// -32768..32767 to -1..1.
float ScaleAxis(SHORT v) {
    const float f = v / 32767.0f;
    return f < -1.0f ? -1.0f : f;
}

}  // namespace

HRESULT KitPollGamePad(DWORD dwPort, KitGamePad* pPad, bool bDeadZone, bool bSnapToAxes) {
    if (!pPad || dwPort >= KIT_MAX_GAMEPADS) return E_INVALIDARG;
    memset(pPad, 0, sizeof(*pPad));

    LPXINPUTGETSTATE getState = GetStateFunction();
    if (!getState) return S_FALSE;
    XINPUT_STATE state;
    memset(&state, 0, sizeof(state));
    if (getState(dwPort, &state) != ERROR_SUCCESS) return S_FALSE;

    const XINPUT_GAMEPAD& g = state.Gamepad;
    pPad->bConnected = true;
    pPad->wButtons = g.wButtons;
    pPad->bLeftTrigger = g.bLeftTrigger;
    pPad->bRightTrigger = g.bRightTrigger;
    pPad->sThumbLX = g.sThumbLX;
    pPad->sThumbLY = g.sThumbLY;
    pPad->sThumbRX = g.sThumbRX;
    pPad->sThumbRY = g.sThumbRY;
    if (bDeadZone) {
        ApplyDeadZone(pPad->sThumbLX, pPad->sThumbLY, XINPUT_GAMEPAD_LEFT_THUMB_DEADZONE, bSnapToAxes);
        ApplyDeadZone(pPad->sThumbRX, pPad->sThumbRY, XINPUT_GAMEPAD_RIGHT_THUMB_DEADZONE, bSnapToAxes);
    }
    pPad->fThumbLX = ScaleAxis(pPad->sThumbLX);
    pPad->fThumbLY = ScaleAxis(pPad->sThumbLY);
    pPad->fThumbRX = ScaleAxis(pPad->sThumbRX);
    pPad->fThumbRY = ScaleAxis(pPad->sThumbRY);
    return S_OK;
}

bool KitGamePadActive(const KitGamePad& pad) {
    return pad.wButtons != 0 || pad.bLeftTrigger != 0 || pad.bRightTrigger != 0 || pad.sThumbLX != 0 ||
           pad.sThumbLY != 0 || pad.sThumbRX != 0 || pad.sThumbRY != 0;
}
