// Windows: creation and destruction messages, frames, placements, show states, stale handles.
#include "tests/support/headless_fixture.h"

using tumbral_test::HeadlessTest;
using tumbral_test::Seen;
using tumbral_test::SeenOf;

namespace {

std::vector<UINT> Messages(HWND hwnd) {
    std::vector<UINT> out;
    for (auto& m : Seen())
        if (m.hwnd == hwnd) out.push_back(m.message);
    return out;
}

class WindowTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        RegisterTestClass();
    }
};

TEST_F(WindowTest, AdjustWindowRectAddsCaptionFrameAndMenuBar) {
    RECT r{0, 0, 640, 480};
    ASSERT_TRUE(AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE));
    EXPECT_EQ(r.left, -8);
    EXPECT_EQ(r.top, -31);
    EXPECT_EQ(r.right, 648);
    EXPECT_EQ(r.bottom, 488);

    RECT m{0, 0, 640, 480};
    AdjustWindowRect(&m, WS_OVERLAPPEDWINDOW, TRUE);
    EXPECT_EQ(m.top, r.top - GetSystemMetrics(SM_CYMENU));
    EXPECT_EQ(m.bottom, r.bottom);

    RECT p{0, 0, 640, 480};
    AdjustWindowRect(&p, WS_POPUP | WS_SYSMENU, FALSE);
    EXPECT_EQ(p.left, 0);
    EXPECT_EQ(p.bottom, 480);
}

TEST_F(WindowTest, CreationSendsMessagesInOrderWithCreateStruct) {
    static LPVOID seenParam = nullptr;
    static std::wstring seenClass;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpszClassName = L"Creating";
    wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == WM_CREATE) {
            auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
            seenParam = cs->lpCreateParams;
            seenClass = cs->lpszClass;
        }
        return tumbral_test::RecordingWndProc(h, msg, wp, lp);
    };
    ASSERT_NE(RegisterClassExW(&wc), 0);
    int param = 7;
    HWND hwnd = CreateWindowExW(0, L"Creating", L"Title", WS_OVERLAPPEDWINDOW, 10, 20, 300, 200, nullptr,
                                nullptr, nullptr, &param);
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(seenParam, &param);
    EXPECT_EQ(seenClass, L"Creating");
    std::vector<UINT> expected{WM_GETMINMAXINFO, WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE};
    EXPECT_EQ(Messages(hwnd), expected);
    auto size = SeenOf(WM_SIZE)[0];
    EXPECT_EQ(size.wParam, WPARAM(SIZE_RESTORED));
    EXPECT_EQ(LOWORD(size.lParam), 300 - 16);
    EXPECT_EQ(HIWORD(size.lParam), 200 - 39);
    EXPECT_FALSE(IsWindowVisible(hwnd));

    Seen().clear();
    ASSERT_TRUE(DestroyWindow(hwnd));
    std::vector<UINT> destroyed{WM_DESTROY, WM_NCDESTROY};
    EXPECT_EQ(Messages(hwnd), destroyed);
    EXPECT_FALSE(IsWindow(hwnd));
}

