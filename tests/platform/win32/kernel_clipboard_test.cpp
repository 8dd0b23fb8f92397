// The clipboard over the backend: text in and out through global memory
// blocks, and the failures of a clipboard that is not open.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "platform/win32.h"

namespace {

bool PutText(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(WCHAR));
    auto* p = static_cast<WCHAR*>(GlobalLock(block));
    wmemcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    const bool ok = SetClipboardData(CF_UNICODETEXT, block) == block;
    if (!ok) GlobalFree(block);
    CloseClipboard();
    return ok;
}

// The clipboard's text in one format, as the characters of the block.
template <typename Ch>
std::basic_string<Ch> TakeText(UINT format) {
    std::basic_string<Ch> text;
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(format)) {
        text = static_cast<const Ch*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::wstring TakeText() { return TakeText<WCHAR>(CF_UNICODETEXT); }

TEST(Clipboard, TextRoundTrip) {
    const std::wstring text = L"Tumbral 还原 \"cube\"\ttab";
    ASSERT_TRUE(PutText(text));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(TakeText(), text);
    EXPECT_EQ(TakeText<char>(CF_TEXT), "Tumbral \xe8\xbf\x98\xe5\x8e\x9f \"cube\"\ttab");  // UTF-8

    // An emptied clipboard has no text.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EXPECT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
}

TEST(Clipboard, TextEndsAtTheFirstTerminatorOrTheBlockEnd) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 3 * sizeof(WCHAR));  // no terminator
    auto* p = static_cast<WCHAR*>(GlobalLock(block));
    p[0] = L'a', p[1] = L'b', p[2] = L'c';
    GlobalUnlock(block);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), block);
    CloseClipboard();
    EXPECT_EQ(TakeText(), L"abc");
}

TEST(Clipboard, RefusedWhenNotOpenOrForBadData) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(WCHAR));
    SetLastError(0);
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, block), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLIPBOARD_NOT_OPEN));
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_FALSE(CloseClipboard());

    ASSERT_TRUE(OpenClipboard(nullptr));
    int local = 0;
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, &local), nullptr);   // not a memory block
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, nullptr), nullptr);  // delayed rendering
    EXPECT_EQ(SetClipboardData(2 /* CF_BITMAP */, block), nullptr);
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(GlobalFree(block), nullptr);  // still the caller's
}

}  // namespace
