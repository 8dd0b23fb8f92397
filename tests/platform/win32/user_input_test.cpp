// Input: key messages and their lParam bits, characters, key state, hooks,
// mouse messages, double-clicks, the wheel, capture and activation.
#include "tests/support/headless_fixture.h"

using plat::EventType;
using plat::MouseButton;
using tumbral_test::HeadlessTest;
using tumbral_test::Seen;
using tumbral_test::SeenOf;

namespace {

class InputTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        RegisterTestClass(CS_DBLCLKS, L"Dbl");
        RegisterTestClass(0, L"Plain");
        m_hwnd = CreateTestWindow(640, 480, true, L"Dbl");
        Pump();
        Seen().clear();
    }
    // Messages of the given kinds, in order.
    std::vector<tumbral_test::SeenMessage> Only(std::initializer_list<UINT> kinds) {
        std::vector<tumbral_test::SeenMessage> out;
        for (auto& m : Seen())
            for (UINT k : kinds)
                if (m.message == k) out.push_back(m);
        return out;
    }
    HWND m_hwnd = nullptr;
};

TEST_F(InputTest, KeyMessagesCarryRepeatScanExtendedPreviousAndTransitionBits) {
    PushKey('A', true);
    PushKey('A', true);  // auto-repeat
    PushKey('A', false);
    PushKey(VK_RIGHT, true);
    Pump();
    auto keys = Only({WM_KEYDOWN, WM_KEYUP});
    ASSERT_EQ(keys.size(), 4u);
    auto bits = [](LPARAM l) { return static_cast<uint32_t>(l); };
    EXPECT_EQ(keys[0].wParam, WPARAM('A'));
    EXPECT_EQ(bits(keys[0].lParam), 0x001E0001u);  // repeat 1, scan 0x1E, first press
    EXPECT_EQ(bits(keys[1].lParam), 0x401E0001u);  // previous state: down
    EXPECT_EQ(keys[2].message, UINT(WM_KEYUP));
    EXPECT_EQ(bits(keys[2].lParam), 0xC01E0001u);  // previous state and transition
    EXPECT_EQ(bits(keys[3].lParam), 0x014D0001u);  // extended key
}

TEST_F(InputTest, TranslateMessageMakesCharactersWithShiftAndCaps) {
    PushKey('A', true);
    PushKey('A', false);
    PushKey(VK_LSHIFT, true);
    PushKey('1', true);
    PushKey('1', false);
    PushKey(VK_LSHIFT, false);
    PushKey(VK_RETURN, true);
    Pump();
    auto chars = SeenOf(WM_CHAR);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_EQ(chars[0].wParam, WPARAM('a'));
    EXPECT_EQ(chars[1].wParam, WPARAM('!'));
    EXPECT_EQ(chars[2].wParam, WPARAM('\r'));
    // The character follows its key-down directly.
    auto seq = Only({WM_KEYDOWN, WM_CHAR});
    EXPECT_EQ(seq[0].message, UINT(WM_KEYDOWN));
    EXPECT_EQ(seq[1].message, UINT(WM_CHAR));
    EXPECT_EQ(seq[1].lParam, seq[0].lParam);
}

TEST_F(InputTest, AltCombinationsAndF10AreSystemKeys) {
    PushKey(VK_LMENU, true);
    PushKey(VK_RETURN, true);
    PushKey(VK_RETURN, false);
    PushKey(VK_LMENU, false);
    PushKey(VK_F10, true);
    PushKey(VK_F10, false);
    Pump();
    auto keys = Only({WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP});
    ASSERT_EQ(keys.size(), 6u);
    EXPECT_EQ(keys[0].message, UINT(WM_SYSKEYDOWN));
    EXPECT_EQ(keys[0].wParam, WPARAM(VK_MENU));  // the generic code in messages
    EXPECT_TRUE(keys[0].lParam & (1 << 29));
    EXPECT_EQ(keys[1].message, UINT(WM_SYSKEYDOWN));
    EXPECT_EQ(keys[1].wParam, WPARAM(VK_RETURN));
    EXPECT_TRUE(keys[1].lParam & (1 << 29));
    EXPECT_EQ(keys[2].message, UINT(WM_SYSKEYUP));
    EXPECT_EQ(keys[3].message, UINT(WM_KEYUP));  // Alt released after another key
    EXPECT_EQ(keys[4].message, UINT(WM_SYSKEYDOWN));
    EXPECT_EQ(keys[4].wParam, WPARAM(VK_F10));
    EXPECT_FALSE(keys[4].lParam & (1 << 29));
    // The keyboard menu comes from F10 through DefWindowProc; no menu, nothing else happens.
    EXPECT_FALSE(SeenOf(WM_SYSCOMMAND).empty());
    EXPECT_EQ(SeenOf(WM_SYSCOMMAND).back().wParam, WPARAM(SC_KEYMENU));
    EXPECT_TRUE(IsWindow(m_hwnd));
}

