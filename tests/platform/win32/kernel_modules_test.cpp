// Built-in modules: finding them by path or name, their exports, and their
// reference counts; the program's resources.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/resource_script.h"
#include "platform/win32.h"
#include "platform/win32/kernel_modules.h"

namespace {

int WINAPI Twice(int x) { return 2 * x; }

const bool g_testModule = plat::RegisterBuiltinModule("kerneltest.dll", {{"Twice", plat::Export(&Twice)}});

std::wstring SystemPath(const wchar_t* leaf) {
    WCHAR dir[MAX_PATH];
    const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    EXPECT_GT(n, 0u);
    EXPECT_LT(n, static_cast<UINT>(MAX_PATH));
    return std::wstring(dir) + L"\\" + leaf;
}

TEST(Modules, LoadsBySystemPathAndNameWithoutRegardToCase) {
    ASSERT_TRUE(g_testModule);
    HMODULE byPath = LoadLibraryW(SystemPath(L"kerneltest.dll").c_str());
    ASSERT_NE(byPath, nullptr);
    HMODULE byName = LoadLibraryW(L"KernelTest.DLL");
    HMODULE narrow = LoadLibraryA("C:\\Windows\\System32\\kerneltest");
    EXPECT_EQ(byName, byPath);
    EXPECT_EQ(narrow, byPath);
    EXPECT_EQ(plat::BuiltinModuleRefCount("kerneltest.dll"), 3);
    EXPECT_EQ(GetModuleHandleW(L"kerneltest.dll"), byPath);

    typedef int(WINAPI * TwiceFn)(int);
    auto twice = reinterpret_cast<TwiceFn>(GetProcAddress(byPath, "Twice"));
    ASSERT_NE(twice, nullptr);
    EXPECT_EQ(twice(21), 42);

    // Each FreeLibrary drops one reference; the last one unloads.
    EXPECT_TRUE(FreeLibrary(byPath));
    EXPECT_TRUE(FreeLibrary(byPath));
    EXPECT_NE(GetProcAddress(byPath, "Twice"), nullptr);
    EXPECT_TRUE(FreeLibrary(byPath));
    EXPECT_EQ(plat::BuiltinModuleRefCount("kerneltest.dll"), 0);
    EXPECT_EQ(GetProcAddress(byPath, "Twice"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(FreeLibrary(byPath));
    EXPECT_EQ(GetModuleHandleW(L"kerneltest.dll"), nullptr);
}

TEST(Modules, MissingModulesAndExports) {
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(SystemPath(L"nosuch.dll").c_str()), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(LoadLibraryW(L""), nullptr);
    EXPECT_EQ(LoadLibraryW(L"/system/"), nullptr);

    HMODULE m = LoadLibraryW(L"kerneltest.dll");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(GetProcAddress(m, "twice"), nullptr);  // export names are exact
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(m, reinterpret_cast<LPCSTR>(1)), nullptr);  // no ordinals
    EXPECT_TRUE(FreeLibrary(m));
    EXPECT_EQ(GetProcAddress(reinterpret_cast<HMODULE>(0x5678), "Twice"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetProcAddress(GetModuleHandleW(nullptr), "main"), nullptr);
}

// The system libraries the framework loads are there with their entry points.
TEST(Modules, TimerModule) {
    HMODULE winmm = LoadLibraryW(SystemPath(L"winmm.dll").c_str());
    ASSERT_NE(winmm, nullptr);
    typedef MMRESULT(WINAPI * PeriodFn)(UINT);
    auto begin = reinterpret_cast<PeriodFn>(GetProcAddress(winmm, "timeBeginPeriod"));
    auto end = reinterpret_cast<PeriodFn>(GetProcAddress(winmm, "timeEndPeriod"));
    ASSERT_NE(begin, nullptr);
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(begin(1), TIMERR_NOERROR);
    EXPECT_EQ(end(1), TIMERR_NOERROR);
    EXPECT_EQ(begin(0), TIMERR_NOCANDO);
    EXPECT_NE(GetProcAddress(winmm, "timeGetTime"), nullptr);
    EXPECT_TRUE(FreeLibrary(winmm));
}

TEST(Modules, ProgramFileName) {
    WCHAR path[MAX_PATH * 4];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    ASSERT_GT(n, 0u);
    EXPECT_EQ(GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(std::wstring(path, n), std::filesystem::read_symlink("/proc/self/exe").wstring());
    // Too small a buffer: truncated, terminated, the capacity returned.
    WCHAR small[5];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(nullptr, small, 5), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::wstring(small), std::wstring(path, 4));
}

TEST(Resources, FoundByNameOrIdentifierWithTheirBytesAndSize) {
    static const char kBytes[] = "resource bytes";
    AddModuleResource(L"Kernel_Test.bin", kBytes, sizeof kBytes);
    AddModuleResource(MAKEINTRESOURCEW(4321), kBytes, 5);

    HRSRC byName = FindResourceW(nullptr, L"KERNEL_test.BIN", RT_RCDATA);
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(LockResource(LoadResource(nullptr, byName)), static_cast<const void*>(kBytes));
    EXPECT_EQ(SizeofResource(nullptr, byName), sizeof kBytes);
    HRSRC byId = FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(4321), RT_BITMAP);
    ASSERT_NE(byId, nullptr);
    EXPECT_EQ(SizeofResource(nullptr, byId), 5u);
    // "#n" and the integer identifier n are the same name.
    EXPECT_EQ(FindResourceW(nullptr, L"#4321", RT_RCDATA), byId);

    SetLastError(0);
    EXPECT_EQ(FindResourceW(nullptr, L"no such resource", RT_RCDATA), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

}  // namespace
