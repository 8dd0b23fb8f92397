// X errors under SDL's X11 driver: logged, never the end of the process.
#pragma once

namespace plat {

// Installs the handler for the whole process (X error handlers are global to Xlib).
void KeepGoingOnXErrors();

}  // namespace plat
