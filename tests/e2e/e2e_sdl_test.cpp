// The basic scenario in a real window: the SDL backend in a private X server,
// driven with xdotool like a user would. Skipped, with the reason, where Xvfb
// or xdotool are not installed.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "e2e_support.h"
#include "support/x11_session.h"

using namespace e2e;

namespace {

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The same input on the headless backend: two edge cubies, the turn, then the orbit.
constexpr const char* kHeadlessTwin =
    "@frame 3\nclick 320 156\nclick 404 240\n@frame 70\ndrag right 320 240 260 290\n@frame 73\n";

}  // namespace

TEST(RealWindow, StartClickTwoEdgesOrbitHelpAndEscape) {
    tumbral_test::X11Session x11;
    std::string why;
    if (!x11.Start(why)) GTEST_SKIP() << "real-window test skipped: " << why;

    ScratchDir scratch;
    RunOptions options;
    options.bHeadless = false;
    options.args = {"/noerrormsgboxes"};
    options.nTimeoutMs = 30000;
    AppProcess app;
    ASSERT_TRUE(app.Start(options, scratch)) << app.Wait().strStderr;

    const unsigned long xid = x11.FindWindow("Tumbral", 10000);
    if (xid == 0) {
        RunResult r = app.Wait();
        FAIL() << "no window titled Tumbral; exit " << r.nExitCode << "\n" << r.strStderr;
    }
    const std::string wid = std::to_string(xid);
    auto xdo = [&](const std::string& args) { x11.Run("xdotool " + args); };
    auto grab = [&](const std::string& name) {
        Image img;
        x11.Run("import -window " + wid + " " + scratch.File(name + ".png"));
        EXPECT_TRUE(img.Load(scratch.File(name + ".png"))) << name;
        return img;
    };
    xdo("windowactivate --sync " + wid);
    Pause(800);

    // The start view: the cube in the middle, statistics, help.
    Image start = grab("start");
    ASSERT_EQ(start.nWidth, 640);
    ASSERT_EQ(start.nHeight, 480);
    Box cube = CubeBounds(start);
    EXPECT_NEAR(cube.CenterX(), 320, 6);
    EXPECT_NEAR(cube.CenterY(), 240, 6);
    EXPECT_GT(Count(start, Box{5, 5, 400, 35}, IsYellow), 200);
    EXPECT_GT(Count(start, Box{10, 390, 300, 420}, IsOrange), 90);

    // Two edge cubies of the front face: the layer turns; then an orbit.
    xdo("mousemove --window " + wid + " 320 156 click 1");
    Pause(100);
    xdo("mousemove --window " + wid + " 404 240 click 1");
    Pause(3000);  // 51 frames at the display's rate
    xdo("mousemove --window " + wid + " 320 240 mousedown 3");
    for (int i = 1; i <= 8; ++i) {
        Pause(30);
        xdo("mousemove --window " + wid + " " + std::to_string(320 - 60 * i / 8) + " " +
            std::to_string(240 + 50 * i / 8));
    }
    Pause(100);
    xdo("mouseup 3");
    Pause(800);
    Image turned = grab("turned");

    // F1 swaps the help for the hint.
    xdo("key F1");
    Pause(800);
    Image hint = grab("hint");
    EXPECT_EQ(Count(hint, Box{10, 390, 300, 420}, IsOrange), 0);
    EXPECT_GT(Count(hint, Box{10, 450, 300, 465}, IsWhite), 60);

    xdo("key Escape");
    RunResult r = app.Wait();
    EXPECT_FALSE(r.bTimedOut);
    EXPECT_EQ(r.nExitCode, 0) << r.strStderr;

    // The real window shows what the headless run of the same input shows.
    ScratchDir twinScratch;
    RunOptions twin;
    twin.strScript =
        std::string(kHeadlessTwin) + "shot " + twinScratch.File("twin.png") + "\npress VK_ESCAPE\n";
    RunResult tr = RunApp(twin, twinScratch);
    ASSERT_EQ(tr.nExitCode, 0) << tr.strStderr;
    Image expected;
    ASSERT_TRUE(expected.Load(twinScratch.File("twin.png")));
    EXPECT_GT(CountDifferent(start, expected, SceneArea(start)), 3000);  // the turn and the orbit show
    EXPECT_LT(CountDifferent(turned, expected, SceneArea(start)), 200);
}
