// The basic scenario in a real window: the SDL backend in a private X server,
// driven with xdotool like a user would. Skipped, with the reason, where Xvfb
// or xdotool are not installed.
#include <gtest/gtest.h>

#include <functional>

#include "tests/e2e/e2e_real_window.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/x11_session.h"

using namespace e2e;

namespace {

// The same input on the headless backend: two edge cubies, the turn, then the orbit.
// It shows what the real window must come to after the turn and after the orbit.
std::string HeadlessTwin(const ScratchDir& scratch) {
    return "@frame 3\nclick 320 156\nclick 404 240\n@frame 66\nshot " + scratch.File("twin-turned.png") +
           "\n@frame 67\ndrag right 320 240 260 290\n@frame 70\nshot " + scratch.File("twin.png") +
           "\npress VK_ESCAPE\n";
}

}  // namespace

TEST(RealWindow, StartClickTwoEdgesOrbitHelpAndEscape) {
    tumbral_test::X11Session x11;
    std::string why;
    if (!x11.Start(why)) GTEST_SKIP() << "real-window test skipped: " << why;

    // The headless twin first: the pictures the real window is waited for.
    ScratchDir twinScratch;
    RunOptions twin;
    twin.strScript = HeadlessTwin(twinScratch);
    RunResult tr = RunApp(twin, twinScratch);
    ASSERT_EQ(tr.nExitCode, 0) << tr.strStderr;
    Image twinTurned, expected;
    ASSERT_TRUE(twinTurned.Load(twinScratch.File("twin-turned.png")));
    ASSERT_TRUE(expected.Load(twinScratch.File("twin.png")));

    ScratchDir scratch;
    AppProcess app;
    std::string wid;
    ASSERT_NO_FATAL_FAILURE(StartInRealWindow(x11, scratch, app, wid));
    auto xdo = [&](const std::string& args) { x11.Run("xdotool " + args); };
    // Screenshots of the window until one shows what `done` looks for (or 10 s pass); the last one.
    auto waitFor = [&](const std::string& name, const std::function<bool(const Image&)>& done) {
        Image img;
        const std::string path = scratch.File(name + ".png");
        tumbral_test::PollUntil(
            [&] {
                x11.Run("import -window " + wid + " " + path);
                img = Image{};
                return img.Load(path) && img.nWidth == 640 && img.nHeight == 480 && done(img);
            },
            10000);
        EXPECT_TRUE(img.nWidth > 0) << name << ": no screenshot of the window";
        return img;
    };
    xdo("windowactivate --sync " + wid);

    // The start view: the cube in the middle, statistics, help.
    auto startDrawn = [](const Image& img) {
        return !CubeBounds(img).Empty() && Count(img, Box{5, 5, 400, 35}, IsYellow) > 200 &&
               Count(img, Box{10, 390, 300, 420}, IsOrange) > 90;
    };
    Image start = waitFor("start", startDrawn);
    ASSERT_EQ(start.nWidth, 640);
    ASSERT_EQ(start.nHeight, 480);
    Box cube = CubeBounds(start);
    EXPECT_NEAR(cube.CenterX(), 320, 6);
    EXPECT_NEAR(cube.CenterY(), 240, 6);
    EXPECT_GT(Count(start, Box{5, 5, 400, 35}, IsYellow), 200);
    EXPECT_GT(Count(start, Box{10, 390, 300, 420}, IsOrange), 90);

    // Two edge cubies of the front face: the first shows marked, then the layer
    // turns until the window shows what the headless run shows after the turn.
    const FrontGrid grid(start);
    const Box top = grid.Cell(1, 0);
    xdo("mousemove --window " + wid + " 320 156 click 1");
    Image marked = waitFor("marked", [&](const Image& img) { return Count(img, top, IsWhite) > 0; });
    EXPECT_GT(Count(marked, top, IsWhite), top.Width() * top.Height() / 2);
    xdo("mousemove --window " + wid + " 404 240 click 1");
    Image turnedOnly = waitFor("turned-only", [&](const Image& img) {
        return CountDifferent(img, twinTurned, SceneArea(img)) < 200;
    });
    EXPECT_LT(CountDifferent(turnedOnly, twinTurned, SceneArea(start)), 200);

    // An orbit with the right button.
    xdo("mousemove --window " + wid + " 320 240 mousedown 3");
    for (int i = 1; i <= 8; ++i)
        xdo("mousemove --window " + wid + " " + std::to_string(320 - 60 * i / 8) + " " +
            std::to_string(240 + 50 * i / 8));
    xdo("mouseup 3");
    // The real window shows what the headless run of the same input shows.
    Image turned = waitFor(
        "turned", [&](const Image& img) { return CountDifferent(img, expected, SceneArea(img)) < 200; });
    EXPECT_GT(CountDifferent(start, expected, SceneArea(start)), 3000);  // the turn and the orbit show
    EXPECT_LT(CountDifferent(turned, expected, SceneArea(start)), 200);

    // F1 swaps the help for the hint.
    xdo("key F1");
    Image hint = waitFor("hint", [](const Image& img) {
        return Count(img, Box{10, 390, 300, 420}, IsOrange) == 0 &&
               Count(img, Box{10, 450, 300, 465}, IsWhite) > 60;
    });
    EXPECT_EQ(Count(hint, Box{10, 390, 300, 420}, IsOrange), 0);
    EXPECT_GT(Count(hint, Box{10, 450, 300, 465}, IsWhite), 60);

    xdo("key Escape");
    RunResult r = app.Wait();
    EXPECT_FALSE(r.bTimedOut);
    EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
}