TEST_F(InputTest, AltF4ClosesTheWindow) {
    PushKey(VK_LMENU, true);
    PushKey(VK_F4, true);
    Pump();
    EXPECT_FALSE(IsWindow(m_hwnd));
    ASSERT_FALSE(SeenOf(WM_CLOSE).empty());
}

TEST_F(InputTest, KeyStateKeepsBothSidesAndToggles) {
    PushKey(VK_RSHIFT, true);
    PushKey(VK_CAPITAL, true);
    PushKey(VK_CAPITAL, false);
    Pump();
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_LT(GetAsyncKeyState(VK_RSHIFT), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_LSHIFT), 0);
    EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
    BYTE state[256];
    ASSERT_TRUE(GetKeyboardState(state));
    EXPECT_EQ(state[VK_SHIFT] & 0x80, 0x80);
    PushKey(VK_RSHIFT, false);
    Pump();
    EXPECT_GE(GetKeyState(VK_SHIFT), 0);

    // GetKeyState follows the messages read so far; GetAsyncKeyState the keys now.
    PushKey(VK_LCONTROL, true);
    PushKey('C', true);
    PushKey(VK_LCONTROL, false);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_EQ(msg.wParam, WPARAM('C'));
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_EQ(GetAsyncKeyState(VK_CONTROL), 0);
    ASSERT_TRUE(TranslateMessage(&msg));
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE));
    EXPECT_EQ(msg.wParam, WPARAM(3));  // Ctrl+C
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE));
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
}

LRESULT CALLBACK SwallowWindowsKeys(int code, WPARAM wParam, LPARAM lParam) {
    auto* k = reinterpret_cast<KBDLLHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION && (k->vkCode == VK_LWIN || k->vkCode == VK_RWIN)) return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int g_olderHookCalls = 0;
LRESULT CALLBACK OlderHook(int code, WPARAM wParam, LPARAM lParam) {
    ++g_olderHookCalls;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(InputTest, LowLevelHooksSeeKeysFirstAndCanSwallowThem) {
    HHOOK older = SetWindowsHookExW(WH_KEYBOARD_LL, OlderHook, nullptr, 0);
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, SwallowWindowsKeys, nullptr, 0);
    ASSERT_TRUE(hook);
    g_olderHookCalls = 0;
    PushKey(VK_LWIN, true);
    PushKey(VK_LWIN, false);
    PushKey('B', true);
    Pump();
    auto keys = Only({WM_KEYDOWN, WM_KEYUP});
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].wParam, WPARAM('B'));
    EXPECT_EQ(GetAsyncKeyState(VK_LWIN), 0);  // a swallowed key leaves the state alone
    EXPECT_EQ(g_olderHookCalls, 1);           // reached only through CallNextHookEx for 'B'
    EXPECT_TRUE(UnhookWindowsHookEx(hook));
    EXPECT_FALSE(UnhookWindowsHookEx(hook));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HOOK_HANDLE));
    PushKey(VK_LWIN, true);
    Pump();
    EXPECT_EQ(Only({WM_KEYDOWN}).size(), 2u);
    UnhookWindowsHookEx(older);
    EXPECT_FALSE(SetWindowsHookExW(WH_MOUSE_LL, OlderHook, nullptr, 0));
}

TEST_F(InputTest, MouseButtonsCarryKeyMasksAndClientCoordinates) {
    PushMouse(EventType::MouseMove, 10, 20);
    PushMouse(EventType::MouseButton, 10, 20, MouseButton::Left, true);
    PushMouse(EventType::MouseButton, 10, 20, MouseButton::Right, true);
    PushMouse(EventType::MouseButton, 10, 20, MouseButton::Left, false);
    PushMouse(EventType::MouseButton, 11, 21, MouseButton::X2, true);
    Pump();
    auto mouse = Only({WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONUP, WM_XBUTTONDOWN});
    ASSERT_EQ(mouse.size(), 5u);
    EXPECT_EQ(mouse[0].message, UINT(WM_MOUSEMOVE));
    EXPECT_EQ(GET_X_LPARAM(mouse[0].lParam), 10);
    EXPECT_EQ(GET_Y_LPARAM(mouse[0].lParam), 20);
    EXPECT_EQ(mouse[1].wParam, WPARAM(MK_LBUTTON));
    EXPECT_EQ(mouse[2].wParam, WPARAM(MK_LBUTTON | MK_RBUTTON));
    EXPECT_EQ(mouse[3].wParam, WPARAM(MK_RBUTTON));
    EXPECT_EQ(LOWORD(mouse[4].wParam), MK_RBUTTON | MK_XBUTTON2);
    EXPECT_EQ(HIWORD(mouse[4].wParam), XBUTTON2);
    EXPECT_LT(GetKeyState(VK_RBUTTON), 0);
    POINT cursor;
    GetCursorPos(&cursor);
    POINT origin{0, 0};
    ClientToScreen(m_hwnd, &origin);
    EXPECT_EQ(cursor.x, origin.x + 11);
    EXPECT_EQ(cursor.y, origin.y + 21);
}

