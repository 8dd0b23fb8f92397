// The registry: persistence in its file, value types and sizes, access
// rights, and damaged files reported as result codes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "platform/win32.h"
#include "platform/win32/kernel_registry_file.h"

namespace {

namespace fs = std::filesystem;

class Registry : public ::testing::Test {
  protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("tumbral_reg_" + std::to_string(getpid()) + "_" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        UseFile(m_dir / "registry");
    }
    void TearDown() override {
        unsetenv("TUMBRAL_REGISTRY_FILE");
        fs::remove_all(m_dir);
    }
    void UseFile(const fs::path& p) {
        m_file = p;
        setenv("TUMBRAL_REGISTRY_FILE", p.c_str(), 1);
    }
    std::string FileText() const {
        std::ifstream in(m_file);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    void WriteFile(const std::string& text) const { std::ofstream(m_file) << text; }

    static LSTATUS ReadDword(LPCWSTR key, LPCWSTR name, DWORD& out) {
        HKEY h = nullptr;
        LSTATUS r = RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &h);
        if (r != ERROR_SUCCESS) return r;
        DWORD type = 0, size = sizeof(out);
        r = RegQueryValueExW(h, name, nullptr, &type, reinterpret_cast<BYTE*>(&out), &size);
        RegCloseKey(h);
        if (r == ERROR_SUCCESS && (type != REG_DWORD || size != sizeof(DWORD))) return ERROR_INVALID_DATA;
        return r;
    }
    static LSTATUS WriteDword(LPCWSTR key, LPCWSTR name, DWORD value) {
        HKEY h = nullptr;
        LSTATUS r = RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                    nullptr, &h, nullptr);
        if (r != ERROR_SUCCESS) return r;
        r = RegSetValueExW(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
        RegCloseKey(h);
        return r;
    }

    fs::path m_dir, m_file;
};

constexpr const wchar_t* kKitKey = L"Software\\Tumbral\\Kit";
constexpr const wchar_t* kSkip = L"Skip Warning On REF";

// A value written in one run is read by the next: the state lives in the file
// alone, so a copy of the file under another name carries it, and an empty
// registry does not have it.
TEST_F(Registry, ValuePersistsInItsFile) {
    DWORD value = 0;
    EXPECT_EQ(ReadDword(kKitKey, kSkip, value), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(WriteDword(kKitKey, kSkip, 1), ERROR_SUCCESS);
    EXPECT_NE(FileText().find("Skip Warning On REF"), std::string::npos);

    const fs::path copy = m_dir / "copy";
    fs::copy_file(m_file, copy);
    UseFile(m_dir / "empty");
    EXPECT_EQ(ReadDword(kKitKey, kSkip, value), ERROR_FILE_NOT_FOUND);
    UseFile(copy);
    ASSERT_EQ(ReadDword(L"SOFTWARE\\tumbral\\KIT", L"skip warning on ref", value), ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);

    // No temporary files are left beside it.
    int files = 0;
    for (const auto& e : fs::directory_iterator(m_dir)) files += e.is_regular_file();
    EXPECT_EQ(files, 2);
}

TEST_F(Registry, FileWrittenByAnEarlierRunIsRead) {
    WriteFile(
        "; earlier run\n[HKEY_CURRENT_USER\\Software\\Tumbral\\Kit]\n\"Skip Warning On "
        "REF\"=dword:0000002a\n");
    DWORD value = 0;
    ASSERT_EQ(ReadDword(kKitKey, kSkip, value), ERROR_SUCCESS);
    EXPECT_EQ(value, 42u);
}

TEST_F(Registry, CreateOpensExistingKeysAndMakesParents) {
    HKEY h = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"A\\B\\C", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    RegCloseKey(h);
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"a\\b\\c", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(h);
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"A\\B", 0, KEY_READ, &h), ERROR_SUCCESS);
    RegCloseKey(h);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"A\\B", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(h, nullptr);
    // A key with sub-keys stays; a leaf goes, and handles to it then fail.
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"A\\B"), ERROR_ACCESS_DENIED);
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"A\\B\\C", 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyW(HKEY_CURRENT_USER, L"A\\B\\C"), ERROR_SUCCESS);
    DWORD one = 1;
    EXPECT_EQ(RegSetValueExW(h, L"x", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4), ERROR_KEY_DELETED);
    RegCloseKey(h);
}

