// A suite of real-window tests: a private X server for the whole suite and the
// SDL backend in place of the headless one, put back afterwards. The tests are
// skipped, with the reason, where the server or the backend cannot be had.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/headless/headless_backend.h"
#include "tests/support/x11_session.h"

namespace tumbral_test {

class SdlSuite : public ::testing::Test {
  protected:
    // Starts the server (with `serverArgs` for Xvfb) and switches to the SDL
    // backend; with `windowManager`, only where openbox is installed.
    static void StartSuite(bool windowManager, const std::vector<std::string>& serverArgs = {}) {
        s_skipWhy.clear();
        s_x11 = new X11Session;
        if (!s_x11->Start(s_skipWhy, serverArgs)) return;
        if (windowManager && !ToolInstalled("openbox")) {
            s_skipWhy = "full screen needs a window manager (openbox)";
            return;
        }
        auto backend = plat::CreateBackendByName("sdl");
        if (!backend) {
            s_skipWhy = "the SDL backend could not open the X display";
            return;
        }
        plat::ResetWindowSystem();
        plat::SetBackend(std::move(backend));
        s_ready = true;
    }

    // Puts a headless backend that never waits back in place and stops the server.
    static void EndSuite() {
        if (s_ready) {
            plat::ResetWindowSystem();
            plat::HeadlessConfig config;
            config.noWait = true;
            plat::SetBackend(std::make_unique<plat::HeadlessBackend>(config));
        }
        delete s_x11;
        s_x11 = nullptr;
        s_ready = false;
    }

    // One suite runs at a time, so the suites share these.
    inline static X11Session* s_x11 = nullptr;
    inline static std::string s_skipWhy;
    inline static bool s_ready = false;
};

}  // namespace tumbral_test
