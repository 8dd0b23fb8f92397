// The backend interface: what the platform needs from the machine it runs on.
//
// The window system (platform/win32) turns backend events into Windows-style
// messages and drives native windows through this interface; the device
// (platform/d3d9) reads monitors through it and presents through the window
// system (platform/win32/device_bridge.h). The implementations are listed in
// platform/backend/backend_table.h. Framework and application code never
// include this header.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32types.h"

namespace plat {

// One display mode of a monitor.
struct DisplayMode {
    int width = 0;
    int height = 0;
    int refreshHz = 0;      // 0 when unknown
    int bitsPerPixel = 32;  // 32 (X8R8G8B8) or 16 (R5G6B5)
};

// One monitor, in virtual-screen coordinates.
struct MonitorDesc {
    std::string name;  // shown in adapter descriptions
    RECT bounds{};     // the whole monitor
    RECT workArea{};   // bounds less task bars and docks
    bool primary = false;
    DisplayMode desktop;  // the mode the desktop uses now
    DisplayMode
        registryMode;  // the user's desktop mode before any full-screen switch (0 x 0: same as desktop)
    std::vector<DisplayMode> modes;  // every mode the monitor offers
};

// A native window of the backend; 0 is "none".
typedef uint64_t NativeWindowId;

enum class ShowState { Hidden, Normal, Minimized, Maximized };

// What the window system asks of a native window.
struct NativeWindowDesc {
    std::wstring title;
    RECT clientRect{};      // client area in screen coordinates
    bool resizable = true;  // has a sizing frame
    bool decorated = true;  // has a caption and frame (false: popup / full screen)
    bool topmost = false;
    ShowState show = ShowState::Normal;
};

// Mouse buttons in Windows order: left, right, middle, X1, X2.
enum class MouseButton { Left = 0, Right = 1, Middle = 2, X1 = 3, X2 = 4 };

enum class EventType {
    None,
    MouseMove,      // x, y: client coordinates of `window`
    MouseButton,    // button, down, x, y (client), clicks (2 for a double-click the backend detected)
    MouseWheel,     // wheelDelta (multiples of 120, positive away from the user), x, y (client)
    Key,            // vk, scanCode, extended, down, repeat; vk is side-specific for Shift, Ctrl and Alt
                    // (VK_LSHIFT, VK_RCONTROL, VK_LMENU, ...): the window system reports the generic code
                    // (VK_SHIFT, VK_CONTROL, VK_MENU) in messages and keeps both in the key state
    Text,           // codepoint (UTF-32) typed
    Composition,    // text: what an input method is composing; empty when the composition ends
    WindowMoved,    // x, y: new client-area origin in screen coordinates
    WindowResized,  // width, height: new client size
    WindowMinimized,
    WindowMaximized,
    WindowRestored,
    WindowActivated,    // the window got keyboard focus
    WindowDeactivated,  // the window lost keyboard focus
    WindowClose,        // the user asked to close the window
    SizeMoveBegin,      // an interactive move or resize starts
    SizeMoveEnd,        // ... and ends
    DeviceLoss,         // tests: make every full-screen and windowed device lost once
    Quit,               // the process is asked to end (SIGTERM, last window gone)
    WindowExposed,      // the window's content was lost and must be drawn again (becomes WM_PAINT)
};

struct Event {
    EventType type = EventType::None;
    NativeWindowId window = 0;
    int x = 0, y = 0;
    int width = 0, height = 0;
    MouseButton button = MouseButton::Left;
    bool down = false;
    int clicks = 1;
    int wheelDelta = 0;
    UINT vk = 0;
    UINT scanCode = 0;
    bool extended = false;
    bool repeat = false;
    char32_t codepoint = 0;
    std::wstring text;
};

// A frame handed to a native window: 32-bit X8R8G8B8 pixels, top row first.
struct FrameView {
    const uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitchPixels = 0;
    // Rows [first, second) that differ from the frame `source` presented before, sorted;
    // changedCount -1: all of them. A backend whose window last showed a frame of
    // another source (or none) takes all rows.
    const std::pair<int, int>* changedRows = nullptr;
    int changedCount = -1;
    const void* source = nullptr;
};

// Game pad state, in the layout of the built-in xinput module.
struct GamepadState {
    bool connected = false;
    uint32_t packet = 0;
    WORD buttons = 0;
    BYTE leftTrigger = 0, rightTrigger = 0;
    SHORT thumbLX = 0, thumbLY = 0, thumbRX = 0, thumbRY = 0;
};

// Message-box request; `type` holds the Windows MB_* flags, the result an ID* value.
struct MessageBoxRequest {
    NativeWindowId owner = 0;
    std::wstring text;
    std::wstring caption;
    UINT type = 0;
};

class Backend {
  public:
    virtual ~Backend() = default;
    virtual const char* Name() const = 0;

    // Displays.
    virtual std::vector<MonitorDesc> Monitors() = 0;
    // Switches a monitor to a mode for a full-screen window; false if impossible.
    virtual bool SetDisplayMode(int monitor, const DisplayMode& mode) = 0;
    // Puts the monitor's desktop mode back.
    virtual void RestoreDisplayMode(int monitor) = 0;

    // Native windows.
    virtual NativeWindowId CreateNativeWindow(const NativeWindowDesc& desc) = 0;
    virtual void DestroyNativeWindow(NativeWindowId id) = 0;
    virtual void SetNativeWindowTitle(NativeWindowId id, const std::wstring& title) = 0;
    virtual void SetNativeWindowRect(NativeWindowId id, const RECT& clientRectScreen) = 0;
    virtual void SetNativeWindowShow(NativeWindowId id, ShowState show) = 0;
    virtual void SetNativeWindowStyle(NativeWindowId id, bool resizable, bool decorated, bool topmost) = 0;
    // Full screen on `monitor` (-1 leaves full screen).
    virtual void SetNativeWindowFullscreen(NativeWindowId id, int monitor) = 0;
    virtual void FocusNativeWindow(NativeWindowId id) = 0;
    // The frame the non-client area adds around the client rectangle of a decorated window.
    virtual RECT DecorationInsets() const = 0;
    // The frame a window manager leaves around a maximised window's client area within
    // the work area, as last seen on a window it maximised; false while none was seen
    // (no window manager, nothing maximised yet): the window system then works the
    // maximised rectangle out from DecorationInsets.
    virtual bool ManagerMaximizedFrame(RECT& frame) const {
        frame = RECT{};
        return false;
    }

    // Frames. `vsync` asks the backend to pace to the monitor's refresh.
    virtual void Present(NativeWindowId id, const FrameView& frame, bool vsync) = 0;

    // Input: non-blocking poll; Wait blocks until an event or the timeout (ms).
    virtual bool PollEvent(Event& out) = 0;
    virtual void WaitEvent(int timeoutMs) = 0;

    // Cursor, in screen coordinates.
    virtual POINT CursorPos() = 0;
    virtual void SetCursorPos(int x, int y) = 0;
    virtual void ShowCursor(bool show) = 0;
    virtual void ClipCursor(const RECT* screenRect) = 0;  // null releases
    virtual void CaptureMouse(bool capture) = 0;

    // Services.
    virtual bool SetClipboardText(const std::string& utf8) = 0;
    virtual bool GetClipboardText(std::string& utf8) = 0;
    virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;  // ID* value, or -1 on failure
    virtual UINT DoubleClickTimeMs() const = 0;
    virtual UINT CaretBlinkTimeMs() const = 0;
    virtual bool Gamepad(int index, GamepadState& out) = 0;
    virtual void SetGamepadVibration(int index, WORD left, WORD right) = 0;
};

}  // namespace plat
