// Windows-style system services: registry, clipboard, files, modules, timing, debug output, text buffers.
#pragma once

#include "platform/win32types.h"
