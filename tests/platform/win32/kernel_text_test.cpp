// Bounded text functions and code-page conversion.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/support/memory_limit.h"

namespace {

// When memory has run out, text that fits is still formatted whole (a trace
// line reporting the failure must not lose its result).
TEST(StrSafe, PrintfThatFitsNeedsNoMemory) {
    if (tumbral_test::kAddressSanitized)
        GTEST_SKIP() << "address-space limits cannot be used under the sanitizer";
    const tumbral_test::ChildResult r = tumbral_test::RunInChild(uint64_t(8) << 20, [] {
        std::vector<void*> blocks;  // the heap filled up to the limit
        blocks.reserve(4096);
        for (size_t size = 1 << 20; size >= 16; size /= 2)
            while (blocks.size() < blocks.capacity())
                if (void* p = std::malloc(size))
                    blocks.push_back(p);
                else
                    break;
        WCHAR text[64];
        HRESULT hr =
            StringCchPrintfW(text, 64, L"%s: hr=%ls (0x%0.8x)", "f.cpp", L"E_OUTOFMEMORY", 0x8007000Eu);
        if (SUCCEEDED(hr) && std::wcscmp(text, L"f.cpp: hr=E_OUTOFMEMORY (0x8007000e)") != 0) hr = E_FAIL;
        for (void* p : blocks) std::free(p);
        return hr;
    });
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.hr, S_OK);
}

