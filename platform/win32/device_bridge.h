// What the device needs of the window system: the native window behind a
// window, presenting a frame to it, monitor handles and names, and the count
// of forced device losses. Implemented by the window system (user_bridge.cpp,
// user_monitor.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "platform/backend/backend.h"

namespace plat {

NativeWindowId NativeWindowOf(HWND hwnd);                             // 0 if none
bool PresentToWindow(HWND hwnd, const FrameView& frame, bool vsync);  // false if the window is gone
// Monitor handles: the same HMONITOR for a monitor index in MonitorFromWindow,
// GetMonitorInfoW and the device's GetAdapterMonitor. NULL / -1 when out of range.
HMONITOR MonitorHandle(int monitorIndex);
int MonitorIndexOf(HMONITOR monitor);
// "\\.\DISPLAY1" for monitor 0, ...: the device name of MONITORINFOEXW and EnumDisplaySettingsW.
std::wstring MonitorDeviceName(int monitorIndex);

// Number of device losses forced so far (headless script, tests); a device
// that saw a smaller number becomes lost.
uint64_t ForcedDeviceLossCount();
void ForceDeviceLoss();

}  // namespace plat
