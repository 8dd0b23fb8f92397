// The command line: "/name" or "-name" switches, some with ":value".
#pragma once

// Turns the process command line's switches into overrides in the framework state.
void KitReadCommandLine();
