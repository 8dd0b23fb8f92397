// Monitors, display settings, system metrics and system parameters.
#include <algorithm>
#include <climits>

#include "platform/win32/kernel_modules.h"
#include "platform/win32/user_state.h"

using namespace plat::user;

namespace plat {

HMONITOR MonitorHandle(int monitorIndex) {
    if (monitorIndex < 0 || monitorIndex >= static_cast<int>(CurrentBackend().Monitors().size()))
        return nullptr;
    return reinterpret_cast<HMONITOR>((uintptr_t(7) << 28) | uintptr_t(monitorIndex + 0x10));
}

int MonitorIndexOf(HMONITOR monitor) {
    uintptr_t v = reinterpret_cast<uintptr_t>(monitor);
    if ((v >> 16) != (uintptr_t(7) << 12)) return -1;
    int index = static_cast<int>(v & 0xFFFF) - 0x10;
    if (index < 0 || index >= static_cast<int>(CurrentBackend().Monitors().size())) return -1;
    return index;
}

std::wstring MonitorDeviceName(int monitorIndex) {
    return L"\\\\.\\DISPLAY" + std::to_wstring(monitorIndex + 1);
}

}  // namespace plat

namespace plat::user {

std::vector<MonitorDesc> Monitors() { return CurrentBackend().Monitors(); }

int MonitorIndexForRect(const RECT& r, DWORD flags) {
    std::vector<MonitorDesc> mons = Monitors();
    int best = -1;
    long long bestArea = 0;
    for (size_t i = 0; i < mons.size(); ++i) {
        RECT x;
        if (IntersectRect(&x, &r, &mons[i].bounds)) {
            long long area = 1LL * (x.right - x.left) * (x.bottom - x.top);
            if (area > bestArea) {
                bestArea = area;
                best = static_cast<int>(i);
            }
        }
    }
    // A rectangle of no area is looked up by its corner.
    if (best < 0 && r.left == r.right && r.top == r.bottom) {
        for (size_t i = 0; i < mons.size(); ++i)
            if (PtInRect(&mons[i].bounds, POINT{r.left, r.top})) best = static_cast<int>(i);
    }
    if (best >= 0) return best;
    if (flags == MONITOR_DEFAULTTOPRIMARY) {
        for (size_t i = 0; i < mons.size(); ++i)
            if (mons[i].primary) return static_cast<int>(i);
        return mons.empty() ? -1 : 0;
    }
    if (flags == MONITOR_DEFAULTTONEAREST) {
        long long bestDistance = LLONG_MAX;
        POINT c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        for (size_t i = 0; i < mons.size(); ++i) {
            const RECT& b = mons[i].bounds;
            long long dx = c.x < b.left ? b.left - c.x : c.x >= b.right ? c.x - b.right + 1 : 0;
            long long dy = c.y < b.top ? b.top - c.y : c.y >= b.bottom ? c.y - b.bottom + 1 : 0;
            long long d = dx * dx + dy * dy;
            if (d < bestDistance) {
                bestDistance = d;
                best = static_cast<int>(i);
            }
        }
    }
    return best;
}

}  // namespace plat::user

namespace {

const plat::MonitorDesc* MonitorByName(const std::vector<plat::MonitorDesc>& mons, LPCWSTR name, int* index) {
    for (size_t i = 0; i < mons.size(); ++i) {
        bool match = name ? plat::MonitorDeviceName(static_cast<int>(i)) == name : mons[i].primary;
        if (match) {
            if (index) *index = static_cast<int>(i);
            return &mons[i];
        }
    }
    return nullptr;
}

void FillMode(DEVMODEW* dm, const plat::DisplayMode& mode, const plat::MonitorDesc& mon, int index) {
    std::wstring name = plat::MonitorDeviceName(index);
    std::fill(std::begin(dm->dmDeviceName), std::end(dm->dmDeviceName), 0);
    for (size_t i = 0; i < name.size() && i + 1 < CCHDEVICENAME; ++i) dm->dmDeviceName[i] = name[i];
    dm->dmSize = sizeof(DEVMODEW);
    dm->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    dm->dmPosition = POINT{mon.bounds.left, mon.bounds.top};
    dm->dmBitsPerPel = static_cast<DWORD>(mode.bitsPerPixel);
    dm->dmPelsWidth = static_cast<DWORD>(mode.width);
    dm->dmPelsHeight = static_cast<DWORD>(mode.height);
    dm->dmDisplayFlags = 0;
    dm->dmDisplayFrequency = static_cast<DWORD>(mode.refreshHz);
}

}  // namespace

HMONITOR WINAPI MonitorFromRect(LPCRECT lprc, DWORD dwFlags) {
    if (!lprc) return nullptr;
    return plat::MonitorHandle(MonitorIndexForRect(*lprc, dwFlags));
}

HMONITOR WINAPI MonitorFromPoint(POINT pt, DWORD dwFlags) {
    RECT r{pt.x, pt.y, pt.x, pt.y};
    return plat::MonitorHandle(MonitorIndexForRect(r, dwFlags));
}

