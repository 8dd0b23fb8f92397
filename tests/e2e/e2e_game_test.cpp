// The game seen from outside: a seeded /scramble gives the same picture in
// every run, bad seeds are reported and still scramble, Shift turns a layer
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

TEST_F(GameTest, ASeededScrambleIsTheSameInEveryRunAndAnotherSeedIsNot) {
    for (const auto& [arg, name] : {std::pair{"/scramble:1234", "a"}, std::pair{"-SCRAMBLE:1234", "b"},
                                    std::pair{"/scramble:99", "c"}, std::pair{"/windowed", "plain"}}) {
        const RunResult r = RunShot({arg}, name);
        EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
        EXPECT_EQ(r.strStderr.find("Unrecognized flag"), std::string::npos) << r.strStderr;
    }
    const Image a = Load("a"), b = Load("b"), c = Load("c"), plain = Load("plain");
    ASSERT_EQ(a.pixels.size(), b.pixels.size());
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_GT(CountDifferent(a, c, SceneArea(a)), 3000);
    EXPECT_GT(CountDifferent(a, plain, SceneArea(a)), 3000);
    // "Moves 0   00:00.0" in white; nothing there without a game.
    EXPECT_GT(Count(a, kGameLine, IsWhite), 60);
    EXPECT_EQ(Count(plain, kGameLine, IsDrawn), 0);
}

TEST_F(GameTest, BadSeedsAreReportedAndTheGameStartsAllTheSame) {
    for (const char* arg : {"/scramble:", "/scramble:-5", "/scramble:twelve", "/scramble:4294967296"}) {
        SCOPED_TRACE(arg);
        const RunResult r = RunShot({arg}, "bad");
        EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
        EXPECT_NE(r.strStderr.find("/scramble: \""), std::string::npos) << r.strStderr;
        EXPECT_EQ(r.strStderr.find("Unrecognized flag"), std::string::npos) << r.strStderr;
        EXPECT_GT(Count(Load("bad"), kGameLine, IsWhite), 60);
    }
    const RunResult r = RunShot({"/scramblex"}, "other");
    EXPECT_NE(r.strStderr.find("Unrecognized flag: scramblex"), std::string::npos) << r.strStderr;
    EXPECT_EQ(Count(Load("other"), kGameLine, IsDrawn), 0);
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
