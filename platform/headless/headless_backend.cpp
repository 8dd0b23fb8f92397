// Headless backend: virtual monitors and modes, native windows as records,
// presenting (counting, keeping the last frame, pacing), services.
#include "platform/headless/headless_backend.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/base/printable_text.h"
#include "platform/base/utf8.h"
#include "platform/manual_clock.h"
#include "platform/win32user.h"

namespace plat {

namespace {

constexpr int kTaskBarHeight = 40;

const DisplayMode kUsualSizes[] = {
    {640, 480, 0, 0},   {800, 600, 0, 0},   {1024, 768, 0, 0},  {1152, 864, 0, 0},  {1280, 720, 0, 0},
    {1280, 768, 0, 0},  {1280, 800, 0, 0},  {1280, 960, 0, 0},  {1280, 1024, 0, 0}, {1360, 768, 0, 0},
    {1366, 768, 0, 0},  {1440, 900, 0, 0},  {1600, 900, 0, 0},  {1600, 1200, 0, 0}, {1680, 1050, 0, 0},
    {1920, 1080, 0, 0}, {1920, 1200, 0, 0}, {2560, 1440, 0, 0}, {2560, 1600, 0, 0}, {3840, 2160, 0, 0},
};

std::vector<DisplayMode> ModesFor(const DisplayMode& desktop) {
    std::vector<DisplayMode> modes;
    std::vector<std::pair<int, int>> sizes;
    for (const DisplayMode& m : kUsualSizes)
        if (m.width <= desktop.width && m.height <= desktop.height) sizes.emplace_back(m.width, m.height);
    sizes.emplace_back(desktop.width, desktop.height);
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    std::vector<int> rates{desktop.refreshHz};
    if (desktop.refreshHz != 60) rates.push_back(60);
    for (int bpp : {32, 16})
        for (auto [w, h] : sizes)
            for (int hz : rates) modes.push_back(DisplayMode{w, h, hz, bpp});
    return modes;
}

}  // namespace

bool ParseMonitorList(const std::string& text, std::vector<DisplayMode>& out) {
    out.clear();
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        int w = 0, h = 0, hz = 60;
        char x = 0, at = 0;
        std::istringstream one(item);
        one >> w >> x >> h;
        if (!one || (x != 'x' && x != 'X') || w < 320 || h < 200 || w > 16384 || h > 16384) return false;
        if (one >> at) {
            if (at != '@' || !(one >> hz) || hz < 1 || hz > 1000) return false;
        }
        std::string rest;
        if (one >> rest) return false;
        out.push_back(DisplayMode{w, h, hz, 32});
    }
    return !out.empty();
}

HeadlessBackend::HeadlessBackend(HeadlessConfig config)
    : m_noWait(config.noWait), m_keepFrames(config.keepFrames) {
    int left = 0;
    for (const DisplayMode& d : config.monitors) {
        Monitor m;
        m.desktop = d;
        m.desktop.bitsPerPixel = 32;
        m.current = m.desktop;
        m.modes = ModesFor(m.desktop);
        m.origin = POINT{left, 0};
        left += d.width;
        m_monitors.push_back(m);
    }
    m_lastPresent = ClockNow();
    RunScript(std::move(config.script));
}

MonitorDesc HeadlessBackend::Describe(size_t i) const {
    const Monitor& m = m_monitors[i];
    MonitorDesc d;
    d.name = "Headless Display " + std::to_string(i + 1);
    d.bounds = RECT{m.origin.x, m.origin.y, m.origin.x + m.current.width, m.origin.y + m.current.height};
    d.workArea = d.bounds;
    d.primary = i == 0;
    if (d.primary) d.workArea.bottom -= kTaskBarHeight;
    d.desktop = m.current;
    d.registryMode = m.desktop;
    d.modes = m.modes;
    return d;
}

std::vector<MonitorDesc> HeadlessBackend::Monitors() {
    std::vector<MonitorDesc> out;
    for (size_t i = 0; i < m_monitors.size(); ++i) out.push_back(Describe(i));
    return out;
}