TEST_F(WindowTest, RegisteringTwiceFailsWithClassAlreadyExists) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.lpszClassName = L"testwindow";  // names compare without case
    EXPECT_EQ(RegisterClassExW(&wc), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
    HWND hwnd = CreateTestWindow(100, 100, false);
    EXPECT_FALSE(UnregisterClassW(L"TestWindow", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_HAS_WINDOWS));
    DestroyWindow(hwnd);
    EXPECT_TRUE(UnregisterClassW(L"TestWindow", nullptr));
    EXPECT_FALSE(CreateTestWindow(100, 100, false));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST_F(WindowTest, StaleAndMadeUpHandlesFailWithInvalidWindowHandle) {
    HWND hwnd = CreateTestWindow(200, 100, false);
    DestroyWindow(hwnd);
    HWND madeUp = reinterpret_cast<HWND>(0x12345678);
    HWND other = reinterpret_cast<HWND>(uintptr_t(0x1FFFFFFF));
    for (HWND bad : {hwnd, madeUp, other}) {
        RECT r{1, 2, 3, 4};
        SetLastError(0);
        EXPECT_FALSE(GetClientRect(bad, &r));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
        EXPECT_EQ(r.left, 1);
        EXPECT_FALSE(IsWindow(bad));
        EXPECT_FALSE(IsIconic(bad));
        EXPECT_FALSE(ShowWindow(bad, SW_SHOW));
        EXPECT_FALSE(DestroyWindow(bad));
        EXPECT_EQ(SendMessageW(bad, WM_CLOSE, 0, 0), 0);
        EXPECT_FALSE(PostMessageW(bad, WM_USER, 0, 0));
        SetLastError(0);
        EXPECT_EQ(SetWindowLongPtrW(bad, GWLP_USERDATA, 5), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
        EXPECT_FALSE(SetWindowPos(bad, HWND_TOPMOST, 0, 0, 10, 10, 0));
        EXPECT_EQ(plat::NativeWindowOf(bad), 0u);
        EXPECT_FALSE(SetCapture(bad));
    }
}

TEST_F(WindowTest, WindowLongsAndExtraBytes) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.cbWndExtra = 16;
    wc.lpszClassName = L"Extra";
    ASSERT_NE(RegisterClassExW(&wc), 0);
    HWND hwnd = CreateWindowExW(WS_EX_TOPMOST, L"Extra", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                reinterpret_cast<HINSTANCE>(0x400000), nullptr);
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&DefWindowProcW));
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE), 0x400000);
    EXPECT_EQ(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);
    EXPECT_EQ(SetWindowLongPtrW(hwnd, 8, 0x1234), 0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, 8), 0x1234);
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, 9), 0);  // would read past the 16 bytes
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    EXPECT_EQ(SetWindowLongPtrW(hwnd, -100, 1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));

    WNDPROC old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&tumbral_test::RecordingWndProc)));
    EXPECT_EQ(old, &DefWindowProcW);
    SendMessageW(hwnd, WM_USER + 5, 1, 2);
    ASSERT_EQ(SeenOf(WM_USER + 5).size(), 1u);
}

TEST_F(WindowTest, WindowTextRoundTripsAndTruncates) {
    HWND hwnd = CreateTestWindow(100, 100, false);
    ASSERT_TRUE(SetWindowTextW(hwnd, L"Hello world"));
    WCHAR buf[6];
    EXPECT_EQ(GetWindowTextW(hwnd, buf, 6), 5);
    EXPECT_STREQ(buf, L"Hello");
    EXPECT_EQ(GetWindowTextLengthW(hwnd), 11);
    EXPECT_EQ(Backend().Window(plat::NativeWindowOf(hwnd))->desc.title, L"Hello world");
}

TEST_F(WindowTest, ShowMinimizeMaximizeRestoreSendSizeTypes) {
    HWND hwnd = CreateTestWindow(640, 480, false);
    Seen().clear();
    EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW));
    EXPECT_TRUE(IsWindowVisible(hwnd));
    EXPECT_EQ(GetActiveWindow(), hwnd);

    Seen().clear();
    ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(hwnd));
    ASSERT_EQ(SeenOf(WM_SIZE).size(), 1u);
    EXPECT_EQ(SeenOf(WM_SIZE)[0].wParam, WPARAM(SIZE_MINIMIZED));
    RECT c;
    GetClientRect(hwnd, &c);
    EXPECT_EQ(c.right, 0);
    EXPECT_EQ(c.bottom, 0);
    EXPECT_EQ(GetActiveWindow(), nullptr);  // minimising gives up activation

    Seen().clear();
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_FALSE(IsIconic(hwnd));
    ASSERT_EQ(SeenOf(WM_SIZE).size(), 1u);
    EXPECT_EQ(SeenOf(WM_SIZE)[0].wParam, WPARAM(SIZE_RESTORED));
    EXPECT_EQ(LOWORD(SeenOf(WM_SIZE)[0].lParam), 640);
    EXPECT_EQ(GetActiveWindow(), hwnd);

    Seen().clear();
    ShowWindow(hwnd, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(hwnd));
    ASSERT_FALSE(SeenOf(WM_GETMINMAXINFO).empty());
    ASSERT_EQ(SeenOf(WM_SIZE).size(), 1u);
    EXPECT_EQ(SeenOf(WM_SIZE)[0].wParam, WPARAM(SIZE_MAXIMIZED));
    GetClientRect(hwnd, &c);
    EXPECT_EQ(c.right, 1920);             // the work area's width
    EXPECT_EQ(c.bottom, 1080 - 40 - 23);  // less the task bar and the caption
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 23);

    // Minimised from maximised, the placement says it comes back maximised.
    ShowWindow(hwnd, SW_MINIMIZE);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    ASSERT_TRUE(GetWindowPlacement(hwnd, &wp));
    EXPECT_EQ(wp.showCmd, UINT(SW_SHOWMINIMIZED));
    EXPECT_EQ(wp.flags & WPF_RESTORETOMAXIMIZED, WPF_RESTORETOMAXIMIZED);
    EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 656);
    Seen().clear();
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_TRUE(IsZoomed(hwnd));
    EXPECT_EQ(SeenOf(WM_SIZE).back().wParam, WPARAM(SIZE_MAXIMIZED));
    ShowWindow(hwnd, SW_RESTORE);
    EXPECT_FALSE(IsZoomed(hwnd));
    GetClientRect(hwnd, &c);
    EXPECT_EQ(c.right, 640);
    EXPECT_EQ(c.bottom, 480);
}

