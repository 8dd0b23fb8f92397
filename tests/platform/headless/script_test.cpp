// The input-script parser: every command form, triggers, and clear errors for malformed lines.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/headless/headless_backend.h"
#include "platform/headless/script.h"
#include "platform/win32.h"

using plat::ParseScript;
using plat::Script;
using plat::ScriptStep;

namespace {

TEST(ScriptParse, CommandsAndTriggers) {
    const char* text =
        "# a comment\n"
        "move 10 20\n"
        "@frame 5\n"
        "click 100 200\n"
        "click right 1 2\n"
        "doubleclick 3 4\n"
        "drag right 10 10 50 60 4\n"
        "down middle\n"
        "wheel -2 30 40\n"
        "@ms 250\n"
        "press alt+VK_RETURN\n"
        "keydown ctrl+shift+a\n"
        "keyup VK_F1\n"
        "type \"Hi there\\n\"\n"
        "type plain words\n"
        "minimize\nmaximise\nrestore\nactivate\ndeactivate\nclose\n"
        "movewindow 50 60\nresize 800 600\ndeviceloss\nshot out.png\nquit\n";
    Script s;
    std::string error;
    ASSERT_TRUE(ParseScript(text, "t.txt", s, error)) << error;
    ASSERT_EQ(s.StepCount(), 23u);
    EXPECT_EQ(s.Step(0).trigger, ScriptStep::Trigger::Frame);
    EXPECT_EQ(s.Step(0).at, 0u);
    EXPECT_EQ(s.Step(1).at, 5u);
    EXPECT_EQ(s.Step(1).kind, ScriptStep::Kind::Click);
    EXPECT_EQ(s.Step(1).line, 4);
    EXPECT_EQ(s.Step(2).button, plat::MouseButton::Right);
    EXPECT_EQ(s.Step(4).steps, 4);
    EXPECT_EQ(s.Step(4).x2, 50);
    EXPECT_FALSE(s.Step(5).hasPoint);
    EXPECT_EQ(s.Step(6).notches, -2);
    const ScriptStep press = s.Step(7);
    EXPECT_EQ(press.trigger, ScriptStep::Trigger::Ms);
    EXPECT_EQ(press.at, 250u);
    EXPECT_EQ(press.vk, UINT(VK_RETURN));
    ASSERT_EQ(press.modifiers.size(), 1u);
    EXPECT_EQ(press.modifiers[0], UINT(VK_LMENU));
    EXPECT_EQ(s.Step(8).vk, UINT('A'));
    EXPECT_EQ(s.Step(8).modifiers.size(), 2u);
    EXPECT_EQ(s.Step(10).text, U"Hi there\r");
    EXPECT_EQ(s.Step(11).text, U"plain words");
    EXPECT_EQ(s.Step(18).kind, ScriptStep::Kind::MoveWindow);
    EXPECT_EQ(s.Step(21).path, "out.png");
    EXPECT_EQ(s.Step(22).kind, ScriptStep::Kind::Quit);
}

TEST(ScriptParse, MalformedLinesNameTheFileAndLine) {
    struct Case {
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"quit\nfly 1 2\n", "s.txt:2: unknown command \"fly\""},
        {"click 10\n", "s.txt:1: expected 2 numbers after \"click\""},
        {"click ten 20\n", "s.txt:1: \"ten\" is not a coordinate"},
        {"move 10 abc\n", "s.txt:1: \"abc\" is not a coordinate"},
        {"press VK_NOPE\n", "s.txt:1: unknown key \"VK_NOPE\""},
        {"press hyper+A\n", "s.txt:1: unknown modifier \"hyper\""},
        {"keydown\n", "s.txt:1: \"keydown\" needs one key"},
        {"@frame\n", "s.txt:1: expected \"@frame N\" or \"@ms N\""},
        {"@frame -3\n", "s.txt:1: expected \"@frame N\""},
        {"@tick 3\n", "s.txt:1: expected \"@frame N\""},
        {"quit now\n", "s.txt:1: \"quit\" takes no arguments"},
        {"type\n", "s.txt:1: type needs text"},
        {"type \"open\n", "s.txt:1: unterminated"},
        {"type \xff\xfe\n", "s.txt:1: text is not valid UTF-8"},
        {"resize 0 100\n", "s.txt:1: resize needs a positive width"},
        {"wheel\n", "s.txt:1: wheel needs a number"},
        {"shot\n", "s.txt:1: shot needs one file path"},
        {"drag 1 2 3\n", "s.txt:1: expected 4 numbers"},
        {"move 1 99999999999999999999\n", "is not a coordinate"},
    };
    for (const Case& c : cases) {
        Script s;
        std::string error;
        EXPECT_FALSE(ParseScript(c.text, "s.txt", s, error)) << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos) << "got: " << error;
    }
}

// Typed text becomes the characters WM_CHAR delivers, so only well-formed
// UTF-8 is accepted: no overlong forms, surrogates or values past U+10FFFF.
TEST(ScriptParse, TypedTextIsStrictUtf8) {
    Script s;
    std::string error;
    ASSERT_TRUE(ParseScript("type \xe8\xbf\x98\xe5\x8e\x9f \xf0\x9f\x98\x80\n", "u.txt", s, error)) << error;
    ASSERT_EQ(s.StepCount(), 1u);
    EXPECT_EQ(s.Step(0).text, U"\u8FD8\u539F \U0001F600");
    const char* malformed[] = {
        "type \xc0\xaf\n",          // overlong '/'
        "type \xe0\x80\xaf\n",      // overlong three-byte form
        "type \xed\xa0\x80\n",      // a UTF-16 surrogate
        "type \xf4\x90\x80\x80\n",  // past U+10FFFF
        "type a\xe8\xbf\n",         // cut short
    };
    for (const char* text : malformed) {
        Script bad;
        EXPECT_FALSE(ParseScript(text, "u.txt", bad, error)) << text;
        EXPECT_NE(error.find("u.txt:1: text is not valid UTF-8"), std::string::npos) << "got: " << error;
    }
}

TEST(ScriptParse, MissingFileIsAnError) {
    Script s;
    std::string error;
    EXPECT_FALSE(plat::LoadScript("/no/such/script.txt", s, error));
    EXPECT_NE(error.find("/no/such/script.txt"), std::string::npos);
}

TEST(ScriptParse, MonitorListSetting) {
    std::vector<plat::DisplayMode> list;
    ASSERT_TRUE(plat::ParseMonitorList("1920x1080@60,1280x1024", list));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].height, 1024);
    EXPECT_EQ(list[1].refreshHz, 60);
    EXPECT_FALSE(plat::ParseMonitorList("", list));
    EXPECT_FALSE(plat::ParseMonitorList("1920x", list));
    EXPECT_FALSE(plat::ParseMonitorList("1920x1080@", list));
    EXPECT_FALSE(plat::ParseMonitorList("10x10", list));
    EXPECT_FALSE(plat::ParseMonitorList("1920x1080 junk", list));
}

}  // namespace
