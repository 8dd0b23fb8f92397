// The window system's state: classes, windows, the message queue, input
// state, menus, hooks and drawing objects, and the internal operations the
// user_*.cpp files share. One instance per process, never destroyed, so the
// window system still answers from the framework's atexit handlers.
#pragma once

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend/backend_table.h"
#include "platform/win32/device_bridge.h"
#include "platform/win32/user_handles.h"
#include "platform/base/keymap.h"
#include "platform/win32kernel.h"
#include "platform/win32user.h"

namespace plat::user {

struct WindowClass {
    std::wstring name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int wndExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HICON iconSmall = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    bool system = false;  // built-in control classes; never unregistered
    int windowCount = 0;
};

struct Window {
    HWND handle = nullptr;
    WindowClass* cls = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    LONG_PTR userData = 0;
    LONG_PTR id = 0;  // child windows: the control identifier
    std::wstring text;
    HWND parent = nullptr;  // child windows
    HWND owner = nullptr;   // owned top-level windows
    HMENU menu = nullptr;
    RECT rect{};        // top-level: screen coordinates; child: parent client coordinates
    RECT normalRect{};  // top-level: the restored rectangle
    bool minimized = false;
    bool maximized = false;
    bool restoreToMaximized = false;
    bool destroying = false;
    bool created = false;  // WM_CREATE returned success
    bool invalid = false;  // needs WM_PAINT
    std::vector<uint8_t> extra;
    NativeWindowId native = 0;
    // What the backend and the window procedure were last told.
    RECT nativeRect{};
    ShowState nativeShow = ShowState::Hidden;
    int nativeStyle = -1;
    SIZE reportedSize{-1, -1};
    POINT reportedOrigin{-99999, -99999};
    std::vector<HWND> children;
    // Controls and dialogs.
    UINT checkState = 0;
    HANDLE image = nullptr;
    bool dialog = false;
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
};

struct Menu {
    std::vector<std::wstring> items;
};

struct Hook {
    HOOKPROC proc = nullptr;
};

struct Bitmap {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;         // 1 or 32
    std::vector<uint32_t> pixels;  // top row first; 1 bpp stored as 0 / 1 per pixel
};

struct Icon {
    bool isIcon = true;
    int hotX = 0, hotY = 0;
    int width = 32, height = 32;
    std::vector<uint8_t> andMask;  // 1: transparent
    std::vector<uint32_t> color;   // empty: monochrome (xorMask used)
    std::vector<uint8_t> xorMask;  // monochrome: 1 inverts / white
    bool shared = false;           // system cursors and icons: DestroyIcon leaves them
};

struct DeviceContext {
    HWND window = nullptr;
    HGDIOBJ selected = nullptr;
};

struct State {
    HandleTable<Window> windows{1};
    HandleTable<Menu> menus{2};
    HandleTable<Hook> hooks{3};
    HandleTable<Icon> icons{4};
    HandleTable<Bitmap> bitmaps{5};
    HandleTable<DeviceContext> dcs{6};
    std::vector<std::unique_ptr<WindowClass>> classes;
    ATOM nextAtom = 0xC000;

    // Posted messages; input messages carry the key state as it was when they were made.
    struct Posted {
        MSG msg;
        bool input = false;
        std::array<BYTE, 256> keys{};
    };
    std::deque<Posted> posted;
    bool quitPosted = false;
    int quitCode = 0;
    DWORD messageTime = 0;
    POINT messagePos{};

    HWND active = nullptr;
    HWND focus = nullptr;
    HWND capture = nullptr;
    bool appActive = false;
    std::vector<HWND> activationOrder;  // most recently active last

    BYTE asyncKeys[256] = {};     // keys as the backend reports them now
    BYTE keys[256] = {};          // keys as of the last input message read from the queue
    bool altAlone = false;        // Alt went down and no other key since
    char32_t pendingKeyChar = 0;  // character the last backend key-down will translate to

    // Double-click detection.
    HWND lastClickWindow = nullptr;
    UINT lastClickMessage = 0;
    DWORD lastClickTime = 0;
    POINT lastClickPoint{};
    bool lastClickWasDouble = false;

    HCURSOR cursor = nullptr;
    int cursorCount = 0;
    bool clipped = false;
    RECT clip{};

    std::vector<HHOOK> hookChain;  // newest last
    int hookPosition = -1;         // chain index of the hook running now

    STICKYKEYS stickyKeys{sizeof(STICKYKEYS), 0x1FE};
    TOGGLEKEYS toggleKeys{sizeof(TOGGLEKEYS), 0x1E};
    FILTERKEYS filterKeys{sizeof(FILTERKEYS), 0x7E, 1000, 500, 500, 0};

    int cascade = 0;  // CW_USEDEFAULT placements so far
    int dialogDepth = 0;
    bool systemClasses = false;
};

State& S();

// Errors.
void Fail(DWORD error);

// Windows.
Window* W(HWND hwnd);                  // null and ERROR_INVALID_WINDOW_HANDLE when not a window
Window* Peek(HWND hwnd);               // null without touching the last error
HWND Root(HWND hwnd);                  // the top-level window of a window
WindowClass* FindClass(LPCWSTR name);  // by name (case-insensitive) or atom
void RegisterSystemClasses();          // once per reset: button, static, edit and dialog classes
ATOM RegisterClassInternal(const WNDCLASSEXW& wc, bool system);
// Positions and sizes of windows stay within +-kCoordinateLimit, so that a
// position plus a size plus a frame never overflows an int.
constexpr int kCoordinateLimit = 1 << 24;
inline int ClampCoordinate(long long v) {
    return static_cast<int>(v < -kCoordinateLimit  ? -kCoordinateLimit
                            : v > kCoordinateLimit ? kCoordinateLimit
                                                   : v);
}
RECT ScreenRect(const Window& w);                          // the window rectangle in screen coordinates
RECT ClientInsets(DWORD style, DWORD exStyle, bool menu);  // the frame around the client area
RECT ClientScreenRect(const Window& w);
bool HasMenuBar(const Window& w);
void SyncNative(Window& w);  // hands position, size, style and show state to the backend
void SetWindowRectInternal(Window& w, const RECT& rect, bool sendMove, bool sendSize);
void SendSizeMessage(Window& w);
void ApplyShow(Window& w, int cmd, bool fromBackend);
void DestroyAll();

// Messages.
LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void Post(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
void PostInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);  // with a snapshot of the key state
void PumpBackend();  // turns waiting backend events into messages
DWORD Now();

// Activation and focus.
void Activate(HWND hwnd, bool fromBackend, UINT how = WA_ACTIVE);
void Deactivate(bool fromBackend);
void ForgetWindow(HWND hwnd);  // a window is going away: activation, focus, capture
void SetFocusInternal(HWND hwnd);

// Input.
void HandleEvent(const Event& e);
// Input-method composition: WM_IME_* messages to the focused window; the text
// for ImmGetCompositionStringW.
void HandleComposition(const Event& e);
const std::wstring& CompositionText();
void ResetComposition();
bool RunKeyboardHooks(WPARAM msg, KBDLLHOOKSTRUCT& info);  // true: a hook swallowed the key

// Drawing objects.
HICON ArrowCursor();
HICON StockIcon(int id);
void InitDialogClass();

// Monitors.
std::vector<MonitorDesc> Monitors();
int MonitorIndexForRect(const RECT& r, DWORD flags);

}  // namespace plat::user
