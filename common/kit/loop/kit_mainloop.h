// The main loop: pumps window messages and renders a frame whenever the queue is empty.
#pragma once

#include "platform/win32.h"

// Runs until WM_QUIT; creates a default device first when none was requested.
HRESULT KitMainLoop(HACCEL hAccel = nullptr);
// One idle-time frame: lost-device recovery, time, statistics, timers,
// frame-move and frame-render callbacks, Present, quit-after-frame.
void KitRenderOneFrame();
