// One idle-time frame.
#pragma once

// Lost-device recovery, time, statistics, timers, frame-move and frame-render
// callbacks, Present, quit-after-frame.
void KitRenderOneFrame();
