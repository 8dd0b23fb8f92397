// Monitors, work areas, display settings, system parameters, metrics, the
// cursor and its image, message boxes.
#include "tests/support/headless_fixture.h"

using tumbral_test::HeadlessTest;

namespace {

class SystemTest : public HeadlessTest {
  protected:
    void TwoMonitors() {
        plat::HeadlessConfig config;
        config.noWait = true;
        config.monitors = {plat::DisplayMode{1920, 1080, 60, 32}, plat::DisplayMode{1280, 1024, 75, 32}};
        UseBackend(config);
    }
};

TEST_F(SystemTest, MonitorsWorkAreasAndLookUps) {
    TwoMonitors();
    RegisterTestClass();
    EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CXVIRTUALSCREEN), 1920 + 1280);

    HMONITOR primary = MonitorFromPoint(POINT{10, 10}, MONITOR_DEFAULTTONULL);
    HMONITOR second = MonitorFromPoint(POINT{2000, 10}, MONITOR_DEFAULTTONULL);
    ASSERT_TRUE(primary);
    ASSERT_TRUE(second);
    EXPECT_NE(primary, second);
    EXPECT_EQ(primary, plat::MonitorHandle(0));
    EXPECT_EQ(plat::MonitorIndexOf(second), 1);
    EXPECT_EQ(MonitorFromPoint(POINT{-500, 10}, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(MonitorFromPoint(POINT{-500, 10}, MONITOR_DEFAULTTOPRIMARY), primary);
    EXPECT_EQ(MonitorFromPoint(POINT{5000, 10}, MONITOR_DEFAULTTONEAREST), second);

    MONITORINFOEXW mi{};
    mi.cbSize = sizeof(mi);
    ASSERT_TRUE(GetMonitorInfoW(primary, &mi));
    EXPECT_EQ(mi.rcMonitor.right, 1920);
    EXPECT_EQ(mi.rcWork.bottom, 1080 - 40);
    EXPECT_EQ(mi.dwFlags, MONITORINFOF_PRIMARY);
    EXPECT_STREQ(mi.szDevice, L"\\\\.\\DISPLAY1");
    MONITORINFO plain{};
    plain.cbSize = sizeof(plain);
    ASSERT_TRUE(GetMonitorInfoW(second, &plain));
    EXPECT_EQ(plain.rcMonitor.left, 1920);
    EXPECT_EQ(plain.rcWork.bottom, 1024);  // no task bar there
    EXPECT_EQ(plain.dwFlags, 0u);
    plain.cbSize = 12;
    EXPECT_FALSE(GetMonitorInfoW(second, &plain));
    EXPECT_FALSE(GetMonitorInfoW(reinterpret_cast<HMONITOR>(0x12340042), &mi));

    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work.bottom, 1040);

    // A window belongs to the monitor holding most of it; minimised, to where it will come back.
    HWND hwnd = CreateTestWindow(640, 480, true);
    EXPECT_EQ(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONULL), primary);
    SetWindowPos(hwnd, nullptr, 1800, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), second);
    ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_EQ(MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY), second);
    DestroyWindow(hwnd);
    EXPECT_EQ(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONULL), nullptr);

    int count = 0;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR, HDC, LPRECT, LPARAM data) -> BOOL {
            ++*reinterpret_cast<int*>(data);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    EXPECT_EQ(count, 2);
}

