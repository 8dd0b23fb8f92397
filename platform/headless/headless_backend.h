// The headless backend: virtual monitors, native windows that only remember
// their state and last frame, input from a script or from tests, frames to PNG.
//
// Environment (read by CreateHeadlessBackend):
//   TUMBRAL_HEADLESS_MONITORS="1920x1080@60,1280x1024@60"  monitors, left to right; the first is primary
//   TUMBRAL_HEADLESS_NOWAIT=1   Present with vsync does not wait for the refresh interval
//   TUMBRAL_SCRIPT=path         input script (docs/input-script.md); a malformed line ends the
//                               process with exit code 2 and "FILE:LINE: ..." on standard error
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend/backend.h"
#include "platform/base/refresh_pacer.h"
#include "platform/headless/script.h"

namespace plat {

struct HeadlessConfig {
    std::vector<DisplayMode> monitors{DisplayMode{1920, 1080, 60, 32}};
    bool noWait = false;
    Script script;  // empty: no scripted input
    // Windows keep a copy of their last frame (for shots and tests); the program keeps
    // none when its script takes no shots. A script with shots turns keeping on.
    bool keepFrames = true;
};

// Parses "1920x1080@60,1280x1024" (refresh defaults to 60); false on a malformed list.
bool ParseMonitorList(const std::string& text, std::vector<DisplayMode>& out);

class HeadlessBackend : public Backend {
  public:
    explicit HeadlessBackend(HeadlessConfig config);

    const char* Name() const override { return "headless"; }
    std::vector<MonitorDesc> Monitors() override;
    bool SetDisplayMode(int monitor, const DisplayMode& mode) override;
    void RestoreDisplayMode(int monitor) override;
    NativeWindowId CreateNativeWindow(const NativeWindowDesc& desc) override;
    void DestroyNativeWindow(NativeWindowId id) override;
    void SetNativeWindowTitle(NativeWindowId id, const std::wstring& title) override;
    void SetNativeWindowRect(NativeWindowId id, const RECT& clientRectScreen) override;
    void SetNativeWindowShow(NativeWindowId id, ShowState show) override;
    void SetNativeWindowStyle(NativeWindowId id, bool resizable, bool decorated, bool topmost) override;
    void SetNativeWindowFullscreen(NativeWindowId id, int monitor) override;
    void FocusNativeWindow(NativeWindowId id) override;
    RECT DecorationInsets() const override { return RECT{8, 31, 8, 8}; }
    void Present(NativeWindowId id, const FrameView& frame, bool vsync) override;
    bool PollEvent(Event& out) override;
    void WaitEvent(int timeoutMs) override;
    POINT CursorPos() override { return m_cursor; }
    void SetCursorPos(int x, int y) override { m_cursor = POINT{x, y}; }
    void ShowCursor(bool show) override { m_cursorShown = show; }
    void ClipCursor(const RECT* screenRect) override;
    void CaptureMouse(bool capture) override { m_captured = capture; }
    bool SetClipboardText(const std::string& utf8) override;
    bool GetClipboardText(std::string& utf8) override;
    int ShowMessageBox(const MessageBoxRequest& request) override;
    UINT DoubleClickTimeMs() const override { return 500; }
    UINT CaretBlinkTimeMs() const override { return 530; }
    bool Gamepad(int index, GamepadState& out) override;
    void SetGamepadVibration(int, WORD, WORD) override {}

    // For tests and tools.
    struct WindowRecord {
        NativeWindowDesc desc;
        int fullscreenMonitor = -1;
        std::vector<uint32_t> frame;  // last presented frame, top row first
        int frameWidth = 0, frameHeight = 0;
        uint64_t presented = 0;
        const void* source = nullptr;  // who presented the kept frame
    };
    // Queues an event as if the user made it; window 0 means the focused window.
    void PushEvent(const Event& e);
    // Runs `script` (replacing any other) from now on.
    void RunScript(Script script);
    // Events handed out at most in one go, and how long a program that neither
    // presents nor waits is given to read them before the next go.
    static constexpr size_t kInputBurst = 16384;
    static constexpr std::chrono::milliseconds kInputBurstPause{100};
    bool ScriptFinished() const { return m_next >= m_script.StepCount(); }
    uint64_t FramesPresented() const { return m_frames; }
    const WindowRecord* Window(NativeWindowId id) const;
    NativeWindowId FocusedWindow() const { return m_focused; }
    bool CursorShown() const { return m_cursorShown; }
    bool MouseCaptured() const { return m_captured; }
    const std::vector<MessageBoxRequest>& MessageBoxes() const { return m_messageBoxes; }
    // Writes the last frame of a window (0: the focused one) to a PNG file.
    bool WriteFrame(NativeWindowId id, const std::string& path, std::string& error) const;

  private:
    struct Monitor {
        DisplayMode desktop;
        DisplayMode current;
        std::vector<DisplayMode> modes;
        POINT origin{};
    };

    NativeWindowId Target() const;
    // The step at m_next, made from its line once.
    const ScriptStep& CurrentStep();
    bool StepDue(const ScriptStep& step) const;
    bool NextEvent(Event& out);
    void AllowInputBurst();
    void Expand(const ScriptStep& step, NativeWindowId target);
    void ExpandMouse(const ScriptStep& step, NativeWindowId target);
    void ExpandKey(const ScriptStep& step, NativeWindowId target);
    void ExpandType(const ScriptStep& step, NativeWindowId target);
    void ExpandWindow(const ScriptStep& step, NativeWindowId target);
    void Queue(EventType type, NativeWindowId window);
    void QueueMouse(EventType type, NativeWindowId window, int x, int y, MouseButton b = MouseButton::Left,
                    bool down = false);
    void QueueKey(NativeWindowId window, UINT vk, bool down);
    MonitorDesc Describe(size_t index) const;

    std::vector<Monitor> m_monitors;
    bool m_noWait;
    bool m_keepFrames;
    std::map<NativeWindowId, WindowRecord> m_windows;
    NativeWindowId m_nextId = 1;
    NativeWindowId m_focused = 0;
    NativeWindowId m_lastCreated = 0;
    std::deque<Event> m_queue;
    size_t m_inputAllowance = kInputBurst;                  // events that may go out before the next burst
    std::chrono::steady_clock::time_point m_lastAllowance;  // when the last burst was allowed
    Script m_script;
    size_t m_next = 0;
    ScriptStep m_current;              // step m_currentIndex of the script
    size_t m_currentIndex = SIZE_MAX;  // SIZE_MAX: none made yet
    std::chrono::steady_clock::time_point m_scriptStart;
    std::chrono::steady_clock::time_point m_lastPresent;
    RefreshPacer m_pacer;
    uint64_t m_frames = 0;
    uint64_t m_framesAtLastEvent = 0;  // frames presented when the last event was taken
    POINT m_cursor{100, 100};
    POINT m_lastClient{0, 0};  // where the script's mouse is, in client coordinates
    bool m_cursorShown = true;
    bool m_captured = false;
    RECT m_clip{};
    bool m_clipped = false;
    std::string m_clipboard;
    std::vector<MessageBoxRequest> m_messageBoxes;
};

// The backend from the environment settings above.
std::unique_ptr<Backend> CreateHeadlessBackend();

// Writes 32-bit X8R8G8B8 pixels (top row first) as an RGB PNG file.
bool WritePng(const std::string& path, const uint32_t* pixels, int width, int height, int pitchPixels,
              std::string& error);

}  // namespace plat
