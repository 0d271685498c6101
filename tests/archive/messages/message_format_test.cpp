// Formatting message texts: the placeholders the tables use, and texts
// whose placeholders and arguments disagree.
#include <gtest/gtest.h>

#include "archive/messages/message_format.h"

namespace lunaro::archive {
namespace {

TEST(MessageFormat, PlaceholdersOfTheTables) {
    EXPECT_EQ(FormatMessageText("Index (%d) outside range 0..%d", {-1, 9}), "Index (-1) outside range 0..9");
    EXPECT_EQ(FormatMessageText("Please insert disk volume %.1d of %.1d", {3, 12}),
              "Please insert disk volume 3 of 12");
    EXPECT_EQ(FormatMessageText("Error [%d %s] loading %s", {126, "x", "y.dll"}), "Error [126 x] loading y.dll");
    EXPECT_EQ(FormatMessageText("%s   (%d)", {"T", 10000}), "T   (10000)");
    EXPECT_EQ(FormatMessageText("%.3d|%5s|%-4d|%x|%%", {7, "ab", 5, 255}), "007|   ab|5   |ff|%");
}

TEST(MessageFormat, MismatchesStayVisibleInsteadOfFailing) {
    EXPECT_EQ(FormatMessageText("a %s b %d", {"x"}), "a x b %d");
    EXPECT_EQ(FormatMessageText("%d", {"text"}), "text");
    EXPECT_EQ(FormatMessageText("%s", {int64_t{42}}), "42");
    EXPECT_EQ(FormatMessageText("100% sure %", {}), "100% sure %");
    EXPECT_EQ(FormatMessageText("%99999999999d", {1}).size(), 1000u);
    EXPECT_EQ(FormatMessageText("", {1, "a"}), "");
    EXPECT_EQ(FormatMessageText("%d", {INT64_MIN}), "-9223372036854775808");
}

}  // namespace
}  // namespace lunaro::archive
