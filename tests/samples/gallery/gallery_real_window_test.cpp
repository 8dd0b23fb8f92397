// The gallery in a real window (Xvfb with openbox), driven with xdotool as a
// user would. A headless run of the same input (the twin) shows first what
// each step must come to; in the window each step then waits, polling, never
// sleeping, for its line in the event log (the gallery's debug output) and for
// the part of the window it changes to look as the twin's. Skipped, with the
// reason, where the X tools or openbox are missing.
#include <gtest/gtest.h>

#include <functional>

#include "tests/samples/gallery/gallery_test_support.h"
#include "tests/support/x11_session.h"

using namespace e2e;
using namespace gallery_test;

namespace {

// One step of the user's: what xdotool does in the window, the same input in
// the headless script, the last event it logs, and where the window shows it.
struct Step {
    std::string xdo, script, event;
    Box shows;
};

class GalleryRealWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string why;
        if (!m_x11.Start(why)) GTEST_SKIP() << "real-window test skipped: " << why;
        if (!tumbral_test::ToolInstalled("openbox")) GTEST_SKIP() << "full screen needs openbox";
        RunOptions options;
        options.strProgram = GalleryBinary();
        options.bHeadless = false;
        options.args = {"/noerrormsgboxes", "/width:1200", "/height:700"};
        options.strWorkDir = m_scratch.Path();
        ASSERT_TRUE(m_app.Start(options, m_scratch)) << m_app.Wait().strStderr;
        const unsigned long xid = m_x11.FindWindow("Tumbral Gallery", 10000);
        ASSERT_NE(xid, 0u) << "no gallery window\n" << m_app.Wait().strStderr;
        m_wid = std::to_string(xid);
        Xdo("windowactivate --sync " + m_wid);
        WaitForShot("start", FadedIn);
    }

    void Xdo(const std::string& args) { m_x11.Run("xdotool " + args); }
    // xdotool's click at a client point, with "ctrl" or "shift" held when asked, and the script's.
    std::string ClickXdo(const Point& pt, const std::string& key = "") const {
        const std::string click = "mousemove --window " + m_wid + " " + pt.Text() + " click 1";
        return key.empty() ? click : "keydown " + key + " " + click + " keyup " + key;
    }
    static std::string ClickScript(const Point& pt, const std::string& key = "") {
        const std::string vk = key == "ctrl" ? "VK_CONTROL" : "VK_SHIFT";
        return key.empty() ? "click " + pt.Text()
                           : "keydown " + vk + "\nclick " + pt.Text() + "\nkeyup " + vk;
    }
    // The window's place and size, as the X server has them, once it has the focus.
    std::string Geometry() {
        if (m_x11.Run("xdotool getwindowfocus") != m_wid + "\n") return "not focused";
        return m_x11.Run("xwininfo -id " + m_wid + " | grep -E 'Absolute|Width|Height'");
    }

    // The next event line equal to `event` (after those already waited for).
    bool WaitForEvent(const std::string& event) {
        return tumbral_test::PollUntil(
            [&] {
                const std::vector<std::string> events = Events(ReadFile(m_scratch.File("stderr.txt")));
                for (size_t i = m_nEventsSeen; i < events.size(); ++i) {
                    if (events[i] == event) {
                        m_nEventsSeen = i + 1;
                        return true;
                    }
                }
                return false;
            },
            10000);
    }
    // Screenshots of the window until one passes `done`.
    void WaitForShot(const std::string& name, const std::function<bool(const Image&)>& done) {
        const std::string path = m_scratch.File(name + ".png");
        const bool bShown = tumbral_test::PollUntil(
            [&] {
                m_x11.Run("import -window " + m_wid + " " + path);
                Image img;
                return img.Load(path) && done(img);
            },
            10000);
        EXPECT_TRUE(bShown) << name << ": the window does not show it";
    }

    // The steps, headless first (a shot after each, its fades done), then in the window.
    void RunSteps(const std::vector<Step>& steps) {
        ScratchDir twinScratch;
        RunOptions twin;
        twin.strProgram = GalleryBinary();
        twin.args = {"/width:1200", "/height:700", "/constantframetime:0.05"};
        for (size_t i = 0; i < steps.size(); ++i)
            twin.strScript += "@frame " + std::to_string(20 * i + 2) + "\n" + steps[i].script + "\n@frame " +
                              std::to_string(20 * i + 21) + "\nshot " +
                              twinScratch.File(std::to_string(i) + ".png") + "\n";
        twin.strScript += "quit\n";
        RunResult r = RunApp(twin, twinScratch);
        ASSERT_EQ(r.nExitCode, 0) << r.strStderr;
        for (size_t i = 0; i < steps.size(); ++i) {
            Image expected;
            ASSERT_TRUE(expected.Load(twinScratch.File(std::to_string(i) + ".png")));
            Xdo(steps[i].xdo);
            if (!steps[i].event.empty()) {
                EXPECT_TRUE(WaitForEvent(steps[i].event)) << steps[i].event;
            }
            WaitForShot("step" + std::to_string(i),
                        [&](const Image& img) { return CountDifferent(img, expected, steps[i].shows) == 0; });
        }
        EXPECT_EQ(Events(Quit().strStderr), Events(r.strStderr)) << "the window's events and the twin's";
    }

    RunResult Quit() {
        Xdo("windowactivate --sync " + m_wid + " key Escape");
        RunResult r = m_app.Wait();
        EXPECT_FALSE(r.bTimedOut);
        EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
        return r;
    }

    tumbral_test::X11Session m_x11;
    ScratchDir m_scratch;
    AppProcess m_app;
    std::string m_wid;
    size_t m_nEventsSeen = 0;
};

