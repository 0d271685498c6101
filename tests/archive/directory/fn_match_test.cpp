#include "archive/directory/fn_match.h"

#include <gtest/gtest.h>

namespace lunaro::archive {
namespace {

TEST(FNMatch, StarsAloneMatchEveryName) {
    for (const char* pattern : {"*.*", "*", "**", "*.**"}) {
        EXPECT_TRUE(FNMatch(pattern, "readme")) << pattern;
        EXPECT_TRUE(FNMatch(pattern, "docs\\readme.txt")) << pattern;
        EXPECT_TRUE(FNMatch(pattern, "a.b.c")) << pattern;
    }
}

TEST(FNMatch, PlainNameMatchesOnlyTheWholeName) {
    EXPECT_FALSE(FNMatch("readme.txt", "docs\\readme.txt"));
    EXPECT_TRUE(FNMatch("*readme.txt", "docs\\readme.txt"));
    EXPECT_TRUE(FNMatch("readme.txt", "readme.txt"));
    EXPECT_FALSE(FNMatch("abc", "abcd"));
    EXPECT_TRUE(FNMatch("a?c", "abc"));
}

TEST(FNMatch, IgnoresLetterCaseAndSlashDirection) {
    EXPECT_TRUE(FNMatch("README.TXT", "readme.txt"));
    EXPECT_TRUE(FNMatch("caf\xC3\x89.txt", "caf\xC3\xA9.TXT"));  // É against é
    EXPECT_TRUE(FNMatch("docs/*.txt", "DOCS\\a.txt"));
}

TEST(FNMatch, QuestionMarkNeverCrossesAFolder) {
    EXPECT_FALSE(FNMatch("docs?a.txt", "docs\\a.txt"));
    EXPECT_TRUE(FNMatch("docs*a.txt", "docs\\sub\\a.txt"));
    EXPECT_TRUE(FNMatch("d?cs\\a.txt", "docs\\a.txt"));
}

TEST(FNMatch, ExtensionRules) {
    EXPECT_TRUE(FNMatch("*.", "abc"));
    EXPECT_FALSE(FNMatch("*.", "abc.txt"));
    EXPECT_TRUE(FNMatch("*.t*", "a.txt"));
    EXPECT_FALSE(FNMatch("*.t*", "a"));
    EXPECT_TRUE(FNMatch("a.*", "a"));
    EXPECT_FALSE(FNMatch("*.txt", "a.txt.bak"));
    EXPECT_TRUE(FNMatch("*.bak", "a.txt.bak"));
    EXPECT_FALSE(FNMatch("*.tx", "a.txt"));
    // Without a dot the pattern meets the whole name, extension included.
    EXPECT_TRUE(FNMatch("*txt", "a.txt"));
    // A dot inside a folder name does not start an extension.
    EXPECT_TRUE(FNMatch("*.", "v1.2\\readme"));
    // Nor does a leading one.
    EXPECT_TRUE(FNMatch(".profile", ".profile"));
}

TEST(FNMatch, SeveralPatternsAndBlanks) {
    EXPECT_TRUE(FNMatch("a*.txt|*.doc", "x.doc"));
    EXPECT_FALSE(FNMatch("a*.txt|*.doc", "x.txt"));
    EXPECT_TRUE(FNMatch(" *.txt | *.doc ", "x.doc"));
    EXPECT_TRUE(FNMatch("*.txt\t*.doc", "x.doc"));  // control characters separate too
    EXPECT_TRUE(FNMatch("my file.txt", "my file.txt"));
    EXPECT_TRUE(FNMatch("a.txt", "  a.txt"));  // leading blanks of the name are skipped
    EXPECT_FALSE(FNMatch("|||", "a.txt"));
}

TEST(FNMatch, EmptySides) {
    EXPECT_FALSE(FNMatch("", "a"));
    EXPECT_FALSE(FNMatch("a", ""));
    EXPECT_TRUE(FNMatch("", ""));
}

TEST(FNMatch, RunsOfStarsBacktrack) {
    EXPECT_TRUE(FNMatch("**a**b*", "xxaxxbxx"));
    EXPECT_FALSE(FNMatch("*a*b", "xxaxxbxxc"));
    EXPECT_TRUE(FNMatch("*ab", "aab"));
    // Long names and many stars finish quickly.
    EXPECT_FALSE(FNMatch("*a*a*a*a*a*a*a*b", std::string(5000, 'a')));
}

}  // namespace
}  // namespace lunaro::archive