// Texts with quotes, percent signs, line breaks and non-ASCII letters, and
// binary data, come back byte for byte from the file.
TEST_F(Registry, TextAndBinaryRoundTrip) {
    HKEY h = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\T\"%]", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &h, nullptr),
              ERROR_SUCCESS);
    const std::wstring text = L"say \"还原\" 100%\nnext]line";
    const BYTE blob[] = {0, 1, 0xFF, 0x7A, 0};
    ASSERT_EQ(RegSetValueExW(h, L"Te\"xt", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR))),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(h, nullptr, 0, REG_BINARY, blob, sizeof blob), ERROR_SUCCESS);
    RegCloseKey(h);

    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\t\"%]", 0, KEY_READ, &h), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    // Size query without a buffer.
    ASSERT_EQ(RegQueryValueExW(h, L"te\"XT", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, (text.size() + 1) * sizeof(WCHAR));
    // Too small a buffer: ERROR_MORE_DATA with the size needed.
    WCHAR small[4];
    DWORD smallSize = sizeof small;
    EXPECT_EQ(RegQueryValueExW(h, L"Te\"xt", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &smallSize),
              ERROR_MORE_DATA);
    EXPECT_EQ(smallSize, size);
    std::wstring back(size / sizeof(WCHAR), L'?');
    ASSERT_EQ(RegQueryValueExW(h, L"Te\"xt", nullptr, nullptr, reinterpret_cast<BYTE*>(back.data()), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(back.c_str()), text);

    BYTE blobBack[16] = {};
    size = sizeof blobBack;
    ASSERT_EQ(RegQueryValueExW(h, L"", nullptr, &type, blobBack, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    ASSERT_EQ(size, sizeof blob);
    EXPECT_EQ(0, memcmp(blob, blobBack, sizeof blob));
    RegCloseKey(h);
}

TEST_F(Registry, AccessRightsAndBadHandles) {
    ASSERT_EQ(WriteDword(kKitKey, kSkip, 7), ERROR_SUCCESS);
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKitKey, 0, KEY_READ, &h), ERROR_SUCCESS);
    DWORD zero = 0;
    EXPECT_EQ(RegSetValueExW(h, kSkip, 0, REG_DWORD, reinterpret_cast<BYTE*>(&zero), 4), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueW(h, kSkip), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
    // The closed handle and a made-up one are refused, not followed.
    DWORD value = 0, size = 4;
    EXPECT_EQ(RegQueryValueExW(h, kSkip, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(0x1234)), ERROR_INVALID_HANDLE);
    // A DWORD must be 4 bytes.
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKitKey, 0, KEY_ALL_ACCESS, &h), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(h, kSkip, 0, REG_DWORD, reinterpret_cast<BYTE*>(&zero), 2),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteValueW(h, kSkip), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueW(h, kSkip), ERROR_FILE_NOT_FOUND);
    RegCloseKey(h);
    EXPECT_EQ(ReadDword(kKitKey, kSkip, value), ERROR_FILE_NOT_FOUND);
}

// A damaged file is reported and left as it is: nothing is overwritten.
TEST_F(Registry, CorruptFileIsAResultCodeAndKeptIntact) {
    const char* damaged[] = {
        "[HKEY_CURRENT_USER\\Software\n\"x\"=dword:1\n",    // unterminated key line
        "\"orphan\"=dword:00000001\n",                      // value outside a key
        "[HKEY_CURRENT_USER\\K]\n\"x\"=dword:0000001\n",    // short number
        "[HKEY_CURRENT_USER\\K]\n\"x\"=hex(3):01,0g\n",     // bad hex
        "[HKEY_CURRENT_USER\\K]\n\"x\"=sz:\"open\n",        // unterminated text
        "[HKEY_CURRENT_USER\\K]\n\"x\"=sz:\"%ZZ\"\n",       // bad escape
        "[HKEY_CURRENT_USER\\K]\n\"x\"=hex(3):01,\n",       // trailing comma
        "[HKEY_CURRENT_USER\\K]\n\"x\"=sz:\"\xff\xfe\"\n",  // not UTF-8
    };
    for (const char* text : damaged) {
        SCOPED_TRACE(text);
        WriteFile(text);
        HKEY h = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"K", 0, KEY_READ, &h), ERROR_BADDB);
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"New", 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr),
                  ERROR_BADDB);
        DWORD one = 1;
        EXPECT_EQ(RegSetValueExW(HKEY_CURRENT_USER, L"v", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), 4),
                  ERROR_BADDB);
        EXPECT_EQ(FileText(), text);
    }
}

