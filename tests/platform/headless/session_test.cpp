// A scripted session: a window is clicked, dragged, scrolled and typed into
// by an input script, frames are presented and shot to PNG, and the script
// closes the window.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "platform/manual_clock.h"
#include "tests/support/headless_fixture.h"

using tumbral_test::HeadlessTest;
using tumbral_test::Seen;
using tumbral_test::SeenOf;

namespace {

class SessionTest : public HeadlessTest {
  protected:
    // Runs a message loop that presents a frame per idle pass, as a program does.
    int RunLoop(HWND hwnd, uint32_t color, int maxFrames = 200) {
        std::vector<uint32_t> pixels(64 * 48, color);
        MSG msg{};
        int frames = 0;
        while (frames < maxFrames) {
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) break;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
                if (msg.message == WM_KEYDOWN && msg.wParam == 'R')
                    std::fill(pixels.begin(), pixels.end(), 0xFF0000u);
            } else if (IsWindow(hwnd)) {
                plat::FrameView view{pixels.data(), 64, 48, 64};
                EXPECT_TRUE(plat::PresentToWindow(hwnd, view, true));
                ++frames;
            } else {
                break;
            }
        }
        return frames;
    }
    void Run(const std::string& text) {
        plat::Script script;
        std::string error;
        ASSERT_TRUE(plat::ParseScript(text, "session.txt", script, error)) << error;
        Backend().RunScript(script);
    }
};

TEST_F(SessionTest, ScriptClicksTypesScrollsAndCloses) {
    RegisterTestClass(CS_DBLCLKS);
    HWND hwnd = CreateTestWindow(640, 480, true);
    std::string shot = ::testing::TempDir() + "session_shot.png";
    Run("@frame 2\n"
        "click 100 50\n"
        "doubleclick 30 40\n"
        "drag right 10 10 110 60 5\n"
        "wheel 2 5 5\n"
        "type \"Hi!\"\n"
        "press alt+VK_RETURN\n"
        "@frame 4\n"
        "press R\n"
        "shot " +
        shot +
        "\n"
        "@frame 6\n"
        "close\n");
    int frames = RunLoop(hwnd, 0x00FF00u);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(Backend().ScriptFinished());
    EXPECT_GE(frames, 6);
    EXPECT_EQ(Backend().FramesPresented(), static_cast<uint64_t>(frames));

    auto downs = SeenOf(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].lParam, MAKELPARAM(100, 50));
    EXPECT_EQ(SeenOf(WM_LBUTTONDBLCLK).size(), 1u);
    ASSERT_EQ(SeenOf(WM_RBUTTONDOWN).size(), 1u);
    EXPECT_EQ(SeenOf(WM_RBUTTONUP)[0].lParam, MAKELPARAM(110, 60));
    auto moves = SeenOf(WM_MOUSEMOVE);
    bool draggedWithRight = false;
    for (auto& m : moves)
        if (m.wParam & MK_RBUTTON) draggedWithRight = true;
    EXPECT_TRUE(draggedWithRight);
    ASSERT_EQ(SeenOf(WM_MOUSEWHEEL).size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(SeenOf(WM_MOUSEWHEEL)[0].wParam), 240);

    std::u32string typed;
    for (auto& m : SeenOf(WM_CHAR)) typed += static_cast<char32_t>(m.wParam);
    EXPECT_EQ(typed, U"Hi!r");  // the three typed characters, then R pressed
    bool altEnter = false;
    for (auto& m : SeenOf(WM_SYSKEYDOWN))
        if (m.wParam == VK_RETURN && (m.lParam & (1 << 29))) altEnter = true;
    EXPECT_TRUE(altEnter);
    ASSERT_FALSE(SeenOf(WM_CLOSE).empty());

    uint32_t rgb = 0;
    int w = 0, h = 0;
    ASSERT_TRUE(tumbral_test::ReadPngPixel(shot, 10, 10, rgb, &w, &h));
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 48);
    EXPECT_EQ(rgb, 0xFF0000u);  // the frame after R was pressed
    std::remove(shot.c_str());
}

TEST_F(SessionTest, WindowStepsMinimiseRestoreMoveResizeAndLoseTheDevice) {
    RegisterTestClass();
    HWND hwnd = CreateTestWindow(640, 480, true);
    uint64_t losses = plat::ForcedDeviceLossCount();
    Seen().clear();
    Run("minimize\nrestore\nmaximize\nrestore\nmovewindow 300 200\nresize 320 240\ndeactivate\nactivate\n"
        "deviceloss\n@frame 10\nquit\n");
    RunLoop(hwnd, 0, 5);
    std::vector<WPARAM> sizes;
    for (auto& m : SeenOf(WM_SIZE)) sizes.push_back(m.wParam);
    std::vector<WPARAM> expected{SIZE_MINIMIZED, SIZE_RESTORED, SIZE_MAXIMIZED, SIZE_RESTORED, SIZE_RESTORED};
    EXPECT_EQ(sizes, expected);
    EXPECT_EQ(SeenOf(WM_SIZE).back().lParam, MAKELPARAM(320, 240));
    EXPECT_EQ(SeenOf(WM_ENTERSIZEMOVE).size(), 2u);
    EXPECT_EQ(SeenOf(WM_EXITSIZEMOVE).size(), 2u);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(origin.x, 300);
    EXPECT_EQ(origin.y, 200);
    auto app = SeenOf(WM_ACTIVATEAPP);
    ASSERT_GE(app.size(), 2u);
    EXPECT_EQ(app[app.size() - 2].wParam, WPARAM(FALSE));
    EXPECT_EQ(app.back().wParam, WPARAM(TRUE));
    EXPECT_EQ(plat::ForcedDeviceLossCount(), losses + 1);
    RunLoop(hwnd, 0);
    EXPECT_FALSE(IsWindow(hwnd));  // quit closes the windows
}

