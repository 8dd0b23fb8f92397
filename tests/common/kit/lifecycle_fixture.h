// A clean framework on a fresh headless backend, with the recording test
// application registered and the framework started (hot keys and Alt+Enter on).
#pragma once

#include <gtest/gtest.h>

#include "common/kit/loop/kit_mainloop.h"
#include "common/kit/startup/kit_startup.h"
#include "common/kit/state/kit_getters.h"
#include "tests/support/headless_fixture.h"
#include "tests/support/kit_test_app.h"

namespace kittest {

class KitAppTest : public tumbral_test::HeadlessTest {
  protected:
    KitTestApp app;

    void SetUp() override {
        HeadlessTest::SetUp();
        KitResetStateForTests();
        app.Register();
        ASSERT_EQ(KitStartup(false, true, true, true), S_OK);
    }
    void TearDown() override {
        KitResetStateForTests();
        HeadlessTest::TearDown();
    }

    // Starts the framework afresh on two monitors side by side (1920x1080, then
    // 1280x1024) and builds the device.
    void RestartOnTwoMonitors() {
        KitResetStateForTests();
        plat::HeadlessConfig config;
        config.noWait = true;
        config.monitors = {plat::DisplayMode{1920, 1080, 60, 32}, plat::DisplayMode{1280, 1024, 60, 32}};
        UseBackend(config);
        app.Register();
        ASSERT_EQ(KitStartup(false, true, true, true), S_OK);
        ASSERT_EQ(app.Build(), S_OK);
    }

    // Runs the main loop until the window is closed after the given number of frames.
    HRESULT RunFrames(int nFrames) {
        std::function<void(int)> previous = app.onFrameMove;
        app.onFrameMove = [nFrames, previous](int nFrame) {
            if (previous) previous(nFrame);
            if (nFrame + 1 == nFrames) PostMessageW(KitActiveWindow(), WM_CLOSE, 0, 0);
        };
        return KitMainLoop();
    }

    // Builds the device and runs two frames: app.moves holds the two frame moves.
    void BuildAndRunTwoFrames() {
        ASSERT_EQ(app.Build(), S_OK);
        ASSERT_EQ(RunFrames(2), S_OK);
        ASSERT_EQ(app.moves.size(), 2u);
    }

    static UINT BackBufferWidth() { return KitGetBackBufferSurfaceDesc()->Width; }
    static UINT BackBufferHeight() { return KitGetBackBufferSurfaceDesc()->Height; }
    static RECT WindowRect() {
        RECT rc{};
        GetWindowRect(KitActiveWindow(), &rc);
        return rc;
    }
};

}  // namespace kittest
