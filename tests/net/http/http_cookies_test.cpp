#include "net/http/http_cookies.h"

#include <gtest/gtest.h>

namespace lunaro::net {
namespace {

using platform::TStringList;

TEST(HttpCookies, CollectsReplacesAndRemoves) {
    TStringList headers;
    headers.Add("HTTP/1.1 200 OK");
    headers.Add("Set-Cookie: session = abc ; Path=/; HttpOnly");
    headers.Add("set-cookie:lang=pt");
    headers.Add("X-Set-Cookie: ignored=1");
    headers.Add("");
    TStringList cookies;
    cookies.Add("old=1");
    CollectCookies(headers, cookies);
    EXPECT_EQ(cookies.Text(), "old=1\r\nsession=abc\r\nlang=pt\r\n");
    EXPECT_EQ(CookieHeaderValue(cookies), "old=1; session=abc; lang=pt");

    TStringList next;
    next.Add("SET-COOKIE: session=def");
    next.Add("Set-Cookie: old=; Max-Age=0");
    CollectCookies(next, cookies);
    EXPECT_EQ(CookieHeaderValue(cookies), "session=def; lang=pt");
}

TEST(HttpCookies, EmptyJarSendsNothing) { EXPECT_EQ(CookieHeaderValue(TStringList()), ""); }

}  // namespace
}  // namespace lunaro::net
