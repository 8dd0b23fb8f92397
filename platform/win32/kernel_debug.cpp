// Debug output (standard error, a file, or nothing: TUMBRAL_DEBUG_OUTPUT),
// debugger detection through /proc/self/status, and DebugBreak.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>

#include "platform/base/utf8.h"
#include "platform/win32kernel.h"

namespace {

std::mutex g_outputLock;

// Writes the text unchanged (callers put their own line ends).
void WriteDebugText(const std::string& utf8) {
    const char* target = std::getenv("TUMBRAL_DEBUG_OUTPUT");
    std::lock_guard<std::mutex> lock(g_outputLock);
    if (target && std::string(target) == "off") return;
    if (target && *target) {
        if (FILE* f = std::fopen(target, "ab")) {
            std::fwrite(utf8.data(), 1, utf8.size(), f);
            std::fclose(f);
            return;
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
