// Test fixture on a fresh headless backend, and the recording window procedure.
#include "tests/support/headless_fixture.h"

#include "platform/win32/user_keymap.h"

namespace tumbral_test {

std::vector<SeenMessage>& Seen() {
    static std::vector<SeenMessage> seen;
    return seen;
}

std::vector<SeenMessage> SeenOf(UINT message) {
    std::vector<SeenMessage> out;
    for (const SeenMessage& m : Seen())
        if (m.message == message) out.push_back(m);
    return out;
}

LRESULT CALLBACK RecordingWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Seen().push_back(SeenMessage{hwnd, message, wParam, lParam});
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void HeadlessTest::SetUp() {
    plat::HeadlessConfig config;
    config.noWait = true;
    UseBackend(config);
}

void HeadlessTest::TearDown() {
    plat::SetDialogHook(nullptr);
    plat::ResetWindowSystem();
    Seen().clear();
}

void HeadlessTest::UseBackend(plat::HeadlessConfig config) {
    plat::ResetWindowSystem();
    auto backend = std::make_unique<plat::HeadlessBackend>(std::move(config));
    m_backend = backend.get();
    plat::SetBackend(std::move(backend));
    Seen().clear();
}

void HeadlessTest::RegisterTestClass(UINT style, LPCWSTR name) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = RecordingWndProc;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    ASSERT_NE(RegisterClassExW(&wc), 0);
}

HWND HeadlessTest::CreateTestWindow(int clientWidth, int clientHeight, bool visible, LPCWSTR className) {
    RECT r{0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    return CreateWindowExW(0, className, L"Test", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), 100, 100,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr, nullptr, nullptr);
}

int HeadlessTest::Pump() {
    MSG msg;
    int n = 0;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        ++n;
    }
    return n;
}

void HeadlessTest::PushKey(UINT vk, bool down) {
    plat::Event e;
    e.type = plat::EventType::Key;
    e.vk = vk;
    e.down = down;
    e.scanCode = plat::ScanCodeOfKey(vk, &e.extended);
    Push(e);
}

void HeadlessTest::PushMouse(plat::EventType type, int x, int y, plat::MouseButton b, bool down,
                             int wheelDelta) {
    plat::Event e;
    e.type = type;
    e.x = x;
    e.y = y;
    e.button = b;
    e.down = down;
    e.wheelDelta = wheelDelta;
    Push(e);
}

}  // namespace tumbral_test
