// The runtime component installed into a scratch prefix: the files it holds,
// and the launcher starting the program from its media folder wherever it is
// called from (or failing in one line when the media folder is gone).
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>

#include "tests/e2e/e2e_support.h"

namespace {

using namespace e2e;
namespace fs = std::filesystem;

// Runs a shell command; its standard output and error together in *pOutput.
int Shell(const std::string& command, std::string* pOutput) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return -1;
    char buf[4096];
    size_t n = 0;
    pOutput->clear();
    while ((n = fread(buf, 1, sizeof(buf), pipe)) > 0) pOutput->append(buf, n);
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Installed : public ::testing::Test {
  protected:
    void SetUp() override {
        m_prefix = m_scratch.File("prefix");
        std::string output;
        const std::string command = std::string("'") + TUMBRAL_CMAKE_COMMAND +
                                    "' --install '" TUMBRAL_BINARY_DIR "' --component runtime --prefix '" +
                                    m_prefix + "'";
        ASSERT_EQ(Shell(command, &output), 0) << output;
    }

    // Runs the installed launcher (or `program`) from an empty folder, headless.
    RunResult Launch(const std::vector<std::string>& args, const std::string& program = "") {
        RunOptions options;
        options.strProgram = program.empty() ? m_prefix + "/bin/tumbral" : program;
        options.args = args;
        options.strWorkDir = m_scratch.File("elsewhere");
        fs::create_directories(options.strWorkDir);
        return RunApp(options, m_scratch);
    }

    ScratchDir m_scratch;
    std::string m_prefix;
};

TEST_F(Installed, TheTreeHoldsTheRuntimeFilesAndNothingOfTheBuild) {
    std::set<std::string> files;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(m_prefix))
        if (!e.is_directory()) files.insert(fs::relative(e.path(), m_prefix).string());
    std::set<std::string> expected = {
        "bin/tumbral",
        "lib/tumbral/tumbral",
        "share/tumbral/box.x",
        "share/tumbral/sticker.png",
        "share/applications/org.tumbral.Tumbral.desktop",
        "share/metainfo/org.tumbral.Tumbral.metainfo.xml",
        "share/man/man6/tumbral.6.gz",
        "share/doc/tumbral/copyright",
        "share/doc/tumbral/changelog.gz",
        "share/icons/hicolor/scalable/apps/tumbral.svg",
    };
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        expected.insert("share/icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) +
                        "/apps/tumbral.png");
    EXPECT_EQ(files, expected);

    for (const std::string& file : files) {
        const fs::perms perms = fs::status(fs::path(m_prefix) / file).permissions();
        const bool bProgram = file == "bin/tumbral" || file == "lib/tumbral/tumbral";
        EXPECT_EQ((perms & fs::perms::owner_exec) != fs::perms::none, bProgram) << file;
        EXPECT_NE(perms & fs::perms::others_read, fs::perms::none) << file;
        // Text files name no folder of the build or the sources.
        if (!bProgram && file.find(".png") == std::string::npos && file.find(".gz") == std::string::npos) {
            const std::string text = ReadFile(m_prefix + "/" + file);
            EXPECT_EQ(text.find(TUMBRAL_BINARY_DIR), std::string::npos) << file;
            EXPECT_EQ(text.find(TUMBRAL_SOURCE_DIR), std::string::npos) << file;
        }
    }
    for (const char* media : {"box.x", "sticker.png"})
        EXPECT_EQ(ReadFile(m_prefix + "/share/tumbral/" + media), ReadFile(MediaDir() + "/" + media))
            << media;
    // The program finds its libraries without a search path into the build tree.
    std::string dynamic;
    if (Shell("readelf -d '" + m_prefix + "/lib/tumbral/tumbral'", &dynamic) == 0) {
        EXPECT_EQ(dynamic.find("RPATH"), std::string::npos) << dynamic;
        EXPECT_EQ(dynamic.find("RUNPATH"), std::string::npos) << dynamic;
    }
}

TEST_F(Installed, TheLauncherStartsTheProgramFromItsMediaFolder) {
    // A relative script name is the caller's; the shot goes where the script says.
    RunOptions options;
    options.strProgram = m_prefix + "/bin/tumbral";
    options.strWorkDir = m_scratch.Path();
    options.strScript = "@frame 3\nshot " + m_scratch.File("start.png") + "\nquit\n";
    options.extraEnv = {{"TUMBRAL_SCRIPT", "script.txt"}};
    const RunResult r = RunApp(options, m_scratch);
    EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
    EXPECT_EQ(r.strStderr.find("FAILED"), std::string::npos) << r.strStderr;
    Image start;
    ASSERT_TRUE(start.Load(m_scratch.File("start.png")));
    EXPECT_GT(CubePixels(start), 10000);  // the cube is drawn: box.x was found
}

TEST_F(Installed, TheLauncherPassesArgumentsAndTheExitCodeThrough) {
    const RunResult r = Launch({"/adapter:7", "two words", "$HOME", "*"});
    EXPECT_EQ(r.nExitCode, 3);  // no compatible device: adapter 7 does not exist
    EXPECT_NE(r.strStderr.find("Unrecognized flag: two\n"), std::string::npos) << r.strStderr;
    EXPECT_EQ(r.strStderr.find("Unrecognized flag: words"), std::string::npos) << r.strStderr;
    EXPECT_NE(r.strStderr.find("Unrecognized flag: $HOME\n"), std::string::npos) << r.strStderr;
    EXPECT_NE(r.strStderr.find("Unrecognized flag: *\n"), std::string::npos) << r.strStderr;

    const RunResult help = Launch({"--help"});
    EXPECT_EQ(help.nExitCode, 0);
    EXPECT_EQ(help.strStdout.rfind("Usage: tumbral", 0), 0u);
}

TEST_F(Installed, AMovedPrefixWorksThroughALinkFromAnotherFolder) {
    const std::string moved = m_scratch.File("moved");
    fs::rename(m_prefix, moved);
    const std::string link = m_scratch.File("links/tumbral");
    fs::create_directories(m_scratch.File("links"));
    fs::create_symlink(moved + "/bin/tumbral", link);
    const RunResult r = Launch({"/quitafterframe:2"}, link);
    EXPECT_EQ(r.nExitCode, 0) << r.strStderr;
    EXPECT_EQ(r.strStderr.find("FAILED"), std::string::npos) << r.strStderr;
}

TEST_F(Installed, AMissingMediaFolderIsOneLineAndCode4) {
    const std::string media = m_prefix + "/share/tumbral";
    const std::string expected = "tumbral: the media folder " + media +
                                 " is missing or unreadable (it must hold box.x); reinstall Tumbral\n";
    auto check = [&](const char* what) {
        SCOPED_TRACE(what);
        const RunResult r = Launch({"/quitafterframe:2"});
        EXPECT_EQ(r.nExitCode, 4);
        EXPECT_EQ(r.strStderr, expected);  // one line, and the program never started
    };
    fs::remove(media + "/box.x");
    check("box.x missing");
    fs::remove_all(media);
    check("folder missing");
    std::ofstream(media) << "not a folder";
    check("a file instead of the folder");
    if (geteuid() != 0) {  // permissions do not stop the superuser
        fs::remove(media);
        fs::create_directories(media);
        fs::copy_file(MediaDir() + "/box.x", media + "/box.x");
        fs::permissions(media, fs::perms::none);
        check("folder unreadable");
        fs::permissions(media, fs::perms::owner_all);
    }
}

}  // namespace
