// Escaping outside text for the terminal: control characters of both ranges
// and malformed UTF-8 become "\xNN" per byte; characters are kept.
#include <gtest/gtest.h>

#include <string>

#include "platform/base/printable_text.h"

namespace {

using plat::PrintableLines;
using plat::PrintableText;

TEST(PrintableText, ControlCharactersOfBothRangesAreEscapedPerByte) {
    EXPECT_EQ(PrintableText("a\x1b[2Jb\x07\x7f"), "a\\x1B[2Jb\\x07\\x7F");
    EXPECT_EQ(PrintableText("\n\t\r"), "\\x0A\\x09\\x0D");
    // CSI, ST and OSC written as UTF-8 C1 characters, and the first and last C1.
    EXPECT_EQ(PrintableText("\xc2\x9b"
                            "31m \xc2\x9c \xc2\x9d"
                            "0;t"),
              "\\xC2\\x9B31m \\xC2\\x9C \\xC2\\x9D0;t");
    EXPECT_EQ(PrintableText("\xc2\x80\xc2\x9f"), "\\xC2\\x80\\xC2\\x9F");
}

TEST(PrintableText, MalformedUtf8IsEscapedAndWhatFollowsIsKept) {
    // A lone C1 byte (a terminal in an 8-bit mode reads 0x9B as CSI), bytes never
    // used, a continuation without a lead, a truncated sequence, an overlong
    // form, an encoded surrogate and a value above U+10FFFF.
    EXPECT_EQ(PrintableText("\x9b"
                            "31m"),
              "\\x9B31m");
    EXPECT_EQ(PrintableText("\xff\xfe\xc0\xc1"), "\\xFF\\xFE\\xC0\\xC1");
    EXPECT_EQ(PrintableText("a\x80"
                            "b"),
              "a\\x80b");
    EXPECT_EQ(PrintableText("\xe8\xbf"
                            "A"),
              "\\xE8\\xBFA");
    EXPECT_EQ(PrintableText("\xe8\xbf"), "\\xE8\\xBF");
    EXPECT_EQ(PrintableText("\xc0\xaf"), "\\xC0\\xAF");
    EXPECT_EQ(PrintableText("\xed\xa0\x80"), "\\xED\\xA0\\x80");
    EXPECT_EQ(PrintableText("\xf4\x90\x80\x80"), "\\xF4\\x90\\x80\\x80");
    // A lead byte followed by a control: both escaped, the control by itself.
    EXPECT_EQ(PrintableText("\xc2\x1b"), "\\xC2\\x1B");
}

TEST(PrintableText, CharactersAndEscapedTextAreKept) {
    // No-break space (the first character after the C1 range), CJK, an emoji.
    const std::string text = "caf\xc3\xa9 \xc2\xa0 \xe8\xbf\x98\xe5\x8e\x9f \xf0\x9f\x98\x80 \\x1B";
    EXPECT_EQ(PrintableText(text), text);
    // Escaped text is printable: escaping it again changes nothing.
    const std::string escaped = PrintableText("\x1b\xc2\x9b\xff");
    EXPECT_EQ(PrintableText(escaped), escaped);
    EXPECT_EQ(PrintableText(""), "");
}

TEST(PrintableText, LinesKeepTheirLineFeedsOnly) {
    EXPECT_EQ(PrintableLines("one\ntwo\r\n\xc2\x9b\t\n"), "one\ntwo\\x0D\n\\xC2\\x9B\\x09\n");
}

}  // namespace
