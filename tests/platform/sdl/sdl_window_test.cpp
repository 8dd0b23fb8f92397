// The SDL backend in a real X server: windows, input through xdotool, pixels
// on the screen, clipboard and a full-screen switch. Skipped, with a message,
// where Xvfb or xdotool are not installed.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#include "tests/support/headless_fixture.h"
#include "platform/backend.h"
#include "platform/d3d9.h"
#include "platform/headless/headless_backend.h"
#include "platform/imm.h"
#include "platform/win32.h"
#include "tests/platform/sdl/sdl_suite.h"
#include "tests/support/x11_session.h"

namespace tumbral_test {
namespace {

const char* kTitle = "TumbralSdlTest";

// A screenshot file of this test process: test programs running side by side must not share one.
std::string ScreenShotPath(const char* name) {
    return std::string(TUMBRAL_BINARY_DIR) + "/" + name + "_" + std::to_string(getpid()) + ".png";
}

class SdlWindowTest : public SdlSuite {
  protected:
    static void SetUpTestSuite() { StartSuite(false); }
    static void TearDownTestSuite() { EndSuite(); }

    void SetUp() override {
        if (!s_ready) GTEST_SKIP() << "real-window tests skipped: " << s_skipWhy;
        Seen().clear();
    }

    void TearDown() override {
        if (!s_ready) return;
        if (m_hwnd && IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
        UnregisterClassW(L"SdlTestWindow", nullptr);
        // The next test looks its window up by the same title: this one must be gone.
        if (m_xid) Pump(5000, [] { return s_x11->FindWindow(kTitle, 0) == 0; });
        Seen().clear();
    }

    // A shown window of a recording class with the given client size; waits until X maps it.
    void Open(int width, int height, UINT classStyle = 0) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = classStyle;
        wc.lpfnWndProc = RecordingWndProc;
        wc.lpszClassName = L"SdlTestWindow";
        ASSERT_NE(RegisterClassExW(&wc), 0);
        RECT r{0, 0, width, height};
        AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
        m_hwnd = CreateWindowExW(0, L"SdlTestWindow", L"TumbralSdlTest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50,
                                 60, r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hwnd, nullptr);
        Pump(5000, [this] { return (m_xid = s_x11->FindWindow(kTitle, 0)) != 0; });
        ASSERT_NE(m_xid, 0u) << "no X window titled " << kTitle;
        Pump(5000, [this] { return XwininfoOf().find("IsViewable") != std::string::npos; });
        Seen().clear();
    }

    // Dispatches messages until `until` holds, at most for `ms` milliseconds.
    static void Pump(int ms, const std::function<bool()>& until) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (until() || std::chrono::steady_clock::now() >= end) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    std::string XwininfoOf() const { return s_x11->Run("xwininfo -id " + Wid()); }

    std::string Xdo(const std::string& args) { return s_x11->Run("xdotool " + args); }
    std::string Wid() const { return std::to_string(m_xid); }

    void Activate() {
        Xdo("windowactivate --sync " + Wid());
        Pump(2000, [this] { return GetActiveWindow() == m_hwnd && GetFocus() == m_hwnd; });
    }

    HWND m_hwnd = nullptr;
    unsigned long m_xid = 0;
};

// A width x height frame, blue (0x336699) in its left half and red (0xCC2211) in its right half.
std::vector<uint32_t> BlueThenRed(int width, int height) {
    std::vector<uint32_t> pixels(size_t(width) * height, 0x00336699);
    for (int y = 0; y < height; ++y)
        for (int x = width / 2; x < width; ++x) pixels[size_t(y) * width + x] = 0x00CC2211;
    return pixels;
}

int XwininfoField(const std::string& info, const char* field) {
    size_t at = info.find(field);
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + std::strlen(field));
}

TEST_F(SdlWindowTest, ShownWindowHasTitleAndClientSize) {
    Open(320, 200);
    std::string info = s_x11->Run("xwininfo -id " + Wid());
    EXPECT_NE(info.find(kTitle), std::string::npos) << info;
    EXPECT_EQ(XwininfoField(info, "Width: "), 320) << info;
    EXPECT_EQ(XwininfoField(info, "Height: "), 200) << info;
    RECT client{};
    GetClientRect(m_hwnd, &client);
    EXPECT_EQ(client.right, 320);
    EXPECT_EQ(client.bottom, 200);
}

TEST_F(SdlWindowTest, ClickArrivesWithClientCoordinatesAndButtonMask) {
    Open(320, 200);
    Xdo("mousemove --window " + Wid() + " 100 50 click 1");
    Pump(2000, [] { return !SeenOf(WM_LBUTTONUP).empty(); });
    auto downs = SeenOf(WM_LBUTTONDOWN), ups = SeenOf(WM_LBUTTONUP);
    ASSERT_EQ(downs.size(), 1u);
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(downs[0].lParam), 100);
    EXPECT_EQ(GET_Y_LPARAM(downs[0].lParam), 50);
    EXPECT_TRUE(downs[0].wParam & MK_LBUTTON);
    EXPECT_FALSE(ups[0].wParam & MK_LBUTTON);
    EXPECT_EQ(GET_X_LPARAM(ups[0].lParam), 100);
}

