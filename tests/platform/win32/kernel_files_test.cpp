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

}  // namespace
