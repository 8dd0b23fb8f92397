// Saving the registry file through its temporary file: a link or file
// planted under the temporary name is never written through.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/win32.h"

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& p) {
    std::ifstream in(p);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

LSTATUS WriteDword(LPCWSTR name, DWORD value) {
    HKEY h = nullptr;
    LSTATUS r = RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Tumbral\\Kit", 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &h, nullptr);
    if (r != ERROR_SUCCESS) return r;
    r = RegSetValueExW(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(h);
    return r;
}

class RegistryTempFile : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("tumbral_regtmp_" + std::to_string(getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_file = m_dir / "registry";
        setenv("TUMBRAL_REGISTRY_FILE", m_file.c_str(), 1);
        // The temporary name the save uses: the file's name, ".tmp" and our process id.
        m_temp = m_dir / ("registry.tmp" + std::to_string(getpid()));
        m_victim = m_dir / "victim";
        std::ofstream(m_victim) << "precious";
    }
    void TearDown() override {
        unsetenv("TUMBRAL_REGISTRY_FILE");
        fs::remove_all(m_dir);
    }
    fs::path m_dir, m_file, m_temp, m_victim;
};

TEST_F(RegistryTempFile, PlantedSymlinkIsNotFollowed) {
    fs::create_symlink(m_victim, m_temp);
    ASSERT_EQ(WriteDword(L"Skip Warning On REF", 1), ERROR_SUCCESS);
    EXPECT_EQ(ReadText(m_victim), "precious");
    // The registry is a file of its own holding the value, not the link.
    EXPECT_FALSE(fs::is_symlink(m_file));
    EXPECT_NE(ReadText(m_file).find("Skip Warning On REF"), std::string::npos);
}

TEST_F(RegistryTempFile, LeftoverTemporaryFileIsReplaced) {
    std::ofstream(m_temp) << "left over by a crashed run";
    ASSERT_EQ(WriteDword(L"Skip Warning On REF", 1), ERROR_SUCCESS);
    EXPECT_NE(ReadText(m_file).find("Skip Warning On REF"), std::string::npos);
    EXPECT_FALSE(fs::exists(m_temp));
}

}  // namespace
