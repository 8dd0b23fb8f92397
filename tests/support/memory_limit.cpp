// Child processes for memory tests: limits through setrlimit(RLIMIT_AS), the
// peak from VmPeak, which a forked child starts afresh at its current size.
#include "tests/support/memory_limit.h"

#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

namespace tumbral_test {
namespace {

uint64_t StatusField(const char* name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(name) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0) return std::stoull(line.substr(prefix.size())) * 1024;
    return 0;
}

// Threads (the rasterizer's) would otherwise get heaps of their own, whose
// reserved address space a child could still grow into under its limit: one
// heap for the whole program, set before any thread starts. (The address
// sanitizer's allocator ignores this; limits are not used under it.)
const bool kOneHeap = kAddressSanitized || mallopt(M_ARENA_MAX, 1) == 1;

// Memory the heap already holds free (left by earlier tests) would serve
// allocations without new address space, so a limit would not be felt: the
// child takes it up in small blocks until the heap has to grow.
// The sanitizer's allocator reserves its address space up front, so there
// the heap would never be seen to grow: nothing to do.
void TakeUpFreeHeap() {
    if (kAddressSanitized) return;
    const uint64_t start = AddressSpaceInUse();
    for (;;) {
        for (int i = 0; i < 4096; ++i) {
            void* volatile block = std::malloc(64);
            if (!block) return;
        }
        if (AddressSpaceInUse() > start) return;
    }
}

struct Answer {
    HRESULT hr;
    uint64_t peakGrowth;
};

}  // namespace

uint64_t AddressSpaceInUse() { return StatusField("VmSize"); }

ChildResult RunInChild(uint64_t headroom, const std::function<void()>& prepare,
                       const std::function<HRESULT()>& call) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        if (!kOneHeap) _exit(5);
        prepare();
        TakeUpFreeHeap();
        const uint64_t before = AddressSpaceInUse();
        if (headroom != 0) {
            const rlimit rl{before + headroom, before + headroom};
            if (setrlimit(RLIMIT_AS, &rl) != 0) _exit(3);
        }
        Answer answer{call(), 0};
        const uint64_t peak = StatusField("VmPeak");
        answer.peakGrowth = peak > before ? peak - before : 0;
        const ssize_t written = write(fds[1], &answer, sizeof answer);
        _exit(written == sizeof answer ? 0 : 4);
    }
    close(fds[1]);
    ChildResult result;
    Answer answer{E_FAIL, 0};
    pollfd wait{fds[0], POLLIN, 0};
    const bool ready = pid > 0 && poll(&wait, 1, 60000) == 1;
    const bool got = ready && read(fds[0], &answer, sizeof answer) == sizeof answer;
    close(fds[0]);
    if (pid <= 0) return result;
    if (!ready) kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    result.exited = got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    result.hr = answer.hr;
    result.peakGrowth = answer.peakGrowth;
    return result;
}

}  // namespace tumbral_test
