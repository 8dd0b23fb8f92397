// SDL backend: start-up and native windows (presenting: sdl_present.cpp).
#include "platform/sdl/sdl_backend.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sdl/sdl_backend_impl.h"
#include "platform/base/utf8.h"
#include "platform/sdl/sdl_x11_errors.h"

namespace plat {

namespace {

// How long a window manager may take to confirm a maximise (openbox: a few milliseconds).
constexpr Uint32 kMaximizeConfirmMs = 1000;

}  // namespace

std::unique_ptr<Backend> CreateSdlBackend() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((!x11 || !*x11) && (!wayland || !*wayland)) return nullptr;
    // Our own windows end the program, not SDL's idea of "the last window closed".
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "tumbral: SDL video could not start (%s)\n", SDL_GetError());
        return nullptr;
    }
    // SDL quietly falls back to drivers that show nothing; those are no display.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || !std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy")) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    // SDL's own handler passes X errors on to Xlib's default, which exits.
    if (!std::strcmp(driver, "x11")) KeepGoingOnXErrors();
    return std::make_unique<SdlBackend>();
}

SdlBackend::SdlBackend() { SDL_StartTextInput(); }

SdlBackend::~SdlBackend() {
    for (auto& [id, w] : windows_) {
        if (w.texture) SDL_DestroyTexture(w.texture);
        if (w.renderer) SDL_DestroyRenderer(w.renderer);
        SDL_DestroyWindow(w.window);
    }
    for (SDL_GameController* pad : pads_)
        if (pad) SDL_GameControllerClose(pad);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | (padsOpened_ ? SDL_INIT_GAMECONTROLLER : 0));
}

