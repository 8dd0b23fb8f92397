// Framework start-up, the command line and the debug-output line writer.
#pragma once

#include "platform/win32.h"

// Prepares the framework: accessibility settings, timer resolution, the
// switches, the command line, the version check and the Direct3D object.
// S_OK, KITERR_INCORRECTVERSION or KITERR_NODIRECT3D.
HRESULT KitStartup(bool bParseCommandLine = true, bool bHandleDefaultHotkeys = true,
                   bool bShowMsgBoxOnError = true, bool bHandleAltEnter = true);

// Turns the process command line's switches into overrides in the framework state.
void KitReadCommandLine();

// Formats at most 511 characters (printf rules of the platform: %ls is wide
// text) and writes them to the debug output.
void KitDebugLine(const WCHAR* strFormat, ...);
