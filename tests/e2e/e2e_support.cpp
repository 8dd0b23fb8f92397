// Running the program for end-to-end tests, and reading its frames.
#include "tests/e2e/e2e_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace e2e {

ScratchDir::ScratchDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "tumbral-e2e-XXXXXX").string();
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (mkdtemp(buf.data())) m_strPath = buf.data();
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    if (!m_strPath.empty() && !std::getenv("TUMBRAL_E2E_KEEP")) std::filesystem::remove_all(m_strPath, ec);
}

std::string AppBinary() { return std::string(TUMBRAL_BINARY_DIR) + "/app/tumbral"; }
std::string MediaDir() { return std::string(TUMBRAL_SOURCE_DIR) + "/app/media"; }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

RunResult RunApp(const RunOptions& options, const ScratchDir& scratch) {
    AppProcess app;
    app.Start(options, scratch);
    return app.Wait();
}

AppProcess::~AppProcess() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

bool AppProcess::Start(const RunOptions& options, const ScratchDir& scratch) {
    const std::string scriptPath = scratch.File("script.txt");
    m_strErrPath = scratch.File("stderr.txt");
    m_strOutPath = scratch.File("stdout.txt");
    m_nTimeoutMs = options.nTimeoutMs;
    {
        std::ofstream script(scriptPath);
        script << options.strScript;
    }
    const std::string binary = options.strProgram.empty() ? AppBinary() : options.strProgram;
    if (access(binary.c_str(), X_OK) != 0) {
        m_strStartError = "the program is not built: " + binary;
        return false;
    }
    const std::string workDir = options.strWorkDir.empty() ? MediaDir() : options.strWorkDir;

    std::vector<std::string> argStore{binary};
    argStore.insert(argStore.end(), options.args.begin(), options.args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);

    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(workDir.c_str()) != 0) _exit(126);
        int err = open(m_strErrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int out = open(m_strOutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int null = open("/dev/null", O_RDWR);
        dup2(null, STDIN_FILENO);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        unsetenv("TUMBRAL_DEBUG_OUTPUT");
        unsetenv("TUMBRAL_HEADLESS_MONITORS");
        if (options.bHeadless) {
            setenv("TUMBRAL_SCRIPT", scriptPath.c_str(), 1);
            setenv("TUMBRAL_BACKEND", "headless", 1);
            setenv("TUMBRAL_HEADLESS_NOWAIT", "1", 1);
        } else {
            unsetenv("TUMBRAL_SCRIPT");
            setenv("TUMBRAL_BACKEND", "sdl", 1);
        }
        for (const auto& [name, value] : options.extraEnv) setenv(name.c_str(), value.c_str(), 1);
        execv(binary.c_str(), argv.data());
        _exit(127);
    }
    if (pid < 0) {
        m_strStartError = "fork failed";
        return false;
    }
    m_pid = pid;
    return true;
}

RunResult AppProcess::Wait() {
    RunResult result;
    if (m_pid <= 0) {
        result.strStderr = m_strStartError;
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_nTimeoutMs);
    int status = 0;
    for (;;) {
        pid_t done = waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, &status, 0);
            result.bTimedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_pid = 0;
    if (!result.bTimedOut && WIFEXITED(status)) result.nExitCode = WEXITSTATUS(status);
    result.strStderr = ReadFile(m_strErrPath);
    result.strStdout = ReadFile(m_strOutPath);
    return result;
}

bool Image::Load(const std::string& path) {
    int w = 0, h = 0, channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &w, &h, &channels, 3);
    if (!data) return false;
    nWidth = w;
    nHeight = h;
    pixels.resize(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < pixels.size(); ++i) {
        const unsigned char* p = data + i * 3;
        pixels[i] = (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2];
    }
    stbi_image_free(data);
    return true;
}

int Red(uint32_t rgb) { return static_cast<int>((rgb >> 16) & 0xFF); }
int Green(uint32_t rgb) { return static_cast<int>((rgb >> 8) & 0xFF); }
int Blue(uint32_t rgb) { return static_cast<int>(rgb & 0xFF); }

bool IsBackground(uint32_t rgb) {
    return std::abs(Red(rgb) - 45) <= 3 && std::abs(Green(rgb) - 50) <= 3 && std::abs(Blue(rgb) - 170) <= 3;
}
bool IsYellow(uint32_t rgb) { return Red(rgb) > 200 && Green(rgb) > 200 && Blue(rgb) < 80; }
bool IsOrange(uint32_t rgb) {
    return Red(rgb) > 200 && Green(rgb) > 150 && Green(rgb) < 210 && Blue(rgb) < 60;
}
bool IsWhite(uint32_t rgb) { return Red(rgb) > 225 && Green(rgb) > 225 && Blue(rgb) > 225; }

namespace {

Box Clip(const Image& img, const Box& area) {
    Box b = area;
    b.left = std::max(b.left, 0);
    b.top = std::max(b.top, 0);
    b.right = std::min(b.right, img.nWidth);
    b.bottom = std::min(b.bottom, img.nHeight);
    return b;
}

}  // namespace

int Count(const Image& img, const Box& area, const PixelTest& test) {
    Box b = Clip(img, area);
    int n = 0;
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x)
            if (test(img.At(x, y))) ++n;
    return n;
}

Box Bounds(const Image& img, const Box& area, const PixelTest& test) {
    Box b = Clip(img, area);
    Box out{b.right, b.bottom, b.left, b.top};
    for (int y = b.top; y < b.bottom; ++y)
        for (int x = b.left; x < b.right; ++x)
            if (test(img.At(x, y))) {
                out.left = std::min(out.left, x);
                out.top = std::min(out.top, y);
                out.right = std::max(out.right, x + 1);
                out.bottom = std::max(out.bottom, y + 1);
            }
    if (out.Empty()) return Box{};
    return out;
}

int CountDifferent(const Image& a, const Image& b, const Box& area, int tolerance) {
    if (a.nWidth != b.nWidth || a.nHeight != b.nHeight) return -1;
    Box c = Clip(a, area);
    int n = 0;
    for (int y = c.top; y < c.bottom; ++y)
        for (int x = c.left; x < c.right; ++x) {
            uint32_t p = a.At(x, y), q = b.At(x, y);
            if (std::abs(Red(p) - Red(q)) > tolerance || std::abs(Green(p) - Green(q)) > tolerance ||
                std::abs(Blue(p) - Blue(q)) > tolerance)
                ++n;
        }
    return n;
}

// The restore button (100 pixels left of the right edge, 80 wide, moved a
// pixel left when hovered, fading in and out) stays outside it.
Box SceneArea(const Image& img) { return Box{0, 40, img.nWidth - 110, img.nHeight - 100}; }

int CubePixels(const Image& img) {
    return Count(img, SceneArea(img), [](uint32_t p) { return !IsBackground(p); });
}

Box CubeBounds(const Image& img) {
    return Bounds(img, SceneArea(img), [](uint32_t p) { return !IsBackground(p); });
}

FrontGrid::FrontGrid(const Image& startView) : m_face(CubeBounds(startView)) {}

std::string FrontGrid::At(int column, int row) const {
    return std::to_string(X(column)) + " " + std::to_string(Y(row));
}

Box FrontGrid::Cell(int column, int row) const {
    const int w = m_face.Width() / 3, h = m_face.Height() / 3;
    const int left = m_face.left + column * w, top = m_face.top + row * h;
    return Box{left + w / 6, top + h / 6, left + w - w / 6, top + h - h / 6};
}

}  // namespace e2e
