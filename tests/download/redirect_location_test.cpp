#include "download/redirect_location.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace lunaro::download {
namespace {

TEST(ResolveLocation, RelativeReferencesFollowRfc3986) {
    const std::string base = "http://a:81/b/c/d;p?q";
    const std::pair<std::string, std::string> cases[] = {
        {"g", "http://a:81/b/c/g"},          {"./g", "http://a:81/b/c/g"},
        {"g/", "http://a:81/b/c/g/"},        {"/g", "http://a:81/g"},
        {"//g/x", "http://g/x"},             {"?y", "http://a:81/b/c/d;p?y"},
        {"g?y#s", "http://a:81/b/c/g?y"},    {"..", "http://a:81/b/"},
        {"../g", "http://a:81/b/g"},         {"../../../g", "http://a:81/g"},
        {"/./g/../h", "http://a:81/h"},      {"HTTPS://h/x", "https://h/x"},
        {"http://h/a/./b/../c", "http://h/a/c"},
    };
    for (const auto& [location, expected] : cases) EXPECT_EQ(ResolveLocation(location, base).Url, expected) << location;
}

TEST(ResolveLocation, OnlyHttpAddressesWithoutControlBytesComeOut) {
    const std::string base = "http://127.0.0.1:8080/dir/f.zip";
    EXPECT_EQ(ResolveLocation("new file\t2.zip", base).Url, "http://127.0.0.1:8080/dir/new%20file%092.zip");
    for (const std::string location : {"file:///etc/passwd", "ftp://h/x", "javascript:alert(1)", "gopher:x",
                                       "http:///nohost", ""}) {
        const TResolvedLocation resolved = ResolveLocation(location, base);
        EXPECT_EQ(resolved.Url, "") << location;
        EXPECT_NE(resolved.Problem, "") << location;
    }
    EXPECT_EQ(ResolveLocation(std::string("/a\0b", 4), base).Url, "");
    EXPECT_EQ(ResolveLocation("/a\r\nSet-Cookie: x", base).Url, "");
    EXPECT_EQ(ResolveLocation("/a\x7f", base).Url, "");
}

}  // namespace
}  // namespace lunaro::download
