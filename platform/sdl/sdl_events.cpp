// SDL events → backend events. Interactive moves and resizes are not visible
// through SDL, so SizeMoveBegin/End are never produced: each size change
// arrives on its own as WindowResized.

#include "platform/sdl/sdl_backend_impl.h"
#include "platform/sdl/sdl_keymap.h"
#include "platform/base/utf8.h"

namespace plat {

bool SdlBackend::PollEvent(Event& out) {
    ForgetMonitors();
    ApplyPendingHides();
    for (auto& [id, w] : windows_) w.restoredByManager = false;  // the last event was handled
    if (!pending_.empty()) {
        out = pending_.front();
        pending_.pop_front();
        return true;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (Translate(e, out)) return true;
        if (!pending_.empty()) return PollEvent(out);
    }
    return ExpireMaximizeRequests(out);
}

void SdlBackend::WaitEvent(int timeoutMs) {
    ForgetMonitors();
    ApplyPendingHides();
    if (pending_.empty()) SDL_WaitEventTimeout(nullptr, timeoutMs);
}

bool SdlBackend::Translate(const SDL_Event& e, Event& out) {
    out = Event{};
    switch (e.type) {
        case SDL_QUIT:
            out.type = EventType::Quit;
            return true;
        case SDL_WINDOWEVENT:
            return TranslateWindowEvent(e.window, out);
        case SDL_MOUSEMOTION:
            out.type = EventType::MouseMove;
            out.window = e.motion.windowID;
            out.x = e.motion.x;
            out.y = e.motion.y;
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            static const MouseButton kButtons[] = {MouseButton::Left, MouseButton::Middle, MouseButton::Right,
                                                   MouseButton::X1, MouseButton::X2};
            if (e.button.button < 1 || e.button.button > 5) return false;
            out.type = EventType::MouseButton;
            out.window = e.button.windowID;
            out.button = kButtons[e.button.button - 1];
            out.down = e.type == SDL_MOUSEBUTTONDOWN;
            out.clicks = e.button.clicks;
            out.x = e.button.x;
            out.y = e.button.y;
            return true;
        }
        case SDL_MOUSEWHEEL: {
            float notches = e.wheel.preciseY;
            if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
            int delta = wheel_.Add(notches);
            if (delta == 0) return false;
            out.type = EventType::MouseWheel;
            out.window = e.wheel.windowID;
            out.wheelDelta = delta;
            out.x = e.wheel.mouseX;
            out.y = e.wheel.mouseY;
            return true;
        }
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            KeyCode k = KeyFromScancode(e.key.keysym.scancode);
            if (!k.vk) return false;
            out.type = EventType::Key;
            out.window = e.key.windowID;
            out.vk = k.vk;
            out.scanCode = k.scanCode;
            out.extended = k.extended;
            out.down = e.type == SDL_KEYDOWN;
            out.repeat = e.key.repeat != 0;
            return true;
        }
        case SDL_TEXTEDITING:
            out.type = EventType::Composition;
            out.window = e.edit.windowID;
            out.text = Utf8ToWide(e.edit.text);
            return true;
        case SDL_TEXTINPUT: {
            // A committed text ends any composition before its characters arrive.
            Event end;
            end.type = EventType::Composition;
            end.window = e.text.windowID;
            pending_.push_back(end);
            for (wchar_t c : Utf8ToWide(e.text.text)) {
                Event t;
                t.type = EventType::Text;
                t.window = e.text.windowID;
                t.codepoint = char32_t(c);
                pending_.push_back(t);
            }
            return false;
        }
        default:
            return false;
    }
}

bool SdlBackend::TranslateWindowEvent(const SDL_WindowEvent& we, Event& out) {
    out.window = we.windowID;
    Window* w = Find(we.windowID);
    // The window's pixels are gone or resized: the next present sends the whole frame.
    if (w && (we.event == SDL_WINDOWEVENT_EXPOSED || we.event == SDL_WINDOWEVENT_SIZE_CHANGED))
        w->presentAll = true;
    switch (we.event) {
        case SDL_WINDOWEVENT_MOVED:
            if (w) {
                NoteFrame(*w);
                NoteMaximizedFrame(*w);
            }
            // Our own SetNativeWindowRect comes back as an event; the window system already knows.
            if (w && w->lastSet.x == we.data1 && w->lastSet.y == we.data2) return false;
            if (w) w->lastSet.x = we.data1, w->lastSet.y = we.data2;
            out.type = EventType::WindowMoved;
            out.x = we.data1;
            out.y = we.data2;
            return true;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (w) NoteMaximizedFrame(*w);
            if (w && w->lastSet.w == we.data1 && w->lastSet.h == we.data2) return false;
            if (w) w->lastSet.w = we.data1, w->lastSet.h = we.data2;
            out.type = EventType::WindowResized;
            out.width = we.data1;
            out.height = we.data2;
            return true;
        case SDL_WINDOWEVENT_MINIMIZED:
            if (w) w->shown = ShowState::Minimized, w->maximizePending = false;
            out.type = EventType::WindowMinimized;
            return true;
        case SDL_WINDOWEVENT_MAXIMIZED:
            if (w) w->shown = ShowState::Maximized, w->maximizePending = false;
            out.type = EventType::WindowMaximized;
            return true;
        case SDL_WINDOWEVENT_RESTORED:
            if (w && w->maximizePending && w->shown == ShowState::Maximized) return false;
            if (w && w->shown == ShowState::Maximized) w->restoredByManager = true;
            if (w && w->shown != ShowState::Hidden) w->shown = ShowState::Normal;
            out.type = EventType::WindowRestored;
            return true;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            out.type = EventType::WindowActivated;
            return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            out.type = EventType::WindowDeactivated;
            return true;
        case SDL_WINDOWEVENT_CLOSE:
            out.type = EventType::WindowClose;
            return true;
        case SDL_WINDOWEVENT_EXPOSED:
            out.type = EventType::WindowExposed;
            return true;
        default:
            return false;
    }
}

}  // namespace plat
