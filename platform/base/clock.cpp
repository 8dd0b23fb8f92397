// The platform's clock: the monotonic clock, or a manual clock that tests
// install and step (see platform/manual_clock.h).
#include <atomic>
#include <cassert>
#include <ctime>
#include <thread>

#include "platform/manual_clock.h"

namespace {

std::atomic<bool> g_manualInstalled{false};
std::atomic<int64_t> g_manualNanos{0};

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

bool ManualClockInstalled() { return g_manualInstalled.load(std::memory_order_acquire); }

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
