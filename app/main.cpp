// Platform demo until the application shell lands: a window of the window
// system with a message loop that presents frames showing it is alive (a
// colour sweep with a square that follows the mouse). Escape or closing the
// window ends it; so does "quit" in a headless input script.
#include <cstdint>
#include <vector>

#include "platform/backend.h"
#include "platform/win32.h"

namespace {

POINT g_mouse{320, 240};
bool g_pressed = false;

LRESULT CALLBACK DemoWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) SendMessageW(hwnd, WM_CLOSE, 0, 0);
        return 0;
    case WM_MOUSEMOVE:
        g_mouse = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        g_pressed = msg == WM_LBUTTONDOWN;
        return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

void DrawFrame(HWND hwnd, std::vector<uint32_t>& pixels, uint64_t frame) {
    RECT client;
    GetClientRect(hwnd, &client);
    int width = client.right, height = client.bottom;
    if (width <= 0 || height <= 0) return;
    pixels.resize(static_cast<size_t>(width) * height);
    uint32_t phase = static_cast<uint32_t>(frame * 2);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t r = (static_cast<uint32_t>(x) * 255 / static_cast<uint32_t>(width) + phase) & 0xFF;
            uint32_t b = static_cast<uint32_t>(y) * 255 / static_cast<uint32_t>(height);
            pixels[static_cast<size_t>(y) * width + x] = (r << 16) | (0x40u << 8) | b;
        }
    }
    uint32_t color = g_pressed ? 0xFFFFFFu : 0xFFD020u;
    for (int y = g_mouse.y - 10; y < g_mouse.y + 10; ++y)
        for (int x = g_mouse.x - 10; x < g_mouse.x + 10; ++x)
            if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<size_t>(y) * width + x] = color;
    plat::FrameView view{pixels.data(), width, height, width};
    plat::PresentToWindow(hwnd, view, true);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int nShowCmd) {
    plat::CurrentBackend();  // chooses the backend (and checks an input script) before anything runs

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DemoWndProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = L"TumbralDemo";
    if (!RegisterClassExW(&wc)) return 1;

    RECT rect{0, 0, 640, 480};
    AdjustWindowRect(&rect, WS_OVERLAPPEDWINDOW, FALSE);
    HWND hwnd = CreateWindowExW(0, L"TumbralDemo", L"Tumbral (platform demo)", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, rect.right - rect.left, rect.bottom - rect.top, nullptr, nullptr,
                                hInstance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, nShowCmd == SW_SHOWDEFAULT ? SW_SHOWNORMAL : nShowCmd);

    std::vector<uint32_t> pixels;
    uint64_t frame = 0;
    MSG msg{};
    while (msg.message != WM_QUIT) {
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else if (IsWindow(hwnd) && !IsIconic(hwnd)) {
            DrawFrame(hwnd, pixels, frame++);
        } else {
            WaitMessage();
        }
    }
    return static_cast<int>(msg.wParam);
}