// The headless backend with a window manager that was seen to leave a 19-row caption
// and no border around the windows it maximised.
class ManagedBackend : public plat::HeadlessBackend {
  public:
    using plat::HeadlessBackend::HeadlessBackend;
    bool ManagerMaximizedFrame(RECT& frame) const override {
        frame = RECT{0, 19, 0, 0};
        return true;
    }
};

TEST_F(WindowTest, MaximisedWindowFillsWhatTheManagersFrameLeavesOfTheWorkArea) {
    plat::ResetWindowSystem();
    plat::HeadlessConfig config;
    config.noWait = true;
    plat::SetBackend(std::make_unique<ManagedBackend>(config));
    RegisterTestClass(0, L"Managed");
    HWND hwnd = CreateTestWindow(640, 480, true, L"Managed");
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));

    ShowWindow(hwnd, SW_MAXIMIZE);
    RECT c;
    GetClientRect(hwnd, &c);
    POINT origin{0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(origin.x, work.left);
    EXPECT_EQ(origin.y, work.top + 19);
    EXPECT_EQ(c.right, work.right - work.left);
    EXPECT_EQ(c.bottom, work.bottom - work.top - 19);
    EXPECT_EQ(SeenOf(WM_SIZE).back().lParam, MAKELPARAM(c.right, c.bottom));

    ShowWindow(hwnd, SW_RESTORE);
    GetClientRect(hwnd, &c);
    EXPECT_EQ(c.right, 640);
    EXPECT_EQ(c.bottom, 480);
}

TEST_F(WindowTest, SetWindowPlacementRestoresRectangleAndShowCommand) {
    HWND hwnd = CreateTestWindow(640, 480, true);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(hwnd, &wp);
    EXPECT_EQ(wp.showCmd, UINT(SW_SHOWNORMAL));
    wp.rcNormalPosition = RECT{50, 60, 450, 360};
    ASSERT_TRUE(SetWindowPlacement(hwnd, &wp));
    RECT r;
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.bottom, 360);

    wp.showCmd = SW_SHOWMAXIMIZED;
    SetWindowPlacement(hwnd, &wp);
    EXPECT_TRUE(IsZoomed(hwnd));
    wp.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(hwnd, &wp);
    EXPECT_FALSE(IsZoomed(hwnd));
    GetWindowRect(hwnd, &r);
    EXPECT_EQ(r.left, 50);

    WINDOWPLACEMENT bad = wp;
    bad.length = 0;
    EXPECT_FALSE(SetWindowPlacement(hwnd, &bad));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(WindowTest, SetWindowPosMovesSizesAndChangesTopmost) {
    HWND hwnd = CreateTestWindow(640, 480, true);
    Seen().clear();
    ASSERT_TRUE(SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE));
    EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(SeenOf(WM_SIZE).empty());
    EXPECT_TRUE(Backend().Window(plat::NativeWindowOf(hwnd))->desc.topmost);
    SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_FALSE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);

    SetWindowPos(hwnd, nullptr, 200, 150, 816, 639, SWP_NOZORDER);
    ASSERT_EQ(SeenOf(WM_MOVE).size(), 1u);
    EXPECT_EQ(GET_X_LPARAM(SeenOf(WM_MOVE)[0].lParam), 208);
    EXPECT_EQ(GET_Y_LPARAM(SeenOf(WM_MOVE)[0].lParam), 181);
    ASSERT_EQ(SeenOf(WM_SIZE).size(), 1u);
    EXPECT_EQ(LOWORD(SeenOf(WM_SIZE)[0].lParam), 800);
    EXPECT_EQ(HIWORD(SeenOf(WM_SIZE)[0].lParam), 600);
    RECT native = Backend().Window(plat::NativeWindowOf(hwnd))->desc.clientRect;
    EXPECT_EQ(native.left, 208);
    EXPECT_EQ(native.right - native.left, 800);
}

