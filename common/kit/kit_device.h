// Device lifecycle: building, changing, resetting and releasing the device,
// and terminating the framework. Defined with the device lifecycle.
#pragma once

// Closes the window, stores the exit code, releases the device and the
// Direct3D object and gives the user's accessibility keys back.
void KitTerminate(int nExitCode = 0);
