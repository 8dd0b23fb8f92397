// Debug output (standard error, a regular file, or nothing: TUMBRAL_DEBUG_OUTPUT),
// debugger detection through /proc/self/status, and DebugBreak.
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/base/printable_text.h"
#include "platform/base/regular_file.h"
#include "platform/base/utf8.h"
#include "platform/win32kernel.h"

namespace {

std::mutex g_outputLock;

void WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

// Writes the text with control characters and malformed UTF-8 escaped (the
// lines quote file names, flags and other outside text), line feeds kept:
// callers put their own line ends. A target that is not a regular file (a FIFO
// would block every trace line) or cannot be opened is reported once on
// standard error, which then takes the lines.
void WriteDebugText(std::string_view text) {
    static auto* s_reportedTarget = new std::string();  // never destroyed: traces may come at exit
    const std::string utf8 = plat::PrintableLines(text);
    const char* target = std::getenv("TUMBRAL_DEBUG_OUTPUT");
    std::lock_guard<std::mutex> lock(g_outputLock);
    if (target && std::string(target) == "off") return;
    if (target && *target) {
        plat::FileStatus status;
        const int fd = plat::OpenRegularFileForAppend(target, &status);
        if (fd >= 0) {
            WriteAll(fd, utf8);
            close(fd);
            return;
        }
        if (*s_reportedTarget != target) {
            *s_reportedTarget = target;
            std::fprintf(stderr, "tumbral: TUMBRAL_DEBUG_OUTPUT=%s: %s; trace lines go to standard error\n",
                         plat::PrintableText(target).c_str(), plat::FileStatusText(status));
        }
    }
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

void WINAPI OutputDebugStringW(LPCWSTR lpOutputString) {
    if (lpOutputString) WriteDebugText(plat::WideToUtf8(lpOutputString));
}

void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
    if (lpOutputString) WriteDebugText(lpOutputString);
}

BOOL WINAPI IsDebuggerPresent() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("TracerPid:", 0) == 0) return std::atol(line.c_str() + 10) != 0 ? TRUE : FALSE;
    }
    return FALSE;
}

void WINAPI DebugBreak() {
    if (IsDebuggerPresent()) std::raise(SIGTRAP);
}
