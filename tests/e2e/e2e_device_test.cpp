// Device changes seen from outside: F3 switches to the reference device and
// back (exit codes 11 and 0) and the puzzle comes through unchanged; no run
// leaves a device reference behind.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

constexpr const char* kOrbit = "drag right 320 240 260 290\n";

struct Outcome {
    RunResult run;
    Image view;  // the orbited view after the turn (and the switches)
};

// Marks the top and right edge cubies of the front face (from the start view
// at 640 x 480), waits for the turn to end, marks the centre cubie, presses F3
// `switches` times, then orbits and takes a picture.
Outcome TurnSwitchAndLook(int switches) {
    ScratchDir scratch;
    std::string script = "@frame 3\nclick 320 156\nclick 404 240\n@frame 70\nclick 320 240\n";
    int frame = 72;
    for (int i = 0; i < switches; ++i) {
        script += "@frame " + std::to_string(frame) + "\npress VK_F3\n";
        frame += 4;
    }
    script += "@frame " + std::to_string(frame) + "\n" + kOrbit;
    script +=
        "@frame " + std::to_string(frame + 3) + "\nshot " + scratch.File("view.png") + "\npress VK_ESCAPE\n";
    RunOptions options;
    options.strScript = script;
    Outcome out;
    out.run = RunApp(options, scratch);
    out.view.Load(scratch.File("view.png"));
    return out;
}

}  // namespace

TEST(DeviceSwitch, F3GoesToTheReferenceDeviceAndBackKeepingThePuzzle) {
    Outcome hal = TurnSwitchAndLook(0);
    Outcome ref = TurnSwitchAndLook(1);
    Outcome back = TurnSwitchAndLook(2);
    ASSERT_FALSE(hal.run.bTimedOut || ref.run.bTimedOut || back.run.bTimedOut);

    EXPECT_EQ(hal.run.nExitCode, 0) << hal.run.strStderr;
    EXPECT_EQ(ref.run.nExitCode, 11) << ref.run.strStderr;
    EXPECT_EQ(back.run.nExitCode, 0) << back.run.strStderr;
    for (const Outcome* o : {&hal, &ref, &back}) {
        EXPECT_EQ(o->run.strStderr.find("non-zero reference count"), std::string::npos) << o->run.strStderr;
        EXPECT_EQ(o->run.strStderr.find("D3DXLoadMeshFromX"), std::string::npos) << o->run.strStderr;
    }

    // Same turned layer, same mark, same picture on every device.
    ASSERT_GT(hal.view.nWidth, 0);
    ASSERT_GT(CubePixels(hal.view), 20000);
    EXPECT_GT(Count(hal.view, SceneArea(hal.view), IsWhite), 1000);
    EXPECT_EQ(CountDifferent(hal.view, ref.view, SceneArea(hal.view)), 0);
    EXPECT_EQ(CountDifferent(hal.view, back.view, SceneArea(hal.view)), 0);
}

TEST(DeviceSwitch, FullScreenAndBackAndALostDeviceKeepThePuzzle) {
    ScratchDir scratch;
    RunOptions options;
    options.strScript = "@frame 3\nclick 320 240\n@frame 5\nshot " + scratch.File("marked.png") +
                        "\npress alt+VK_RETURN\n@frame 10\nshot " + scratch.File("full.png") +
                        "\npress alt+VK_RETURN\n@frame 15\ndeviceloss\n@frame 22\nshot " +
                        scratch.File("back.png") + "\npress VK_ESCAPE\n";
    RunResult r = RunApp(options, scratch);
    ASSERT_FALSE(r.bTimedOut);
    EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
    EXPECT_EQ(r.strStderr.find("non-zero reference count"), std::string::npos) << r.strStderr;

    Image marked, full, back;
    ASSERT_TRUE(marked.Load(scratch.File("marked.png")));
    ASSERT_TRUE(full.Load(scratch.File("full.png")));
    ASSERT_TRUE(back.Load(scratch.File("back.png")));
    // Full screen on the 1920 x 1080 monitor: the cube, its mark, in the middle.
    EXPECT_EQ(full.nWidth, 1920);
    EXPECT_EQ(full.nHeight, 1080);
    Box cube = CubeBounds(full);
    EXPECT_NEAR(cube.CenterX(), 960, 8);
    EXPECT_NEAR(cube.CenterY(), 540, 8);
    EXPECT_GT(
        Count(full, Box{cube.CenterX() - 20, cube.CenterY() - 20, cube.CenterX() + 20, cube.CenterY() + 20},
              IsWhite),
        1000);
    // Windowed again after a lost device: the same picture as before.
    ASSERT_EQ(back.nWidth, 640);
    EXPECT_EQ(CountDifferent(marked, back, SceneArea(marked)), 0);
}

TEST(DeviceSwitch, AResizeWhileFullScreenIsRefusedAndTheFramesGoOn) {
    ScratchDir scratch;
    RunOptions options;
    options.strScript = "@frame 2\npress alt+VK_RETURN\n@frame 8\nresize 640 480\n@frame 12\nshot " +
                        scratch.File("full.png") +
                        "\npress alt+VK_RETURN\n@frame 18\nresize 800 600\n@frame 24\nshot " +
                        scratch.File("back.png") + "\npress VK_ESCAPE\n";
    RunResult r = RunApp(options, scratch);
    ASSERT_FALSE(r.bTimedOut);
    EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
    EXPECT_NE(r.strStderr.find("resize ignored: the window is full screen"), std::string::npos)
        << r.strStderr;

    // Full screen keeps the display mode's size; windowed again, a resize reaches the back buffer.
    Image full, back;
    ASSERT_TRUE(full.Load(scratch.File("full.png")));
    ASSERT_TRUE(back.Load(scratch.File("back.png")));
    EXPECT_EQ(full.nWidth, 1920);
    EXPECT_EQ(full.nHeight, 1080);
    EXPECT_EQ(back.nWidth, 800);
    EXPECT_EQ(back.nHeight, 600);
}
