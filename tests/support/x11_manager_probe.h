// Whether a window manager on the X display has started managing windows.
// Xlib's macros stay in the source file.
#pragma once

namespace tumbral_test {

// Maps a small probe window on the display named by DISPLAY and waits until a
// reparenting window manager has put it in a frame, asking again every second
// while nobody mapped it (a request made while the manager started may be
// missed); the probe is destroyed afterwards. False when no display opens or nothing framed it within
// `timeoutMs`.
bool WindowManagerFramesWindows(int timeoutMs);

}  // namespace tumbral_test
