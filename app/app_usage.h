// The program's information switches: --help (or -h) prints the usage and
// --version the version; the program then ends without starting the framework,
// so no window, device or display is opened and no switch is reported.
#pragma once

// Answers --help, -h or --version when an argument is exactly one of them
// (help wins over version, and every other argument is ignored): prints to
// standard output and returns true with the exit code in *pnExitCode, 0, or 1
// when the text could not be written. False when no argument asks.
bool AppAnswerInfoSwitch(int* pnExitCode);
