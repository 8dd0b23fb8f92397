// Starting full screen on the headless backend without fonts: the device
// objects cannot be made, and the run ends once, with the same messages and
// exit code as a windowed start.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

int Occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// A fontconfig set-up that knows no fonts at all.
std::string NoFontsConfig(const ScratchDir& scratch) {
    std::string path = scratch.File("no-fonts.conf");
    std::ofstream(path) << "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>" << scratch.File("fc-cache")
                        << "</cachedir></fontconfig>\n";
    return path;
}

}  // namespace

TEST(FullScreenStart, WithoutFontsEndsOnceWithExitCode8LikeAWindowedStart) {
    int nWindowedBoxes = -1;
    for (const char* mode : {"/windowed", "/fullscreen"}) {
        SCOPED_TRACE(mode);
        ScratchDir scratch;
        RunOptions options;
        options.args = {mode};
        options.extraEnv = {{"FONTCONFIG_FILE", NoFontsConfig(scratch)}};
        options.nTimeoutMs = 20000;
        RunResult r = RunApp(options, scratch);
        EXPECT_FALSE(r.bTimedOut);
        EXPECT_EQ(r.nExitCode, 8) << r.strStderr;
        // The failing font's own trace box (the dialogs' fonts) and the failure's message, once each.
        const int nBoxes = Occurrences(r.strStderr, "[message box]");
        EXPECT_LE(nBoxes, 2) << r.strStderr;
        if (nWindowedBoxes < 0)
            nWindowedBoxes = nBoxes;
        else
            EXPECT_EQ(nBoxes, nWindowedBoxes) << r.strStderr;
        EXPECT_EQ(Occurrences(r.strStderr, "Failed creating Direct3D device objects."), 1) << r.strStderr;
    }
}
