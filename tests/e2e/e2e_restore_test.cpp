// The restore button seen from outside: where it sits, that it lights up when
// hovered, and that a click on it or the R key brings the puzzle and the view
// back to the start on the next frame — but not during a layer turn. Once in
// a real window under Xvfb, driven with xdotool.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include "tests/e2e/e2e_real_window.h"
#include "tests/e2e/e2e_support.h"
#include "tests/support/x11_session.h"

using namespace e2e;

namespace {

// The button at 640 x 480: (540, 48), 80 x 35.
const Box kButton{540, 48, 620, 83};
constexpr const char* kButtonCentre = "580 65";

// Marks the centre cubie, orbits and zooms: a view far from the start.
constexpr const char* kDisturb = "click 320 240\ndrag right 320 240 250 300\nwheel 2 320 240\n";

// The pixels of a box that are not the clear colour.
int Drawn(const Image& img, const Box& area) {
    return Count(img, area, [](uint32_t p) { return !IsBackground(p); });
}

// Mean brightness (sum of the channels) of a box.
int Brightness(const Image& img, const Box& area) {
    long sum = 0, n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x, ++n)
            sum += Red(img.At(x, y)) + Green(img.At(x, y)) + Blue(img.At(x, y));
    return n ? int(sum / n) : 0;
}

struct Shots {
    RunResult run;
    Image start, before, after;
};

// start.png at frame 3; then `middle` (which should end with before.png
// taken); then `restore` and after.png.
Shots RunAndShoot(const std::string& middle, const std::string& restore) {
    ScratchDir scratch;
    RunOptions options;
    options.strScript = "@frame 3\nshot " + scratch.File("start.png") + "\n" + middle + "shot " +
                        scratch.File("before.png") + "\n" + restore + "shot " + scratch.File("after.png") +
                        "\npress VK_ESCAPE\n";
    Shots s;
    s.run = RunApp(options, scratch);
    s.start.Load(scratch.File("start.png"));
    s.before.Load(scratch.File("before.png"));
    s.after.Load(scratch.File("after.png"));
    return s;
}

void ExpectCleanExit(const RunResult& r) {
    EXPECT_FALSE(r.bTimedOut);
    EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
    EXPECT_EQ(r.strStderr.find("non-zero reference count"), std::string::npos) << r.strStderr;
}

}  // namespace

TEST(RestoreButton, AClickOrTheRKeyBringsThePuzzleAndTheViewBackOnTheNextFrame) {
    for (const char* restore : {"click 580 65\n", "press R\n"}) {
        SCOPED_TRACE(restore);
        const std::string middle = std::string("@frame 5\n") + kDisturb + "@frame 12\n";
        Shots s = RunAndShoot(middle, restore);
        ExpectCleanExit(s.run);
        ASSERT_GT(s.after.nWidth, 0);
        const Box scene = SceneArea(s.start);
        EXPECT_GT(Count(s.before, scene, IsWhite), 500) << "the marked cubie";
        EXPECT_GT(CountDifferent(s.start, s.before, scene), 5000) << "orbited and zoomed";
        EXPECT_EQ(CountDifferent(s.start, s.after, scene), 0) << "the start view, unmarked";
        EXPECT_EQ(Count(s.after, scene, IsWhite), 0);
    }
}

TEST(RestoreButton, SitsAtTheTopRightAndLightsUpWhenHovered) {
    ScratchDir scratch;
    RunOptions options;
    options.args = {"/constantframetime:0.05"};
    options.strScript = std::string("@frame 30\nshot ") + scratch.File("idle.png") + "\nmove " +
                        kButtonCentre + "\n@frame 60\nshot " + scratch.File("hover.png") +
                        "\nmove 300 400\nresize 800 600\n@frame 100\nshot " + scratch.File("resized.png") +
                        "\npress VK_ESCAPE\n";
    RunResult r = RunApp(options, scratch);
    ExpectCleanExit(r);
    Image idle, hover, resized;
    ASSERT_TRUE(idle.Load(scratch.File("idle.png")));
    ASSERT_TRUE(hover.Load(scratch.File("hover.png")));
    ASSERT_TRUE(resized.Load(scratch.File("resized.png")));

    // The face fills the button's box and nothing is drawn beside it.
    const Box inner{kButton.left + 6, kButton.top + 6, kButton.right - 6, kButton.bottom - 6};
    EXPECT_EQ(Drawn(idle, inner), (inner.Width()) * (inner.Height()));
    EXPECT_EQ(Drawn(idle, Box{500, 40, 530, 100}), 0);
    // The label: light glyphs on the dark face.
    EXPECT_GT(Count(idle, inner, IsWhite), 40);
    // Hovered: the light fill layer shows, the label turns dark.
    EXPECT_GT(Brightness(hover, inner), Brightness(idle, inner) + 150);
    EXPECT_EQ(Count(hover, inner, IsWhite), 0);

    // After the reset to 800 x 600 the button is at (700, 60).
    ASSERT_EQ(resized.nWidth, 800);
    EXPECT_EQ(Drawn(resized, Box{706, 66, 774, 89}), 68 * 23);
    EXPECT_EQ(Drawn(resized, Box{540, 40, 690, 100}), 0);
}

