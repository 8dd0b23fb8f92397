// The SDL backend's class, shared by its source files (windows, events,
// displays, services). Only platform/sdl includes this header.
#pragma once

#include <SDL2/SDL.h>

#include <deque>
#include <map>
#include <optional>
#include <vector>

#include "platform/backend/backend.h"
#include "platform/sdl/sdl_wheel.h"
#include "platform/base/refresh_pacer.h"

namespace plat {

class SdlBackend final : public Backend {
  public:
    SdlBackend();
    ~SdlBackend() override;
    const char* Name() const override { return "sdl"; }

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
    RECT DecorationInsets() const override;
    bool ManagerMaximizedFrame(RECT& frame) const override;

    void Present(NativeWindowId id, const FrameView& frame, bool vsync) override;

    bool PollEvent(Event& out) override;
    void WaitEvent(int timeoutMs) override;

    POINT CursorPos() override;
    void SetCursorPos(int x, int y) override;
    void ShowCursor(bool show) override;
    void ClipCursor(const RECT* screenRect) override;
    void CaptureMouse(bool capture) override;

    bool SetClipboardText(const std::string& utf8) override;
    bool GetClipboardText(std::string& utf8) override;
    int ShowMessageBox(const MessageBoxRequest& request) override;
    UINT DoubleClickTimeMs() const override { return 500; }
    UINT CaretBlinkTimeMs() const override { return 530; }
    bool Gamepad(int index, GamepadState& out) override;
    void SetGamepadVibration(int index, WORD left, WORD right) override;

  private:
    // How frames reach the window (sdl_present.cpp).
    enum class PresentPath { Surface, Renderer };
    struct Window {
        SDL_Window* window = nullptr;
        PresentPath path = PresentPath::Surface;
        bool presentAll = true;            // the window may not show the last frame: send all of the next
        const void* lastSource = nullptr;  // who presented the frame the window shows
        // Window-surface path: the surface last used and the size of the frame last sent.
        SDL_Surface* surface = nullptr;
        int surfaceWidth = 0, surfaceHeight = 0;
        int lastFrameWidth = 0, lastFrameHeight = 0;
        std::vector<SDL_Rect> rects;  // rows sent by the present in progress
        RefreshPacer pacer;
        // Renderer path.
        SDL_Renderer* renderer = nullptr;
        SDL_Texture* texture = nullptr;
        int textureWidth = 0, textureHeight = 0;
        int vsync = -1;  // as last given to the renderer
        bool fullscreen = false;
        SDL_Rect lastSet{};                   // the client rectangle we last asked for (echo suppression)
        bool decorated = true;                // has a window manager's frame (caption, border)
        bool resizable = true;                // has a sizing frame
        int frameLeft = 0, frameTop = 0;      // that frame's left and top, as last known
        ShowState shown = ShowState::Hidden;  // as last given to SDL or reported by it
        bool hidePending = false;             // to be hidden at the next poll for input
        // A maximise asked of the window manager and not yet confirmed: until it is, or
        // until the deadline (SDL ticks) passes, a "restored" report describes the window
        // as it was before the request (leaving full screen, the manager shows it
        // un-maximised for a moment) and is not the user's.
        bool maximizePending = false;
        Uint32 maximizeDeadline = 0;
        // The window manager has just restored the window from maximised (until the next poll).
        bool restoredByManager = false;
    };

    PresentPath ChoosePresentPath(SDL_Window* window);
    void SetUpPresentation(Window& w, PresentPath path);
    bool PresentToSurface(Window& w, const FrameView& frame);  // false: no window surface
    void PresentToRenderer(Window& w, const FrameView& frame, bool vsync);
    int RefreshRate(const Window& w) const;

    Window* Find(NativeWindowId id);
    bool Translate(const SDL_Event& e, Event& out);
    bool TranslateWindowEvent(const SDL_WindowEvent& we, Event& out);
    // Hides the windows whose hiding waited for the next poll for input.
    void ApplyPendingHides();
    // A maximise the window manager never confirmed: the window is reported restored.
    bool ExpireMaximizeRequests(Event& out);
    // Remembers the frame SDL knows of; false when it knows of none.
    bool NoteFrame(Window& w);
    // Remembers the frame around a window the manager maximised, once SDL's view of
    // the window and its frame fills the work area exactly.
    void NoteMaximizedFrame(const Window& w);
    void OpenGamepads();
    // What Monitors() last read goes stale when SDL takes in events or a window changes mode.
    void ForgetMonitors() { monitors_.reset(); }

    std::map<NativeWindowId, Window> windows_;
    std::deque<Event> pending_;  // extra events from one SDL event (typed text)
    WheelNotches wheel_;         // precise scrolling not yet a whole notch
    std::map<int, DisplayMode> requestedModes_;
    SDL_GameController* pads_[4] = {};
    uint32_t padPackets_[4] = {};
    bool padsOpened_ = false;
    bool framePresented_ = false;  // gamepads are opened only once a first frame is on screen
    // The monitors as last read: each read asks the X server for work areas, and the
    // framework asks many times while it starts.
    std::optional<std::vector<MonitorDesc>> monitors_;
    std::optional<RECT> maximizedFrame_;  // see ManagerMaximizedFrame
};

}  // namespace plat
