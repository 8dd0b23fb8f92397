// Windows-style window system: windows, messages, input, cursor, monitors, dialogs.
#pragma once

#include "platform/win32types.h"
