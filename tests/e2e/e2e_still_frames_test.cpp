// Keeping unchanged bands between frames changes no pixel: the same scripted
// session (a turn, an orbit, zooming, the help text toggled, wireframe, a
// resize, a lost device, the reference device and back) gives the same frames,
// bit for bit, as a run that draws every band of every frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

// Frames at which the session takes its pictures, with what happened just before.
struct Step {
    int frame;
    const char* input;  // script lines run at that frame, before the picture
};

const Step kSession[] = {
    {3, ""},
    {4, ""},  // the same still view again
    {5, "click 320 156\nclick 404 240\n"},
    {20, ""},  // mid-turn
    {70, "click 320 240\n"},
    {73, "drag right 320 240 260 290\n"},
    {78, "wheel 2\n"},
    {82, "press VK_F1\n"},
    {84, ""},
    {87, "press VK_F8\n"},
    {90, "press VK_F8\n"},
    {94, "resize 560 400\n"},
    {98, "resize 640 480\n"},
    {102, "deviceloss\n"},
    {108, "press VK_F3\n"},
    {114, "press VK_F3\n"},
    {118, ""},
};

// Runs the session and returns its pictures; `redrawAll` turns band keeping off.
std::vector<Image> RunSession(bool redrawAll, const ScratchDir& scratch, RunResult& result) {
    std::string script;
    std::string tag = redrawAll ? "all" : "kept";
    for (const Step& s : kSession) {
        script += "@frame " + std::to_string(s.frame) + "\n" + s.input;
        script += "shot " + scratch.File(tag + std::to_string(s.frame) + ".png") + "\n";
    }
    script += "press VK_ESCAPE\n";
    RunOptions options;
    options.strScript = script;
    // No statistics (their frame rate differs between two runs); a fixed frame time for the camera.
    options.args = {"/nostats", "/constantframetime"};
    if (redrawAll) options.extraEnv = {{"TUMBRAL_REDRAW_ALL", "1"}};
    result = RunApp(options, scratch);
    std::vector<Image> shots;
    for (const Step& s : kSession) {
        Image img;
        img.Load(scratch.File(tag + std::to_string(s.frame) + ".png"));
        shots.push_back(img);
    }
    return shots;
}

}  // namespace

TEST(StillFrames, ASessionGivesTheSameFramesAsDrawingEverything) {
    ScratchDir scratch;
    RunResult kept, all;
    std::vector<Image> a = RunSession(false, scratch, kept);
    std::vector<Image> b = RunSession(true, scratch, all);
    ASSERT_FALSE(kept.bTimedOut || all.bTimedOut);
    // The run ends on the HAL device after F3 twice.
    EXPECT_EQ(kept.nExitCode, 0) << kept.strStderr;
    EXPECT_EQ(all.nExitCode, 0) << all.strStderr;
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE("frame " + std::to_string(kSession[i].frame));
        ASSERT_GT(a[i].nWidth, 0);
        ASSERT_EQ(a[i].nWidth, b[i].nWidth);
        ASSERT_EQ(a[i].nHeight, b[i].nHeight);
        int different = 0;
        for (size_t p = 0; p < a[i].pixels.size(); ++p) different += a[i].pixels[p] != b[i].pixels[p];
        EXPECT_EQ(different, 0);
    }
    // The session really changed the picture: the turn, the orbit, F1 and the resize.
    EXPECT_NE(a[1].pixels, a[3].pixels);
    EXPECT_NE(a[6].pixels, a[7].pixels);
    EXPECT_EQ(a[11].nWidth, 560);
}
