// The Windows-style platform surface: base types, the window system (user
// side) and system services (kernel side).
#pragma once

#include "platform/win32types.h"
#include "platform/win32user.h"
#include "platform/win32kernel.h"
