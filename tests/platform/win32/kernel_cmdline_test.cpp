// The command line: splitting with Windows quoting rules and building a line
// that splits back into the original arguments.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "platform/win32/kernel_process.h"

namespace {

std::vector<std::wstring> Split(const wchar_t* line) {
    int argc = -1;
    LPWSTR* argv = CommandLineToArgvW(line, &argc);
    std::vector<std::wstring> out;
    if (!argv) return out;
    for (int i = 0; i < argc; ++i) out.emplace_back(argv[i]);
    EXPECT_EQ(argv[argc], nullptr);
    EXPECT_EQ(LocalFree(argv), nullptr);
    return out;
}

TEST(CommandLine, WindowsQuotingRules) {
    typedef std::vector<std::wstring> Args;
    EXPECT_EQ(Split(L"prog /windowed  -width:800\t/x"), (Args{L"prog", L"/windowed", L"-width:800", L"/x"}));
    EXPECT_EQ(Split(L"\"C:\\Program Files\\t.exe\" a"), (Args{L"C:\\Program Files\\t.exe", L"a"}));
    // The program name takes backslashes literally.
    EXPECT_EQ(Split(L"C:\\dir\\ \"a b\" c"), (Args{L"C:\\dir\\", L"a b", L"c"}));
    // 2n backslashes before a quote: n backslashes, quote toggles.
    EXPECT_EQ(Split(L"p a\\\\\"b c\""), (Args{L"p", L"a\\b c"}));
    // 2n+1 backslashes: n backslashes and a literal quote.
    EXPECT_EQ(Split(L"p a\\\\\\\"b"), (Args{L"p", L"a\\\"b"}));
    // Backslashes not before a quote are literal.
    EXPECT_EQ(Split(L"p a\\\\b\\"), (Args{L"p", L"a\\\\b\\"}));
    // "" inside quotes is a literal quote; an empty quoted argument survives.
    EXPECT_EQ(Split(L"p \"a\"\"b\" \"\""), (Args{L"p", L"a\"b", L""}));
    EXPECT_EQ(Split(L"p a\"b c\"d"), (Args{L"p", L"ab cd"}));
    // An unclosed quote runs to the end.
    EXPECT_EQ(Split(L"p \"a b"), (Args{L"p", L"a b"}));
    // An empty line gives the program's file name.
    const Args self = Split(L"");
    ASSERT_EQ(self.size(), 1u);
    EXPECT_EQ(self[0], std::filesystem::read_symlink("/proc/self/exe").wstring());
    EXPECT_EQ(CommandLineToArgvW(L"p", nullptr), nullptr);
}

TEST(CommandLine, ProcessLineSplitsBackIntoArgv) {
    const char* argv[] = {
        "/opt/my app/tumbral", "/width:800", "two words", "", "q\"uote", "tail\\", "x\\\"y"};
    plat::SetProcessCommandLine(7, argv);
    const std::vector<std::wstring> back = Split(GetCommandLineW());
    ASSERT_EQ(back.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        std::wstring expected(argv[i], argv[i] + strlen(argv[i]));
        EXPECT_EQ(back[i], expected) << i;
    }
    // wWinMain gets the arguments after the program name.
    EXPECT_EQ(std::wstring(plat::CommandLineArguments()).rfind(L"/width:800 \"two words\" \"\" ", 0), 0u);
}

}  // namespace
