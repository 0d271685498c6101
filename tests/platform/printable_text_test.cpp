#include "platform/printable_text.h"

#include <gtest/gtest.h>

#include <string>

namespace lunaro::platform {
namespace {

TEST(PrintableText, PlainAndAccentedTextStaysAsItIs) {
    EXPECT_EQ(PrintableText("Não encontrado: C:\\pasta\\a b.zip"), "Não encontrado: C:\\pasta\\a b.zip");
    EXPECT_EQ(PrintableText(""), "");
}

TEST(PrintableText, ControlsOfEveryRangeAreEscaped) {
    // An escape sequence that would clear the screen and set the title.
    EXPECT_EQ(PrintableText("OK\x1b[2J\x1b]0;owned\x07"), "OK\\x1B[2J\\x1B]0;owned\\x07");
    EXPECT_EQ(PrintableText(std::string("a\0b\r\n\t\x7f", 7)), "a\\x00b\\x0D\\x0A\\x09\\x7F");
    // C1 controls in their UTF-8 form, around the first printable neighbours.
    EXPECT_EQ(PrintableText("\xc2\x80\xc2\x9b\xc2\x9f\xc2\xa0"), "\\xC2\\x80\\xC2\\x9B\\xC2\\x9F\xc2\xa0");
}

TEST(PrintableText, InvalidUtf8IsEscapedByteByByte) {
    // A lone C1 byte, a truncated sequence at the end, an overlong "/" and a surrogate.
    EXPECT_EQ(PrintableText("a\x9b" "b"), "a\\x9Bb");
    EXPECT_EQ(PrintableText("x\xc3"), "x\\xC3");
    EXPECT_EQ(PrintableText("\xc0\xaf"), "\\xC0\\xAF");
    EXPECT_EQ(PrintableText("\xed\xa0\x80"), "\\xED\\xA0\\x80");
    EXPECT_EQ(PrintableText("\xf0\x9f\x98\x80"), "\xf0\x9f\x98\x80");
}

}  // namespace
}  // namespace lunaro::platform
