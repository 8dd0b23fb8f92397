// The process entry: turns argv into the Windows-style command line and calls
// the program's wWinMain, whose result becomes the exit code.
#include "platform/win32.h"
#include "platform/win32/kernel_process.h"

int main(int argc, char** argv) {
    plat::SetProcessCommandLine(argc, argv);
    return wWinMain(plat::ProgramInstance(), nullptr, plat::CommandLineArguments(), SW_SHOWDEFAULT);
}
