// What an input script may cost and what its errors may print: the file and
// each line are bounded, only regular files are read (a FIFO or a device
// never blocks or streams forever), and control bytes from the file are shown
// escaped, never sent to the terminal.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/headless/script.h"
#include "tests/support/memory_limit.h"

using plat::LoadScript;
using plat::ParseScript;
using plat::Script;

namespace {

namespace fs = std::filesystem;

class ScriptFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("tumbral_script_" + std::to_string(getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string Path(const char* name) const { return (m_dir / name).string(); }
    fs::path m_dir;
};

TEST_F(ScriptFiles, OnlyRegularFilesAreRead) {
    ASSERT_EQ(mkfifo(Path("fifo").c_str(), 0600), 0);
    for (const std::string& path : {Path("fifo"), m_dir.string(), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        Script s;
        std::string error;
        EXPECT_FALSE(LoadScript(path, s, error));
        EXPECT_EQ(error, path + ": cannot read the input script (not a regular file)");
    }
    Script s;
    std::string error;
    EXPECT_FALSE(LoadScript(Path("missing"), s, error));
    EXPECT_EQ(error, Path("missing") + ": cannot read the input script (not found)");

    std::ofstream(Path("ok.txt")) << "@frame 2\nquit\n";
    EXPECT_TRUE(LoadScript(Path("ok.txt"), s, error)) << error;
    EXPECT_EQ(s.StepCount(), 1u);
}

TEST_F(ScriptFiles, FileSizeIsBounded) {
    {
        std::ofstream out(Path("big.txt"));
        const std::string comment = "# " + std::string(1000, 'x') + "\n";
        for (size_t n = 0; n <= plat::kMaxScriptBytes / comment.size(); ++n) out << comment;
    }
    Script s;
    std::string error;
    EXPECT_FALSE(LoadScript(Path("big.txt"), s, error));
    EXPECT_NE(error.find("(too large, more than " + std::to_string(plat::kMaxScriptBytes) + " bytes)"),
              std::string::npos)
        << error;
}

TEST(ScriptLimits, LongLinesAreRefusedWithTheirNumber) {
    Script s;
    std::string error;
    const std::string longType = "type " + std::string(plat::kMaxScriptLineBytes, 'a');
    EXPECT_FALSE(ParseScript("quit\n" + longType + "\n", "s.txt", s, error));
    EXPECT_EQ(error, "s.txt:2: line longer than " + std::to_string(plat::kMaxScriptLineBytes) + " bytes");
    // A line just within the bound is fine.
    const std::string fits = "type " + std::string(plat::kMaxScriptLineBytes - 5, 'a');
    EXPECT_TRUE(ParseScript(fits + "\n", "s.txt", s, error)) << error;
    ASSERT_EQ(s.StepCount(), 1u);
    EXPECT_EQ(s.Step(0).text.size(), plat::kMaxScriptLineBytes - 5);
}

TEST(ScriptLimits, ControlBytesInErrorsAreEscaped) {
    Script s;
    std::string error;
    EXPECT_FALSE(ParseScript("\x1b]0;owned\x07 1 2\n", "s.txt", s, error));
    EXPECT_EQ(error, "s.txt:1: unknown command \"\\x1B]0;owned\\x07\"");
    EXPECT_FALSE(ParseScript("press VK_\x1b[2J\n", "s.txt", s, error));
    EXPECT_EQ(error.find('\x1b'), std::string::npos) << error;
    EXPECT_NE(error.find("VK_\\x1B[2J"), std::string::npos) << error;
    // The file name is outside text too.
    EXPECT_FALSE(ParseScript("bogus\n", "a\rb.txt", s, error));
    EXPECT_EQ(error, "a\\x0Db.txt:1: unknown command \"bogus\"");
    // C1 controls and bytes that are not UTF-8, in the text and in the file name.
    EXPECT_FALSE(
        ParseScript("\xc2\x9b"
                    "2J\xc2\x9d"
                    "0;x\xc2\x9c \xff\n",
                    "s\xc2\x9b\xfe.txt", s, error));
    EXPECT_EQ(error, "s\\xC2\\x9B\\xFE.txt:1: unknown command \"\\xC2\\x9B2J\\xC2\\x9D0;x\\xC2\\x9C\"");
    // UTF-8 text is kept as it is.
    EXPECT_FALSE(ParseScript("wheel 2 \xc3\xa9 1\n", "s.txt", s, error));
    EXPECT_NE(error.find("\"\xc3\xa9\""), std::string::npos) << error;
}

}  // namespace

namespace {

// A script of the largest size in the shortest commands keeps within a few
// times its own size: each step is kept as where its line is, not as a whole
// parsed step.
TEST(ScriptLimits, ManyShortStepsCostLittleMoreThanTheirText) {
    if (tumbral_test::kAddressSanitized)
        GTEST_SKIP() << "address-space figures mean nothing under the sanitizer";
    std::string text;
    while (text.size() + 8 <= plat::kMaxScriptBytes) text += "press A\n";
    const size_t size = text.size();
    Script s;
    const tumbral_test::ChildResult r = tumbral_test::RunInChild(0, [&] {
        std::string error;
        return ParseScript(std::move(text), "short.txt", s, error) && s.StepCount() == size / 8 &&
                       s.Step(size / 8 - 1).vk == UINT('A')
                   ? S_OK
                   : E_FAIL;
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.hr, S_OK);
    EXPECT_LT(r.peakGrowth, 5 * uint64_t(size));
}

}  // namespace