TEST_F(WindowTest, MenuShrinksClientAreaAndStyleChangeMovesFrame) {
    HMENU menu = CreateMenu();
    ASSERT_TRUE(menu);
    HWND hwnd = CreateWindowExW(0, L"TestWindow", L"m", WS_OVERLAPPEDWINDOW, 0, 0, 656, 519, nullptr, menu,
                                nullptr, nullptr);
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(GetMenu(hwnd), menu);
    RECT c;
    GetClientRect(hwnd, &c);
    EXPECT_EQ(c.bottom, 480 - 20);
    ASSERT_TRUE(SetMenu(hwnd, nullptr));
    GetClientRect(hwnd, &c);
    EXPECT_EQ(c.bottom, 480);
    EXPECT_TRUE(DestroyMenu(menu));
    EXPECT_FALSE(DestroyMenu(menu));
    EXPECT_FALSE(SetMenu(hwnd, menu));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_MENU_HANDLE));

    // The full-screen switch: popup style, no frame; back to the saved style.
    LONG saved = GetWindowLongW(hwnd, GWL_STYLE);
    SetWindowLongW(hwnd, GWL_STYLE, WS_POPUP | WS_SYSMENU);
    GetClientRect(hwnd, &c);
    EXPECT_EQ(c.right, 656);
    EXPECT_FALSE(Backend().Window(plat::NativeWindowOf(hwnd))->desc.decorated);
    SetWindowLongW(hwnd, GWL_STYLE, saved);
    GetClientRect(hwnd, &c);
    EXPECT_EQ(c.right, 640);
}

TEST_F(WindowTest, CloseDestroysThroughDefWindowProc) {
    HWND hwnd = CreateTestWindow();
    SendMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    std::vector<UINT> order;
    for (auto& m : Seen())
        if (m.message == WM_CLOSE || m.message == WM_DESTROY || m.message == WM_NCDESTROY)
            order.push_back(m.message);
    std::vector<UINT> expected{WM_CLOSE, WM_DESTROY, WM_NCDESTROY};
    EXPECT_EQ(order, expected);
}

TEST_F(WindowTest, CreateFailsWhenWmCreateRefuses) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpszClassName = L"Refusing";
    wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == WM_CREATE) return -1;
        return tumbral_test::RecordingWndProc(h, msg, wp, lp);
    };
    ASSERT_NE(RegisterClassExW(&wc), 0);
    HWND hwnd = CreateWindowExW(0, L"Refusing", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100, 100,
                                nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(hwnd, nullptr);
    EXPECT_EQ(SeenOf(WM_DESTROY).size(), 1u);
    EXPECT_EQ(SeenOf(WM_NCDESTROY).size(), 1u);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_TRUE(UnregisterClassW(L"Refusing", nullptr));  // no window of the class is left behind

    wc.lpszClassName = L"RefusingNc";
    wc.lpfnWndProc = [](HWND h, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        if (msg == WM_NCCREATE) return FALSE;
        return DefWindowProcW(h, msg, wp, lp);
    };
    ASSERT_NE(RegisterClassExW(&wc), 0);
    EXPECT_EQ(
        CreateWindowExW(0, L"RefusingNc", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr),
        nullptr);
    EXPECT_TRUE(UnregisterClassW(L"RefusingNc", nullptr));
}

}  // namespace