bool HeadlessBackend::SetDisplayMode(int monitor, const DisplayMode& mode) {
    if (monitor < 0 || monitor >= static_cast<int>(m_monitors.size())) return false;
    Monitor& m = m_monitors[static_cast<size_t>(monitor)];
    for (const DisplayMode& offered : m.modes) {
        if (offered.width == mode.width && offered.height == mode.height &&
            offered.bitsPerPixel == mode.bitsPerPixel &&
            (mode.refreshHz == 0 || offered.refreshHz == mode.refreshHz)) {
            m.current = offered;
            return true;
        }
    }
    return false;
}

void HeadlessBackend::RestoreDisplayMode(int monitor) {
    if (monitor >= 0 && monitor < static_cast<int>(m_monitors.size()))
        m_monitors[static_cast<size_t>(monitor)].current = m_monitors[static_cast<size_t>(monitor)].desktop;
}

NativeWindowId HeadlessBackend::CreateNativeWindow(const NativeWindowDesc& desc) {
    NativeWindowId id = m_nextId++;
    m_windows[id].desc = desc;
    m_lastCreated = id;
    return id;
}

void HeadlessBackend::DestroyNativeWindow(NativeWindowId id) {
    m_windows.erase(id);
    if (m_focused == id) m_focused = 0;
    if (m_lastCreated == id) m_lastCreated = m_windows.empty() ? 0 : m_windows.rbegin()->first;
}

void HeadlessBackend::SetNativeWindowTitle(NativeWindowId id, const std::wstring& title) {
    if (auto it = m_windows.find(id); it != m_windows.end()) it->second.desc.title = title;
}

void HeadlessBackend::SetNativeWindowRect(NativeWindowId id, const RECT& clientRectScreen) {
    if (auto it = m_windows.find(id); it != m_windows.end()) it->second.desc.clientRect = clientRectScreen;
}

void HeadlessBackend::SetNativeWindowShow(NativeWindowId id, ShowState show) {
    auto it = m_windows.find(id);
    if (it == m_windows.end()) return;
    it->second.desc.show = show;
    if (show == ShowState::Hidden && m_focused == id) m_focused = 0;
}

void HeadlessBackend::SetNativeWindowStyle(NativeWindowId id, bool resizable, bool decorated, bool topmost) {
    auto it = m_windows.find(id);
    if (it == m_windows.end()) return;
    it->second.desc.resizable = resizable;
    it->second.desc.decorated = decorated;
    it->second.desc.topmost = topmost;
}

void HeadlessBackend::SetNativeWindowFullscreen(NativeWindowId id, int monitor) {
    if (auto it = m_windows.find(id); it != m_windows.end()) it->second.fullscreenMonitor = monitor;
}

void HeadlessBackend::FocusNativeWindow(NativeWindowId id) {
    if (m_windows.count(id)) m_focused = id;
}

void HeadlessBackend::Present(NativeWindowId id, const FrameView& frame, bool vsync) {
    auto it = m_windows.find(id);
    if (it == m_windows.end()) return;
    WindowRecord& w = it->second;
    if (m_keepFrames && frame.pixels && frame.width > 0 && frame.height > 0 &&
        frame.pitchPixels >= frame.width) {
        auto copyRows = [&](int top, int bottom) {
            for (int y = std::max(top, 0); y < std::min(bottom, frame.height); ++y)
                std::copy_n(frame.pixels + static_cast<size_t>(y) * frame.pitchPixels, frame.width,
                            w.frame.begin() + static_cast<std::ptrdiff_t>(y) * frame.width);
        };
        // The kept frame is the previous one of the same size: only changed rows are copied.
        if (frame.changedCount >= 0 && frame.source && frame.source == w.source &&
            w.frameWidth == frame.width && w.frameHeight == frame.height) {
            for (int i = 0; i < frame.changedCount; ++i)
                copyRows(frame.changedRows[i].first, frame.changedRows[i].second);
        } else {
            w.frame.resize(static_cast<size_t>(frame.width) * frame.height);
            copyRows(0, frame.height);
            w.frameWidth = frame.width;
            w.frameHeight = frame.height;
        }
        w.source = frame.source;
    }
    w.presented++;
    m_frames++;
    AllowInputBurst();
    if (vsync && !m_noWait && !m_monitors.empty()) {
        int hz = std::max(1, m_monitors[0].current.refreshHz);
        m_lastPresent = m_pacer.Wait(hz);
    } else {
        m_lastPresent = ClockNow();
    }
}

