// The process command line: built from argv (or /proc/self/cmdline), handed
// out by GetCommandLineW and split again by CommandLineToArgvW.
#include "platform/win32/kernel_process.h"

#include <cstring>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <mutex>
#include <vector>

#include "platform/base/utf8.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

struct CommandLine {
    std::mutex lock;
    bool set = false;
    std::wstring text;
};

CommandLine& TheCommandLine() {
    static CommandLine* line = new CommandLine;
    return *line;
}

std::wstring BuildLine(const std::vector<std::string>& args) {
    std::wstring line;
    for (size_t i = 0; i < args.size(); ++i) {
        if (i) line += L' ';
        const std::wstring arg = plat::Utf8ToWide(args[i]);
        // The program name is read without backslash rules: plain quotes do.
        if (i == 0)
            line +=
                arg.find_first_of(L" \t") == std::wstring::npos && !arg.empty() ? arg : L"\"" + arg + L"\"";
        else
            line += plat::QuoteArgument(arg);
    }
    return line;
}

// Without a process entry (test programs) the kernel's own record is used.
std::vector<std::string> ProcArguments() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\0', start);
        if (end == std::string::npos) end = all.size();
        args.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return args;
}

std::wstring& LineText() {
    CommandLine& c = TheCommandLine();
    std::lock_guard<std::mutex> guard(c.lock);
    if (!c.set) {
        c.text = BuildLine(ProcArguments());
        c.set = true;
    }
    return c.text;
}

// Index just past the program name (and its closing quote).
size_t SkipProgramName(const wchar_t* line) {
    size_t i = 0;
    if (line[0] == L'"') {
        i = 1;
        while (line[i] && line[i] != L'"') ++i;
        if (line[i] == L'"') ++i;
    } else {
        while (line[i] && !IsBlank(line[i])) ++i;
    }
    return i;
}

std::vector<std::wstring> Split(const wchar_t* line) {
    std::vector<std::wstring> args;
    size_t i = 0;
    if (line[0] == L'"') {
        const size_t end = SkipProgramName(line);
        args.emplace_back(line + 1, line + end - (line[end - 1] == L'"' && end > 1 ? 1 : 0));
        i = end;
    } else {
        i = SkipProgramName(line);
        args.emplace_back(line, line + i);
    }
    for (;;) {
        while (IsBlank(line[i])) ++i;
        if (!line[i]) break;
        std::wstring arg;
        bool quoted = false;
        while (line[i] && (quoted || !IsBlank(line[i]))) {
            if (line[i] == L'\\') {
                size_t n = 0;
                while (line[i] == L'\\') ++n, ++i;
                if (line[i] == L'"') {
                    arg.append(n / 2, L'\\');
                    if (n % 2) arg += L'"', ++i;  // an escaped quote
                } else {
                    arg.append(n, L'\\');
                }
            } else if (line[i] == L'"') {
                if (quoted && line[i + 1] == L'"') {
                    arg += L'"';  // "" inside quotes
                    i += 2;
                } else {
                    quoted = !quoted;
                    ++i;
                }
            } else {
                arg += line[i++];
            }
        }
        args.push_back(arg);
    }
    return args;
}

}  // namespace

namespace plat {

std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled, and the quote escaped.
        out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');  // before the closing quote
    out += L'"';
    return out;
}

void SetProcessCommandLine(int argc, const char* const* argv) {
    std::vector<std::string> args(argv, argv + argc);
    std::wstring text = BuildLine(args);
    CommandLine& c = TheCommandLine();
    std::lock_guard<std::mutex> guard(c.lock);
    c.text = std::move(text);
    c.set = true;
}

LPWSTR CommandLineArguments() {
    std::wstring& text = LineText();
    size_t i = SkipProgramName(text.c_str());
    while (IsBlank(text[i])) ++i;
    return text.data() + i;
}

}  // namespace plat

LPWSTR WINAPI GetCommandLineW() { return LineText().data(); }

LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR lpCmdLine, int* pNumArgs) {
    if (!pNumArgs) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::vector<std::wstring> args;
    if (!lpCmdLine || !*lpCmdLine) {
        wchar_t path[MAX_PATH * 4];
        if (!GetModuleFileNameW(nullptr, path, MAX_PATH * 4)) return nullptr;
        args.emplace_back(path);
    } else {
        args = Split(lpCmdLine);
    }
    // One block: the pointer array (null-terminated), then the texts.
    size_t chars = 0;
    for (const std::wstring& a : args) chars += a.size() + 1;
    const size_t pointerBytes = (args.size() + 1) * sizeof(LPWSTR);
    auto* block = static_cast<unsigned char*>(LocalAlloc(LMEM_FIXED, pointerBytes + chars * sizeof(wchar_t)));
    if (!block) return nullptr;
    auto** argv = reinterpret_cast<LPWSTR*>(block);
    auto* text = reinterpret_cast<wchar_t*>(block + pointerBytes);
    for (size_t k = 0; k < args.size(); ++k) {
        argv[k] = text;
        wmemcpy(text, args[k].c_str(), args[k].size() + 1);
        text += args[k].size() + 1;
    }
    argv[args.size()] = nullptr;
    *pNumArgs = static_cast<int>(args.size());
    return argv;
}
