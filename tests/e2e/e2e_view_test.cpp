// What a user sees: the cube in the middle of the start view, the statistics
// lines, the help block and its F1 hint; orbiting, zooming and returning the
// view; wireframe.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_script_test.h"

using namespace e2e;

using ViewTest = ScriptTest;

TEST_F(ViewTest, StartViewShowsTheCubeTheStatisticsAndTheHelpWhichF1Swaps) {
    Run("@frame 3\n" + Shot("start") + "press VK_F1\n@frame 6\n" + Shot("hint") + "press VK_F1\n@frame 9\n" +
        Shot("help") + "press VK_ESCAPE\n");
    Image start = Load("start"), hint = Load("hint"), help = Load("help");
    ASSERT_EQ(start.nWidth, 640);
    ASSERT_EQ(start.nHeight, 480);

    // The cube: centred, about half the height of the view.
    Box cube = CubeBounds(start);
    EXPECT_NEAR(cube.CenterX(), 320, 6);
    EXPECT_NEAR(cube.CenterY(), 240, 6);
    EXPECT_GT(cube.Height(), 160);
    EXPECT_LT(cube.Height(), 360);

    // Two yellow statistics lines from y = 5, 15 pixels apart.
    const Box statsLine1{5, 5, 400, 20}, statsLine2{5, 20, 400, 35};
    EXPECT_GT(Count(start, statsLine1, IsYellow), 100);
    EXPECT_GT(Count(start, statsLine2, IsYellow), 100);
    EXPECT_EQ(Count(start, Box{0, 36, 640, 42}, IsYellow), 0);

    // Help: orange, from (10, 390) and (40, 405); the hint's place is empty.
    const Box helpLine1{10, 390, 300, 405}, helpLine2{40, 405, 300, 420}, hintLine{10, 450, 300, 465};
    EXPECT_GT(Count(start, helpLine1, IsOrange), 60);
    EXPECT_GT(Count(start, helpLine2, IsOrange), 30);
    EXPECT_EQ(Count(start, Box{0, 405, 39, 420}, IsOrange), 0);
    EXPECT_EQ(Count(start, hintLine, [](uint32_t p) { return !IsBackground(p); }), 0);

    // F1: the help goes, the white hint appears at (10, 450); statistics stay.
    EXPECT_EQ(Count(hint, Box{0, 385, 640, 425}, [](uint32_t p) { return !IsBackground(p); }), 0);
    EXPECT_GT(Count(hint, hintLine, IsWhite), 60);
    EXPECT_GT(Count(hint, statsLine1, IsYellow), 100);

    // F1 again: back to the help.
    EXPECT_GT(Count(help, helpLine1, IsOrange), 60);
    EXPECT_EQ(Count(help, hintLine, [](uint32_t p) { return !IsBackground(p); }), 0);
}

TEST_F(ViewTest, RightDragOrbitsWheelZoomsHomeReturns) {
    Run("@frame 3\n" + Shot("start") + "drag right 320 240 260 290\n@frame 6\n" + Shot("orbit") +
        "keydown VK_HOME\n@frame 8\nkeyup VK_HOME\n@frame 10\n" + Shot("home") + "wheel 2\n@frame 13\n" +
        Shot("zoom") + "keydown VK_HOME\n@frame 15\nkeyup VK_HOME\n@frame 17\n" + Shot("home2") +
        "drag left 80 300 200 340\n@frame 20\n" + Shot("leftdrag") + "press VK_ESCAPE\n");
    Image start = Load("start"), orbit = Load("orbit"), home = Load("home"), zoom = Load("zoom"),
          home2 = Load("home2"), leftdrag = Load("leftdrag");
    const Box scene = SceneArea(start);

    // Orbit: the silhouette changes (the top and a side face come into view).
    EXPECT_GT(CountDifferent(start, orbit, scene), 10000);
    Box cube = CubeBounds(start), orbited = CubeBounds(orbit);
    EXPECT_FALSE(orbited.left == cube.left && orbited.top == cube.top && orbited.right == cube.right);

    // Home: exactly the start view again.
    EXPECT_EQ(CountDifferent(start, home, scene), 0);

    // Two notches forward: nearer, so larger (distance 100 -> 80: a quarter larger).
    Box zoomed = CubeBounds(zoom);
    EXPECT_GT(zoomed.Width(), cube.Width() * 115 / 100);
    EXPECT_NEAR(zoomed.CenterX(), 320, 6);
    EXPECT_EQ(CountDifferent(start, home2, scene), 0);

    // A left drag (starting beside the cube, so it marks nothing) turns only
    // the camera's model rotation, which the cube does not use.
    EXPECT_EQ(CountDifferent(start, leftdrag, scene), 0);
}

TEST_F(ViewTest, F8DrawsTheCubeAsLinesAndBack) {
    Run("@frame 3\n" + Shot("solid") + "press VK_F8\n@frame 6\n" + Shot("wire") + "press VK_F8\n@frame 9\n" +
        Shot("solid2") + "press VK_ESCAPE\n");
    Image solid = Load("solid"), wire = Load("wire"), solid2 = Load("solid2");
    const Box cube = CubeBounds(solid);
    const int area = cube.Width() * cube.Height();
    auto background = [](uint32_t p) { return IsBackground(p); };

    // Solid: the front face covers its square; wireframe: the square is mostly background between lines.
    EXPECT_LT(Count(solid, cube, background), area / 10);
    EXPECT_GT(Count(wire, cube, background), area * 6 / 10);
    EXPECT_GT(Count(wire, cube, [](uint32_t p) { return !IsBackground(p); }), area / 50);
    EXPECT_EQ(CountDifferent(solid, solid2, SceneArea(solid)), 0);
}
