// Switches the application reads itself: registered before KitStartup so that
// the command-line reader does not report them as unrecognised.
#pragma once

#include "platform/win32.h"

// Registers an application switch by name (without '/' or '-'; up to
// kKitMaxAppSwitchName letters, digits and '_'; kKitMaxAppSwitches names). The reader then passes over
// "/name" and "/name:value" in any letter case, as it does for its own switches, and leaves reading them to
// the application. A name the framework reads itself stays the framework's. S_OK, S_FALSE when already
// registered, E_INVALIDARG for a bad name, E_OUTOFMEMORY when the list is full.
HRESULT KitRegisterAppSwitch(const WCHAR* strName);

// Whether an argument's text after its '/' or '-' names a registered switch
// (the name in any letter case, followed by the end or ':').
bool KitIsAppSwitch(const WCHAR* strArg);
