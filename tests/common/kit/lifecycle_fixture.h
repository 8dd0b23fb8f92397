// A clean framework on a fresh headless backend, with the recording test
// application registered and the framework started (hot keys and Alt+Enter on).
#pragma once

#include <gtest/gtest.h>

#include "kit/loop/kit_mainloop.h"
#include "kit/startup/kit_startup.h"
#include "kit/state/kit_getters.h"
#include "support/headless_fixture.h"
#include "support/kit_test_app.h"

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

    // Runs the main loop until the window is closed after the given number of frames.
    HRESULT RunFrames(int nFrames) {
        std::function<void(int)> previous = app.onFrameMove;
        app.onFrameMove = [nFrames, previous](int nFrame) {
            if (previous) previous(nFrame);
            if (nFrame + 1 == nFrames) PostMessageW(KitActiveWindow(), WM_CLOSE, 0, 0);
        };
        return KitMainLoop();
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