TEST_F(InputTest, DoubleClickNeedsTheClassStyleSameButtonAndNearbyPoint) {
    auto click = [&](int x, int y, MouseButton b) {
        PushMouse(EventType::MouseButton, x, y, b, true);
        PushMouse(EventType::MouseButton, x, y, b, false);
    };
    click(50, 50, MouseButton::Left);
    click(51, 51, MouseButton::Left);  // double
    click(51, 51, MouseButton::Left);  // a third click starts again
    click(200, 200, MouseButton::Left);
    click(200, 200, MouseButton::Right);  // other button: no double
    click(300, 300, MouseButton::Left);
    click(310, 300, MouseButton::Left);  // too far
    Pump();
    auto downs = Only({WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN, WM_RBUTTONDBLCLK});
    std::vector<UINT> kinds;
    for (auto& m : downs) kinds.push_back(m.message);
    std::vector<UINT> expected{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN, WM_LBUTTONDOWN,
                               WM_RBUTTONDOWN, WM_LBUTTONDOWN,   WM_LBUTTONDOWN};
    EXPECT_EQ(kinds, expected);

    // Without CS_DBLCLKS two quick clicks are two presses.
    DestroyWindow(m_hwnd);
    HWND plain = CreateTestWindow(640, 480, true, L"Plain");
    Pump();
    Seen().clear();
    click(50, 50, MouseButton::Left);
    click(50, 50, MouseButton::Left);
    Pump();
    EXPECT_EQ(SeenOf(WM_LBUTTONDOWN).size(), 2u);
    EXPECT_TRUE(SeenOf(WM_LBUTTONDBLCLK).empty());
    DestroyWindow(plain);
}

TEST_F(InputTest, WheelGoesToTheFocusWithScreenCoordinatesAndDeltaInHighWord) {
    SetWindowPos(m_hwnd, nullptr, 40 - 8, 30 - 31, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PushKey(VK_LCONTROL, true);
    PushMouse(EventType::MouseWheel, 60, 70, MouseButton::Left, false, -240);
    Pump();
    auto wheel = SeenOf(WM_MOUSEWHEEL);
    ASSERT_EQ(wheel.size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[0].wParam), -240);
    EXPECT_EQ(GET_KEYSTATE_WPARAM(wheel[0].wParam), MK_CONTROL);
    POINT p{GET_X_LPARAM(wheel[0].lParam), GET_Y_LPARAM(wheel[0].lParam)};
    EXPECT_EQ(p.x, 100);
    EXPECT_EQ(p.y, 100);
    ScreenToClient(m_hwnd, &p);
    EXPECT_EQ(p.x, 60);
    EXPECT_EQ(p.y, 70);
}

