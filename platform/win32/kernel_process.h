// Process-wide facts the kernel side keeps: the command line and the program's
// instance handle. The process entry sets the command line from argv; without
// it (test programs) it is read from /proc/self/cmdline on first use.
#pragma once

#include <string>

#include "platform/win32kernel.h"

namespace plat {

// Builds the Windows-style command line from argv (UTF-8): each argument is
// quoted when empty or when it holds blanks or quotes, with backslashes before
// quotes doubled, so CommandLineToArgvW returns argv unchanged.
void SetProcessCommandLine(int argc, const char* const* argv);

// Quotes one argument the way SetProcessCommandLine does.
std::wstring QuoteArgument(const std::wstring& arg);

// The instance handle of the program (GetModuleHandleW(NULL)).
HINSTANCE ProgramInstance();

// The command line with the program name and the blanks after it removed: the
// text wWinMain receives.
LPWSTR CommandLineArguments();

}  // namespace plat
