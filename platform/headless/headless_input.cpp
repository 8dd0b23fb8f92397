// Headless input: the event queue, and script steps turned into events when
// their frame or time has come.
#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/headless/headless_backend.h"
#include "platform/base/keymap.h"
#include "platform/base/printable_text.h"
#include "platform/manual_clock.h"
#include "platform/win32user.h"

namespace plat {

void HeadlessBackend::RunScript(Script script) {
    m_script = std::move(script);
    m_next = 0;
    m_currentIndex = SIZE_MAX;
    if (m_script.anyShot) m_keepFrames = true;
    AllowInputBurst();
    m_scriptStart = ClockNow();
}

void HeadlessBackend::PushEvent(const Event& e) {
    Event copy = e;
    if (!copy.window) copy.window = Target();
    m_queue.push_back(copy);
}

NativeWindowId HeadlessBackend::Target() const {
    if (m_focused && m_windows.count(m_focused)) return m_focused;
    for (auto it = m_windows.rbegin(); it != m_windows.rend(); ++it)
        if (it->second.desc.show != ShowState::Hidden) return it->first;
    return m_lastCreated && m_windows.count(m_lastCreated) ? m_lastCreated : 0;
}

const ScriptStep& HeadlessBackend::CurrentStep() {
    if (m_currentIndex != m_next) {
        m_current = m_script.Step(m_next);
        m_currentIndex = m_next;
    }
    return m_current;
}

bool HeadlessBackend::StepDue(const ScriptStep& step) const {
    if (step.trigger == ScriptStep::Trigger::Frame) return m_frames >= step.at;
    auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(ClockNow() - m_scriptStart);
    return static_cast<uint64_t>(elapsed.count()) >= step.at;
}

void HeadlessBackend::Queue(EventType type, NativeWindowId window) {
    Event e;
    e.type = type;
    e.window = window;
    m_queue.push_back(e);
}

void HeadlessBackend::QueueMouse(EventType type, NativeWindowId window, int x, int y, MouseButton b,
                                 bool down) {
    Event e;
    e.type = type;
    e.window = window;
    e.x = x;
    e.y = y;
    e.button = b;
    e.down = down;
    m_queue.push_back(e);
    m_lastClient = POINT{x, y};
}

void HeadlessBackend::QueueKey(NativeWindowId window, UINT vk, bool down) {
    Event e;
    e.type = EventType::Key;
    e.window = window;
    e.vk = vk;
    e.down = down;
    e.scanCode = ScanCodeOfKey(vk, &e.extended);
    m_queue.push_back(e);
}

// Mouse steps: moves, presses, clicks, drags and the wheel.
void HeadlessBackend::ExpandMouse(const ScriptStep& s, NativeWindowId t) {
    using Kind = ScriptStep::Kind;
    int x = s.hasPoint ? s.x : m_lastClient.x, y = s.hasPoint ? s.y : m_lastClient.y;
    switch (s.kind) {
        case Kind::MouseMove:
            QueueMouse(EventType::MouseMove, t, x, y);
            break;
        case Kind::MouseDown:
        case Kind::MouseUp:
            if (s.hasPoint) QueueMouse(EventType::MouseMove, t, x, y);
            QueueMouse(EventType::MouseButton, t, x, y, s.button, s.kind == Kind::MouseDown);
            break;
        case Kind::Click:
        case Kind::DoubleClick:
            QueueMouse(EventType::MouseMove, t, x, y);
            for (int i = 0; i < (s.kind == Kind::Click ? 1 : 2); ++i) {
                QueueMouse(EventType::MouseButton, t, x, y, s.button, true);
                QueueMouse(EventType::MouseButton, t, x, y, s.button, false);
            }
            break;
        case Kind::Drag:
            QueueMouse(EventType::MouseMove, t, s.x, s.y);
            QueueMouse(EventType::MouseButton, t, s.x, s.y, s.button, true);
            for (int i = 1; i <= s.steps; ++i)
                QueueMouse(EventType::MouseMove, t, s.x + (s.x2 - s.x) * i / s.steps,
                           s.y + (s.y2 - s.y) * i / s.steps);
            QueueMouse(EventType::MouseButton, t, s.x2, s.y2, s.button, false);
            break;
        case Kind::Wheel: {
            Event e;
            e.type = EventType::MouseWheel;
            e.window = t;
            e.x = x;
            e.y = y;
            e.wheelDelta = s.notches * WHEEL_DELTA;
            m_queue.push_back(e);
            m_lastClient = POINT{x, y};
            break;
        }
        default:
            break;
    }
}

// Key steps: a key down, up or pressed, with its modifiers around it.
void HeadlessBackend::ExpandKey(const ScriptStep& s, NativeWindowId t) {
    bool down = s.kind != ScriptStep::Kind::KeyUp, up = s.kind != ScriptStep::Kind::KeyDown;
    if (down) {
        for (UINT m : s.modifiers) QueueKey(t, m, true);
        QueueKey(t, s.vk, true);
    }
    if (up) {
        QueueKey(t, s.vk, false);
        for (auto it = s.modifiers.rbegin(); it != s.modifiers.rend(); ++it) QueueKey(t, *it, false);
    }
}

// Typing: each character with the key that makes it (and Shift), if any.
void HeadlessBackend::ExpandType(const ScriptStep& s, NativeWindowId t) {
    for (char32_t ch : s.text) {
        UINT vk = 0;
        bool shift = false;
        bool keyed = KeyOfCharacter(ch, &vk, &shift);
        if (keyed && shift) QueueKey(t, VK_LSHIFT, true);
        if (keyed) QueueKey(t, vk, true);
        Event e;
        e.type = EventType::Text;
        e.window = t;
        e.codepoint = ch;
        m_queue.push_back(e);
        if (keyed) QueueKey(t, vk, false);
        if (keyed && shift) QueueKey(t, VK_LSHIFT, false);
    }
}

// What the user does to the window, and device loss and quitting.
void HeadlessBackend::ExpandWindow(const ScriptStep& s, NativeWindowId t) {
    using Kind = ScriptStep::Kind;
    WindowRecord* rec = m_windows.count(t) ? &m_windows[t] : nullptr;
    switch (s.kind) {
        case Kind::Minimize:
            if (rec) rec->desc.show = ShowState::Minimized;
            Queue(EventType::WindowMinimized, t);
            break;
        case Kind::Maximize:
            if (rec) rec->desc.show = ShowState::Maximized;
            Queue(EventType::WindowMaximized, t);
            break;
        case Kind::Restore:
            if (rec) rec->desc.show = ShowState::Normal;
            Queue(EventType::WindowRestored, t);
            break;
        case Kind::Activate:
            m_focused = t;
            Queue(EventType::WindowActivated, t);
            break;
        case Kind::Deactivate:
            if (m_focused == t) m_focused = 0;
            Queue(EventType::WindowDeactivated, t);
            break;
        case Kind::MoveWindow: {
            Queue(EventType::SizeMoveBegin, t);
            Event e;
            e.type = EventType::WindowMoved;
            e.window = t;
            e.x = s.x;
            e.y = s.y;
            m_queue.push_back(e);
            if (rec) {
                RECT& r = rec->desc.clientRect;
                r = RECT{s.x, s.y, s.x + (r.right - r.left), s.y + (r.bottom - r.top)};
            }
            Queue(EventType::SizeMoveEnd, t);
            break;
        }
        case Kind::Resize: {
            // A full-screen window has no frame to drag: the size is the display mode's.
            if (rec && rec->fullscreenMonitor >= 0) {
                std::fprintf(stderr, "tumbral: %s:%d: resize ignored: the window is full screen\n",
                             PrintableText(m_script.file).c_str(), s.line);
                break;
            }
            Queue(EventType::SizeMoveBegin, t);
            Event e;
            e.type = EventType::WindowResized;
            e.window = t;
            e.width = s.x;
            e.height = s.y;
            m_queue.push_back(e);
            if (rec) {
                RECT& r = rec->desc.clientRect;
                r.right = r.left + s.x;
                r.bottom = r.top + s.y;
            }
            Queue(EventType::SizeMoveEnd, t);
            break;
        }
        case Kind::Close:
            Queue(EventType::WindowClose, t);
            break;
        case Kind::DeviceLoss:
            Queue(EventType::DeviceLoss, t);
            break;
        case Kind::Quit:
            Queue(EventType::Quit, t);
            break;
        default:
            break;
    }
}

void HeadlessBackend::Expand(const ScriptStep& s, NativeWindowId t) {
    using Kind = ScriptStep::Kind;
    switch (s.kind) {
        case Kind::MouseMove:
        case Kind::MouseDown:
        case Kind::MouseUp:
        case Kind::Click:
        case Kind::DoubleClick:
        case Kind::Drag:
        case Kind::Wheel:
            ExpandMouse(s, t);
            break;
        case Kind::KeyDown:
        case Kind::KeyUp:
        case Kind::KeyPress:
            ExpandKey(s, t);
            break;
        case Kind::Type:
            ExpandType(s, t);
            break;
        case Kind::Minimize:
        case Kind::Maximize:
        case Kind::Restore:
        case Kind::Activate:
        case Kind::Deactivate:
        case Kind::MoveWindow:
        case Kind::Resize:
        case Kind::Close:
        case Kind::DeviceLoss:
        case Kind::Quit:
            ExpandWindow(s, t);
            break;
        case Kind::Shot: {
            std::string error;
            if (!WriteFrame(t, s.path, error))
                std::fprintf(stderr, "tumbral: %s:%d: %s\n", PrintableText(m_script.file).c_str(), s.line,
                             PrintableText(error).c_str());
            break;
        }
    }
}

// Input goes out as the program reads it: a burst at a time, the next once
// the program has presented a frame or waited for input (which it does only
// with its message queue read), or, when it does neither (paused or
// minimised), once kInputBurstPause has passed. So a script's worth of input
// due at once never lies in the message queue together.
bool HeadlessBackend::PollEvent(Event& out) {
    if (m_inputAllowance == 0 && ClockNow() - m_lastAllowance >= kInputBurstPause) AllowInputBurst();
    if (m_inputAllowance == 0 || !NextEvent(out)) return false;
    --m_inputAllowance;
    return true;
}

void HeadlessBackend::AllowInputBurst() {
    m_inputAllowance = kInputBurst;
    m_lastAllowance = ClockNow();
}

bool HeadlessBackend::NextEvent(Event& out) {
    // Steps run in order, each once its frame or time has come.
    while (m_queue.empty() && m_next < m_script.StepCount()) {
        const ScriptStep& step = CurrentStep();
        if (!StepDue(step)) break;
        bool needsWindow = step.kind != ScriptStep::Kind::Quit && step.kind != ScriptStep::Kind::DeviceLoss;
        NativeWindowId target = Target();
        if (needsWindow && !target) break;  // waits for a window
        // A shot waits until a frame was presented after the input before it.
        if (step.kind == ScriptStep::Kind::Shot && m_frames <= m_framesAtLastEvent) break;
        ++m_next;
        Expand(step, target);
    }
    if (m_queue.empty()) return false;
    out = m_queue.front();
    m_queue.pop_front();
    m_framesAtLastEvent = m_frames;
    // The pointer follows mouse events.
    if (out.type == EventType::MouseMove || out.type == EventType::MouseButton ||
        out.type == EventType::MouseWheel) {
        if (auto it = m_windows.find(out.window); it != m_windows.end())
            m_cursor = POINT{it->second.desc.clientRect.left + out.x, it->second.desc.clientRect.top + out.y};
    }
    return true;
}

void HeadlessBackend::WaitEvent(int timeoutMs) {
    AllowInputBurst();
    if (!m_queue.empty()) return;
    auto deadline = ClockNow() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    if (m_next < m_script.StepCount()) {
        const ScriptStep& step = CurrentStep();
        if (StepDue(step) && Target() &&
            (step.kind != ScriptStep::Kind::Shot || m_frames > m_framesAtLastEvent))
            return;
        if (step.trigger == ScriptStep::Trigger::Ms) {
            auto due = m_scriptStart + std::chrono::milliseconds(step.at);
            if (due < deadline) deadline = due;
        }
    }
    ClockSleepUntil(deadline);
}

}  // namespace plat
