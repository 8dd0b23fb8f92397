// Requests naming an X window that does not exist, on a connection of its own
// or on SDL's. Xlib's macros stay in the source file.
#pragma once

namespace tumbral_test {

// Sends the request and waits for the server's answer; false when no display opens.
bool SendRequestForAMissingWindow();

// What SDL asks when it handles a move of its window under a window manager:
// where a window is (XTranslateCoordinates), here about a window another client
// made and destroyed just before, asked on the X connection of SDL's window
// `sdlWindowId`. Waits for the server's answer; `gone` is the window asked
// about. False when that window is not an X11 one or no display opens.
bool AskWhereAGoneWindowIs(unsigned int sdlWindowId, unsigned long& gone);

}  // namespace tumbral_test
