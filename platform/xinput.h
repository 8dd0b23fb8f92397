// Game-pad records and entry-point types of the built-in "xinput1_3.dll"
// module (loaded with LoadLibraryW, entry points found with GetProcAddress).
#pragma once

#include "platform/win32kernel.h"

#define XUSER_MAX_COUNT 4

#define XINPUT_GAMEPAD_DPAD_UP 0x0001
#define XINPUT_GAMEPAD_DPAD_DOWN 0x0002
#define XINPUT_GAMEPAD_DPAD_LEFT 0x0004
#define XINPUT_GAMEPAD_DPAD_RIGHT 0x0008
#define XINPUT_GAMEPAD_START 0x0010
#define XINPUT_GAMEPAD_BACK 0x0020
#define XINPUT_GAMEPAD_LEFT_THUMB 0x0040
#define XINPUT_GAMEPAD_RIGHT_THUMB 0x0080
#define XINPUT_GAMEPAD_LEFT_SHOULDER 0x0100
#define XINPUT_GAMEPAD_RIGHT_SHOULDER 0x0200
#define XINPUT_GAMEPAD_A 0x1000
#define XINPUT_GAMEPAD_B 0x2000
#define XINPUT_GAMEPAD_X 0x4000
#define XINPUT_GAMEPAD_Y 0x8000

#define XINPUT_GAMEPAD_LEFT_THUMB_DEADZONE 7849
#define XINPUT_GAMEPAD_RIGHT_THUMB_DEADZONE 8689
#define XINPUT_GAMEPAD_TRIGGER_THRESHOLD 30

struct XINPUT_GAMEPAD {
    WORD wButtons;      // XINPUT_GAMEPAD_* bits
    BYTE bLeftTrigger;  // 0..255
    BYTE bRightTrigger;
    SHORT sThumbLX;  // -32768..32767, up and right positive
    SHORT sThumbLY;
    SHORT sThumbRX;
    SHORT sThumbRY;
};

struct XINPUT_STATE {
    DWORD dwPacketNumber;  // changes when the state changes
    XINPUT_GAMEPAD Gamepad;
};

struct XINPUT_VIBRATION {
    WORD wLeftMotorSpeed;  // 0..65535
    WORD wRightMotorSpeed;
};

// Entry points: ERROR_SUCCESS (0), ERROR_DEVICE_NOT_CONNECTED, or
// ERROR_BAD_ARGUMENTS (160) for a user index of XUSER_MAX_COUNT or more.
typedef DWORD(WINAPI* LPXINPUTGETSTATE)(DWORD dwUserIndex, XINPUT_STATE* pState);
typedef DWORD(WINAPI* LPXINPUTSETSTATE)(DWORD dwUserIndex, XINPUT_VIBRATION* pVibration);
typedef void(WINAPI* LPXINPUTENABLE)(BOOL enable);