TEST_F(SdlWindowTest, DoubleClickNeedsTheClassStyle) {
    Open(320, 200, CS_DBLCLKS);
    Xdo("mousemove --window " + Wid() + " 30 30 click --repeat 2 --delay 60 1");
    Pump(2000, [] { return SeenOf(WM_LBUTTONUP).size() >= 2; });
    EXPECT_EQ(SeenOf(WM_LBUTTONDBLCLK).size(), 1u);
    EXPECT_EQ(SeenOf(WM_LBUTTONDOWN).size(), 1u);
}

TEST_F(SdlWindowTest, KeysArriveAsVirtualKeysWithAltInBit29) {
    Open(320, 200);
    Activate();
    Xdo("key b");
    Pump(2000, [] { return !SeenOf(WM_CHAR).empty() && !SeenOf(WM_KEYUP).empty(); });
    auto downs = SeenOf(WM_KEYDOWN);
    ASSERT_FALSE(downs.empty());
    EXPECT_EQ(downs[0].wParam, WPARAM('B'));
    EXPECT_FALSE(downs[0].lParam & (1 << 29));
    auto chars = SeenOf(WM_CHAR);
    ASSERT_FALSE(chars.empty());
    EXPECT_EQ(chars[0].wParam, WPARAM('b'));

    Seen().clear();
    Xdo("key alt+a");
    Pump(2000, [] { return SeenOf(WM_SYSKEYUP).size() >= 2 || !SeenOf(WM_KEYUP).empty(); });
    bool altA = false;
    for (const SeenMessage& m : SeenOf(WM_SYSKEYDOWN))
        if (m.wParam == 'A') altA = (m.lParam & (1 << 29)) != 0;
    EXPECT_TRUE(altA) << "no WM_SYSKEYDOWN 'A' with the Alt bit";
}

// What an input method sends through SDL while the user composes (the text being composed, then the
// committed text) reaches the focused window as WM_IME_* messages, the composition string through
// imm32.dll, and then the committed characters as WM_CHAR.
TEST_F(SdlWindowTest, InputMethodCompositionArrivesAsImeMessagesThenCharacters) {
    Open(320, 200);
    Activate();
    SDL_Window* focused = SDL_GetKeyboardFocus();
    ASSERT_NE(focused, nullptr) << "the SDL window has no keyboard focus";
    auto send = [&](Uint32 type, const char* utf8) {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_TEXTEDITING) {
            e.edit.windowID = SDL_GetWindowID(focused);
            std::snprintf(e.edit.text, sizeof e.edit.text, "%s", utf8);
            e.edit.length = int(std::strlen(utf8));
        } else {
            e.text.windowID = SDL_GetWindowID(focused);
            std::snprintf(e.text.text, sizeof e.text.text, "%s", utf8);
        }
        ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    };
    HMODULE imm = LoadLibraryW(L"imm32.dll");
    ASSERT_NE(imm, nullptr);
    auto getContext = reinterpret_cast<PFN_ImmGetContext>(
        reinterpret_cast<void (*)()>(GetProcAddress(imm, "ImmGetContext")));
    auto getString = reinterpret_cast<PFN_ImmGetCompositionStringW>(
        reinterpret_cast<void (*)()>(GetProcAddress(imm, "ImmGetCompositionStringW")));
    ASSERT_TRUE(getContext && getString);
    auto composition = [&] {
        wchar_t text[32] = {};
        const LONG bytes = getString(getContext(m_hwnd), GCS_COMPSTR, text, sizeof text - sizeof(wchar_t));
        return bytes < 0 ? std::wstring(L"(failed)") : std::wstring(text, size_t(bytes) / sizeof(wchar_t));
    };

    send(SDL_TEXTEDITING, "h");
    send(SDL_TEXTEDITING, "ha");
    Pump(2000, [] { return SeenOf(WM_IME_COMPOSITION).size() >= 2; });
    EXPECT_EQ(SeenOf(WM_IME_STARTCOMPOSITION).size(), 1u);
    ASSERT_EQ(SeenOf(WM_IME_COMPOSITION).size(), 2u);
    EXPECT_EQ(SeenOf(WM_IME_COMPOSITION)[1].lParam & GCS_COMPSTR, GCS_COMPSTR);
    EXPECT_EQ(composition(), L"ha");
    EXPECT_TRUE(SeenOf(WM_CHAR).empty()) << "nothing is typed while composing";

    send(SDL_TEXTINPUT, "\xe8\xbf\x98");  // committed: U+8FD8
    Pump(2000, [] { return !SeenOf(WM_CHAR).empty(); });
    EXPECT_EQ(SeenOf(WM_IME_ENDCOMPOSITION).size(), 1u);
    ASSERT_EQ(SeenOf(WM_CHAR).size(), 1u);
    EXPECT_EQ(SeenOf(WM_CHAR)[0].wParam, WPARAM(0x8FD8));
    EXPECT_EQ(composition(), L"");
    FreeLibrary(imm);
}

