// Terminating the framework.
#pragma once

// Closes the window, stores the exit code, releases the device and the
// Direct3D object and gives the user's accessibility keys back. An exit code
// of 0 does not replace a failure code already stored. Also the framework
// state's exit action at process exit.
void KitTerminate(int nExitCode = 0);
