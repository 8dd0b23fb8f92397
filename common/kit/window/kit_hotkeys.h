// The default hot keys.
#pragma once

#include "platform/win32.h"

// WM_KEYDOWN with the default hot keys on: Escape, Pause, F3, F8.
void KitHandleHotkey(HWND hWnd, WPARAM wParam);
