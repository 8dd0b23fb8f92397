// Captures the debug output of one test in a temporary file
// (TUMBRAL_DEBUG_OUTPUT) and gives it back as text.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace kittest {

class DebugCapture {
  public:
    DebugCapture() {
        char path[] = "/tmp/kit_debug_XXXXXX";
        int fd = mkstemp(path);
        if (fd >= 0) close(fd);
        m_path = path;
        const char* previous = std::getenv("TUMBRAL_DEBUG_OUTPUT");
        m_hadPrevious = previous != nullptr;
        if (m_hadPrevious) m_previous = previous;
        setenv("TUMBRAL_DEBUG_OUTPUT", m_path.c_str(), 1);
    }
    ~DebugCapture() {
        if (m_hadPrevious)
            setenv("TUMBRAL_DEBUG_OUTPUT", m_previous.c_str(), 1);
        else
            unsetenv("TUMBRAL_DEBUG_OUTPUT");
        std::remove(m_path.c_str());
    }
    std::string Text() const {
        std::ifstream in(m_path, std::ios::binary);
        std::stringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

  private:
    std::string m_path;
    std::string m_previous;
    bool m_hadPrevious = false;
};

}  // namespace kittest