TEST_F(SdlWindowTest, WheelArrivesInNotchesWithScreenCoordinates) {
    Open(320, 200);
    Xdo("mousemove --window " + Wid() + " 60 40 click 4");
    Pump(2000, [] { return !SeenOf(WM_MOUSEWHEEL).empty(); });
    auto wheels = SeenOf(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), 120);
    POINT p{60, 40};
    ClientToScreen(m_hwnd, &p);
    EXPECT_EQ(GET_X_LPARAM(wheels[0].lParam), p.x);
    EXPECT_EQ(GET_Y_LPARAM(wheels[0].lParam), p.y);

    Seen().clear();
    Xdo("click 5");
    Pump(2000, [] { return !SeenOf(WM_MOUSEWHEEL).empty(); });
    wheels = SeenOf(WM_MOUSEWHEEL);
    ASSERT_EQ(wheels.size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), -120);
}

TEST_F(SdlWindowTest, PresentedPixelsReachTheScreen) {
    Open(160, 120);
    std::vector<uint32_t> pixels = BlueThenRed(160, 120);
    plat::FrameView frame{pixels.data(), 160, 120, 160};
    ASSERT_TRUE(plat::PresentToWindow(m_hwnd, frame, false));
    std::string shot = ScreenShotPath("sdl_screen");
    POINT left{40, 60}, right{120, 60};
    ClientToScreen(m_hwnd, &left);
    ClientToScreen(m_hwnd, &right);
    uint32_t rgbLeft = 0, rgbRight = 0;
    bool read = false;
    // Until the screen shows the frame (or 5 s pass), presenting it again as a program would.
    Pump(5000, [&] {
        s_x11->Run("import -window root " + shot);
        read = ReadPngPixel(shot, left.x, left.y, rgbLeft) && ReadPngPixel(shot, right.x, right.y, rgbRight);
        if (read && rgbLeft == 0x336699u && rgbRight == 0xCC2211u) return true;
        plat::PresentToWindow(m_hwnd, frame, false);
        return false;
    });
    std::remove(shot.c_str());
    ASSERT_TRUE(read);
    EXPECT_EQ(rgbLeft, 0x336699u);
    EXPECT_EQ(rgbRight, 0xCC2211u);
}

TEST_F(SdlWindowTest, ClipboardRoundTrip) {
    Open(100, 100);
    const std::wstring text = L"还原 cube";
    ASSERT_TRUE(OpenClipboard(m_hwnd));
    ASSERT_TRUE(EmptyClipboard());
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(WCHAR));
    ASSERT_NE(mem, nullptr);
    std::memcpy(GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(WCHAR));
    GlobalUnlock(mem);
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, mem), nullptr);
    CloseClipboard();

    ASSERT_TRUE(OpenClipboard(m_hwnd));
    HANDLE got = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(std::wstring(static_cast<const WCHAR*>(GlobalLock(got))), text);
    GlobalUnlock(got);
    CloseClipboard();
}

