// Framework start-up.
#pragma once

#include "platform/win32.h"

// Prepares the framework: accessibility settings, timer resolution, the
// switches, the command line, the version check and the Direct3D object.
// S_OK, KITERR_INCORRECTVERSION or KITERR_NODIRECT3D.
HRESULT KitStartup(bool bParseCommandLine = true, bool bHandleDefaultHotkeys = true,
                   bool bShowMsgBoxOnError = true, bool bHandleAltEnter = true);
