// --help, -h and --version: the text on standard output and exit code 0, with
// nothing else done (no window system, no device, no debug output), and a
// usage text and manual page that name every switch, key and setting the
// README lists.
#include <regex>
#include <set>
#include <sstream>

#include "tests/e2e/e2e_support.h"

namespace {

using namespace e2e;

// Runs the program where a window system would complain if it were opened.
RunResult RunWithoutDisplay(const std::vector<std::string>& args,
                            const std::vector<std::pair<std::string, std::string>>& env) {
    ScratchDir scratch;
    RunOptions options;
    options.args = args;
    options.bHeadless = false;
    options.strWorkDir = scratch.Path();  // no box.x here
    options.extraEnv = {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"TUMBRAL_BACKEND", ""}};
    options.extraEnv.insert(options.extraEnv.end(), env.begin(), env.end());
    return RunApp(options, scratch);
}

TEST(Usage, HelpAndVersionPrintOnlyTheirTextAndOpenNothing) {
    const std::vector<std::vector<std::pair<std::string, std::string>>> environments = {
        {},                                                                         // auto, no display
        {{"TUMBRAL_BACKEND", "sdl"}},                                               // SDL wanted, no display
        {{"TUMBRAL_BACKEND", "headless"}, {"TUMBRAL_SCRIPT", "/nonexistent.txt"}},  // a bad script
    };
    for (const auto& env : environments) {
        for (const std::vector<std::string>& args :
             {std::vector<std::string>{"--help"},
              {"-h"},
              {"/adapter:7", "--version", "abc", "--help", "/windowed"}}) {
            const RunResult r = RunWithoutDisplay(args, env);
            SCOPED_TRACE(args.front() + " with " + (env.empty() ? "no settings" : env.front().second));
            EXPECT_EQ(r.nExitCode, 0);
            EXPECT_EQ(r.strStdout.rfind("Usage: tumbral", 0), 0u) << r.strStdout;
            EXPECT_EQ(r.strStderr, "");
        }
        const RunResult r = RunWithoutDisplay({"/width:300", "--version"}, env);
        EXPECT_EQ(r.nExitCode, 0);
        EXPECT_TRUE(std::regex_match(r.strStdout, std::regex("tumbral [0-9]+\\.[0-9]+\\.[0-9]+\n")))
            << r.strStdout;
        EXPECT_EQ(r.strStderr, "");
    }
}

TEST(Usage, OtherSpellingsAreUnrecognizedFlagsOfANormalRun) {
    ScratchDir scratch;
    RunOptions options;
    options.args = {"--HELP", "-help", "/version", "/quitafterframe:2"};
    const RunResult r = RunApp(options, scratch);
    EXPECT_EQ(r.nExitCode, 0);
    EXPECT_EQ(r.strStdout, "");
    for (const char* flag : {"-HELP", "help", "version"})
        EXPECT_NE(r.strStderr.find(std::string("Unrecognized flag: ") + flag + "\n"), std::string::npos)
            << flag << "\n"
            << r.strStderr;
}

TEST(Usage, HelpThatCannotBeWrittenFails) {
    ScratchDir scratch;
    RunOptions options;
    options.strProgram = "/bin/sh";
    options.args = {"-c", "exec \"$0\" --help >/dev/full", AppBinary()};
    const RunResult r = RunApp(options, scratch);
    EXPECT_EQ(r.nExitCode, 1);
    EXPECT_EQ(r.strStderr, "tumbral: could not write to standard output\n");
}

// The backticked names in the first column of one README table, below `heading`.
std::set<std::string> ReadmeNames(const std::string& readme, const std::string& heading,
                                  const std::regex& name) {
    std::set<std::string> names;
    std::istringstream in(readme.substr(readme.find(heading)));
    std::string line;
    std::getline(in, line);
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.rfind("|", 0) != 0) {
            if (inTable) break;
            continue;
        }
        inTable = true;
        const std::string cell = line.substr(1, line.find('|', 1) - 1);
        for (std::sregex_iterator it(cell.begin(), cell.end(), name), end; it != end; ++it)
            names.insert(it->str(1));
    }
    return names;
}

// The manual page's text without font changes and with its escaped dashes plain.
std::string ManualText() {
    std::string page = ReadFile(std::string(TUMBRAL_SOURCE_DIR) + "/packaging/tumbral.6.in");
    page = std::regex_replace(page, std::regex(R"(\\f[BIRP])"), "");
    return std::regex_replace(page, std::regex(R"(\\-)"), "-");
}

TEST(Usage, HelpAndManualPageNameEverySwitchKeyAndSettingOfTheReadme) {
    const std::string readme = ReadFile(std::string(TUMBRAL_SOURCE_DIR) + "/README.md");
    const std::set<std::string> switches =
        ReadmeNames(readme, "### Command-line switches", std::regex(R"(`(/\w+))"));
    const std::set<std::string> settings =
        ReadmeNames(readme, "### Environment settings", std::regex(R"(`(TUMBRAL_\w+))"));
    // Key names are the capitalised words of the controls table: F1, Home, Alt+Enter, R, ...
    const std::set<std::string> keys = ReadmeNames(
        readme, "### Controls", std::regex(R"((?:^|[\s,(])([A-Z][A-Za-z0-9]*(?:\+[A-Za-z0-9]+)*)\b)"));
    ASSERT_GE(switches.size(), 19u);
    ASSERT_GE(settings.size(), 9u);
    ASSERT_GE(keys.size(), 8u);

    const RunResult help = RunWithoutDisplay({"--help"}, {});
    const std::string manual = ManualText();
    for (const std::set<std::string>* names : {&switches, &settings, &keys})
        for (const std::string& name : *names) {
            const std::regex word("(^|[^A-Za-z0-9_+])" +
                                  std::regex_replace(name, std::regex(R"([+/])"), R"(\$&)") +
                                  "($|[^A-Za-z0-9_+])");
            EXPECT_TRUE(std::regex_search(help.strStdout, word)) << name << " is missing from --help";
            EXPECT_TRUE(std::regex_search(manual, word)) << name << " is missing from the manual page";
        }
}

}  // namespace