TEST_F(SystemTest, DisplaySettingsListModesAndRememberTheDesktop) {
    TwoMonitors();
    DEVMODEW dm{};
    dm.dmSize = sizeof(dm);
    ASSERT_TRUE(EnumDisplaySettingsW(L"\\\\.\\DISPLAY2", ENUM_CURRENT_SETTINGS, &dm));
    EXPECT_EQ(dm.dmPelsWidth, 1280u);
    EXPECT_EQ(dm.dmDisplayFrequency, 75u);
    EXPECT_EQ(dm.dmBitsPerPel, 32u);
    int modes = 0;
    bool has640x480x16 = false;
    while (EnumDisplaySettingsW(nullptr, static_cast<DWORD>(modes), &dm)) {
        if (dm.dmPelsWidth == 640 && dm.dmPelsHeight == 480 && dm.dmBitsPerPel == 16) has640x480x16 = true;
        EXPECT_LE(dm.dmPelsWidth, 1920u);
        ++modes;
    }
    EXPECT_GT(modes, 10);
    EXPECT_TRUE(has640x480x16);
    EXPECT_FALSE(EnumDisplaySettingsW(L"\\\\.\\DISPLAY9", ENUM_CURRENT_SETTINGS, &dm));

    // A full-screen mode change shows in the current settings, not in the registry settings.
    ASSERT_TRUE(Backend().SetDisplayMode(0, plat::DisplayMode{800, 600, 60, 32}));
    EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &dm);
    EXPECT_EQ(dm.dmPelsWidth, 800u);
    EnumDisplaySettingsW(nullptr, ENUM_REGISTRY_SETTINGS, &dm);
    EXPECT_EQ(dm.dmPelsWidth, 1920u);
    EXPECT_FALSE(Backend().SetDisplayMode(0, plat::DisplayMode{801, 600, 60, 32}));
    Backend().RestoreDisplayMode(0);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
}