TEST_F(GalleryRealWindow, EveryKindOfControlAsAUserDrivesIt) {
    const Box edit{760, 52, 1160, 88}, edits{760, 52, 1160, 154}, cities{320, 72, 500, 230},
        chosen{530, 52, 730, 78}, slider{760, 236, 1160, 260}, planets{540, 268, 700, 380},
        greeting{20, 34, 290, 58};
    // xdotool types a character missing from the keyboard map by mapping it
    // for a moment, which races with the program's reading of the map: the
    // two CJK characters get a key of their own first (the second with Shift).
    m_x11.Run("xmodmap -e 'keycode 248 = U4F60 U597D'");
    // (One move in the slider's drag: the window system merges moves that queue up.)
    const std::string drag = "mousemove --window " + m_wid + " " + kSliderKnob.Text() +
                             " mousedown 1 mousemove --window " + m_wid + " 1100 248 mouseup 1";
    std::string tabs = "key", tabsScript;
    for (int i = 0; i < kFocusRing; ++i) tabs += " Tab", tabsScript += "press VK_TAB\n";
    RunSteps({
        // ASCII, then CJK through SDL's text input; Shift+arrows select the CJK
        // pair, which is copied and pasted over all of the input-method box.
        {ClickXdo(kEdit) + " key ctrl+a type Hello", ClickScript(kEdit) + "\npress ctrl+A\ntype Hello",
         "EDIT_CHANGED id=301 value=Hello", edit},
        {"type 你好", "type 你好", "EDIT_CHANGED id=301 value=Hello你好", edit},
        {"key shift+Left shift+Left ctrl+c " + ClickXdo(kImeEdit) + " key ctrl+a ctrl+v",
         "press shift+VK_LEFT\npress shift+VK_LEFT\npress ctrl+C\n" + ClickScript(kImeEdit) +
             "\npress ctrl+A\npress ctrl+V",
         "EDIT_CHANGED id=302 value=你好", edits},
        // The combo box opened and wheeled to the end of its list; the last city clicked.
        {ClickXdo(kCity) + " click --repeat 5 5", ClickScript(kCity) + "\nwheel -5", "", cities},
        {ClickXdo(kCityLastRow), ClickScript(kCityLastRow), "COMBO_CHANGED id=201 value=Tunis", chosen},
        // The slider dragged past its right end.
        {drag, "down " + kSliderKnob.Text() + "\nmove 1100 248\nup 1100 248",
         "SLIDER_CHANGED id=303 value=100", slider},
        // Many rows: a click, a Ctrl+click, a Shift+click from there.
        {ClickXdo(PlanetRow(1)) + " " + ClickXdo(PlanetRow(3), "ctrl"),
         ClickScript(PlanetRow(1)) + "\n" + ClickScript(PlanetRow(3), "ctrl"),
         "LIST_SELECT_END id=204 value=rows 1,3", planets},
        {ClickXdo(PlanetRow(5), "shift"), ClickScript(PlanetRow(5), "shift"),
         "LIST_SELECT_END id=204 value=rows 3,4,5", planets},
        // A radio button recolours the window; the scroll bar's arrow moves its lines
        // (the gallery polls it); a list's row clicked, then the next by arrow;
        // Enter there presses the default button, which clears the log.
        {ClickXdo(kPlum), ClickScript(kPlum), "RADIO_CHANGED id=108 value=on", Box{1175, 290, 1195, 310}},
        {ClickXdo(kScrollDown), ClickScript(kScrollDown), "(scroll bar moved) id=205 value=first line 2",
         Box{550, 108, 730, 210}},
        {ClickXdo(FruitRow(2)) + " key Down", ClickScript(FruitRow(2)) + "\npress VK_DOWN",
         "LIST_SELECT id=203 value=rows 3", Box{330, 268, 500, 380}},
        {"key Return", "press VK_RETURN", "BUTTON_CLICKED id=103 value=Clear the log",
         Box{10, 418, 1170, 660}},
        // The hot key, then the focus ring: a whole round of Tabs from "Say hello"
        // comes back to it; Space presses it.
        {"key h", "press H", "BUTTON_CLICKED id=102 value=Say hello (H)", greeting},
        {ClickXdo(kSayHello), ClickScript(kSayHello), "BUTTON_CLICKED id=102 value=Say hello (H)", greeting},
        {tabs + " space", tabsScript + "press VK_SPACE", "BUTTON_CLICKED id=102 value=Say hello (H)",
         greeting},
    });
}

TEST_F(GalleryRealWindow, TheSettingsPageSwitchesToFullScreenAndBack) {
    const std::string start = Geometry();
    auto pageShown = [](const Image& img) { return img.At(img.nWidth - 20, img.nHeight - 20) != 0x182040u; };
    // Opened by its button; Full Screen, OK: the window covers the screen.
    Xdo(ClickXdo(kSettings));
    WaitForShot("page", pageShown);
    Xdo(ClickXdo(Point{250, 155}) + " " + ClickXdo(Point{266, 450}));
    EXPECT_TRUE(
        tumbral_test::PollUntil([&] { return Geometry().find("Width: 1280") != std::string::npos; }, 10000))
        << Geometry();
    // F2, Windowed, OK: back where it was.
    Xdo("key F2");
    WaitForShot("page-full-screen", pageShown);
    Xdo(ClickXdo(Point{250, 113}) + " " + ClickXdo(Point{266, 450}));
    EXPECT_TRUE(tumbral_test::PollUntil([&] { return Geometry() == start; }, 10000))
        << Geometry() << "instead of\n"
        << start;
    Quit();
}

}  // namespace
