// Asking the window manager to maximise or restore a window from outside the
// program, as a task bar or pager does. Xlib's macros stay in the source file.
#pragma once

namespace tumbral_test {

// Sends the manager the _NET_WM_STATE request to add (or remove) both maximised
// states of the X window `xid`, and waits until the server has passed it on.
// False when no display opens.
bool AskManagerToMaximise(unsigned long xid, bool maximise);

}  // namespace tumbral_test
