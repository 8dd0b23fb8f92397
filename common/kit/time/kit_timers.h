// Pausing time and rendering, and the application's periodic timers.
#pragma once

#include "common/kit/state/kit_callbacks.h"

// Each argument counts one pause level up (true) or down (false); the clock
// is halted while the time count is above 0.
void KitSuspend(bool bPauseTime, bool bPauseRendering);

// Adds a timer firing every fTimeoutInSecs; its identifier goes to *pnIDEvent.
HRESULT KitSetTimer(KitTimerFn pCallbackTimer, float fTimeoutInSecs = 1.0f, UINT* pnIDEvent = nullptr,
                    void* pCallbackUserContext = nullptr);
// Disables a timer; identifiers of the other timers stay as they are.
HRESULT KitKillTimer(UINT nIDEvent);
// Counts every enabled timer down by the frame's elapsed time and fires the due ones.
void KitRunTimers();
