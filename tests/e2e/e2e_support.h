// End-to-end test support: runs the real program (headless by default) with
// an input script in a scratch folder, and reads the frames it wrote.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

// A fresh folder under the system's temporary folder, removed with its contents at the end.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return m_strPath; }
    std::string File(const std::string& name) const { return m_strPath + "/" + name; }

  private:
    std::string m_strPath;
};

struct RunOptions {
    std::string strProgram;                                     // what to run; empty = the program binary
    std::string strScript;                                      // the input script's text
    std::vector<std::string> args;                              // command-line arguments
    std::string strWorkDir;                                     // current folder; empty = the media folder
    std::vector<std::pair<std::string, std::string>> extraEnv;  // set in the program's environment
    bool bHeadless = true;                                      // headless backend, no vsync waits
    int nTimeoutMs = 60000;                                     // the run is killed after this
};

struct RunResult {
    int nExitCode = -1;      // the process exit code; -1 when killed or not started
    bool bTimedOut = false;  // the program had to be killed
    std::string strStderr;   // standard error: debug output and message boxes
    std::string strStdout;   // standard output
};

// The program binary and the folder with box.x and its textures.
std::string AppBinary();
std::string MediaDir();

// A file's bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);

// Writes the script into `scratch` and runs the program; shots named in the
// script are best given as scratch.File("name.png").
RunResult RunApp(const RunOptions& options, const ScratchDir& scratch);

// The program running in the background, for tests that drive it from outside.
class AppProcess {
  public:
    AppProcess() = default;
    ~AppProcess();  // kills a program still running
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    // False (with the reason in strStderr of Wait's result) when it cannot start.
    bool Start(const RunOptions& options, const ScratchDir& scratch);
    // Waits for the end (up to the options' timeout, then kills it).
    RunResult Wait();
    bool Running() const { return m_pid > 0; }

  private:
    int m_pid = 0;
    int m_nTimeoutMs = 0;
    std::string m_strErrPath;
    std::string m_strOutPath;
    std::string m_strStartError;
};

// A frame written by the program, as 0xRRGGBB pixels.
struct Image {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<uint32_t> pixels;

    bool Load(const std::string& path);
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * nWidth + x]; }
};

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool Empty() const { return right <= left || bottom <= top; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    int CenterX() const { return (left + right) / 2; }
    int CenterY() const { return (top + bottom) / 2; }
};

using PixelTest = std::function<bool(uint32_t)>;

int Red(uint32_t rgb);
int Green(uint32_t rgb);
int Blue(uint32_t rgb);

// Colour classes of what the program draws.
bool IsBackground(uint32_t rgb);  // the clear colour (45, 50, 170)
bool IsYellow(uint32_t rgb);      // statistics text
bool IsOrange(uint32_t rgb);      // help text
bool IsWhite(uint32_t rgb);       // hint text, highlighted cubies

// Pixels inside `area` that pass `test`.
int Count(const Image& img, const Box& area, const PixelTest& test);
// Bounding box of the pixels inside `area` that pass `test` (empty when none).
Box Bounds(const Image& img, const Box& area, const PixelTest& test);
// Pixels inside `area` that differ between two frames of one size by more than `tolerance` in a channel.
int CountDifferent(const Image& a, const Image& b, const Box& area, int tolerance = 24);

// The part of a frame where the cube is drawn: below the statistics lines,
// above the help block and left of the restore button.
Box SceneArea(const Image& img);
// Pixels of the scene area that are not the clear colour.
int CubePixels(const Image& img);
// Bounding box of the cube (everything in the scene area but the clear colour).
Box CubeBounds(const Image& img);

// Client points of the nine cubies of the front face in the start view
// (column 0..2 left to right, row 0..2 top to bottom).
struct FrontGrid {
    explicit FrontGrid(const Image& startView);
    int X(int column) const { return m_face.left + m_face.Width() * (2 * column + 1) / 6; }
    int Y(int row) const { return m_face.top + m_face.Height() * (2 * row + 1) / 6; }
    // "X Y" of a cubie, for scripts.
    std::string At(int column, int row) const;
    // The square of a cubie, shrunk by a margin so that it holds only that cubie's front.
    Box Cell(int column, int row) const;
    Box Face() const { return m_face; }

  private:
    Box m_face;
};

}  // namespace e2e