void HeadlessBackend::ClipCursor(const RECT* screenRect) {
    m_clipped = screenRect != nullptr;
    if (screenRect) m_clip = *screenRect;
}

bool HeadlessBackend::SetClipboardText(const std::string& utf8) {
    m_clipboard = utf8;
    return true;
}

bool HeadlessBackend::GetClipboardText(std::string& utf8) {
    utf8 = m_clipboard;
    return true;
}

int HeadlessBackend::ShowMessageBox(const MessageBoxRequest& request) {
    m_messageBoxes.push_back(request);
    std::fprintf(stderr, "[message box] %s: %s\n", PrintableText(WideToUtf8(request.caption)).c_str(),
                 PrintableLines(WideToUtf8(request.text)).c_str());
    static const std::vector<int> buttons[] = {
        {IDOK},        {IDOK, IDCANCEL},    {IDABORT, IDRETRY, IDIGNORE},       {IDYES, IDNO, IDCANCEL},
        {IDYES, IDNO}, {IDRETRY, IDCANCEL}, {IDCANCEL, IDTRYAGAIN, IDCONTINUE},
    };
    UINT kind = request.type & MB_TYPEMASK;
    if (kind >= std::size(buttons)) return -1;
    const std::vector<int>& set = buttons[kind];
    size_t def = (request.type & MB_DEFMASK) >> 8;
    return set[std::min(def, set.size() - 1)];
}

bool HeadlessBackend::Gamepad(int, GamepadState& out) {
    out = GamepadState{};
    return false;
}

const HeadlessBackend::WindowRecord* HeadlessBackend::Window(NativeWindowId id) const {
    auto it = m_windows.find(id ? id : Target());
    return it == m_windows.end() ? nullptr : &it->second;
}

bool HeadlessBackend::WriteFrame(NativeWindowId id, const std::string& path, std::string& error) const {
    const WindowRecord* w = Window(id);
    if (!w || w->frame.empty()) {
        error = path + ": no frame has been presented yet";
        return false;
    }
    return WritePng(path, w->frame.data(), w->frameWidth, w->frameHeight, w->frameWidth, error);
}

std::unique_ptr<Backend> CreateHeadlessBackend() {
    HeadlessConfig config;
    if (const char* mons = std::getenv("TUMBRAL_HEADLESS_MONITORS"); mons && *mons) {
        std::vector<DisplayMode> list;
        if (ParseMonitorList(mons, list))
            config.monitors = list;
        else
            std::fprintf(stderr,
                         "tumbral: TUMBRAL_HEADLESS_MONITORS=\"%s\" is not a list like "
                         "\"1920x1080@60,1280x1024@60\"; using one 1920x1080 monitor\n",
                         PrintableText(mons).c_str());
    }
    const char* noWait = std::getenv("TUMBRAL_HEADLESS_NOWAIT");
    config.noWait = noWait && std::string(noWait) == "1";
    if (const char* path = std::getenv("TUMBRAL_SCRIPT"); path && *path) {
        std::string error;
        if (!LoadScript(path, config.script, error)) {
            std::fprintf(stderr, "tumbral: input script error: %s\n", error.c_str());
            std::exit(2);
        }
    }
    config.keepFrames = config.script.anyShot;
    return std::make_unique<HeadlessBackend>(std::move(config));
}

}  // namespace plat
