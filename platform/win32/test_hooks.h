// Hooks for tests into the window system: a full reset between tests and a
// look at each modal dialog before its message loop runs.
#pragma once

#include <functional>

#include "platform/win32types.h"

namespace plat {

// Destroys every window (without messages) and clears queue, input state,
// hooks, classes, capture, focus and the quit flag.
void ResetWindowSystem();
// Called with each modal dialog once it is initialised and shown, before its message loop runs.
typedef std::function<void(HWND dialog)> DialogHook;
void SetDialogHook(DialogHook hook);

}  // namespace plat
