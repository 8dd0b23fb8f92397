// The window system's side of the device bridge: the native window of a
// window, presenting to it, and the count of forced device losses.
#include <atomic>

#include "platform/win32/device_bridge.h"
#include "platform/win32/user_state.h"

namespace plat {

NativeWindowId NativeWindowOf(HWND hwnd) {
    user::Window* w = user::Peek(user::Root(hwnd));
    return w ? w->native : 0;
}

bool PresentToWindow(HWND hwnd, const FrameView& frame, bool vsync) {
    NativeWindowId id = NativeWindowOf(hwnd);
    if (!id) return false;
    CurrentBackend().Present(id, frame, vsync);
    return true;
}

namespace {

std::atomic<uint64_t>& LossCount() {
    static std::atomic<uint64_t> count{0};
    return count;
}

}  // namespace

uint64_t ForcedDeviceLossCount() { return LossCount().load(); }

void ForceDeviceLoss() { LossCount()++; }

}  // namespace plat
