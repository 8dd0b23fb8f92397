// Window and message handling: the window procedure, the full-screen cursor
// and the accessibility-key policy. The window procedure and the cursor are
// defined with the window handling; the accessibility keys in
// kit_accessibility_keys.cpp.
#pragma once

#include "platform/d3d9.h"

// Applies the full-screen cursor switches (hide/show, clip) to the current device.
void KitApplyCursorPolicy();

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