TEST(StrSafe, CopyAndCatTerminateAndReportTruncation) {
    WCHAR buf[6];
    EXPECT_EQ(StringCchCopyW(buf, 6, L"hello"), S_OK);
    EXPECT_STREQ(buf, L"hello");
    EXPECT_EQ(StringCchCopyW(buf, 6, L"hello world"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(buf, L"hello");
    EXPECT_EQ(StringCchCopyW(buf, 3, L"abc"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(buf, L"ab");
    EXPECT_EQ(buf[3], L'l');  // nothing written past the capacity

    EXPECT_EQ(StringCchCopyW(buf, 6, L"ab"), S_OK);
    EXPECT_EQ(StringCchCatW(buf, 6, L"cd"), S_OK);
    EXPECT_STREQ(buf, L"abcd");
    EXPECT_EQ(StringCchCatW(buf, 6, L"efg"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(buf, L"abcde");
    // A destination without a terminator in its capacity is refused untouched.
    WCHAR full[3] = {L'x', L'y', L'z'};
    EXPECT_EQ(StringCchCatW(full, 3, L"a"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(full[2], L'z');

    EXPECT_EQ(StringCchCopyNW(buf, 6, L"abcdef", 3), S_OK);
    EXPECT_STREQ(buf, L"abc");

    char narrow[4];
    EXPECT_EQ(StringCchCopyA(narrow, 4, "abcdef"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(narrow, "abc");
    EXPECT_EQ(StringCchCatA(narrow, 4, "d"), STRSAFE_E_INSUFFICIENT_BUFFER);
}

TEST(StrSafe, ZeroCapacityIsInvalidAndWritesNothing) {
    WCHAR buf[2] = {L'q', L'q'};
    EXPECT_EQ(StringCchCopyW(buf, 0, L"a"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCchCatW(buf, 0, L"a"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCchPrintfW(buf, 0, L"%d", 1), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(buf[0], L'q');
    char narrow[2] = {'q', 'q'};
    EXPECT_EQ(StringCchPrintfA(narrow, 0, "%d", 1), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(narrow[0], 'q');
    EXPECT_EQ(StringCchCopyW(nullptr, 4, L"a"), STRSAFE_E_INVALID_PARAMETER);
}

TEST(StrSafe, PrintfFormatsTruncatesAndIgnoresTheLocale) {
    WCHAR buf[64];
    EXPECT_EQ(StringCchPrintfW(buf, 64, L"%ls(%s): hr=%ls (0x%0.8x)", L"file.cpp", "12", L"E_FAIL",
                               static_cast<unsigned>(E_FAIL)),
              S_OK);
    EXPECT_STREQ(buf, L"file.cpp(12): hr=E_FAIL (0x80004005)");
    // Narrow text is UTF-8.
    EXPECT_EQ(StringCchPrintfW(buf, 64, L"[%s]", "\xe8\xbf\x98\xe5\x8e\x9f"), S_OK);
    EXPECT_STREQ(buf, L"[还原]");

    const char* before = setlocale(LC_NUMERIC, nullptr);
    const std::string saved = before ? before : "C";
    const bool german = setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    EXPECT_EQ(StringCchPrintfW(buf, 64, L"%0.2f fps ", 59.994), S_OK);
    EXPECT_STREQ(buf, L"59.99 fps ");
    char narrow[16];
    EXPECT_EQ(StringCchPrintfA(narrow, sizeof narrow, "%0.1f", 2.25), S_OK);
    EXPECT_STREQ(narrow, "2.2");
    setlocale(LC_NUMERIC, saved.c_str());
    if (!german)
        GTEST_LOG_(INFO) << "de_DE.UTF-8 not installed; the decimal point was checked in the C locale";

    WCHAR small[8];
    EXPECT_EQ(StringCchPrintfW(small, 8, L"%d-%ls", 12345, L"abcdef"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(small, L"12345-a");
    EXPECT_EQ(StringCchPrintfA(narrow, 4, "%s", "abcdef"), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_STREQ(narrow, "abc");
    // Narrow text that is not UTF-8 cannot be formatted: an error, an empty buffer.
    EXPECT_EQ(StringCchPrintfW(buf, 64, L"%s", "\xff"), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_STREQ(buf, L"");
}

TEST(StrSafe, Length) {
    size_t n = 99;
    EXPECT_EQ(StringCchLengthW(L"abc", 4, &n), S_OK);
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(StringCchLengthW(L"abc", 3, &n), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCchLengthW(nullptr, 3, &n), STRSAFE_E_INVALID_PARAMETER);
    EXPECT_EQ(StringCchLengthA("ab", STRSAFE_MAX_CCH, &n), S_OK);
    EXPECT_EQ(n, 2u);
}

TEST(CodePages, Utf8RoundTripAndSizes) {
    const char* utf8 = "A\xc3\xa9\xe8\xbf\x98\xf0\x9f\x98\x80";           // A é 还 😀
    ASSERT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, nullptr, 0), 5);  // with the terminator
    WCHAR wide[5];
    ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, utf8, -1, wide, 5), 5);
    EXPECT_EQ(wide[3], static_cast<WCHAR>(0x1F600));
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 4), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));

    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr),
              static_cast<int>(strlen(utf8) + 1));
    char back[16];
    ASSERT_GT(WideCharToMultiByte(CP_UTF8, 0, wide, -1, back, sizeof back, nullptr, nullptr), 0);
    EXPECT_STREQ(back, utf8);
    // An explicit length converts no terminator.
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, L"ab", 2, back, sizeof back, nullptr, nullptr), 2);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "a", 1, wide, 5), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(CodePages, InvalidInputIsReplacedOrRefused) {
    const char bad[] = {'a', '\xc0', '\xaf', 'b', '\xe8', '\xbf'};  // overlong form, cut sequence
    WCHAR wide[8];
    const int n = MultiByteToWideChar(CP_UTF8, 0, bad, sizeof bad, wide, 8);
    ASSERT_EQ(n, 5);
    EXPECT_EQ(std::wstring(wide, n),
              L"a\xFFFD\xFFFD"
              L"b\xFFFD");
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bad, sizeof bad, wide, 8), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_UNICODE_TRANSLATION));

    const WCHAR surrogate[] = {L'x', static_cast<WCHAR>(0xD800), 0};
    char out[8];
    BOOL usedDefault = FALSE;
    ASSERT_EQ(WideCharToMultiByte(CP_UTF8, 0, surrogate, -1, out, 8, "?", &usedDefault), 3);
    EXPECT_STREQ(out, "x?");
    EXPECT_TRUE(usedDefault);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, surrogate, -1, out, 8, nullptr, nullptr), 0);
}

}  // namespace