HMONITOR WINAPI MonitorFromWindow(HWND hwnd, DWORD dwFlags) {
    Window* w = Peek(Root(hwnd));
    if (!w) {
        Fail(ERROR_INVALID_WINDOW_HANDLE);
        RECT none{INT_MIN / 2, INT_MIN / 2, INT_MIN / 2, INT_MIN / 2};
        return dwFlags == MONITOR_DEFAULTTONULL ? nullptr
                                                : plat::MonitorHandle(MonitorIndexForRect(none, dwFlags));
    }
    RECT r = w->minimized ? w->normalRect : ScreenRect(*w);
    if (r.right <= r.left || r.bottom <= r.top) r = RECT{r.left, r.top, r.left, r.top};
    return plat::MonitorHandle(MonitorIndexForRect(r, dwFlags));
}

BOOL WINAPI GetMonitorInfoW(HMONITOR hMonitor, LPMONITORINFO lpmi) {
    int index = plat::MonitorIndexOf(hMonitor);
    if (index < 0) {
        Fail(ERROR_INVALID_MONITOR_HANDLE);
        return FALSE;
    }
    if (!lpmi || (lpmi->cbSize != sizeof(MONITORINFO) && lpmi->cbSize != sizeof(MONITORINFOEXW))) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    plat::MonitorDesc m = Monitors()[static_cast<size_t>(index)];
    lpmi->rcMonitor = m.bounds;
    lpmi->rcWork = m.workArea;
    lpmi->dwFlags = m.primary ? MONITORINFOF_PRIMARY : 0;
    if (lpmi->cbSize == sizeof(MONITORINFOEXW)) {
        auto* ex = static_cast<MONITORINFOEXW*>(lpmi);
        std::wstring name = plat::MonitorDeviceName(index);
        std::fill(std::begin(ex->szDevice), std::end(ex->szDevice), 0);
        for (size_t i = 0; i < name.size() && i + 1 < CCHDEVICENAME; ++i) ex->szDevice[i] = name[i];
    }
    return TRUE;
}

BOOL WINAPI EnumDisplayMonitors(HDC, LPCRECT lprcClip, MONITORENUMPROC lpfnEnum, LPARAM dwData) {
    if (!lpfnEnum) return FALSE;
    std::vector<plat::MonitorDesc> mons = Monitors();
    for (size_t i = 0; i < mons.size(); ++i) {
        RECT r = mons[i].bounds;
        if (lprcClip && !IntersectRect(&r, &r, lprcClip)) continue;
        if (!lpfnEnum(plat::MonitorHandle(static_cast<int>(i)), nullptr, &r, dwData)) break;
    }
    return TRUE;
}

BOOL WINAPI EnumDisplaySettingsW(LPCWSTR lpszDeviceName, DWORD iModeNum, DEVMODEW* lpDevMode) {
    if (!lpDevMode) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<plat::MonitorDesc> mons = Monitors();
    int index = 0;
    const plat::MonitorDesc* m = MonitorByName(mons, lpszDeviceName, &index);
    if (!m) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (iModeNum == ENUM_CURRENT_SETTINGS) {
        FillMode(lpDevMode, m->desktop, *m, index);
    } else if (iModeNum == ENUM_REGISTRY_SETTINGS) {
        FillMode(lpDevMode, m->registryMode.width > 0 ? m->registryMode : m->desktop, *m, index);
    } else if (iModeNum < m->modes.size()) {
        FillMode(lpDevMode, m->modes[iModeNum], *m, index);
    } else {
        return FALSE;
    }
    return TRUE;
}

int WINAPI GetSystemMetrics(int nIndex) {
    std::vector<plat::MonitorDesc> mons = Monitors();
    RECT primary{0, 0, 640, 480}, work{0, 0, 640, 480}, virt{0, 0, 0, 0};
    for (auto& m : mons) {
        if (m.primary) {
            primary = m.bounds;
            work = m.workArea;
        }
        UnionRect(&virt, &virt, &m.bounds);
    }
    RECT in = plat::CurrentBackend().DecorationInsets();
    int frame = in.left;
    int caption = in.top - in.left;
    switch (nIndex) {
        case SM_CXSCREEN:
            return primary.right - primary.left;
        case SM_CYSCREEN:
            return primary.bottom - primary.top;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
            return 17;
        case SM_CYCAPTION:
            return caption;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return 1;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
            return 3;
        case SM_CXICON:
        case SM_CYICON:
        case SM_CXCURSOR:
        case SM_CYCURSOR:
            return 32;
        case SM_CYMENU:
            return 20;
        case SM_CXFULLSCREEN:
            return work.right - work.left;
        case SM_CYFULLSCREEN:
            return work.bottom - work.top - caption;
        case SM_MOUSEPRESENT:
            return 1;
        case SM_SWAPBUTTON:
            return 0;
        case SM_CXMIN:
        case SM_CXMINTRACK:
            return 136 + 2 * frame;
        case SM_CYMIN:
        case SM_CYMINTRACK:
            return caption + 2 * frame;
        case SM_CXSIZE:
        case SM_CYSIZE:
            return caption;
        case SM_CXFRAME:
        case SM_CYFRAME:
            return frame;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return 4;
        case SM_CMOUSEBUTTONS:
            return 5;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return 16;
        case SM_CXMAXTRACK:
            return virt.right - virt.left + 2 * frame;
        case SM_CYMAXTRACK:
            return virt.bottom - virt.top + 2 * frame;
        case SM_CXMAXIMIZED:
            return work.right - work.left + 2 * frame;
        case SM_CYMAXIMIZED:
            return work.bottom - work.top + 2 * frame;
        case SM_NETWORK:
            return 1;
        case SM_CXDRAG:
        case SM_CYDRAG:
            return 4;
        case SM_MOUSEWHEELPRESENT:
            return 1;
        case SM_XVIRTUALSCREEN:
            return virt.left;
        case SM_YVIRTUALSCREEN:
            return virt.top;
        case SM_CXVIRTUALSCREEN:
            return virt.right - virt.left;
        case SM_CYVIRTUALSCREEN:
            return virt.bottom - virt.top;
        case SM_CMONITORS:
            return static_cast<int>(mons.size());
        case SM_SAMEDISPLAYFORMAT:
            return 1;
        case SM_CXPADDEDBORDER:
            return 0;
        default:
            return 0;  // SM_REMOTESESSION, SM_MEDIACENTER, SM_TABLETPC and the rest: off
    }
}

