// Everything a test or tool needs to set up the platform, in one include: the
// backend interface and table, the window system's test hooks and forced
// device loss. Platform code includes the specific headers instead.
#pragma once

#include "platform/backend/backend.h"
#include "platform/backend/backend_table.h"
#include "platform/win32/device_bridge.h"
#include "platform/win32/test_hooks.h"
