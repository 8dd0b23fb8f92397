// The window procedure's own handling, split by concern: messages the
// framework acts on, sizing, and the hot keys.
#pragma once

#include "platform/win32.h"

// The framework's handling of one message; true when the message is answered
// with *pResult and goes no further.
bool KitHandleFrameworkMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
// WM_SIZE: pausing on minimise and resizing the back buffer.
void KitHandleSizeMessage(WPARAM wParam);
// WM_KEYDOWN with the default hot keys on: Escape, Pause, F3, F8.
void KitHandleHotkey(HWND hWnd, WPARAM wParam);
// Current settings exist and are full screen.
bool KitInFullScreenMode();
