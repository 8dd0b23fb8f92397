// The process entry: turns argv into the Windows-style command line, chooses
// the backend (so that a bad input script or an unusable display is reported
// before the program starts), and calls the program's wWinMain, whose result
// becomes the exit code.
#include <cstdio>
#include <new>

#include "platform/backend/backend_table.h"
#include "platform/win32.h"
#include "platform/win32/kernel_process.h"

int main(int argc, char** argv) {
    // Memory that runs out outside every place that reports it as a result
    // code ends the program with exit code 1 and a line, not an abort.
    try {
        plat::SetProcessCommandLine(argc, argv);
        plat::CurrentBackend();
        return wWinMain(plat::ProgramInstance(), nullptr, plat::CommandLineArguments(), SW_SHOWDEFAULT);
    } catch (const std::bad_alloc&) {
        std::fputs("tumbral: out of memory\n", stderr);
        return 1;
    }
}
