// Performance counter, tick count and sleep over the monotonic clock.
#include <cerrno>
#include <ctime>

#include "platform/win32kernel.h"

namespace {

constexpr LONGLONG kNanosPerSecond = 1000000000LL;

LONGLONG MonotonicNanos() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<LONGLONG>(ts.tv_sec) * kNanosPerSecond + ts.tv_nsec;
}

}  // namespace

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* lpPerformanceCount) {
    if (!lpPerformanceCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpPerformanceCount->QuadPart = MonotonicNanos();
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* lpFrequency) {
    if (!lpFrequency) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lpFrequency->QuadPart = kNanosPerSecond;
    return TRUE;
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    if (dwMilliseconds == INFINITE) {
        for (;;) {
            timespec forever{3600, 0};
            nanosleep(&forever, nullptr);
        }
    }
    timespec left{static_cast<time_t>(dwMilliseconds / 1000),
                  static_cast<long>(dwMilliseconds % 1000) * 1000000L};
    // Sleep(0) only gives up the rest of the time slice; nanosleep of 0 does that.
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

ULONGLONG WINAPI GetTickCount64() { return static_cast<ULONGLONG>(MonotonicNanos() / 1000000LL); }

DWORD WINAPI GetTickCount() { return static_cast<DWORD>(GetTickCount64()); }
