// The application's own command-line switch: /scramble[:SEED] starts the
// program in a scrambled game; SEED (0 to 4294967295) makes the scramble the
// same on every run and machine.
#pragma once

#include <cstdint>

#include "platform/win32.h"

struct ScrambleSwitch {
    bool bScramble = false;  // the switch was given
    bool bSeeded = false;    // with a usable seed
    uint32_t nSeed = 0;
};

// The switch's name, as registered with the framework.
constexpr WCHAR kScrambleSwitch[] = L"scramble";

// Reads the switch from an argument list (the first element, the program,
// is skipped); the last one given counts. A value that is not a number from
// 0 to 4294967295 (empty, signed, with other characters or too large) is
// reported on the debug output, naming the switch, and leaves the scramble
// without a seed.
ScrambleSwitch AppParseScrambleSwitch(int nArgs, const WCHAR* const* pArgs);
// The same from the process command line.
ScrambleSwitch AppReadScrambleSwitch();
