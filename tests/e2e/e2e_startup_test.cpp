// Starting and ending the program: exit codes of the ways a run ends, and a
// run without its mesh file.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

constexpr const char* kRefCountMessage = "non-zero reference count";

int Occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(Startup, EveryWayOfEndingARunExitsWithZero) {
    struct Case {
        const char* name;
        std::vector<std::string> args;
        const char* script;
    };
    const Case cases[] = {
        {"quit after frame", {"/quitafterframe:3"}, ""},
        {"escape", {}, "@frame 3\npress VK_ESCAPE\n"},
        {"close button", {}, "@frame 3\nclose\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch;
        RunOptions options;
        options.args = c.args;
        options.strScript = c.script;
        RunResult r = RunApp(options, scratch);
        EXPECT_FALSE(r.bTimedOut);
        EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
        EXPECT_EQ(Occurrences(r.strStderr, kRefCountMessage), 0) << r.strStderr;
    }
}

TEST(Startup, WithoutTheMeshFileTheMessageShowsOnceAndTheProgramRunsOn) {
    ScratchDir scratch;
    const std::string empty = scratch.File("empty");
    std::filesystem::create_directory(empty);
    RunOptions options;
    options.strWorkDir = empty;
    options.strScript = "@frame 5\nshot " + scratch.File("a.png") + "\n@frame 12\nshot " +
                        scratch.File("b.png") + "\npress VK_ESCAPE\n";
    RunResult r = RunApp(options, scratch);
    ASSERT_FALSE(r.bTimedOut);
    EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
    // The build is not retried on later frames.
    EXPECT_EQ(Occurrences(r.strStderr, "D3DXLoadMeshFromX() - FAILED"), 1) << r.strStderr;
    EXPECT_EQ(Occurrences(r.strStderr, kRefCountMessage), 0) << r.strStderr;

    Image img;
    ASSERT_TRUE(img.Load(scratch.File("b.png")));
    // No cube, but the HUD is there.
    EXPECT_EQ(Count(img, SceneArea(img), [](uint32_t p) { return !IsBackground(p); }), 0);
    EXPECT_GT(Count(img, Box{0, 0, img.nWidth, 36}, IsYellow), 50);
}
