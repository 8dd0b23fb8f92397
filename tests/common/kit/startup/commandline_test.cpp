// KitReadCommandLine: switch matching, values, unrecognised arguments and
// nonsense input, seen through what the switches change: the settings record
// the overrides are written into, the switches' getters, the window and the
// frames.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/kit/loop/kit_device_build.h"
#include "common/kit/startup/kit_app_switches.h"
#include "common/kit/startup/kit_commandline.h"
#include "common/kit/state/kit_getters.h"
#include "common/kit/time/kit_frame_stats.h"
#include "common/kit/window/kit_window_create.h"
#include "platform/win32/kernel_process.h"
#include "tests/common/kit/debug_capture.h"
#include "tests/common/kit/lifecycle_fixture.h"
#include "tests/common/kit/state_reset.h"

namespace {

// Reads the given arguments as the process command line; returns the debug output it wrote.
std::string Read(std::vector<std::string> args) {
    std::vector<const char*> argv = {"/usr/bin/test"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    plat::SetProcessCommandLine(static_cast<int>(argv.size()), argv.data());
    kittest::DebugCapture capture;
    KitReadCommandLine();
    return capture.Text();
}

void ResetProcessCommandLine() {
    const char* argv[] = {"test"};
    plat::SetProcessCommandLine(1, argv);
}

// A record with values no switch gives, with the command line's overrides written into it.
KitDeviceSetup Overridden() {
    KitDeviceSetup setup{};
    setup.AdapterOrdinal = 7;
    setup.DeviceType = D3DDEVTYPE_SW;
    setup.BehaviorFlags = D3DCREATE_MIXED_VERTEXPROCESSING;
    setup.PresentParams.Windowed = 2;
    setup.PresentParams.BackBufferWidth = 11;
    setup.PresentParams.BackBufferHeight = 13;
    KitApplyCommandLineOverrides(&setup);
    return setup;
}

class CommandLine : public ::testing::Test {
  protected:
    void SetUp() override { kittest::ResetCoreState(); }
    void TearDown() override {
        kittest::ResetCoreState();
        ResetProcessCommandLine();
    }
};

// The switches that show only once there is a window, a device or frames.
class CommandLineInUse : public kittest::KitAppTest {
  protected:
    void TearDown() override {
        KitAppTest::TearDown();
        ResetProcessCommandLine();
    }
};

TEST_F(CommandLine, SwitchesIgnoreLetterCase) {
    EXPECT_EQ(Read({"-FULLSCREEN"}), "");
    EXPECT_EQ(Overridden().PresentParams.Windowed, FALSE);
    // Both given: windowed wins.
    EXPECT_EQ(Read({"-WINDOWED", "/FullScreen"}), "");
    EXPECT_EQ(Overridden().PresentParams.Windowed, TRUE);
}

TEST_F(CommandLine, TheApplicationsOwnSwitchesAreLeftToItAndOthersStillReported) {
    EXPECT_EQ(KitRegisterAppSwitch(L"scramble"), S_OK);
    EXPECT_EQ(KitRegisterAppSwitch(L"SCRAMBLE"), S_FALSE);
    EXPECT_EQ(KitRegisterAppSwitch(L"no:colon"), E_INVALIDARG);
    EXPECT_EQ(KitRegisterAppSwitch(L""), E_INVALIDARG);
    EXPECT_EQ(Read({"/scramble", "-SCRAMBLE:42", "/scramble:", "/scramblex", "scramble", "/windowed"}),
              "Unrecognized flag: scramblex\nUnrecognized flag: scramble\n");
    EXPECT_EQ(Overridden().PresentParams.Windowed, TRUE);
    for (const WCHAR* name : {L"a", L"b", L"c", L"d", L"e", L"f", L"g"})
        EXPECT_EQ(KitRegisterAppSwitch(name), S_OK);
    EXPECT_EQ(KitRegisterAppSwitch(L"h"), E_OUTOFMEMORY);
}

TEST_F(CommandLine, IntegerValuesStopAtTheFirstNonDigit) {
    Read({"/width:800x600", "/height:600", "/adapter:1"});
    KitDeviceSetup setup = Overridden();
    EXPECT_EQ(setup.PresentParams.BackBufferWidth, 800u);
    EXPECT_EQ(setup.PresentParams.BackBufferHeight, 600u);
    EXPECT_EQ(setup.AdapterOrdinal, 1u);
}

TEST_F(CommandLineInUse, WindowPositionFromTheCommandLine) {
    Read({"/startx:-20", "/starty:30x"});
    ASSERT_EQ(KitCreateWindow(L"Test"), S_OK);
    RECT rc{};
    GetWindowRect(KitFocusWindow(), &rc);
    EXPECT_EQ(rc.left, -20);
    EXPECT_EQ(rc.top, 30);
}

TEST_F(CommandLineInUse, QuitAfterFrameEndsTheRunAfterThatFrame) {
    Read({"/quitafterframe:5"});
    ASSERT_EQ(app.Build(), S_OK);
    EXPECT_EQ(KitMainLoop(), S_OK);
    EXPECT_EQ(app.renders.size(), 6u);  // the frame after frame 5 ends the run
}

TEST_F(CommandLineInUse, ConstantFrameTimeWithAndWithoutValue) {
    Read({"/constantframetime"});
    ASSERT_NO_FATAL_FAILURE(BuildAndRunTwoFrames());
    EXPECT_FLOAT_EQ(app.moves[1].elapsed, 0.0333f);
}

TEST_F(CommandLineInUse, ConstantFrameTimeValueSurvivesTheApplicationsRequest) {
    Read({"/constantframetime:0.01"});
    KitSetFixedFrameTime(false, 0.0f);  // the application's later request does not undo it
    ASSERT_NO_FATAL_FAILURE(BuildAndRunTwoFrames());
    EXPECT_FLOAT_EQ(app.moves[0].elapsed, 0.01f);
    EXPECT_FLOAT_EQ(app.moves[1].elapsed, 0.01f);
}

TEST_F(CommandLine, SwitchWithoutItsValueIsUnrecognisedWithEmptyText) {
    std::string out = Read({"/adapter"});
    EXPECT_EQ(Overridden().AdapterOrdinal, 7u);  // no adapter override
    EXPECT_EQ(out, "Unrecognized flag: \n");
}

TEST_F(CommandLine, ArgumentWithoutLeadingMarkIsReported) {
    std::string out = Read({"abc", "/nosuchswitch:1", "/windowedx"});
    EXPECT_EQ(out,
              "Unrecognized flag: abc\nUnrecognized flag: nosuchswitch:1\nUnrecognized flag: windowedx\n");
    EXPECT_EQ(Overridden().PresentParams.Windowed, 2);  // no windowed override
}

// An unknown argument is quoted escaped, once: C1 controls (CSI, ST, OSC as
// characters) as their UTF-8 bytes, bytes that are not UTF-8 as the replacement character.
TEST_F(CommandLine, UnrecognisedArgumentsAreEscapedOnce) {
    std::string out =
        Read({"/x\xc2\x9b"
              "31m\xc2\x9c",
              "\xc2\x9d"
              "0;t\xff\\x1B"});
    EXPECT_EQ(out,
              "Unrecognized flag: x\\xC2\\x9B31m\\xC2\\x9C\n"
              "Unrecognized flag: \\xC2\\x9D0;t\xef\xbf\xbd\\x1B\n");
}

TEST_F(CommandLine, SimilarNamesNeedTheirWholeName) {
    Read({"/forcehwvp"});
    KitDeviceSetup setup = Overridden();
    EXPECT_EQ(setup.BehaviorFlags,
              static_cast<DWORD>(D3DCREATE_MIXED_VERTEXPROCESSING | D3DCREATE_HARDWARE_VERTEXPROCESSING));
    EXPECT_EQ(setup.DeviceType, D3DDEVTYPE_SW);  // not /forcehal
    Read({"/forcehal"});
    EXPECT_EQ(Overridden().DeviceType, D3DDEVTYPE_HAL);
    Read({"/forcepurehwvp"});
    EXPECT_EQ(Overridden().BehaviorFlags & D3DCREATE_PUREDEVICE, static_cast<DWORD>(D3DCREATE_PUREDEVICE));
    Read({"/forcehal", "/forceref", "/forcepurehwvp", "/forceswvp"});
    setup = Overridden();
    EXPECT_EQ(setup.DeviceType, D3DDEVTYPE_REF);  // REF wins
    // Pure hardware wins over software vertex processing; all three were stored.
    EXPECT_EQ(setup.BehaviorFlags & (D3DCREATE_PUREDEVICE | D3DCREATE_SOFTWARE_VERTEXPROCESSING),
              static_cast<DWORD>(D3DCREATE_PUREDEVICE));
    kittest::ResetCoreState();  // switches read earlier stay until then
    Read({"/forceswvp"});
    EXPECT_EQ(Overridden().BehaviorFlags & (D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE |
                                            D3DCREATE_SOFTWARE_VERTEXPROCESSING),
              static_cast<DWORD>(D3DCREATE_SOFTWARE_VERTEXPROCESSING));
}

TEST_F(CommandLineInUse, VsyncValueIsStoredAsGiven) {
    // Values other than 0 and 1 change nothing; 0 turns vertical sync off.
    EXPECT_EQ(Read({"/forcevsync:2"}), "");
    ASSERT_EQ(app.Build(), S_OK);
    EXPECT_NE(KitCurrentPresentParams().PresentationInterval,
              static_cast<UINT>(D3DPRESENT_INTERVAL_IMMEDIATE));
    Read({"/forcevsync:0"});
    ASSERT_EQ(app.Build(), S_OK);
    EXPECT_EQ(KitCurrentPresentParams().PresentationInterval,
              static_cast<UINT>(D3DPRESENT_INTERVAL_IMMEDIATE));
}

TEST_F(CommandLine, PlainSwitches) {
    EXPECT_EQ(Read({"/noerrormsgboxes", "/nostats", "/relaunchmce", "/automation"}), "");
    EXPECT_FALSE(KitErrorBoxesEnabled());
    EXPECT_TRUE(KitAutomationMode());
}

TEST_F(CommandLineInUse, NoStatsLeavesTheStatisticsEmpty) {
    Read({"/nostats"});
    ASSERT_EQ(app.Build(), S_OK);
    ASSERT_EQ(RunFrames(2), S_OK);
    EXPECT_STREQ(KitFrameStatsText(true), L"");
    EXPECT_STREQ(KitDeviceStatsText(), L"");
}

TEST_F(CommandLine, NonsenseValuesNeverOverrun) {
    std::string huge(10000, '9');
    std::string longName(10000, 'x');
    std::string out = Read({"/width:" + huge, "/height:-99999999999999999999", "/adapter:garbage",
                            "/constantframetime:nan", "-" + longName, "/startx:12 34"});
    KitDeviceSetup setup = Overridden();
    EXPECT_EQ(setup.PresentParams.BackBufferWidth, 2147483647u);
    EXPECT_EQ(setup.PresentParams.BackBufferHeight, 0x80000000u);
    EXPECT_EQ(setup.AdapterOrdinal, 0u);
    // The long unknown switch is reported with its first 255 characters.
    EXPECT_NE(out.find("Unrecognized flag: " + std::string(255, 'x') + "\n"), std::string::npos);
    EXPECT_EQ(out.find(std::string(256, 'x')), std::string::npos);
}

TEST_F(CommandLineInUse, NonsenseTimeAndPositionValues) {
    Read({"/constantframetime:nan", "/startx:12 34"});
    ASSERT_EQ(KitCreateWindow(L"Test"), S_OK);
    RECT rc{};
    GetWindowRect(KitFocusWindow(), &rc);
    EXPECT_EQ(rc.left, 12);  // the value ends at the blank
    ASSERT_NO_FATAL_FAILURE(BuildAndRunTwoFrames());
    EXPECT_FLOAT_EQ(app.moves[1].elapsed, 0.0333f);  // not a usable time: the default
}

}  // namespace
