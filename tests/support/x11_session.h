// A private X server (Xvfb) with a window manager for real-window tests, and
// helpers to run X tools (xdotool, xwininfo, import) against it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tumbral_test {

class X11Session {
  public:
    // Starts Xvfb (and openbox when installed), with `serverArgs` added to Xvfb's
    // command line. `why` says what is missing when it fails.
    bool Start(std::string& why, const std::vector<std::string>& serverArgs = {});
    void Stop();
    ~X11Session() { Stop(); }

    // Runs a shell command with DISPLAY set; returns its standard output.
    std::string Run(const std::string& command, int* status = nullptr) const;
    // The X window id of the top-level window whose title is `title`; 0 if none within the timeout.
    unsigned long FindWindow(const std::string& title, int timeoutMs) const;

  private:
    int m_display = 0;
    int m_xvfbPid = 0;
    int m_wmPid = 0;
};

bool ToolInstalled(const char* name);

// Checks `done` every 25 ms until it holds (true) or `timeoutMs` has passed (false).
bool PollUntil(const std::function<bool()>& done, int timeoutMs);

}  // namespace tumbral_test