BOOL WINAPI SystemParametersInfoW(UINT uiAction, UINT, LPVOID pvParam, UINT) {
    State& s = S();
    if (!pvParam) {
        Fail(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto sized = [](UINT size, UINT expected) {
        if (size == expected) return true;
        Fail(ERROR_INVALID_PARAMETER);
        return false;
    };
    switch (uiAction) {
        case SPI_GETWORKAREA: {
            RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
            for (auto& m : Monitors())
                if (m.primary) work = m.workArea;
            *static_cast<RECT*>(pvParam) = work;
            return TRUE;
        }
        case SPI_GETWHEELSCROLLLINES:
        case SPI_GETWHEELSCROLLCHARS:
            *static_cast<UINT*>(pvParam) = 3;
            return TRUE;
        case SPI_GETKEYBOARDDELAY:
            *static_cast<UINT*>(pvParam) = 1;
            return TRUE;
        case SPI_GETKEYBOARDSPEED:
            *static_cast<UINT*>(pvParam) = 31;
            return TRUE;
        case SPI_GETSTICKYKEYS: {
            auto* r = static_cast<STICKYKEYS*>(pvParam);
            if (!sized(r->cbSize, sizeof(STICKYKEYS))) return FALSE;
            *r = s.stickyKeys;
            return TRUE;
        }
        case SPI_SETSTICKYKEYS: {
            auto* r = static_cast<STICKYKEYS*>(pvParam);
            if (!sized(r->cbSize, sizeof(STICKYKEYS))) return FALSE;
            s.stickyKeys = *r;
            return TRUE;
        }
        case SPI_GETTOGGLEKEYS: {
            auto* r = static_cast<TOGGLEKEYS*>(pvParam);
            if (!sized(r->cbSize, sizeof(TOGGLEKEYS))) return FALSE;
            *r = s.toggleKeys;
            return TRUE;
        }
        case SPI_SETTOGGLEKEYS: {
            auto* r = static_cast<TOGGLEKEYS*>(pvParam);
            if (!sized(r->cbSize, sizeof(TOGGLEKEYS))) return FALSE;
            s.toggleKeys = *r;
            return TRUE;
        }
        case SPI_GETFILTERKEYS: {
            auto* r = static_cast<FILTERKEYS*>(pvParam);
            if (!sized(r->cbSize, sizeof(FILTERKEYS))) return FALSE;
            *r = s.filterKeys;
            return TRUE;
        }
        case SPI_SETFILTERKEYS: {
            auto* r = static_cast<FILTERKEYS*>(pvParam);
            if (!sized(r->cbSize, sizeof(FILTERKEYS))) return FALSE;
            s.filterKeys = *r;
            return TRUE;
        }
        default:
            Fail(ERROR_INVALID_PARAMETER);
            return FALSE;
    }
}

namespace {

// "user32.dll" for code that looks the monitor functions up by name.
const bool g_user32 =
    plat::RegisterBuiltinModule("user32.dll", {{"MonitorFromWindow", plat::Export(&MonitorFromWindow)},
                                               {"MonitorFromPoint", plat::Export(&MonitorFromPoint)},
                                               {"MonitorFromRect", plat::Export(&MonitorFromRect)},
                                               {"GetMonitorInfoW", plat::Export(&GetMonitorInfoW)},
                                               {"EnumDisplayMonitors", plat::Export(&EnumDisplayMonitors)}});

}  // namespace

UINT WINAPI GetDoubleClickTime() { return plat::CurrentBackend().DoubleClickTimeMs(); }
UINT WINAPI GetCaretBlinkTime() { return plat::CurrentBackend().CaretBlinkTimeMs(); }