TEST_F(Registry, UnreadableOrUnwritableFileIsAResultCode) {
    fs::create_directories(m_file);  // a folder where the file should be
    HKEY h = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKitKey, 0, KEY_READ, &h), ERROR_CANTREAD);
    DWORD value = 0;
    EXPECT_EQ(ReadDword(kKitKey, kSkip, value), ERROR_CANTREAD);

    // The file's folder cannot be made: reads find an empty registry, writes fail.
    UseFile("/proc/self/tumbral-none/registry");
    EXPECT_EQ(ReadDword(kKitKey, kSkip, value), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(WriteDword(kKitKey, kSkip, 1), ERROR_CANTWRITE);
}

// Any registry survives writing and reading back, whatever its names and
// data hold; damaged copies of it parse or are refused, never crash.
TEST(RegistryFormat, RoundTripAndDamagedCopies) {
    std::mt19937 rng(1234);
    const std::wstring alphabet = L"abcXYZ \"%]=[;:,\t\n\r\\\x7f\xe9\x8fd8\x1F600";
    auto randomText = [&](size_t maxLen) {
        std::wstring t;
        for (size_t n = rng() % (maxLen + 1); n > 0; --n) t += alphabet[rng() % alphabet.size()];
        return t;
    };
    plat::RegistryData data;
    for (int k = 0; k < 20; ++k) {
        plat::RegistryKey key;
        key.path = L"HKEY_CURRENT_USER\\" + randomText(6) + L"x" + std::to_wstring(k);
        for (int v = 0; v < 4; ++v) {
            plat::RegistryValue value;
            value.name = randomText(5) + std::to_wstring(v);
            value.type = std::vector<DWORD>{REG_SZ, REG_DWORD, REG_BINARY, REG_MULTI_SZ}[rng() % 4];
            if (value.type == REG_SZ) {
                const std::wstring text = randomText(8) + L'\0';
                const auto* bytes = reinterpret_cast<const BYTE*>(text.data());
                value.data.assign(bytes, bytes + text.size() * sizeof(WCHAR));
            } else {
                value.data.resize(value.type == REG_DWORD ? 4 : rng() % 9);
                for (BYTE& b : value.data) b = static_cast<BYTE>(rng());
            }
            key.values.push_back(value);
        }
        data[plat::RegistryLower(key.path)] = key;
    }
    const std::string text = plat::SerializeRegistry(data);
    plat::RegistryData back;
    ASSERT_EQ(plat::ParseRegistry(text, back), ERROR_SUCCESS);
    ASSERT_EQ(back.size(), data.size());
    for (const auto& [name, key] : data) {
        ASSERT_EQ(back.count(name), 1u);
        const plat::RegistryKey& other = back[name];
        EXPECT_EQ(other.path, key.path);
        ASSERT_EQ(other.values.size(), key.values.size());
        for (size_t i = 0; i < key.values.size(); ++i) {
            EXPECT_EQ(other.values[i].name, key.values[i].name);
            EXPECT_EQ(other.values[i].type, key.values[i].type);
            EXPECT_EQ(other.values[i].data, key.values[i].data);
        }
    }
    int refused = 0;
    for (int trial = 0; trial < 500; ++trial) {
        std::string damaged = text;
        for (int m = 0; m < 3; ++m) damaged[rng() % damaged.size()] = static_cast<char>(rng());
        const LONG r = plat::ParseRegistry(damaged, back);
        EXPECT_TRUE(r == ERROR_SUCCESS || r == ERROR_BADDB);
        refused += r == ERROR_BADDB;
    }
    EXPECT_GT(refused, 0);
}

}  // namespace