TEST_F(SdlWindowTest, FullScreenDeviceAndBackRestoresTheWindow) {
    if (!ToolInstalled("openbox")) GTEST_SKIP() << "full screen needs a window manager (openbox)";
    Open(320, 200);
    Activate();
    // The framework keeps the windowed placement across full screen and puts it back afterwards.
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    ASSERT_TRUE(GetWindowPlacement(m_hwnd, &placement));
    IDirect3D9* d3d = Direct3DCreate9(D3D_SDK_VERSION);
    ASSERT_NE(d3d, nullptr);
    D3DDISPLAYMODE desktop{};
    ASSERT_EQ(d3d->GetAdapterDisplayMode(0, &desktop), D3D_OK);
    D3DPRESENT_PARAMETERS pp{};
    pp.BackBufferWidth = desktop.Width;
    pp.BackBufferHeight = desktop.Height;
    pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = m_hwnd;
    pp.Windowed = FALSE;
    pp.FullScreen_RefreshRateInHz = desktop.RefreshRate;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    IDirect3DDevice9* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(0, D3DDEVTYPE_HAL, m_hwnd, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &device),
              D3D_OK);
    auto sizeIs = [this](int width, int height) {
        return [this, width, height] {
            std::string info = XwininfoOf();
            return XwininfoField(info, "Width: ") == width && XwininfoField(info, "Height: ") == height;
        };
    };
    Pump(5000, sizeIs(int(desktop.Width), int(desktop.Height)));
    std::string info = XwininfoOf();
    EXPECT_EQ(XwininfoField(info, "Width: "), int(desktop.Width)) << info;
    EXPECT_EQ(XwininfoField(info, "Height: "), int(desktop.Height)) << info;

    pp.Windowed = TRUE;
    pp.BackBufferWidth = 320;
    pp.BackBufferHeight = 200;
    pp.FullScreen_RefreshRateInHz = 0;
    EXPECT_EQ(device->Reset(&pp), D3D_OK);
    SetWindowPlacement(m_hwnd, &placement);
    Pump(5000, sizeIs(320, 200));
    info = XwininfoOf();
    EXPECT_EQ(XwininfoField(info, "Width: "), 320) << info;
    EXPECT_EQ(XwininfoField(info, "Height: "), 200) << info;
    EXPECT_EQ(device->Release(), 0u);
    d3d->Release();
}

// OpenGL (Mesa's libraries) mapped into this process.
bool OpenGlLoaded() {
    FILE* maps = std::fopen("/proc/self/maps", "r");
    if (!maps) return false;
    char line[512];
    bool found = false;
    while (!found && std::fgets(line, sizeof line, maps))
        found = std::strstr(line, "libGLX") || std::strstr(line, "libGL.so") ||
                std::strstr(line, "_dri.so") || std::strstr(line, "libgallium") ||
                std::strstr(line, "libLLVM");
    std::fclose(maps);
    return found;
}

// Presents `frame` saying only `rows` changed (none: all) and reads two screen pixels of the client area.
void PresentAndRead(X11Session& x11, HWND hwnd, plat::FrameView frame,
                    const std::vector<std::pair<int, int>>* rows, POINT a, POINT b, uint32_t& atA,
                    uint32_t& atB) {
    if (rows) {
        frame.changedRows = rows->data();
        frame.changedCount = int(rows->size());
    }
    ASSERT_TRUE(plat::PresentToWindow(hwnd, frame, false));
    std::string shot = ScreenShotPath("sdl_rows");
    x11.Run("import -window root " + shot);
    ClientToScreen(hwnd, &a);
    ClientToScreen(hwnd, &b);
    bool read = ReadPngPixel(shot, a.x, a.y, atA) && ReadPngPixel(shot, b.x, b.y, atB);
    std::remove(shot.c_str());
    ASSERT_TRUE(read);
}

// A blue-grey 160x120 frame, then a red one said to have changed only in rows 50..70, both from
// `source`: the whole first frame reaches the screen, then only the changed rows of the second.
// Leaves the red frame's pixels in `red`.
void PresentWholeThenChangedRows(X11Session& x11, HWND hwnd, const void* source, std::vector<uint32_t>& red) {
    std::vector<uint32_t> blue(160 * 120, 0x00336699);
    red.assign(160 * 120, 0x00CC2211);
    plat::FrameView a{blue.data(), 160, 120, 160}, b{red.data(), 160, 120, 160};
    a.source = b.source = source;  // one presenter: its changed rows count
    uint32_t top = 0, middle = 0;
    PresentAndRead(x11, hwnd, a, nullptr, POINT{80, 5}, POINT{80, 60}, top, middle);
    EXPECT_EQ(top, 0x336699u);
    EXPECT_EQ(middle, 0x336699u);
    std::vector<std::pair<int, int>> rows{{50, 70}};
    PresentAndRead(x11, hwnd, b, &rows, POINT{80, 5}, POINT{80, 60}, top, middle);
    EXPECT_EQ(top, 0x336699u);
    EXPECT_EQ(middle, 0xCC2211u);
}

