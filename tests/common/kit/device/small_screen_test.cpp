// Screens smaller than a window's frame: the window keeps a client area of at
// least one pixel and the back buffer takes it, instead of fitting the window
// to the back buffer and the back buffer to the window without end.
#include "common/kit/state/kit_getters.h"
#include "tests/common/kit/lifecycle_fixture.h"

namespace {

class SmallScreenTest : public kittest::KitAppTest {
  protected:
    void RestartOn(int nWidth, int nHeight) {
        kittest::KitResetStateForTests();
        plat::HeadlessConfig config;
        config.noWait = true;
        config.monitors = {plat::DisplayMode{nWidth, nHeight, 60, 32}};
        UseBackend(config);
        app.Register();
        ASSERT_EQ(KitStartup(false, true, true, true), S_OK);
    }
};

TEST_F(SmallScreenTest, TheWindowKeepsAClientAreaAndTheBackBufferTakesIt) {
    // The headless primary monitor's work area is its height less a 40-pixel task bar.
    const int kScreens[][2] = {{100, 72}, {100, 32}, {64, 32}, {8, 8}, {1, 1}, {0, 0}, {-5, -5}};
    for (const auto& screen : kScreens) {
        SCOPED_TRACE(testing::Message() << screen[0] << " x " << screen[1]);
        ASSERT_NO_FATAL_FAILURE(RestartOn(screen[0], screen[1]));
        app.moves.clear();
        RECT rcClient{};
        SIZE backBuffer{};
        app.onFrameMove = [&](int) {
            rcClient = KitClientRect();
            backBuffer = SIZE{LONG(BackBufferWidth()), LONG(BackBufferHeight())};
        };
        ASSERT_EQ(app.Build(), S_OK);
        ASSERT_EQ(RunFrames(3), S_OK);
        EXPECT_EQ(app.moves.size(), 3u);
        EXPECT_EQ(KitProcessExitCode(), 0);
        EXPECT_GE(rcClient.right, 1);
        EXPECT_GE(rcClient.bottom, 1);
        EXPECT_EQ(backBuffer.cx, rcClient.right);
        EXPECT_EQ(backBuffer.cy, rcClient.bottom);
    }
}

}  // namespace