TEST(RestoreButton, ARestoreDuringASelectionClearsTheMarks) {
    Shots s = RunAndShoot("@frame 5\nclick 320 240\n@frame 8\n", "press R\n");
    ExpectCleanExit(s.run);
    const Box scene = SceneArea(s.start);
    EXPECT_GT(Count(s.before, scene, IsWhite), 500) << "the marked centre cubie";
    EXPECT_EQ(Count(s.after, scene, IsWhite), 0);
    EXPECT_EQ(CountDifferent(s.start, s.after, scene), 0);
}

TEST(RestoreButton, DuringALayerTurnTheButtonAndTheKeyDoNothing) {
    // Two edge cubies of the front face start a turn that lasts about 45 frames.
    const std::string turn = "@frame 5\nclick 320 156\nclick 404 240\n@frame 9\n";
    Shots plain = RunAndShoot(turn, "@frame 70\n");
    Shots tried = RunAndShoot(turn, "press R\nclick 580 65\n@frame 70\n");
    ExpectCleanExit(plain.run);
    ExpectCleanExit(tried.run);
    const Box scene = SceneArea(plain.start);
    EXPECT_GT(CountDifferent(plain.start, plain.after, scene), 3000) << "the layer turned";
    EXPECT_EQ(CountDifferent(plain.after, tried.after, scene), 0) << "the restore was ignored";
}

TEST(RealWindow, TheRestoreButtonRestoresWhenClicked) {
    tumbral_test::X11Session x11;
    std::string why;
    if (!x11.Start(why)) GTEST_SKIP() << "real-window test skipped: " << why;

    ScratchDir scratch;
    AppProcess app;
    std::string wid;
    ASSERT_NO_FATAL_FAILURE(StartInRealWindow(x11, scratch, app, wid));
    auto xdo = [&](const std::string& args) { x11.Run("xdotool " + args); };
    int nGrab = 0;
    auto grab = [&]() {
        Image img;
        const std::string path = scratch.File("grab" + std::to_string(nGrab++) + ".png");
        x11.Run("import -window " + wid + " " + path);
        img.Load(path);
        return img;
    };
    // Grabs until the picture passes `done` (up to 10 s); the last picture.
    auto waitFor = [&](const std::function<bool(const Image&)>& done) {
        Image img;
        for (int i = 0; i < 100; ++i) {
            img = grab();
            if (img.nWidth == 640 && done(img)) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return img;
    };
    xdo("windowactivate --sync " + wid);

    const Box inner{kButton.left + 6, kButton.top + 6, kButton.right - 6, kButton.bottom - 6};
    const Image start = waitFor([&](const Image& img) {
        return CubePixels(img) > 20000 && Count(img, inner, IsWhite) > 40;  // the cube and the faded-in label
    });
    ASSERT_EQ(start.nWidth, 640);
    const Box scene = SceneArea(start);

    xdo("mousemove --window " + wid + " 320 240 click 1");
    const Image marked = waitFor([&](const Image& img) { return Count(img, scene, IsWhite) > 500; });
    EXPECT_GT(Count(marked, scene, IsWhite), 500);

    xdo("mousemove --window " + wid + " 580 65");
    const Image hovered = waitFor([&](const Image& img) { return Count(img, inner, IsWhite) == 0; });
    EXPECT_EQ(Count(hovered, inner, IsWhite), 0) << "the hovered button lights up and its label turns dark";

    xdo("click 1");
    const Image restored = waitFor([&](const Image& img) { return Count(img, scene, IsWhite) == 0; });
    EXPECT_EQ(Count(restored, scene, IsWhite), 0);
    EXPECT_LT(CountDifferent(start, restored, scene), 50);

    xdo("key Escape");
    RunResult r = app.Wait();
    ExpectCleanExit(r);
}

TEST(RestoreButton, WithoutFontsTheGuiFailsDeviceCreationCleanly) {
    ScratchDir scratch;
    const std::string conf = scratch.File("fonts.conf");
    {
        std::FILE* f = std::fopen(conf.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fprintf(f, "<?xml version=\"1.0\"?>\n<fontconfig><cachedir>%s</cachedir></fontconfig>\n",
                     scratch.File("fc-cache").c_str());
        std::fclose(f);
    }
    RunOptions options;
    options.args = {"/noerrormsgboxes"};
    options.extraEnv = {{"FONTCONFIG_FILE", conf}};
    options.strScript = "@frame 3\nquit\n";
    RunResult r = RunApp(options, scratch);
    EXPECT_FALSE(r.bTimedOut);
    EXPECT_EQ(r.nExitCode, 8) << r.strStderr;  // creating the device objects failed; no leak (5)
    EXPECT_NE(
        r.strStderr.find("D3DXCreateFont( m_pd3dDevice, pFontNode->nHeight, 0, pFontNode->nWeight, 1, FALSE, "
                         "DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "
                         "pFontNode->strFace, &pFontNode->pFont )"),
        std::string::npos)
        << r.strStderr;
    EXPECT_NE(r.strStderr.find("g_DialogResourceManager.OnCreateDevice( pd3dDevice )"), std::string::npos)
        << r.strStderr;
}
