// Accessibility shortcut keys and the Windows keys while the application runs.
#pragma once

#include "platform/win32.h"

// Stores whether the accessibility shortcut keys stay available when full
// screen and when windowed; once the framework is initialised, applies the
// one for the current mode.
void KitSetAccessibilityKeyPolicy(bool bAllowWhenFullScreen, bool bAllowWhenWindowed);
// Allow: the user's start-up settings go back and the Windows-key hook is
// removed. Suppress: the hook is installed and the shortcut hot keys of the
// features that are off are disabled.
void KitAllowAccessibilityKeys(bool bAllowKeys);
// The low-level keyboard hook: swallows the Windows keys while the keys are suppressed.
LRESULT CALLBACK KitWindowsKeyHook(int nCode, WPARAM wParam, LPARAM lParam);