TEST_F(InputTest, CaptureChangesAreAnnouncedToTheWindowLosingIt) {
    HWND other = CreateTestWindow(200, 200, false, L"Plain");
    Seen().clear();
    EXPECT_EQ(SetCapture(m_hwnd), nullptr);
    EXPECT_EQ(GetCapture(), m_hwnd);
    EXPECT_TRUE(Backend().MouseCaptured());
    EXPECT_TRUE(SeenOf(WM_CAPTURECHANGED).empty());
    EXPECT_EQ(SetCapture(other), m_hwnd);
    ASSERT_EQ(SeenOf(WM_CAPTURECHANGED).size(), 1u);
    EXPECT_EQ(SeenOf(WM_CAPTURECHANGED)[0].hwnd, m_hwnd);
    EXPECT_EQ(SeenOf(WM_CAPTURECHANGED)[0].lParam, reinterpret_cast<LPARAM>(other));

    // Captured: mouse input goes to the capture window in its own client coordinates.
    PushMouse(EventType::MouseButton, 5, 5, MouseButton::Left, true);
    Pump();
    ASSERT_EQ(SeenOf(WM_LBUTTONDOWN).size(), 1u);
    EXPECT_EQ(SeenOf(WM_LBUTTONDOWN)[0].hwnd, other);

    ASSERT_TRUE(ReleaseCapture());
    ASSERT_EQ(SeenOf(WM_CAPTURECHANGED).size(), 2u);
    EXPECT_EQ(SeenOf(WM_CAPTURECHANGED)[1].hwnd, other);
    EXPECT_EQ(SeenOf(WM_CAPTURECHANGED)[1].lParam, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(Backend().MouseCaptured());

    // Destroying the capture window releases the capture.
    SetCapture(other);
    DestroyWindow(other);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(InputTest, ActivationMessagesInOrder) {
    HWND second = CreateTestWindow(200, 200, false, L"Plain");
    Seen().clear();
    ShowWindow(second, SW_SHOW);
    auto act = Only({WM_ACTIVATEAPP, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS});
    ASSERT_EQ(act.size(), 4u);
    EXPECT_EQ(act[0].hwnd, m_hwnd);
    EXPECT_EQ(act[0].message, UINT(WM_ACTIVATE));
    EXPECT_EQ(LOWORD(act[0].wParam), WA_INACTIVE);
    EXPECT_EQ(act[0].lParam, reinterpret_cast<LPARAM>(second));
    EXPECT_EQ(act[1].hwnd, second);
    EXPECT_EQ(act[1].message, UINT(WM_ACTIVATE));
    EXPECT_EQ(LOWORD(act[1].wParam), WA_ACTIVE);
    EXPECT_EQ(act[2].message, UINT(WM_KILLFOCUS));
    EXPECT_EQ(act[3].message, UINT(WM_SETFOCUS));
    EXPECT_EQ(GetForegroundWindow(), second);
    EXPECT_EQ(GetFocus(), second);

    // The user switches to another program: the application is deactivated.
    Seen().clear();
    plat::Event e;
    e.type = EventType::WindowDeactivated;
    e.window = plat::NativeWindowOf(second);
    Push(e);
    Pump();
    auto off = Only({WM_ACTIVATEAPP, WM_ACTIVATE, WM_KILLFOCUS});
    ASSERT_EQ(off.size(), 4u);
    EXPECT_EQ(off[0].message, UINT(WM_ACTIVATE));
    EXPECT_EQ(off[1].message, UINT(WM_ACTIVATEAPP));
    EXPECT_EQ(off[1].wParam, WPARAM(FALSE));
    EXPECT_EQ(off[2].message, UINT(WM_ACTIVATEAPP));
    EXPECT_EQ(off[3].message, UINT(WM_KILLFOCUS));
    EXPECT_EQ(GetActiveWindow(), nullptr);

    Seen().clear();
    e.type = EventType::WindowActivated;
    e.window = plat::NativeWindowOf(m_hwnd);
    Push(e);
    Pump();
    auto on = Only({WM_ACTIVATEAPP, WM_ACTIVATE});
    ASSERT_EQ(on.size(), 3u);
    EXPECT_EQ(on[0].message, UINT(WM_ACTIVATEAPP));
    EXPECT_EQ(on[0].wParam, WPARAM(TRUE));
    EXPECT_EQ(on[2].hwnd, m_hwnd);
    EXPECT_EQ(on[2].message, UINT(WM_ACTIVATE));
    EXPECT_EQ(GetActiveWindow(), m_hwnd);
}

TEST_F(InputTest, BackendWindowEventsBecomeSizeMoveAndSizeMessages) {
    plat::NativeWindowId id = plat::NativeWindowOf(m_hwnd);
    auto push = [&](EventType t, int a = 0, int b = 0) {
        plat::Event e;
        e.type = t;
        e.window = id;
        e.x = e.width = a;
        e.y = e.height = b;
        Push(e);
    };
    push(EventType::SizeMoveBegin);
    push(EventType::WindowResized, 800, 600);
    push(EventType::SizeMoveEnd);
    push(EventType::WindowMinimized);
    push(EventType::WindowRestored);
    push(EventType::WindowClose);
    Pump();
    auto msgs = Only({WM_ENTERSIZEMOVE, WM_SIZE, WM_EXITSIZEMOVE, WM_CLOSE});
    ASSERT_EQ(msgs.size(), 6u);
    EXPECT_EQ(msgs[0].message, UINT(WM_ENTERSIZEMOVE));
    EXPECT_EQ(msgs[1].message, UINT(WM_SIZE));
    EXPECT_EQ(msgs[1].lParam, MAKELPARAM(800, 600));
    EXPECT_EQ(msgs[2].message, UINT(WM_EXITSIZEMOVE));
    EXPECT_EQ(msgs[3].wParam, WPARAM(SIZE_MINIMIZED));
    EXPECT_EQ(msgs[4].wParam, WPARAM(SIZE_RESTORED));
    EXPECT_EQ(msgs[4].lParam, MAKELPARAM(800, 600));
    EXPECT_EQ(msgs[5].message, UINT(WM_CLOSE));
    EXPECT_FALSE(IsWindow(m_hwnd));
}

TEST_F(InputTest, QuitEventClosesWindowsAndQuitArrivesLast) {
    plat::Event e;
    e.type = EventType::Quit;
    Push(e);
    PostMessageW(m_hwnd, WM_USER, 0, 0);
    // WM_DESTROY posts the quit in a real program.
    MSG msg;
    int userSeen = 0;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) break;
        if (msg.message == WM_USER) ++userSeen;
        DispatchMessageW(&msg);
        if (msg.message == WM_CLOSE) PostQuitMessage(3);
    }
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, WPARAM(3));
    EXPECT_EQ(userSeen, 1);
    EXPECT_FALSE(IsWindow(m_hwnd));
}

}  // namespace

