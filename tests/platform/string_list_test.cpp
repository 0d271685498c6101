#include <gtest/gtest.h>

#include "platform/string_list.h"

using namespace lunaro::platform;

TEST(StringList, TextBreaksAtEveryLineEndStyleAndJoinsWithCrLf) {
    TStringList list;
    list.SetText("a\r\nb\nc\rd\r\n\r\ne");
    ASSERT_EQ(list.Count(), 6);
    EXPECT_EQ(list[3], "d");
    EXPECT_EQ(list[4], "");
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n");
    list.SetText("only\r\n");
    EXPECT_EQ(list.Count(), 1);
    list.SetText("");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Text(), "");
}

TEST(StringList, EditingKeepsOrderAndRejectsBadIndexes) {
    TStringList list;
    EXPECT_EQ(list.Add("b"), 0);
    list.Insert(0, "a");
    list.Insert(2, "c");
    EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(list.IndexOf("B"), 1);
    list.Delete(1);
    EXPECT_EQ(list.IndexOf("b"), -1);
    EXPECT_THROW(list.Insert(5, "x"), EStringListError);
    EXPECT_THROW(list.Delete(2), EStringListError);
    EXPECT_THROW(list[-1], EStringListError);
    list.CaseSensitive = true;
    EXPECT_EQ(list.IndexOf("A"), -1);
}

TEST(StringList, NameValueLookupsIgnoreCaseAndSplitAtTheFirstEquals) {
    TStringList list;
    list.SetText("Content-Type=text/html\r\nplain line\r\nX=a=b\r\n=empty name");
    EXPECT_EQ(list.Values("content-type"), "text/html");
    EXPECT_EQ(list.Values("x"), "a=b");
    EXPECT_EQ(list.Values("missing"), "");
    EXPECT_EQ(list.Names(1), "");
    EXPECT_EQ(list.ValueFromIndex(1), "");
    EXPECT_EQ(list.Names(2), "X");
    EXPECT_EQ(list.Values(""), "empty name");

    list.SetValue("CONTENT-TYPE", "application/zip");
    EXPECT_EQ(list[0], "CONTENT-TYPE=application/zip");
    list.SetValue("New", "1");
    EXPECT_EQ(list[list.Count() - 1], "New=1");
    list.SetValue("x", "");
    EXPECT_EQ(list.IndexOfName("X"), -1);
    EXPECT_EQ(list.Count(), 4);
}
