// The command line: "/name" or "-name" switches, some with ":value".
#pragma once

#include "common/kit/state/kit_callbacks.h"

// Turns the process command line's switches into overrides in the framework state.
void KitReadCommandLine();
// The command line's adapter, mode, device type, size and vertex processing, written into the record.
void KitApplyCommandLineOverrides(KitDeviceSetup* pSetup);
