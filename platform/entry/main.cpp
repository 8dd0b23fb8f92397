// The process entry: turns argv into the Windows-style command line, chooses
// the backend (so that a bad input script or an unusable display is reported
// before the program starts), and calls the program's wWinMain, whose result
// becomes the exit code.
#include "platform/backend/backend_table.h"
#include "platform/win32.h"
#include "platform/win32/kernel_process.h"

int main(int argc, char** argv) {
    plat::SetProcessCommandLine(argc, argv);
    plat::CurrentBackend();
    return wWinMain(plat::ProgramInstance(), nullptr, plat::CommandLineArguments(), SW_SHOWDEFAULT);
}