TEST_F(SessionTest, StepsWaitForTheirFrameAndForAWindow) {
    Run("@frame 3\npress A\n");
    RegisterTestClass();
    HWND hwnd = CreateTestWindow(200, 100, true);
    std::vector<uint32_t> pixels(4, 0);
    plat::FrameView view{pixels.data(), 2, 2, 2};
    for (int i = 0; i < 2; ++i) plat::PresentToWindow(hwnd, view, false);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    plat::PresentToWindow(hwnd, view, false);
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
    EXPECT_EQ(msg.wParam, WPARAM('A'));
}

TEST_F(SessionTest, VsyncPacesToTheRefreshUnlessToldNotToWait) {
    plat::ManualClock clock;  // installed before the backend, which reads it from its start
    plat::HeadlessConfig config;
    config.noWait = false;
    UseBackend(config);
    RegisterTestClass();
    HWND hwnd = CreateTestWindow(64, 48, true);
    std::vector<uint32_t> pixels(64 * 48, 0);
    plat::FrameView view{pixels.data(), 64, 48, 64};
    const int64_t interval = 1000000000LL / 60;
    int64_t start = clock.Nanos();
    for (int i = 0; i < 7; ++i) plat::PresentToWindow(hwnd, view, true);
    // The first present starts the refresh grid; every later one waits for the next
    // refresh: six intervals at 60 Hz (to the microsecond).
    EXPECT_NEAR(static_cast<double>(clock.Nanos() - start), 6.0 * interval, 1000.0);
    // A present that comes later than one interval after the last does not wait.
    clock.AdvanceMs(40);
    start = clock.Nanos();
    plat::PresentToWindow(hwnd, view, true);
    EXPECT_EQ(clock.Nanos(), start);
    // Presents without vsync never wait.
    for (int i = 0; i < 7; ++i) plat::PresentToWindow(hwnd, view, false);
    EXPECT_EQ(clock.Nanos(), start);
    DestroyWindow(hwnd);
    EXPECT_FALSE(plat::PresentToWindow(hwnd, view, true));
}

TEST_F(SessionTest, TimedStepsWaitForTheirTimeWithoutFrames) {
    plat::ManualClock clock;
    RegisterTestClass();
    HWND hwnd = CreateTestWindow(64, 48, true);
    Pump();
    Seen().clear();
    Run("@ms 500\npress A\n");
    clock.AdvanceMs(499);
    Pump();
    EXPECT_TRUE(SeenOf(WM_KEYDOWN).empty());
    // Waiting for a message advances the clock to the step's time, and the step runs.
    const int64_t before = clock.Nanos();
    MSG msg{};
    ASSERT_TRUE(GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(clock.Nanos() - before, 1000000LL);
    DispatchMessageW(&msg);
    Pump();
    auto keys = SeenOf(WM_KEYDOWN);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].wParam, WPARAM('A'));
    DestroyWindow(hwnd);
}

TEST_F(SessionTest, ShotBeforeAnyFrameReportsAndGoesOn) {
    RegisterTestClass();
    HWND hwnd = CreateTestWindow(64, 48, true);
    std::string error;
    EXPECT_FALSE(Backend().WriteFrame(plat::NativeWindowOf(hwnd), "/tmp/never.png", error));
    EXPECT_NE(error.find("no frame"), std::string::npos);
    std::vector<uint32_t> pixels(64 * 48, 0x123456u);
    plat::FrameView view{pixels.data(), 64, 48, 64};
    plat::PresentToWindow(hwnd, view, false);
    EXPECT_FALSE(Backend().WriteFrame(plat::NativeWindowOf(hwnd), "/no/such/dir/x.png", error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
}

// A shot named as a FIFO is refused at once, never waited on, with or
// without a reader at the other end; a regular file in its place is written.
TEST_F(SessionTest, ShotToAFifoIsRefusedWithoutBlocking) {
    RegisterTestClass();
    HWND hwnd = CreateTestWindow(64, 48, true);
    std::vector<uint32_t> pixels(64 * 48, 0x123456u);
    plat::FrameView view{pixels.data(), 64, 48, 64};
    plat::PresentToWindow(hwnd, view, false);
    const std::string fifo = ::testing::TempDir() + "shot_fifo.png";
    std::remove(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    // A reader waiting on the FIFO: an open for writing would succeed at once and the frame go into it.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_FALSE(Backend().WriteFrame(plat::NativeWindowOf(hwnd), fifo, error));
    EXPECT_EQ(error, fifo + ": cannot write the PNG file (not a regular file)");
    char byte = 0;
    EXPECT_LE(read(reader, &byte, 1), 0) << "the frame went into the FIFO";
    close(reader);
    // No reader: an open for writing would wait for one forever.
    error.clear();
    EXPECT_FALSE(Backend().WriteFrame(plat::NativeWindowOf(hwnd), fifo, error));
    EXPECT_EQ(error, fifo + ": cannot write the PNG file (not a regular file)");
    std::remove(fifo.c_str());

    // A regular file is replaced by the frame.
    const std::string file = ::testing::TempDir() + "shot_file.png";
    {
        std::FILE* f = std::fopen(file.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(std::string(100000, 'x').c_str(), f);
        std::fclose(f);
    }
    ASSERT_TRUE(Backend().WriteFrame(plat::NativeWindowOf(hwnd), file, error)) << error;
    uint32_t rgb = 0;
    int w = 0, h = 0;
    ASSERT_TRUE(tumbral_test::ReadPngPixel(file, 5, 5, rgb, &w, &h));
    EXPECT_EQ(w, 64);
    EXPECT_EQ(rgb, 0x123456u);
    std::remove(file.c_str());
}

}  // namespace
