// Global memory handles, critical sections, the counters, debug output and
// the platform version.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/manual_clock.h"
#include "platform/win32.h"

namespace {

TEST(GlobalMemory, MovableBlocksLockAndBadHandlesFail) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 10);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalSize(h), 10u);
    auto* p = static_cast<unsigned char*>(GlobalLock(h));
    ASSERT_NE(p, nullptr);
    EXPECT_NE(static_cast<void*>(p), h);  // a movable block's handle is not its address
    EXPECT_EQ(p[9], 0);
    EXPECT_EQ(GlobalLock(h), p);
    EXPECT_TRUE(GlobalUnlock(h));  // still locked once
    SetLastError(123);
    EXPECT_FALSE(GlobalUnlock(h));  // now unlocked
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
    EXPECT_EQ(GlobalFree(h), nullptr);

    // Freed and made-up handles are refused without being touched.
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GlobalSize(h), 0u);
    EXPECT_EQ(GlobalFree(h), h);
    int local = 0;
    EXPECT_EQ(GlobalLock(&local), nullptr);
    EXPECT_EQ(LocalFree(&local), &local);

    HGLOBAL fixed = GlobalAlloc(GMEM_FIXED, 4);
    EXPECT_EQ(GlobalLock(fixed), fixed);  // a fixed block's handle is its address
    EXPECT_EQ(GlobalFree(fixed), nullptr);
}

TEST(CriticalSection, RecursiveAndExclusive) {
    CRITICAL_SECTION cs;
    ZeroMemory(&cs, sizeof cs);
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    EnterCriticalSection(&cs);  // the owner may enter again
    std::atomic<int> other{-1};
    std::thread t([&] { other = TryEnterCriticalSection(&cs); });
    t.join();
    EXPECT_EQ(other.load(), FALSE);
    LeaveCriticalSection(&cs);
    std::thread t2([&] { other = TryEnterCriticalSection(&cs); });
    t2.join();
    EXPECT_EQ(other.load(), FALSE);  // still held once
    LeaveCriticalSection(&cs);
    std::thread t3([&] {
        other = TryEnterCriticalSection(&cs);
        if (other) LeaveCriticalSection(&cs);
    });
    t3.join();
    EXPECT_EQ(other.load(), TRUE);
    DeleteCriticalSection(&cs);
}

TEST(Time, CounterAndSleep) {
    LARGE_INTEGER f{}, a{}, b{};
    ASSERT_TRUE(QueryPerformanceFrequency(&f));
    EXPECT_EQ(f.QuadPart, 1000000000LL);
    ASSERT_TRUE(QueryPerformanceCounter(&a));
    const DWORD t0 = GetTickCount();
    Sleep(20);
    ASSERT_TRUE(QueryPerformanceCounter(&b));
    EXPECT_GE(b.QuadPart - a.QuadPart, 20000000LL);
    EXPECT_LT(b.QuadPart - a.QuadPart, 2000000000LL);
    EXPECT_GE(GetTickCount() - t0, 19u);
}

TEST(Time, ManualClockDrivesCounterTicksAndSleep) {
    LARGE_INTEGER a{}, b{};
    {
        plat::ManualClock clock;
        ASSERT_TRUE(QueryPerformanceCounter(&a));
        EXPECT_EQ(a.QuadPart, clock.Nanos());
        const ULONGLONG t0 = GetTickCount64();
        clock.AdvanceMs(1500);
        ASSERT_TRUE(QueryPerformanceCounter(&b));
        EXPECT_EQ(b.QuadPart - a.QuadPart, 1500000000LL);
        EXPECT_EQ(GetTickCount64() - t0, 1500u);
        // Sleep returns at once and moves the clock by what it was asked to wait.
        Sleep(250);
        Sleep(0);
        EXPECT_EQ(GetTickCount64() - t0, 1750u);
        // A wait for a time already passed does not turn the clock back.
        plat::ClockSleepUntil(plat::ClockNow() - std::chrono::seconds(1));
        EXPECT_EQ(GetTickCount64() - t0, 1750u);
        clock.Advance(std::chrono::milliseconds(-5));
        EXPECT_EQ(GetTickCount64() - t0, 1750u);
    }
    // Uninstalled, the counter runs on the monotonic clock again.
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    ASSERT_TRUE(QueryPerformanceCounter(&b));
    EXPECT_GE(b.QuadPart, static_cast<LONGLONG>(ts.tv_sec) * 1000000000LL + ts.tv_nsec);
}

TEST(DebugOutput, GoesToTheChosenFileOrNowhere) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("tumbral_debug_" + std::to_string(getpid()))).string();
    std::filesystem::remove(path);
    setenv("TUMBRAL_DEBUG_OUTPUT", path.c_str(), 1);
    OutputDebugStringW(L"wide 还原\n");
    OutputDebugStringA("narrow\n");
    setenv("TUMBRAL_DEBUG_OUTPUT", "off", 1);
    OutputDebugStringA("dropped\n");
    unsetenv("TUMBRAL_DEBUG_OUTPUT");
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "wide \xe8\xbf\x98\xe5\x8e\x9f\nnarrow\n");
    std::filesystem::remove(path);
}

// Trace lines quote outside text (flags, file names): control characters and
// malformed UTF-8 are escaped once, on the way out; line ends stay.
TEST(DebugOutput, ControlCharactersAndMalformedTextAreEscaped) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("tumbral_debug_esc_" + std::to_string(getpid()))).string();
    std::filesystem::remove(path);
    setenv("TUMBRAL_DEBUG_OUTPUT", path.c_str(), 1);
    OutputDebugStringW(
        L"flag: \x9b"
        L"31m \x1b]0;t\x07 \x9d\n");
    OutputDebugStringA("narrow \xc2\x9c\xff\r\n");
    unsetenv("TUMBRAL_DEBUG_OUTPUT");
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "flag: \\xC2\\x9B31m \\x1B]0;t\\x07 \\xC2\\x9D\nnarrow \\xC2\\x9C\\xFF\\x0D\n");
    std::filesystem::remove(path);

    // A target that cannot be opened is named in a note on standard error, which takes the line.
    setenv("TUMBRAL_DEBUG_OUTPUT",
           "/nonexistent/\xc2\x9b"
           "6n\x1b\xfe",
           1);
    testing::internal::CaptureStderr();
    OutputDebugStringA("line \x9b\n");
    const std::string err = testing::internal::GetCapturedStderr();
    unsetenv("TUMBRAL_DEBUG_OUTPUT");
    EXPECT_NE(err.find("TUMBRAL_DEBUG_OUTPUT=/nonexistent/\\xC2\\x9B6n\\x1B\\xFE: "), std::string::npos)
        << err;
    EXPECT_NE(err.find("\nline \\x9B\n"), std::string::npos) << err;
}

TEST(Debugger, BreakWithoutADebuggerDoesNothing) {
    if (IsDebuggerPresent()) GTEST_SKIP() << "running under a debugger";
    DebugBreak();  // would end the test program with SIGTRAP otherwise
    SUCCEED();
}

TEST(Version, NtFamilyAndSizeChecked) {
    OSVERSIONINFOW info{};
    EXPECT_FALSE(GetVersionExW(&info));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExW(&info));
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_EQ(info.dwMajorVersion, 6u);
    EXPECT_EQ(std::wstring(info.szCSDVersion).rfind(L"Linux", 0), 0u);
}

}  // namespace
