#include <gtest/gtest.h>

#include "platform/code_pages.h"
#include "tests/platform/scoped_env.h"

using namespace lunaro::platform;
using lunaro::testkit::ScopedEnv;

TEST(CodePages, OemAccentedLettersRoundTrip) {
    const std::string text = "Ação É útil";
    bool exact = true;
    const std::string oem = Utf8ToCodePage(text, 850, &exact);
    EXPECT_TRUE(exact);
    EXPECT_EQ(oem, "A\x87\xC6o \x90 \xA3til");
    EXPECT_EQ(CodePageToUtf8(oem, 850, &exact), text);
    EXPECT_TRUE(exact);
    // The same bytes mean other letters in the ANSI code page.
    EXPECT_EQ(CodePageToUtf8("\x87", 1252), "‡");
    EXPECT_EQ(Utf8ToCodePage("€ç", 1252), "\x80\xE7");
}

TEST(CodePages, UnconvertibleAndInvalidInputBecomesQuestionMarks) {
    bool exact = true;
    EXPECT_EQ(Utf8ToCodePage("1€ 日", 850, &exact), "1? ?");
    EXPECT_FALSE(exact);
    exact = true;
    EXPECT_EQ(Utf8ToCodePage("a\xFF\xC3", 850, &exact), "a??");
    EXPECT_FALSE(exact);
    exact = true;
    EXPECT_EQ(CodePageToUtf8("a\x81z", 1252, &exact), "a?z");  // a hole in the table
    EXPECT_FALSE(exact);
    exact = true;
    EXPECT_EQ(CodePageToUtf8("ok\xE9\xFF", kUtf8CodePage, &exact), "ok??");
    EXPECT_FALSE(exact);
    EXPECT_EQ(CodePageToUtf8("", 850), "");
}

TEST(CodePages, UnknownCodePagesPassOnlyAscii) {
    EXPECT_FALSE(IsKnownCodePage(99999));
    EXPECT_FALSE(IsKnownCodePage(1200));
    EXPECT_TRUE(IsKnownCodePage(437));
    bool exact = true;
    EXPECT_EQ(CodePageToUtf8("ab\xE9", 99999, &exact), "ab?");
    EXPECT_FALSE(exact);
    EXPECT_EQ(Utf8ToCodePage("abé", 99999), "ab?");
}

TEST(CodePages, DefaultsFollowTheEnvironmentWhenItNamesAKnownCodePage) {
    {
        ScopedEnv oem("LUNARO_OEMCP", std::nullopt);
        ScopedEnv ansi("LUNARO_ACP", std::nullopt);
        EXPECT_EQ(OemCodePage(), 850);
        EXPECT_EQ(AnsiCodePage(), 1252);
        EXPECT_EQ(CodePageToUtf8("\x87", kOemCodePage), "ç");
    }
    ScopedEnv oem("LUNARO_OEMCP", "437");
    ScopedEnv ansi("LUNARO_ACP", "12x");
    EXPECT_EQ(OemCodePage(), 437);
    EXPECT_EQ(AnsiCodePage(), 1252);
    EXPECT_EQ(CodePageToUtf8("\x9B", kOemCodePage), "¢");
    ScopedEnv wide("LUNARO_OEMCP", "1200");
    EXPECT_EQ(OemCodePage(), 850);
}

TEST(Utf8, ValidityRejectsOverlongSurrogateAndTruncatedSequences) {
    EXPECT_TRUE(IsValidUtf8(""));
    EXPECT_TRUE(IsValidUtf8("ação € 𝄞"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));
    EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
    EXPECT_FALSE(IsValidUtf8("\x80"));
}

TEST(Utf8, Utf16ConversionsHandlePairsAndMarkBrokenInput) {
    EXPECT_EQ(Utf8ToUtf16("é𝄞"), std::u16string(u"é\xD834\xDD1E"));
    EXPECT_EQ(Utf16ToUtf8(u"é\xD834\xDD1E"), "é𝄞");
    bool exact = true;
    EXPECT_EQ(Utf16ToUtf8(std::u16string(u"a\xDC00" u"b\xD800"), &exact), "a?b?");
    EXPECT_FALSE(exact);
    exact = true;
    EXPECT_EQ(Utf8ToUtf16("x\xF0\x9F", &exact), u"x??");
    EXPECT_FALSE(exact);
}
