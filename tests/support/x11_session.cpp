// Xvfb and openbox for real-window tests.
#include "tests/support/x11_session.h"

#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/x11_manager_probe.h"

namespace tumbral_test {
namespace {

int Spawn(const std::vector<const char*>& argv) {
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        execvp(argv[0], const_cast<char* const*>(argv.data()));
        _exit(127);
    }
    return pid;
}

// Waits between two looks of a poll.
void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// The process id an X server wrote into its display's lock file; 0 while there is none.
int LockOwner(int display) {
    std::string lock = "/tmp/.X" + std::to_string(display) + "-lock";
    FILE* f = std::fopen(lock.c_str(), "r");
    if (!f) return 0;
    int pid = 0;
    if (std::fscanf(f, "%d", &pid) != 1) pid = 0;
    std::fclose(f);
    return pid;
}

// ":N". (Built by appending: GCC 12 at -O3 reports a false overlap in ":" + std::string.)
std::string DisplayName(int display) {
    std::string name = ":";
    name += std::to_string(display);
    return name;
}

// True once something listens on the display's socket (a stale socket file refuses).
bool Listening(int display) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "/tmp/.X11-unix/X%d", display);
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool ok = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

}  // namespace

bool PollUntil(const std::function<bool()>& done, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        Sleep(25);
    }
}

bool ToolInstalled(const char* name) {
    std::string cmd = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

bool X11Session::Start(std::string& why, const std::vector<std::string>& serverArgs) {
    for (const char* tool : {"Xvfb", "xdotool", "xwininfo", "import"}) {
        if (!ToolInstalled(tool)) {
            why = std::string(tool) + " is not installed (scripts/setup.sh installs it)";
            return false;
        }
    }
    // A display number of our own: the first free one from 70 up, or within
    // TUMBRAL_TEST_DISPLAYS ("41-49") where the machine's displays are shared out.
    // Test programs running side by side start their search at different numbers.
    int nLow = 70, nCount = 130;
    if (const char* range = std::getenv("TUMBRAL_TEST_DISPLAYS")) {
        int lo = 0, hi = 0;
        if (std::sscanf(range, "%d-%d", &lo, &hi) == 2 && lo > 0 && hi >= lo) nLow = lo, nCount = hi - lo + 1;
    }
    // Two test programs may pick the same free number at once: the server that
    // takes the display's lock is the one whose process id the lock holds; the
    // other server exits, and its program tries the next number.
    m_display = 0;
    for (int i = 0; i < nCount && m_display == 0; ++i) {
        int n = nLow + (getpid() + i) % nCount;
        struct stat st;
        std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
        if (stat(lock.c_str(), &st) == 0) continue;
        std::string disp = DisplayName(n);
        std::vector<const char*> argv{"Xvfb",         disp.c_str(), "-screen", "0",
                                      "1280x1024x24", "-nolisten",  "tcp",     "-noreset"};
        for (const std::string& arg : serverArgs) argv.push_back(arg.c_str());
        argv.push_back(nullptr);
        m_xvfbPid = Spawn(argv);
        bool exited = false;
        PollUntil(
            [&] {
                exited = waitpid(m_xvfbPid, nullptr, WNOHANG) == m_xvfbPid;
                return exited || (LockOwner(n) == m_xvfbPid && Listening(n));
            },
            5000);
        if (exited) {
            m_xvfbPid = 0;  // the number was taken meanwhile
            continue;
        }
        if (LockOwner(n) != m_xvfbPid || !Listening(n)) {
            why = "Xvfb did not start on " + disp;
            Stop();
            return false;
        }
        m_display = n;
    }
    if (m_display == 0) {
        why = "no free X display number";
        return false;
    }
    std::string disp = DisplayName(m_display);
    setenv("DISPLAY", disp.c_str(), 1);
    unsetenv("WAYLAND_DISPLAY");
    if (ToolInstalled("openbox")) {
        m_wmPid = Spawn({"openbox", nullptr});
        // A window mapped while the manager starts up can be missed for good (SDL
        // then waits for the map without a timeout), also after the manager
        // announced itself on the root window: the session is ready once the
        // manager has framed a probe window.
        if (!WindowManagerFramesWindows(10000)) {
            why = "openbox did not frame a window on " + disp;
            Stop();
            return false;
        }
    }
    return true;
}

void X11Session::Stop() {
    for (int* pid : {&m_wmPid, &m_xvfbPid}) {
        if (*pid > 0) {
            kill(-*pid, SIGTERM);
            kill(*pid, SIGTERM);
            waitpid(*pid, nullptr, 0);
            *pid = 0;
        }
    }
}

std::string X11Session::Run(const std::string& command, int* status) const {
    std::string out;
    FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
    if (!p) return out;
    char buf[512];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    int rc = pclose(p);
    if (status) *status = rc;
    return out;
}

unsigned long X11Session::FindWindow(const std::string& title, int timeoutMs) const {
    unsigned long xid = 0;
    PollUntil(
        [&] {
            std::string out = Run("xdotool search --name '^" + title + "$'");
            xid = out.empty() ? 0 : std::strtoul(out.c_str(), nullptr, 10);
            return xid != 0;
        },
        timeoutMs);
    return xid;
}

}  // namespace tumbral_test
