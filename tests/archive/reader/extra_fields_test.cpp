#include "archive/reader/extra_fields.h"

#include <gtest/gtest.h>

#include "tests/support/zip_builder.h"

namespace lunaro::archive {
namespace {

using testkit::Crc32;
using testkit::ExtraBlock;
using testkit::UnicodeBlock;

TEST(ExtraFields, FindsTheFirstBlockWithTheTag) {
    const std::string extra = ExtraBlock(0x5455, "abcde") + ExtraBlock(0x0001, "12345678") + ExtraBlock(0x0001, "x");
    auto block = FindExtraBlock(extra, 0x0001);
    ASSERT_TRUE(block);
    EXPECT_EQ(*block, ExtraBlock(0x0001, "12345678"));
    EXPECT_EQ(*ExtraBlockData(extra, 0x0001), "12345678");
    EXPECT_FALSE(FindExtraBlock(extra, 0x7075));
}

TEST(ExtraFields, WalkStopsAtBlocksThatDoNotFit) {
    // The wanted block claims more data than the field holds: no answer,
    // and the later well-formed block is not looked at.
    const std::string overrun = testkit::U16(0x0001) + testkit::U16(50) + "abc" + ExtraBlock(0x0001, "ok");
    EXPECT_FALSE(FindExtraBlock(overrun, 0x0001));
    // A header alone in the last four bytes is never examined.
    EXPECT_FALSE(FindExtraBlock(ExtraBlock(0x0001, ""), 0x0001));
    // An empty block followed by more bytes is.
    EXPECT_TRUE(FindExtraBlock(ExtraBlock(0x0001, "") + "z", 0x0001));
    // A foreign block that overruns ends the walk without reading past the field.
    EXPECT_FALSE(FindExtraBlock(testkit::U16(0x9999) + testkit::U16(0xFFFF) + "abc", 0x0001));
    EXPECT_FALSE(FindExtraBlock("", 0x0001));
}

TEST(ExtraFields, Utf8WellFormednessRule) {
    EXPECT_TRUE(IsWellFormedUtf8("plain"));
    EXPECT_TRUE(IsWellFormedUtf8("caf\xC3\xA9"));
    EXPECT_TRUE(IsWellFormedUtf8("\xF0\x9F\x98\x80"));
    EXPECT_TRUE(IsWellFormedUtf8("\xF8\x88\x80\x80\x80"));      // five-byte forms pass this rule
    EXPECT_TRUE(IsWellFormedUtf8("\xFC\x84\x80\x80\x80\x80"));  // and six-byte ones
    EXPECT_FALSE(IsWellFormedUtf8("caf\xC3"));                  // cut off
    EXPECT_FALSE(IsWellFormedUtf8("\xC3\x41"));                 // bad continuation
    EXPECT_FALSE(IsWellFormedUtf8("\x80"));                     // stray continuation
    EXPECT_FALSE(IsWellFormedUtf8("\xFE"));
}

TEST(ExtraFields, UnicodeFieldNeedsVersionOneMatchingCrcAndText) {
    const std::string stored = "caf\x82.txt";
    const std::string text = "caf\xC3\xA9.txt";
    EXPECT_EQ(UnicodeFieldText(UnicodeBlock(0x7075, 1, Crc32(stored), text), 0x7075, stored), text);
    EXPECT_FALSE(UnicodeFieldText(UnicodeBlock(0x7075, 2, Crc32(stored), text), 0x7075, stored));
    EXPECT_FALSE(UnicodeFieldText(UnicodeBlock(0x7075, 1, Crc32(stored) ^ 1, text), 0x7075, stored));
    EXPECT_FALSE(UnicodeFieldText(UnicodeBlock(0x7075, 1, Crc32(stored), ""), 0x7075, stored));
    EXPECT_FALSE(UnicodeFieldText(UnicodeBlock(0x7075, 1, Crc32(stored), "bad\xC3"), 0x7075, stored));
    EXPECT_FALSE(UnicodeFieldText(UnicodeBlock(0x6375, 1, Crc32(stored), text), 0x7075, stored));
    EXPECT_FALSE(UnicodeFieldText(ExtraBlock(0x7075, "\x01\x00"), 0x7075, stored));
}

}  // namespace
}  // namespace lunaro::archive
