// Game-pad poll for the cameras: one pad's buttons, triggers and thumb-sticks,
// read through the system's game-pad module ("xinput1_3.dll").
#pragma once

#include "platform/win32.h"

// Number of pads the cameras poll.
#define KIT_MAX_GAMEPADS 4

// Last polled state of one pad.
struct KitGamePad {
    bool bConnected;     // a pad answers at this index
    WORD wButtons;       // button bits
    BYTE bLeftTrigger;   // 0-255
    BYTE bRightTrigger;  // 0-255
    SHORT sThumbLX;      // raw stick axes after the dead zone
    SHORT sThumbLY;
    SHORT sThumbRX;
    SHORT sThumbRY;
    float fThumbLX;  // the same axes scaled to -1..1
    float fThumbLY;
    float fThumbRX;
    float fThumbRY;
};

// Polls pad dwPort (0-3) into *pPad. With bDeadZone, stick readings inside the
// dead zone become 0; with bSnapToAxes the dead zone applies per axis, so a
// stick pushed nearly straight reads exactly along its axis. A pad that is
// absent (or a missing module) gives a zeroed record and S_FALSE.
HRESULT KitPollGamePad(DWORD dwPort, KitGamePad* pPad, bool bDeadZone, bool bSnapToAxes);

// True when any button, trigger or stick axis of the pad reads non-zero.
bool KitGamePadActive(const KitGamePad& pad);
