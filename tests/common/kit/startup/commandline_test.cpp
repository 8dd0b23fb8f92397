// KitReadCommandLine: switch matching, values, unrecognised arguments and
// nonsense input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/kit/debug_capture.h"
#include "common/kit/state_reset.h"
#include "kit/startup/kit_commandline.h"
#include "kit/state/kit_getters.h"
#include "platform/win32/kernel_process.h"

namespace {

class CommandLine : public ::testing::Test {
  protected:
    void SetUp() override { kittest::ResetCoreState(); }
    void TearDown() override {
        kittest::ResetCoreState();
        const char* argv[] = {"test"};
        plat::SetProcessCommandLine(1, argv);
    }

    // Reads the given arguments; returns the debug output it wrote.
    std::string Read(std::vector<std::string> args) {
        std::vector<const char*> argv = {"/usr/bin/test"};
        for (const std::string& a : args) argv.push_back(a.c_str());
        plat::SetProcessCommandLine(static_cast<int>(argv.size()), argv.data());
        kittest::DebugCapture capture;
        KitReadCommandLine();
        return capture.Text();
    }
};

TEST_F(CommandLine, SwitchesIgnoreLetterCase) {
    EXPECT_EQ(Read({"-WINDOWED", "/FullScreen"}), "");
    EXPECT_TRUE(KitCore().m_bOverrideWindowed);
    EXPECT_TRUE(KitCore().m_bOverrideFullScreen);
}

TEST_F(CommandLine, IntegerValuesStopAtTheFirstNonDigit) {
    Read({"/width:800x600", "/height:600", "/adapter:1", "/startx:-20", "/starty:30", "/quitafterframe:5"});
    EXPECT_EQ(KitCore().m_nOverrideWidth, 800);
    EXPECT_EQ(KitCore().m_nOverrideHeight, 600);
    EXPECT_EQ(KitCore().m_nOverrideAdapter, 1);
    EXPECT_EQ(KitCore().m_nOverrideStartX, -20);
    EXPECT_EQ(KitCore().m_nOverrideStartY, 30);
    EXPECT_EQ(KitCore().m_nOverrideQuitAfterFrame, 5);
}

TEST_F(CommandLine, ConstantFrameTimeWithAndWithoutValue) {
    Read({"/constantframetime"});
    EXPECT_TRUE(KitCore().m_bOverrideFixedFrameTime);
    EXPECT_FLOAT_EQ(KitCore().m_fOverrideFixedFrameTime, 0.0333f);
    EXPECT_TRUE(KitCore().m_bFixedFrameTime);
    EXPECT_FLOAT_EQ(KitCore().m_fFixedFrameTime, 0.0333f);

    Read({"/constantframetime:0.01"});
    EXPECT_FLOAT_EQ(KitCore().m_fOverrideFixedFrameTime, 0.01f);
    EXPECT_FLOAT_EQ(KitCore().m_fFixedFrameTime, 0.01f);
    // The application's later request does not undo it.
    KitSetFixedFrameTime(false, 0.0f);
    EXPECT_TRUE(KitCore().m_bFixedFrameTime);
    EXPECT_FLOAT_EQ(KitCore().m_fFixedFrameTime, 0.01f);
}

TEST_F(CommandLine, SwitchWithoutItsValueIsUnrecognisedWithEmptyText) {
    std::string out = Read({"/adapter"});
    EXPECT_EQ(KitCore().m_nOverrideAdapter, -1);
    EXPECT_EQ(out, "Unrecognized flag: \n");
}

TEST_F(CommandLine, ArgumentWithoutLeadingMarkIsReported) {
    std::string out = Read({"abc", "/nosuchswitch:1", "/windowedx"});
    EXPECT_EQ(out,
              "Unrecognized flag: abc\nUnrecognized flag: nosuchswitch:1\nUnrecognized flag: windowedx\n");
    EXPECT_FALSE(KitCore().m_bOverrideWindowed);
}

TEST_F(CommandLine, SimilarNamesNeedTheirWholeName) {
    Read({"/forcehwvp"});
    EXPECT_TRUE(KitCore().m_bOverrideForceHWVP);
    EXPECT_FALSE(KitCore().m_bOverrideForceHAL);
    Read({"/forcehal", "/forceref", "/forcepurehwvp", "/forceswvp"});
    EXPECT_TRUE(KitCore().m_bOverrideForceHAL);
    EXPECT_TRUE(KitCore().m_bOverrideForceREF);
    EXPECT_TRUE(KitCore().m_bOverrideForcePureHWVP);
    EXPECT_TRUE(KitCore().m_bOverrideForceSWVP);
}

TEST_F(CommandLine, VsyncValueIsStoredAsGiven) {
    Read({"/forcevsync:2"});
    EXPECT_EQ(KitCore().m_nOverrideForceVsync, 2);
    Read({"/forcevsync:0"});
    EXPECT_EQ(KitCore().m_nOverrideForceVsync, 0);
}

TEST_F(CommandLine, PlainSwitches) {
    Read({"/noerrormsgboxes", "/nostats", "/relaunchmce", "/automation"});
    EXPECT_FALSE(KitCore().m_bShowErrorBoxes);
    EXPECT_TRUE(KitCore().m_bNoStats);
    EXPECT_TRUE(KitCore().m_bRelaunchMediaCenter);
    EXPECT_TRUE(KitCore().m_bAutomation);
}

TEST_F(CommandLine, NonsenseValuesNeverOverrun) {
    std::string huge(10000, '9');
    std::string longName(10000, 'x');
    std::string out = Read({"/width:" + huge, "/height:-99999999999999999999", "/adapter:garbage",
                            "/constantframetime:nan", "-" + longName, "/startx:12 34"});
    EXPECT_EQ(KitCore().m_nOverrideWidth, 2147483647);
    EXPECT_EQ(KitCore().m_nOverrideHeight, -2147483647 - 1);
    EXPECT_EQ(KitCore().m_nOverrideAdapter, 0);
    EXPECT_FLOAT_EQ(KitCore().m_fOverrideFixedFrameTime, 0.0333f);  // not a usable time
    EXPECT_EQ(KitCore().m_nOverrideStartX, 12);                     // the value ends at the blank
    // The long unknown switch is reported with its first 255 characters.
    EXPECT_NE(out.find("Unrecognized flag: " + std::string(255, 'x') + "\n"), std::string::npos);
    EXPECT_EQ(out.find(std::string(256, 'x')), std::string::npos);
}

}  // namespace
