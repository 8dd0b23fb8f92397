// The process entry: turns argv into the Windows-style command line and calls
// the program's wWinMain, whose result becomes the exit code. The backend is
// chosen by the first call that needs the window system (the framework's
// start-up, before any window), so a bad input script or an unusable display
// is still reported before the program shows anything, while a program that
// only answers --help never opens a display.
#include <cstdio>
#include <new>

#include "platform/d3dx9/font_match.h"
#include "platform/win32.h"
#include "platform/win32/kernel_process.h"

namespace {
// The font configuration loads on a second thread from before the program's own
// static objects are made, so that it is ready when the first font is created.
__attribute__((init_priority(101))) plat::FontMatchingWarmUp g_fontMatchingWarmUp;
}  // namespace

int main(int argc, char** argv) {
    // Memory that runs out outside every place that reports it as a result
    // code ends the program with exit code 1 and a line, not an abort.
    try {
        plat::SetProcessCommandLine(argc, argv);
        return wWinMain(plat::ProgramInstance(), nullptr, plat::CommandLineArguments(), SW_SHOWDEFAULT);
    } catch (const std::bad_alloc&) {
        std::fputs("tumbral: out of memory\n", stderr);
        return 1;
    }
}
