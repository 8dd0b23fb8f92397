// --help, -h and --version: the usage text (switches, mouse and keys,
// environment settings, exit codes) and the version, printed before anything
// else starts. The manual page (packaging/tumbral.6.in) says the same.
#include "app/app_usage.h"

#include <cstdio>
#include <cwchar>

#include "platform/win32.h"

#ifndef TUMBRAL_VERSION
#error "TUMBRAL_VERSION comes from the project's version (CMakeLists.txt)"
#endif

namespace {

const char kUsage[] = R"(Usage: tumbral [SWITCH]...
       tumbral --help | -h | --version

Tumbral is an interactive 3x3x3 puzzle cube. The program reads box.x and its
sticker texture from the current folder; the installed command "tumbral"
starts it from its media folder wherever it is called from. With a display it
opens a window; without one it runs on the headless backend.

Switches start with / or -, are not case-sensitive, and take their value after
a colon. Unknown arguments are reported on the debug output and ignored.
  /adapter:N              use adapter (monitor) N
  /windowed, /fullscreen  start windowed (wins when both are given) or full
                          screen
  /forcehal, /forceref    hardware-style or reference device (/forceref wins;
                          exit code 11 when the run ends on it)
  /forcepurehwvp, /forcehwvp, /forceswvp
                          vertex-processing mode
  /forcevsync:0, /forcevsync:1
                          vertical sync off / on (other values: no effect)
  /width:N, /height:N     back buffer (and window client) size
  /startx:N, /starty:N    window position
  /constantframetime[:S]  time advances by exactly S seconds per frame
                          (default 0.0333)
  /quitafterframe:N       end the run after frame N
  /noerrormsgboxes        no error message boxes (the trace lines stay)
  /nostats                no statistics texts
  /relaunchmce            accepted; restarts a media-centre shell at exit
                          where one exists
  /automation             automation mode for the GUI
  /scramble[:SEED]        start in a scrambled game; with SEED (0 to
                          4294967295) the same scramble on every run
  -h, --help              print this help and exit (exactly these spellings)
  --version               print the version and exit

Mouse and keys:
  right-button drag       orbit the view around the cube
  mouse wheel             zoom (forward: nearer)
  Home (held)             return the view to the start
  left click on a cubie   mark it (white) or unmark it; when two marked cubies
                          sit at the middles of two neighbouring edges of one
                          layer, that layer turns a quarter turn (with
                          Shift held on the second, the other way)
  Ctrl+N                  a new scrambled game, with a move count and a clock
  Ctrl+Z                  take back the last quarter turn
  Ctrl+Y, Ctrl+Shift+Z    make it again
  R, or the button "还原"  restore the start position and the start view
  F1                      show or hide the help (also during a turn)
  Escape                  quit
  Pause                   freeze the clock (a turn goes on)
  F3                      switch to the reference device and back
  F8                      wireframe on or off
  Alt+Enter               windowed <-> full screen
While a layer turns, input other than F1 and these keys is ignored.

Environment:
  TUMBRAL_BACKEND=headless|sdl|auto
                          backend; auto (default) takes SDL when a display is
                          reachable, headless otherwise
  TUMBRAL_HEADLESS_MONITORS=1920x1080@60,...
                          the headless backend's virtual monitors
  TUMBRAL_HEADLESS_NOWAIT=1
                          headless presents do not wait for the refresh
  TUMBRAL_SCRIPT=FILE     input script for the headless backend
  TUMBRAL_RASTER_THREADS=N
                          threads the rasterizer draws on, 1 to 16
  TUMBRAL_PRESENT=surface|renderer|auto
                          how an SDL window shows frames
  TUMBRAL_REDRAW_ALL=1    draw every band of every frame
  TUMBRAL_DEBUG_OUTPUT=FILE|off
                          where trace lines go (default: standard error)
  TUMBRAL_REGISTRY_FILE=FILE
                          the registry file (default
                          ~/.config/tumbral/registry)
The installed command keeps the relative file names of these settings relative
to the folder it is called from; names inside a script are relative to the
media folder, so give them as absolute paths.

Exit codes: 0 normal end; 1 a failure without a message of its own; 2 no
Direct3D, or a bad input script; 3 no compatible device; 4 required media not
found; 5 a device reference leaked; 6, 7 creating / resetting the device
failed; 8, 9 creating / resetting the device objects failed; 10 wrong
Direct3D / D3DX version; 11 the run ended on the reference device.
)";

const char kVersion[] = "tumbral " TUMBRAL_VERSION "\n";

enum class InfoSwitch { None, Version, Help };

// The strongest information switch on the command line.
InfoSwitch FindInfoSwitch() {
    int nNumArgs = 0;
    LPWSTR* pstrArgList = CommandLineToArgvW(GetCommandLineW(), &nNumArgs);
    if (pstrArgList == nullptr) return InfoSwitch::None;
    InfoSwitch found = InfoSwitch::None;
    for (int iArg = 1; iArg < nNumArgs; ++iArg) {
        const WCHAR* strArg = pstrArgList[iArg];
        if (wcscmp(strArg, L"--help") == 0 || wcscmp(strArg, L"-h") == 0) found = InfoSwitch::Help;
        if (wcscmp(strArg, L"--version") == 0 && found == InfoSwitch::None) found = InfoSwitch::Version;
    }
    LocalFree(pstrArgList);
    return found;
}

}  // namespace

bool AppAnswerInfoSwitch(int* pnExitCode) {
    const InfoSwitch found = FindInfoSwitch();
    if (found == InfoSwitch::None) return false;
    std::fputs(found == InfoSwitch::Help ? kUsage : kVersion, stdout);
    // A full disk or a closed pipe is a failure, as for any command-line tool.
    const bool bWritten = std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!bWritten) std::fputs("tumbral: could not write to standard output\n", stderr);
    *pnExitCode = bWritten ? 0 : 1;
    return true;
}
