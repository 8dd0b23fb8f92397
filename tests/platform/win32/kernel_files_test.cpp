// Files and folders with Windows-style paths.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/win32.h"

namespace {

namespace fs = std::filesystem;

class Files : public ::testing::Test {
  protected:
    void SetUp() override {
        m_saved = fs::current_path();
        m_root = fs::temp_directory_path() / ("tumbral_files_" + std::to_string(getpid()));
        fs::remove_all(m_root);
        fs::create_directories(m_root / "media" / "sub");
        m_root = fs::canonical(m_root);
        std::ofstream(m_root / "media" / "box.x") << "xof";
        fs::current_path(m_root / "media" / "sub");
    }
    void TearDown() override {
        fs::current_path(m_saved);
        fs::remove_all(m_root);
    }
    std::wstring Root() const { return m_root.wstring(); }
    fs::path m_saved, m_root;
};

TEST_F(Files, AttributesAcceptBackslashPaths) {
    EXPECT_EQ(GetFileAttributesW(L"..\\box.x") & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_NE(GetFileAttributesW(L"..\\box.x"), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW(L"..\\..\\media") & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_NE(GetFileAttributesW(L"..\\..\\media"), INVALID_FILE_ATTRIBUTES);
    SetLastError(0);
    EXPECT_EQ(GetFileAttributesW(L"..\\nothing.x"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesW(L""), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Files, FullPathResolvesDotsAgainstTheCurrentFolder) {
    WCHAR buf[MAX_PATH];
    LPWSTR part = nullptr;
    const std::wstring expected = Root() + L"/media/box.x";
    const DWORD n = GetFullPathNameW(L"..\\.\\box.x", MAX_PATH, buf, &part);
    ASSERT_EQ(n, expected.size());
    EXPECT_EQ(std::wstring(buf), expected);
    ASSERT_NE(part, nullptr);
    EXPECT_STREQ(part, L"box.x");

    ASSERT_GT(GetFullPathNameW((Root() + L"\\media\\..").c_str(), MAX_PATH, buf, nullptr), 0u);
    EXPECT_EQ(std::wstring(buf), Root());
    ASSERT_GT(GetFullPathNameW(L"/..\\..", MAX_PATH, buf, nullptr), 0u);
    EXPECT_STREQ(buf, L"/");

    // Too small: nothing written, the needed capacity returned.
    WCHAR small[4] = {L'k', 0, 0, 0};
    EXPECT_EQ(GetFullPathNameW(L"box.x", 4, small, nullptr), (Root() + L"/media/sub/box.x").size() + 1);
    EXPECT_EQ(small[0], L'k');
}

TEST_F(Files, CurrentAndSystemFolders) {
    WCHAR buf[MAX_PATH];
    const DWORD n = GetCurrentDirectoryW(MAX_PATH, buf);
    EXPECT_EQ(std::wstring(buf, n), Root() + L"/media/sub");
    EXPECT_EQ(GetCurrentDirectoryW(2, buf), n + 1);
    ASSERT_TRUE(SetCurrentDirectoryW(L"..\\.."));
    ASSERT_GT(GetCurrentDirectoryW(MAX_PATH, buf), 0u);
    EXPECT_EQ(std::wstring(buf), Root());
    EXPECT_FALSE(SetCurrentDirectoryW(L"missing\\folder"));

    EXPECT_EQ(GetSystemDirectoryW(buf, MAX_PATH), 7u);
    EXPECT_STREQ(buf, L"/system");
    EXPECT_EQ(GetSystemDirectoryW(buf, 3), 8u);
}

// A file opened by any path (dots, backslashes, a link) has one volume and
// index; another file has another. Handles are checked, and only reading an
// existing file is offered.
TEST_F(Files, FileInformationNamesTheFileWhateverThePath) {
    fs::create_hard_link(m_root / "media" / "box.x", m_root / "media" / "hard.x");
    fs::create_symlink("box.x", m_root / "media" / "soft.x");
    std::ofstream(m_root / "media" / "other.x") << "xof";
    auto identity = [](const wchar_t* path, BY_HANDLE_FILE_INFORMATION* info) {
        HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        const BOOL ok = GetFileInformationByHandle(h, info);
        EXPECT_TRUE(CloseHandle(h));
        return ok == TRUE;
    };
    BY_HANDLE_FILE_INFORMATION box{}, other{};
    ASSERT_TRUE(identity(L"..\\box.x", &box));
    EXPECT_EQ(box.nFileSizeLow, 3u);
    EXPECT_EQ(box.nNumberOfLinks, 2u);
    EXPECT_EQ(box.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    for (const wchar_t* path : {L"../box.x", L"./../sub/../box.x", L"..\\hard.x", L"../soft.x"}) {
        SCOPED_TRACE(fs::path(path).string());
        BY_HANDLE_FILE_INFORMATION info{};
        ASSERT_TRUE(identity(path, &info));
        EXPECT_EQ(info.dwVolumeSerialNumber, box.dwVolumeSerialNumber);
        EXPECT_EQ(info.nFileIndexHigh, box.nFileIndexHigh);
        EXPECT_EQ(info.nFileIndexLow, box.nFileIndexLow);
    }
    ASSERT_TRUE(identity(L"../other.x", &other));
    EXPECT_NE(uint64_t(other.nFileIndexHigh) << 32 | other.nFileIndexLow,
              uint64_t(box.nFileIndexHigh) << 32 | box.nFileIndexLow);

    SetLastError(0);
    EXPECT_EQ(CreateFileW(L"../missing.x", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(CreateFileW(L"../box.x", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CreateFileW(L"../box.x", GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
              INVALID_HANDLE_VALUE);

    HANDLE h = CreateFileW(L"../box.x", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(h));
    BY_HANDLE_FILE_INFORMATION info{};
    EXPECT_FALSE(GetFileInformationByHandle(h, &info));  // closed
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
}

}  // namespace