namespace {

LRESULT CALLBACK MinTrackProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_GETMINMAXINFO) {
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{200, 200};
        return 0;
    }
    return tumbral_test::RecordingWndProc(hwnd, msg, wParam, lParam);
}

TEST_F(InputTest, UserResizeStopsAtTheMinimumTrackingSize) {
    SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MinTrackProc));
    plat::Event e;
    e.type = EventType::WindowResized;
    e.window = plat::NativeWindowOf(m_hwnd);
    e.width = 50;
    e.height = 40;
    Push(e);
    Pump();
    RECT w;
    GetWindowRect(m_hwnd, &w);
    EXPECT_EQ(w.right - w.left, 200);
    EXPECT_EQ(w.bottom - w.top, 200);
    RECT native = Backend().Window(e.window)->desc.clientRect;
    EXPECT_EQ(native.right - native.left, 200 - 16);  // the backend is told the limited size
    EXPECT_EQ(SeenOf(WM_SIZE).back().lParam, MAKELPARAM(200 - 16, 200 - 39));
}

}  // namespace

namespace {

TEST_F(InputTest, MaximisedWindowTakesTheSizeTheWindowManagerGives) {
    ShowWindow(m_hwnd, SW_MAXIMIZE);
    Pump();
    RECT computed, frame;
    GetClientRect(m_hwnd, &computed);
    GetWindowRect(m_hwnd, &frame);
    const plat::NativeWindowId native = plat::NativeWindowOf(m_hwnd);
    const RECT asked = Backend().Window(native)->desc.clientRect;
    // A manager whose caption is thinner than the frame assumed here leaves the client
    // area more rows, on a screen without panels past the height limit worked out with
    // that frame: taken as they are, and the window is not asked for fewer.
    const LONG nFrameHeight = (frame.bottom - frame.top) - computed.bottom;
    const LONG nHeight = GetSystemMetrics(SM_CYMAXTRACK) - nFrameHeight + 4;
    plat::Event e;
    e.type = EventType::WindowResized;
    e.window = native;
    e.width = computed.right;
    e.height = nHeight;
    Push(e);
    Pump();
    RECT client;
    GetClientRect(m_hwnd, &client);
    EXPECT_EQ(client.right, computed.right);
    EXPECT_EQ(client.bottom, nHeight);
    EXPECT_EQ(SeenOf(WM_SIZE).back().wParam, WPARAM(SIZE_MAXIMIZED));
    EXPECT_EQ(SeenOf(WM_SIZE).back().lParam, MAKELPARAM(computed.right, nHeight));
    const RECT now = Backend().Window(native)->desc.clientRect;
    EXPECT_TRUE(EqualRect(&now, &asked)) << "asked for " << now.bottom - now.top << " rows";

    // Restored, a size past the limit is the user's drag again, and stops there.
    ShowWindow(m_hwnd, SW_RESTORE);
    e.width = 20000;
    e.height = 20000;
    Push(e);
    Pump();
    RECT w;
    GetWindowRect(m_hwnd, &w);
    EXPECT_EQ(w.right - w.left, GetSystemMetrics(SM_CXMAXTRACK));
    EXPECT_EQ(w.bottom - w.top, GetSystemMetrics(SM_CYMAXTRACK));
}

}  // namespace
