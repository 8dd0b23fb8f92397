// The game seen from outside: a seeded /scramble gives the same picture in
// every run, a bad seed is reported and still scrambles, Shift turns a layer
// the other way, and Ctrl+Z / Ctrl+Y take a turn back and make it again.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_script_test.h"

using namespace e2e;

namespace {

// Where the game's line sits at 640 x 480 (right-aligned, rows 435 to 450).
const Box kGameLine{400, 432, 636, 452};

class GameTest : public ScriptTest {
  protected:
    // Runs with `args`, a picture at frame 3; the run's result.
    RunResult RunShot(const std::vector<std::string>& args, const std::string& name) {
        RunOptions options;
        options.args = args;
        options.args.push_back("/nostats");
        options.args.push_back("/constantframetime");
        options.extraEnv = {{"TUMBRAL_REGISTRY_FILE", m_scratch.File("registry")}};
        options.strScript = "@frame 3\n" + Shot(name) + "quit\n";
        return RunApp(options, m_scratch);
    }
};

bool IsDrawn(uint32_t p) { return !IsBackground(p); }

}  // namespace

TEST_F(GameTest, ASeededScrambleIsTheSameInEveryRunAndBadSeedsAreReported) {
    const char* const runs[][2] = {{"/scramble:1234", "a"},
                                   {"-SCRAMBLE:1234", "b"},
                                   {"/windowed", "plain"},
                                   {"/scramble:-5", "bad"},
                                   {"/scramblex", "other"}};
    std::string err[5];
    for (int i = 0; i < 5; ++i) {
        const RunResult r = RunShot({runs[i][0]}, runs[i][1]);
        EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
        err[i] = r.strStderr;
    }
    const Image a = Load("a"), b = Load("b"), plain = Load("plain"), bad = Load("bad"), other = Load("other");
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_GT(CountDifferent(a, plain, SceneArea(a)), 3000);
    EXPECT_GT(CountDifferent(a, bad, SceneArea(a)), 3000) << "a bad seed scrambles with a random one";
    // "Moves 0   00:00.0" in white; nothing there without a game.
    for (const Image* game : {&a, &bad}) EXPECT_GT(Count(*game, kGameLine, IsWhite), 60);
    for (const Image* none : {&plain, &other}) EXPECT_EQ(Count(*none, kGameLine, IsDrawn), 0);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(err[i].find("Unrecognized flag"), std::string::npos) << err[i];
    EXPECT_NE(err[3].find("/scramble: \"-5\" is not a seed"), std::string::npos) << err[3];
    EXPECT_NE(err[4].find("Unrecognized flag: scramblex"), std::string::npos) << err[4];
}

TEST_F(GameTest, ShiftTurnsTheOtherWayAndCtrlZAndCtrlYTakeBackAndRepeatATurn) {
    // Two edge cubies of the front face: top, then right (with Shift the first time).
    const std::string pair = "click 320 156\nclick 404 240\n";
    const std::string shiftPair = "click 320 156\nkeydown VK_SHIFT\nclick 404 240\nkeyup VK_SHIFT\n";
    Run("@frame 3\n" + Shot("start") + shiftPair + "@frame 70\n" + Shot("reversed") + pair + "@frame 135\n" +
            Shot("back") + pair + "@frame 200\n" + Shot("turned") + "press ctrl+Z\n@frame 265\n" +
            Shot("undone") + "press ctrl+Y\n@frame 330\n" + Shot("redone") + "press VK_ESCAPE\n",
        {"/nostats"});
    const Image start = Load("start"), reversed = Load("reversed"), back = Load("back"),
                turned = Load("turned"), undone = Load("undone"), redone = Load("redone");
    const Box scene = SceneArea(start);
    EXPECT_GT(CountDifferent(start, reversed, scene), 3000);
    EXPECT_GT(CountDifferent(reversed, turned, scene), 3000) << "the two directions differ";
    EXPECT_LT(CountDifferent(start, back, scene), 20) << "the reverse turn of the same layer restores it";
    EXPECT_EQ(CountDifferent(start, undone, scene), 0);
    EXPECT_EQ(CountDifferent(turned, redone, scene), 0);
}
