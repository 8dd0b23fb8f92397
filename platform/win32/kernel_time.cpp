// Performance counter, tick count and sleep over the platform clock: the
// monotonic clock, or a manual clock that tests install and step.
#include <cerrno>
#include <ctime>
#include <thread>

#include "platform/manual_clock.h"
#include "platform/win32kernel.h"

namespace {

int64_t NowNanos() { return plat::ClockNow().time_since_epoch() / std::chrono::nanoseconds(1); }

}  // namespace

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    if (!lpPerformanceCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpPerformanceCount->QuadPart = NowNanos();
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    if (!lpFrequency) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpFrequency->QuadPart = 1000000000LL;
    return TRUE;
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    if (dwMilliseconds == INFINITE) {
        for (;;) {
            timespec forever{3600, 0};
            nanosleep(&forever, nullptr);
        }
    }
    if (dwMilliseconds == 0 && !plat::ManualClockInstalled()) {
        // Sleep(0) only gives up the rest of the time slice.
        std::this_thread::yield();
        return;
    }
    plat::ClockSleepUntil(plat::ClockNow() + std::chrono::milliseconds(dwMilliseconds));
}

ULONGLONG WINAPI GetTickCount64() { return static_cast<ULONGLONG>(NowNanos() / 1000000LL); }

DWORD WINAPI GetTickCount() { return static_cast<DWORD>(GetTickCount64()); }