TEST_F(SdlWindowTest, WindowSurfaceSendsChangedRowsWithoutOpenGlAndAllOfTheFrameAfterAnExpose) {
    // Under Xvfb there is no direct rendering: the window surface is the path, OpenGL stays unloaded.
    bool glBefore = OpenGlLoaded();
    Open(160, 120);
    std::vector<uint32_t> red;
    PresentWholeThenChangedRows(*s_x11, m_hwnd, this, red);
    if (!glBefore) {
        EXPECT_FALSE(OpenGlLoaded());
    }

    // Hidden and shown again, the window lost its pixels: the next present after the
    // server said so (an expose, which becomes WM_PAINT) sends them all, even when it says
    // nothing changed. The expose comes a moment after the window is mapped again.
    ShowWindow(m_hwnd, SW_HIDE);
    Pump(5000, [this] { return XwininfoOf().find("IsViewable") == std::string::npos; });
    Seen().clear();
    ShowWindow(m_hwnd, SW_SHOW);
    Pump(5000, [this] {
        return !SeenOf(WM_PAINT).empty() && XwininfoOf().find("IsViewable") != std::string::npos;
    });
    ASSERT_FALSE(SeenOf(WM_PAINT).empty()) << "no expose after the window was shown again";
    plat::FrameView b{red.data(), 160, 120, 160};
    b.source = this;
    std::vector<std::pair<int, int>> none;
    uint32_t top = 0, middle = 0;
    PresentAndRead(*s_x11, m_hwnd, b, &none, POINT{80, 5}, POINT{80, 60}, top, middle);
    EXPECT_EQ(top, 0xCC2211u);
    EXPECT_EQ(middle, 0xCC2211u);
}

// A frame of another size than the window's pixels (HiDPI, a resize the device has not followed
// yet) is scaled to the whole window; the next frame of the window's size is sent whole.
TEST_F(SdlWindowTest, FrameOfAnotherSizeIsScaledToTheWindow) {
    Open(160, 120);
    std::vector<uint32_t> small = BlueThenRed(80, 60);
    plat::FrameView half{small.data(), 80, 60, 80};
    half.source = this;
    uint32_t left = 0, right = 0;
    PresentAndRead(*s_x11, m_hwnd, half, nullptr, POINT{20, 100}, POINT{150, 10}, left, right);
    EXPECT_EQ(left, 0x336699u);
    EXPECT_EQ(right, 0xCC2211u);

    std::vector<uint32_t> green(160 * 120, 0x0022AA44);
    plat::FrameView full{green.data(), 160, 120, 160};
    full.source = this;
    std::vector<std::pair<int, int>> none;  // says nothing changed, but the window shows a scaled frame
    PresentAndRead(*s_x11, m_hwnd, full, &none, POINT{20, 100}, POINT{150, 10}, left, right);
    EXPECT_EQ(left, 0x22AA44u);
    EXPECT_EQ(right, 0x22AA44u);
}

// Runs last: it loads OpenGL into the process.
TEST_F(SdlWindowTest, RendererPathWhenAskedSendsChangedRowsToo) {
    setenv("TUMBRAL_PRESENT", "renderer", 1);
    Open(160, 120);
    unsetenv("TUMBRAL_PRESENT");
    std::vector<uint32_t> red;
    PresentWholeThenChangedRows(*s_x11, m_hwnd, this, red);
}

// A display without shared-memory images: SDL sends the window surface's
// pixels with plain image requests; what reaches the screen is the same.
class SdlWindowWithoutShmTest : public SdlWindowTest {
  protected:
    static void SetUpTestSuite() { StartSuite(false, {"-extension", "MIT-SHM"}); }
};

TEST_F(SdlWindowWithoutShmTest, WholeFramesAndChangedRowsReachTheScreen) {
    ASSERT_EQ(s_x11->Run("xdpyinfo -queryExtensions | grep -c MIT-SHM"), "0\n")
        << "the server offers MIT-SHM";
    bool glBefore = OpenGlLoaded();
    Open(160, 120);
    std::vector<uint32_t> red;
    PresentWholeThenChangedRows(*s_x11, m_hwnd, this, red);
    if (!glBefore) {
        EXPECT_FALSE(OpenGlLoaded()) << "fell back to the renderer";
    }
}

}  // namespace
}  // namespace tumbral_test
