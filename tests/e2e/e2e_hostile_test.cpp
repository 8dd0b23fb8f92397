// Hostile files, environment and command lines against the real program:
// special files in place of its inputs never block it, absurd switches do
// not break it, and bad settings are reported.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/e2e/e2e_support.h"

using namespace e2e;

namespace {

constexpr int kTimeoutMs = 30000;  // a blocked open shows as a timeout

TEST(HostileFiles, FifoAsMeshFailsTheLoadInsteadOfBlocking) {
    ScratchDir scratch;
    ASSERT_EQ(mkfifo(scratch.File("box.x").c_str(), 0600), 0);
    RunOptions options;
    options.args = {"/quitafterframe:3"};
    options.strWorkDir = scratch.Path();
    options.nTimeoutMs = kTimeoutMs;
    const RunResult r = RunApp(options, scratch);
    EXPECT_FALSE(r.bTimedOut);
    EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
    EXPECT_NE(r.strStderr.find("D3DXLoadMeshFromX() - FAILED"), std::string::npos) << r.strStderr;
}

// A script that is not a regular file stops the program before it starts
// (the reader's other refusals are tested with the script parser).
TEST(HostileFiles, FifoAsScriptIsAnInputError) {
    ScratchDir scratch;
    const std::string fifo = scratch.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    RunOptions options;
    options.extraEnv = {{"TUMBRAL_SCRIPT", fifo}};
    options.nTimeoutMs = kTimeoutMs;
    const RunResult r = RunApp(options, scratch);
    EXPECT_FALSE(r.bTimedOut);
    EXPECT_EQ(r.nExitCode, 2) << r.strStderr;
    EXPECT_NE(r.strStderr.find(fifo + ": cannot read the input script (not a regular file)"),
              std::string::npos)
        << r.strStderr;
}

TEST(HostileFiles, FifoAsDebugOutputFallsBackToStandardError) {
    ScratchDir scratch;
    const std::string fifo = scratch.File("trace");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    RunOptions options;
    options.args = {"/quitafterframe:3", "/nosuchswitch"};
    options.extraEnv = {{"TUMBRAL_DEBUG_OUTPUT", fifo}};
    options.nTimeoutMs = kTimeoutMs;
    const RunResult r = RunApp(options, scratch);
    EXPECT_FALSE(r.bTimedOut);
    EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
    EXPECT_NE(r.strStderr.find("TUMBRAL_DEBUG_OUTPUT=" + fifo + ": not a regular file"), std::string::npos)
        << r.strStderr;
    // The trace line still reaches the user.
    EXPECT_NE(r.strStderr.find("Unrecognized flag: nosuchswitch"), std::string::npos) << r.strStderr;
}

// Sizes and positions far outside any screen are clamped, not overflowed
// (the sanitizer build stops on signed overflow); a position without the
// other coordinate places the window normally.
TEST(HostileCommandLine, ExtremeSizesAndPositionsDoNotBreakTheRun) {
    const std::vector<std::vector<std::string>> cases = {
        {"/startx:-100000"},
        {"/startx:2147483647", "/starty:2147483647"},
        {"/width:2147483648", "/height:4294967296", "/startx:2147483647"},
        {"/width:-2147483648", "/startx:-2147483648"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(args.front());
        ScratchDir scratch;
        RunOptions options;
        options.args = args;
        options.args.push_back("/quitafterframe:2");
        options.nTimeoutMs = kTimeoutMs;
        const RunResult r = RunApp(options, scratch);
        EXPECT_FALSE(r.bTimedOut);
        // A back buffer of 2^31 pixels a side cannot be made: the run may end
        // with the framework's device codes, but never by a signal.
        EXPECT_GE(r.nExitCode, 0) << r.strStderr;
        EXPECT_LE(r.nExitCode, 11) << r.strStderr;
        EXPECT_EQ(r.strStderr.find("runtime error"), std::string::npos) << r.strStderr;
    }
    ScratchDir scratch;
    RunOptions options;
    options.args = {"/startx:-100000", "/quitafterframe:2"};
    EXPECT_EQ(RunApp(options, scratch).nExitCode, 0);
}

TEST(HostileEnvironment, BadRasterThreadCountIsReported) {
    for (const char* value : {"abc", "0", "17", "4x"}) {
        SCOPED_TRACE(value);
        ScratchDir scratch;
        RunOptions options;
        options.args = {"/quitafterframe:2"};
        options.extraEnv = {{"TUMBRAL_RASTER_THREADS", value}};
        const RunResult r = RunApp(options, scratch);
        EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
        EXPECT_NE(r.strStderr.find(std::string("TUMBRAL_RASTER_THREADS=") + value +
                                   " is not a number from 1 to 16; using the default"),
                  std::string::npos)
            << r.strStderr;
    }
    ScratchDir scratch;
    RunOptions options;
    options.args = {"/quitafterframe:2"};
    options.extraEnv = {{"TUMBRAL_RASTER_THREADS", "3"}};
    const RunResult r = RunApp(options, scratch);
    EXPECT_EQ(r.nExitCode, 0);
    EXPECT_EQ(r.strStderr.find("TUMBRAL_RASTER_THREADS"), std::string::npos) << r.strStderr;
}

TEST(HostileEnvironment, BackendNamesIgnoreCaseAndUnknownOnesAreEscaped) {
    ScratchDir scratch;
    RunOptions options;
    options.args = {"/quitafterframe:2"};
    options.extraEnv = {{"TUMBRAL_BACKEND", "HEADLESS"}};
    RunResult r = RunApp(options, scratch);
    EXPECT_EQ(r.nExitCode, 0);
    EXPECT_EQ(r.strStderr.find("not available"), std::string::npos) << r.strStderr;

    options.extraEnv = {{"TUMBRAL_BACKEND", "x\x1b[31m"}};
    r = RunApp(options, scratch);
    EXPECT_EQ(r.nExitCode, 0);
    EXPECT_NE(r.strStderr.find("backend \"x\\x1B[31m\" is not available"), std::string::npos) << r.strStderr;
    EXPECT_EQ(r.strStderr.find('\x1b'), std::string::npos);
}

}  // namespace
