// Starting the program on the SDL backend in a private X server and finding
// its window, for the real-window scenarios.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/e2e/e2e_support.h"
#include "tests/support/x11_session.h"

namespace e2e {

// Starts the program in a real window (message boxes off, ending by itself after
// `nTimeoutMs`) and sets `wid` to its X window's id once it is mapped; a fatal
// failure, with the program's output, when it does not start or shows no window.
inline void StartInRealWindow(tumbral_test::X11Session& x11, const ScratchDir& scratch, AppProcess& app,
                              std::string& wid, int nTimeoutMs = 30000) {
    RunOptions options;
    options.bHeadless = false;
    options.args = {"/noerrormsgboxes"};
    options.nTimeoutMs = nTimeoutMs;
    ASSERT_TRUE(app.Start(options, scratch)) << app.Wait().strStderr;
    const unsigned long xid = x11.FindWindow("Tumbral", 10000);
    if (xid == 0) {
        RunResult r = app.Wait();
        FAIL() << "no window titled Tumbral; exit " << r.nExitCode << "\n" << r.strStderr;
    }
    wid = std::to_string(xid);
}

}  // namespace e2e