namespace {

TEST_F(WindowTest, PaintComesWhileTheWindowIsInvalidAndAfterPostedMessages) {
    HWND hwnd = CreateTestWindow(100, 100, true);
    Pump();
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE));
    InvalidateRect(hwnd, nullptr, FALSE);
    PostMessageW(hwnd, WM_USER, 0, 0);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_USER));
    // Not removed by reading: it stays until the window is validated.
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_PAINT));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_PAINT));
    DispatchMessageW(&msg);  // DefWindowProcW validates
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));

    // The backend reports lost content.
    plat::Event e;
    e.type = plat::EventType::WindowExposed;
    e.window = plat::NativeWindowOf(hwnd);
    Push(e);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_PAINT));
    PAINTSTRUCT ps;
    ASSERT_TRUE(BeginPaint(hwnd, &ps));
    EXPECT_EQ(ps.rcPaint.right, 100);
    EndPaint(hwnd, &ps);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace

namespace {

UINT g_destroyOn = 0;

LRESULT CALLBACK SelfDestroyingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    tumbral_test::Seen().push_back(tumbral_test::SeenMessage{hwnd, msg, wParam, lParam});
    if (msg == g_destroyOn) {
        DestroyWindow(hwnd);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

TEST_F(WindowTest, WindowsThatDestroyThemselvesInsideAnyMessageLeaveNoDanglingState) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = SelfDestroyingProc;
    wc.lpszClassName = L"SelfDestroying";
    ASSERT_NE(RegisterClassExW(&wc), 0);
    HWND other = CreateTestWindow(100, 100, true);
    for (UINT msg : {WM_GETMINMAXINFO, WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW,
                     WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}) {
        ShowWindow(other, SW_MINIMIZE);  // the application is inactive: activation messages come
        g_destroyOn = msg;
        HWND hwnd = CreateWindowExW(0, L"SelfDestroying", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                    200, nullptr, nullptr, nullptr, nullptr);
        EXPECT_FALSE(IsWindow(hwnd)) << msg;
        EXPECT_TRUE(!GetActiveWindow() || IsWindow(GetActiveWindow())) << msg;
        EXPECT_TRUE(!GetFocus() || IsWindow(GetFocus())) << msg;
        EXPECT_EQ(SeenOf(WM_NCDESTROY).size(), 1u) << msg;
        Seen().clear();
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        ShowWindow(other, SW_RESTORE);
    }
    g_destroyOn = WM_CLOSE;
    HWND hwnd = CreateWindowExW(0, L"SelfDestroying", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(hwnd);
    g_destroyOn = WM_KILLFOCUS;  // destroyed while losing the focus to another window
    SetFocus(other);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(GetFocus(), other);
}

TEST_F(WindowTest, MadeUpHandlesOfEveryKindAreRefused) {
    // Generation 0 is never handed out, and slot 0xFFEF is beyond any table this test fills; a
    // made-up value with generation 1 at slot 0 could be a live object (the arrow cursor).
    for (uintptr_t v : {uintptr_t(1), uintptr_t(0x10000010), uintptr_t(0x20000010), uintptr_t(0x3001FFFF),
                        uintptr_t(0x40000010), uintptr_t(0x5001FFFF), uintptr_t(0x60000010), ~uintptr_t(0)}) {
        EXPECT_FALSE(DestroyMenu(reinterpret_cast<HMENU>(v)));
        EXPECT_EQ(GetMenuItemCount(reinterpret_cast<HMENU>(v)), -1);
        EXPECT_FALSE(UnhookWindowsHookEx(reinterpret_cast<HHOOK>(v)));
        EXPECT_FALSE(DestroyIcon(reinterpret_cast<HICON>(v)));
        ICONINFO info;
        EXPECT_FALSE(GetIconInfo(reinterpret_cast<HICON>(v), &info));
        BITMAP bm;
        EXPECT_EQ(GetObjectW(reinterpret_cast<HANDLE>(v), sizeof(bm), &bm), 0);
        EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(v)));
        EXPECT_FALSE(GetMonitorInfoW(reinterpret_cast<HMONITOR>(v), nullptr));
        EXPECT_EQ(GetDlgItem(reinterpret_cast<HWND>(v), 1), nullptr);
        EXPECT_EQ(DialogBoxIndirectParamW(nullptr, nullptr, reinterpret_cast<HWND>(v), nullptr, 0), -1);
    }
}

}  // namespace
