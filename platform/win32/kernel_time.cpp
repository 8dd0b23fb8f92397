// Performance counter, tick count and sleep over the platform clock: the
// monotonic clock, or a manual clock that tests install and step.
#include <atomic>
#include <cassert>
#include <cerrno>
#include <ctime>
#include <thread>

#include "platform/manual_clock.h"
#include "platform/win32kernel.h"

namespace {

std::atomic<bool> g_manualInstalled{false};
std::atomic<int64_t> g_manualNanos{0};

int64_t NowNanos() { return plat::ClockNow().time_since_epoch() / std::chrono::nanoseconds(1); }

}  // namespace

namespace plat {

ClockTime ClockNow() {
    if (g_manualInstalled.load(std::memory_order_acquire))
        return ClockTime(std::chrono::nanoseconds(g_manualNanos.load(std::memory_order_acquire)));
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ClockTime(std::chrono::seconds(ts.tv_sec) + std::chrono::nanoseconds(ts.tv_nsec));
}

void ClockSleepUntil(ClockTime t) {
    if (g_manualInstalled.load(std::memory_order_acquire)) {
        const int64_t target = t.time_since_epoch() / std::chrono::nanoseconds(1);
        int64_t now = g_manualNanos.load();
        while (now < target && !g_manualNanos.compare_exchange_weak(now, target)) {
        }
        std::this_thread::yield();
        return;
    }
    for (;;) {
        const auto left = t - ClockNow();
        if (left <= std::chrono::nanoseconds::zero()) return;
        const int64_t ns = left / std::chrono::nanoseconds(1);
        timespec rest{static_cast<time_t>(ns / 1000000000LL), static_cast<long>(ns % 1000000000LL)};
        nanosleep(&rest, nullptr);  // woken early by a signal: the loop sleeps the rest
    }
}

ManualClock::ManualClock(std::chrono::nanoseconds start) {
    [[maybe_unused]] const bool wasInstalled = g_manualInstalled.load();
    assert(!wasInstalled && "one manual clock at a time");
    g_manualNanos.store(start.count());
    g_manualInstalled.store(true, std::memory_order_release);
}

ManualClock::~ManualClock() { g_manualInstalled.store(false, std::memory_order_release); }

void ManualClock::Advance(std::chrono::nanoseconds step) {
    if (step.count() > 0) g_manualNanos.fetch_add(step.count());
}

int64_t ManualClock::Nanos() const { return g_manualNanos.load(); }

}  // namespace plat

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
    if (dwMilliseconds == 0 && !g_manualInstalled.load()) {
        // Sleep(0) only gives up the rest of the time slice.
        std::this_thread::yield();
        return;
    }
    plat::ClockSleepUntil(plat::ClockNow() + std::chrono::milliseconds(dwMilliseconds));
}

ULONGLONG WINAPI GetTickCount64() { return static_cast<ULONGLONG>(NowNanos() / 1000000LL); }

DWORD WINAPI GetTickCount() { return static_cast<DWORD>(GetTickCount64()); }
