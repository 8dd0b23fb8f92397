// The main loop: pumps window messages and renders a frame whenever the queue is empty.
#pragma once

#include "platform/win32.h"

// Runs until WM_QUIT; creates a default device first when none was requested.
HRESULT KitMainLoop(HACCEL hAccel = nullptr);