TEST_F(SystemTest, AccessibilityRecordsRoundTripAndCheckSizes) {
    STICKYKEYS sk{sizeof(sk), 0};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETSTICKYKEYS, sizeof(sk), &sk, 0));
    EXPECT_TRUE(sk.dwFlags & SKF_HOTKEYACTIVE);
    EXPECT_FALSE(sk.dwFlags & SKF_STICKYKEYSON);
    STICKYKEYS off = sk;
    off.dwFlags &= ~(SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY);
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETSTICKYKEYS, sizeof(off), &off, 0));
    STICKYKEYS back{sizeof(back), 0};
    SystemParametersInfoW(SPI_GETSTICKYKEYS, sizeof(back), &back, 0);
    EXPECT_EQ(back.dwFlags, off.dwFlags);

    FILTERKEYS fk{};
    fk.cbSize = sizeof(fk);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETFILTERKEYS, sizeof(fk), &fk, 0));
    EXPECT_EQ(sizeof(fk), 24u);
    TOGGLEKEYS tk{4, 0};  // wrong size
    EXPECT_FALSE(SystemParametersInfoW(SPI_GETTOGGLEKEYS, sizeof(tk), &tk, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ(lines, 3u);
}

TEST_F(SystemTest, CursorCounterClipAndPosition) {
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_FALSE(Backend().CursorShown());
    EXPECT_EQ(ShowCursor(FALSE), -2);
    EXPECT_EQ(ShowCursor(TRUE), -1);
    EXPECT_FALSE(Backend().CursorShown());
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_TRUE(Backend().CursorShown());

    RECT clip{100, 100, 200, 200};
    ClipCursor(&clip);
    SetCursorPos(500, 50);
    POINT p;
    GetCursorPos(&p);
    EXPECT_EQ(p.x, 199);
    EXPECT_EQ(p.y, 100);
    RECT got;
    GetClipCursor(&got);
    EXPECT_TRUE(EqualRect(&got, &clip));
    ClipCursor(nullptr);
    GetClipCursor(&got);
    EXPECT_EQ(got.right, 1920);
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    ASSERT_TRUE(arrow);
    EXPECT_EQ(SetCursor(arrow), nullptr);
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(SystemTest, ArrowCursorCopiesToA32BitImage) {
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(arrow, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 0u);
    ASSERT_TRUE(info.hbmMask);
    EXPECT_EQ(info.hbmColor, nullptr);  // monochrome: AND over XOR
    BITMAP bm{};
    ASSERT_EQ(GetObjectW(info.hbmMask, sizeof(bm), &bm), int(sizeof(bm)));
    EXPECT_EQ(bm.bmWidth, 32);
    EXPECT_EQ(bm.bmHeight, 64);
    EXPECT_EQ(bm.bmBitsPixel, 1);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 32;
    bi.bmiHeader.biHeight = 64;  // bottom-up
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> bits(32 * 64);
    ASSERT_EQ(GetDIBits(dc, info.hbmMask, 0, 64, bits.data(), &bi, DIB_RGB_COLORS), 64);
    // Bottom-up: the AND mask (top half of the bitmap) is in the last 32 rows of the buffer.
    auto andAt = [&](int x, int y) { return bits[static_cast<size_t>(63 - y) * 32 + x]; };
    auto xorAt = [&](int x, int y) { return bits[static_cast<size_t>(31 - y) * 32 + x]; };
    EXPECT_EQ(andAt(0, 0), 0u);  // the tip is opaque
    EXPECT_EQ(xorAt(0, 0), 0u);  // and black
    EXPECT_EQ(andAt(1, 2), 0u);
    EXPECT_EQ(xorAt(1, 2), 0x00FFFFFFu);    // white inside the outline
    EXPECT_EQ(andAt(31, 31), 0x00FFFFFFu);  // transparent corner

    EXPECT_TRUE(DeleteObject(info.hbmMask));
    EXPECT_FALSE(DeleteObject(info.hbmMask));
    EXPECT_EQ(GetDIBits(dc, info.hbmMask, 0, 64, bits.data(), &bi, DIB_RGB_COLORS), 0);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    EXPECT_FALSE(GetIconInfo(reinterpret_cast<HICON>(0x40001234), &info));
}

TEST_F(SystemTest, ExtractIconGivesTheProgramIconForAnExistingFile) {
    HICON icon = ExtractIconW(nullptr, L"/proc/self/exe", 0);
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    ASSERT_TRUE(info.hbmColor);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_EQ(ExtractIconW(nullptr, L"/no/such/file", 0), nullptr);
    EXPECT_EQ(ExtractIconW(nullptr, L"/proc/self/exe", 1), nullptr);
}

TEST_F(SystemTest, MessageBoxGoesToTheBackendAndAnswersTheDefaultButton) {
    EXPECT_EQ(MessageBoxW(nullptr, L"Text", L"Caption", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, L"Sure?", nullptr, MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "D3DXLoadMeshFromX() - FAILED", nullptr, MB_OK), IDOK);
    ASSERT_EQ(Backend().MessageBoxes().size(), 3u);
    EXPECT_EQ(Backend().MessageBoxes()[0].caption, L"Caption");
    EXPECT_EQ(Backend().MessageBoxes()[2].text, L"D3DXLoadMeshFromX() - FAILED");
}

TEST_F(SystemTest, RectangleHelpers) {
    RECT a{0, 0, 10, 10}, b{5, 5, 20, 20}, r;
    ASSERT_TRUE(IntersectRect(&r, &a, &b));
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.right, 10);
    RECT far{50, 50, 60, 60};
    EXPECT_FALSE(IntersectRect(&r, &a, &far));
    EXPECT_TRUE(IsRectEmpty(&r));
    EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5}));  // right edge is outside
    OffsetRect(&a, 3, 4);
    EXPECT_EQ(a.bottom, 14);
}

}  // namespace

namespace {

TEST_F(SystemTest, MonitorFunctionsCanBeLookedUpInUser32) {
    HMODULE user32 = LoadLibraryW(L"user32.dll");
    ASSERT_TRUE(user32);
    typedef HMONITOR(WINAPI * MonitorFromWindowFn)(HWND, DWORD);
    auto fn = reinterpret_cast<MonitorFromWindowFn>(GetProcAddress(user32, "MonitorFromWindow"));
    ASSERT_TRUE(fn);
    RegisterTestClass();
    HWND hwnd = CreateTestWindow(100, 100, false);
    EXPECT_EQ(fn(hwnd, MONITOR_DEFAULTTOPRIMARY), MonitorFromWindow(hwnd, MONITOR_DEFAULTTOPRIMARY));
    EXPECT_TRUE(GetProcAddress(user32, "GetMonitorInfoW"));
    FreeLibrary(user32);
}

}  // namespace
