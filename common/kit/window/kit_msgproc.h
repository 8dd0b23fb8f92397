// The framework's window procedure.
#pragma once

#include "platform/win32.h"

// Keyboard bookkeeping and callback, mouse bookkeeping and callback, the
// application's message callback, the framework's own handling, DefWindowProc.
LRESULT CALLBACK KitWindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
