#include "download/http_reply_names.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace lunaro::download {
namespace {

platform::TStringList Lines(std::initializer_list<std::string> lines) {
    platform::TStringList list;
    for (const std::string& line : lines) list.Add(line);
    return list;
}

TEST(LastPathSegment, TakesTheTextAfterTheLastSeparator) {
    EXPECT_EQ(LastPathSegment("/pacotes/banco.zip"), "banco.zip");
    EXPECT_EQ(LastPathSegment("/a\\b:c.zip"), "c.zip");
    EXPECT_EQ(LastPathSegment("/pacotes/"), "");
    EXPECT_EQ(LastPathSegment(""), "");
    // Names that would leave the destination folder or break the path.
    EXPECT_EQ(LastPathSegment("/x/.."), "");
    EXPECT_EQ(LastPathSegment("/x/."), "");
    EXPECT_EQ(LastPathSegment(std::string("/x/a\0b", 6)), "");
    EXPECT_EQ(LastPathSegment("/x/a\r\nb"), "");
}

TEST(FileNameFromHeaders, ReadsQuotedAndPlainValues) {
    EXPECT_EQ(FileNameFromHeaders(Lines({"HTTP/1.1 206 Partial Content",
                                         "Content-Disposition: attachment; filename=\"pacote.zip\"", ""})),
              "pacote.zip");
    EXPECT_EQ(FileNameFromHeaders(Lines({"Content-Disposition: attachment; filename=plain.zip; size=10"})),
              "plain.zip");
    EXPECT_EQ(FileNameFromHeaders(Lines({"Content-Disposition: attachment; filename=\"a b.zip\"; x=1"})), "a b.zip");
    EXPECT_EQ(FileNameFromHeaders(Lines({"HTTP/1.1 200 OK", "Content-Type: text/html", ""})), "");
}

TEST(FileNameFromHeaders, KeepsTheNameInsideTheFolder) {
    EXPECT_EQ(FileNameFromHeaders(Lines({"Content-Disposition: attachment; filename=\"../../etc/passwd\""})),
              "passwd");
    EXPECT_EQ(FileNameFromHeaders(Lines({"Content-Disposition: attachment; filename=\"C:\\Windows\\x.dll\""})),
              "x.dll");
    // A line that gives no usable name lets a later one speak.
    EXPECT_EQ(FileNameFromHeaders(Lines({"X-Note: filename=\"..\"", "Content-Disposition: filename=ok.zip"})),
              "ok.zip");
}

TEST(RedirectTarget, AbsoluteAndPartialLocations) {
    const std::string from = "http://127.0.0.1:8080/old/file.zip";
    EXPECT_EQ(RedirectTarget(Lines({"HTTP/1.1 302 Found", "Location: http://h2/new.zip", ""}), from),
              "http://h2/new.zip");
    EXPECT_EQ(RedirectTarget(Lines({"location:   /new/file.zip  "}), from), "http://127.0.0.1:8080/new/file.zip");
    EXPECT_EQ(RedirectTarget(Lines({"Location: //mirror:81/f.zip"}), from), "http://mirror:81/f.zip");
    EXPECT_EQ(RedirectTarget(Lines({"Location: /x"}), "h:81"), "http://h:81/x");
    EXPECT_EQ(RedirectTarget(Lines({"HTTP/1.1 302 Found", "Content-Length: 0", ""}), from), "");
    EXPECT_EQ(RedirectTarget(Lines({"Location:"}), from), "");
}

}  // namespace
}  // namespace lunaro::download