SdlBackend::Window* SdlBackend::Find(NativeWindowId id) {
    auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

NativeWindowId SdlBackend::CreateNativeWindow(const NativeWindowDesc& desc) {
    int w = std::max<LONG>(1, desc.clientRect.right - desc.clientRect.left);
    int h = std::max<LONG>(1, desc.clientRect.bottom - desc.clientRect.top);
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
    if (desc.resizable) flags |= SDL_WINDOW_RESIZABLE;
    if (!desc.decorated) flags |= SDL_WINDOW_BORDERLESS;
    if (desc.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    SDL_Window* sw = SDL_CreateWindow(WideToUtf8(desc.title).c_str(), desc.clientRect.left,
                                      desc.clientRect.top, w, h, flags);
    if (!sw) {
        std::fprintf(stderr, "tumbral: SDL_CreateWindow failed (%s)\n", SDL_GetError());
        return 0;
    }
    Window rec;
    rec.window = sw;
    SetUpPresentation(rec, ChoosePresentPath(sw));
    rec.lastSet = {desc.clientRect.left, desc.clientRect.top, w, h};
    rec.decorated = desc.decorated;
    rec.resizable = desc.resizable;
    NativeWindowId id = SDL_GetWindowID(sw);
    windows_[id] = rec;
    SetNativeWindowShow(id, desc.show);
    return id;
}

void SdlBackend::DestroyNativeWindow(NativeWindowId id) {
    Window* w = Find(id);
    if (!w) return;
    if (w->texture) SDL_DestroyTexture(w->texture);
    if (w->renderer) SDL_DestroyRenderer(w->renderer);
    SDL_DestroyWindow(w->window);
    windows_.erase(id);
}

void SdlBackend::SetNativeWindowTitle(NativeWindowId id, const std::wstring& title) {
    if (Window* w = Find(id)) SDL_SetWindowTitle(w->window, WideToUtf8(title).c_str());
}

void SdlBackend::SetNativeWindowRect(NativeWindowId id, const RECT& r) {
    Window* w = Find(id);
    // A full-screen window's geometry is the display mode's; asking SDL to change it makes
    // SDL wait for a configure event that never comes.
    if (!w || w->fullscreen) return;
    int cw = std::max<LONG>(1, r.right - r.left), ch = std::max<LONG>(1, r.bottom - r.top);
    w->lastSet = {r.left, r.top, cw, ch};
    // A maximised window's is the window manager's: it refuses another, which SDL, asked,
    // would take for the window's all the same. The manager's reports of the geometry it
    // gives differ from the rectangle asked for here, so they still come through.
    if (SDL_GetWindowFlags(w->window) & SDL_WINDOW_MAXIMIZED) return;
    // So is a window it has just restored: it puts the window back where it was before,
    // and reports that. (Asked for a place now, SDL would work the frame's position out
    // from the maximised window's frame, which it may still hold for a moment.)
    if (w->restoredByManager) return;
    // SDL places the client area where it knows the window manager's frame;
    // where it does not (just after leaving full screen), the manager puts
    // the frame at the position asked for. The frame seen last is taken off
    // then, so that the client area lands where it was asked to.
    int x = r.left, y = r.top;
    if (!NoteFrame(*w) && w->decorated) {
        x -= w->frameLeft;
        y -= w->frameTop;
    }
    SDL_SetWindowPosition(w->window, x, y);
    SDL_SetWindowSize(w->window, cw, ch);
}

void SdlBackend::SetNativeWindowShow(NativeWindowId id, ShowState show) {
    Window* w = Find(id);
    if (!w) return;
    // A window hidden only while it changes (the switch to full screen hides
    // it, changes its style and shows it again) stays mapped: unmapping hands
    // the keyboard focus to the window manager, and keys typed meanwhile would
    // go elsewhere. Hiding waits until the program next asks for input.
    if (show == ShowState::Hidden) {
        w->hidePending = w->shown != ShowState::Hidden;
        return;
    }
    bool bNeverHidden = w->hidePending;
    w->hidePending = false;
    w->maximizePending = false;
    if (bNeverHidden && w->shown == show) return;
    w->shown = show;
    switch (show) {
        case ShowState::Hidden:  // waits for ApplyPendingHides
            break;
        case ShowState::Normal:
            SDL_ShowWindow(w->window);
            SDL_RestoreWindow(w->window);
            break;
        case ShowState::Minimized:
            SDL_ShowWindow(w->window);
            SDL_MinimizeWindow(w->window);
            break;
        case ShowState::Maximized:
            SDL_ShowWindow(w->window);
            SDL_MaximizeWindow(w->window);
            w->maximizePending = true;
            w->maximizeDeadline = SDL_GetTicks() + kMaximizeConfirmMs;
            break;
    }
}

bool SdlBackend::NoteFrame(Window& w) {
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(w.window, &top, &left, &bottom, &right) != 0) return false;
    if (top == 0 && left == 0 && bottom == 0 && right == 0) return false;
    // The frame to take off after full screen is a restored window's: not a maximised
    // window's, which SDL may still report for a moment after the window is restored.
    const RECT* maximized = maximizedFrame_ ? &*maximizedFrame_ : nullptr;
    bool bMaximizedFrame = (SDL_GetWindowFlags(w.window) & SDL_WINDOW_MAXIMIZED) ||
                           (maximized && maximized->left == left && maximized->top == top &&
                            maximized->right == right && maximized->bottom == bottom);
    if (!bMaximizedFrame) {
        w.frameLeft = left;
        w.frameTop = top;
    }
    return true;
}

void SdlBackend::NoteMaximizedFrame(const Window& w) {
    if (w.fullscreen || !(SDL_GetWindowFlags(w.window) & SDL_WINDOW_MAXIMIZED)) return;
    int top = 0, left = 0, bottom = 0, right = 0;
    if (SDL_GetWindowBordersSize(w.window, &top, &left, &bottom, &right) != 0) return;
    int width = 0, height = 0;
    SDL_GetWindowSize(w.window, &width, &height);
    SDL_Rect work{};
    if (SDL_GetDisplayUsableBounds(SDL_GetWindowDisplayIndex(w.window), &work) != 0) return;
    // Reports of the state, the size and the frame arrive one by one: only a view in
    // which they agree is the manager's maximised frame. (SDL's idea of the position
    // can be off by the frame's border while the frame changes.)
    if (left + width + right != work.w || top + height + bottom != work.h) return;
    maximizedFrame_ = RECT{left, top, right, bottom};
}

bool SdlBackend::ManagerMaximizedFrame(RECT& frame) const {
    frame = maximizedFrame_.value_or(RECT{});
    return maximizedFrame_.has_value();
}

void SdlBackend::ApplyPendingHides() {
    for (auto& [id, w] : windows_) {
        if (!w.hidePending) continue;
        w.hidePending = false;
        w.shown = ShowState::Hidden;
        SDL_HideWindow(w.window);
    }
}

bool SdlBackend::ExpireMaximizeRequests(Event& out) {
    for (auto& [id, w] : windows_) {
        if (!w.maximizePending || !SDL_TICKS_PASSED(SDL_GetTicks(), w.maximizeDeadline)) continue;
        w.maximizePending = false;
        // SDL's flag follows the manager's reports: a stale "restored" cleared it.
        if (w.shown != ShowState::Maximized || (SDL_GetWindowFlags(w.window) & SDL_WINDOW_MAXIMIZED))
            continue;
        w.shown = ShowState::Normal;
        out = Event{};
        out.type = EventType::WindowRestored;
        out.window = id;
        return true;
    }
    return false;
}

void SdlBackend::SetNativeWindowStyle(NativeWindowId id, bool resizable, bool decorated, bool topmost) {
    Window* w = Find(id);
    if (!w) return;
    w->decorated = decorated;
    w->resizable = resizable;
    SDL_SetWindowResizable(w->window, resizable ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowBordered(w->window, decorated ? SDL_TRUE : SDL_FALSE);
    SDL_SetWindowAlwaysOnTop(w->window, topmost ? SDL_TRUE : SDL_FALSE);
}

void SdlBackend::SetNativeWindowFullscreen(NativeWindowId id, int monitor) {
    Window* w = Find(id);
    if (!w) return;
    ForgetMonitors();  // the display's current mode may change
    w->fullscreen = monitor >= 0;
    if (monitor < 0) {
        SDL_SetWindowFullscreen(w->window, 0);
        // SDL ignores frame and sizing changes asked for while the window is full screen
        // (the windowed style comes back before the device leaves full screen). A window
        // manager does not maximise a window without a sizing frame.
        SDL_SetWindowResizable(w->window, w->resizable ? SDL_TRUE : SDL_FALSE);
        SDL_SetWindowBordered(w->window, w->decorated ? SDL_TRUE : SDL_FALSE);
        return;
    }
    auto it = requestedModes_.find(monitor);
    if (it != requestedModes_.end()) {
        SDL_DisplayMode want{};
        want.w = it->second.width;
        want.h = it->second.height;
        want.refresh_rate = it->second.refreshHz;
        SDL_DisplayMode closest{};
        if (SDL_GetClosestDisplayMode(monitor, &want, &closest))
            SDL_SetWindowDisplayMode(w->window, &closest);
    }
    SDL_Rect b{};
    if (SDL_GetDisplayBounds(monitor, &b) == 0) SDL_SetWindowPosition(w->window, b.x, b.y);
    SDL_SetWindowFullscreen(w->window, SDL_WINDOW_FULLSCREEN);
}

void SdlBackend::FocusNativeWindow(NativeWindowId id) {
    if (Window* w = Find(id)) SDL_RaiseWindow(w->window);
}

RECT SdlBackend::DecorationInsets() const {
    // The frame our window system assumes around a decorated client area; the
    // real frame belongs to the window manager and is not part of our coordinates.
    return RECT{8, 31, 8, 8};
}

}  // namespace plat
