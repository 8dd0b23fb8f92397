// The window procedure's own handling of the messages the framework acts on.
#pragma once

#include "platform/win32.h"

// The framework's handling of one message; true when the message is answered
// with *pResult and goes no further.
bool KitHandleFrameworkMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
