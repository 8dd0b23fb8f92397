// Escaping outside text for the terminal: control characters of both ranges
// and malformed UTF-8 become "\xNN" per byte; characters are kept.
#include <gtest/gtest.h>

#include <string>

#include "platform/base/printable_text.h"

namespace {

using plat::PrintableText;

TEST(PrintableText, ControlsAndMalformedBytesAreEscapedPerByte) {
    EXPECT_EQ(PrintableText("a\x1b[2J\x07\x7f\n"), "a\\x1B[2J\\x07\\x7F\\x0A");
    // CSI, ST, OSC and the first and last C1 control, written as UTF-8.
    EXPECT_EQ(PrintableText("\xc2\x9b\xc2\x9c\xc2\x9d\xc2\x80\xc2\x9f"),
              "\\xC2\\x9B\\xC2\\x9C\\xC2\\x9D\\xC2\\x80\\xC2\\x9F");
    // A lone C1 byte, bytes never used, an overlong form, an encoded surrogate, a
    // value above U+10FFFF, a truncated sequence and one cut by a control: the
    // escapes end where the malformed bytes do.
    EXPECT_EQ(PrintableText("\x9b|\xff\xc0\xaf|\xed\xa0\x80|\xf4\x90\x80\x80|\xe8\xbf|\xc2\x1b"),
              "\\x9B|\\xFF\\xC0\\xAF|\\xED\\xA0\\x80|\\xF4\\x90\\x80\\x80|\\xE8\\xBF|\\xC2\\x1B");
}

TEST(PrintableText, CharactersAreKeptAndLinesKeepTheirLineFeeds) {
    // No-break space (the first character after the C1 range), CJK, an emoji.
    const std::string text = "caf\xc3\xa9 \xc2\xa0 \xe8\xbf\x98\xe5\x8e\x9f \xf0\x9f\x98\x80 \\x1B";
    EXPECT_EQ(PrintableText(text), text);
    // Escaped text is printable: escaping it again changes nothing.
    const std::string escaped = PrintableText("\x1b\xc2\x9b\xff");
    EXPECT_EQ(PrintableText(escaped), escaped);
    EXPECT_EQ(plat::PrintableLines("one\ntwo\r\n\xc2\x9b\t\n"), "one\ntwo\\x0D\n\\xC2\\x9B\\x09\n");
}

}  // namespace
