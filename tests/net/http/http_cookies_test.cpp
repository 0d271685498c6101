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

TEST(HttpCookies, EachCookieGoesBackOnlyWhereItsServerAllowed) {
    TStringList headers;
    headers.Add("Set-Cookie: a=1; Path=/; Domain=.Example.test");
    headers.Add("Set-Cookie: b=2");
    headers.Add("Set-Cookie: c=3; Domain=other.test");  // not the setter's domain
    headers.Add("Set-Cookie: d=4; Domain=ample.test");  // a suffix, but no domain of it
    TStringList cookies;
    cookies.Add("mine=x");  // the caller's own
    TCookieScopes scopes;
    CollectCookies(headers, cookies, "www.example.test", &scopes);
    EXPECT_EQ(CookieHeaderValue(cookies, scopes, "WWW.example.TEST"), "mine=x; a=1; b=2; c=3; d=4");
    EXPECT_EQ(CookieHeaderValue(cookies, scopes, "img.example.test"), "mine=x; a=1");
    EXPECT_EQ(CookieHeaderValue(cookies, scopes, "example.test"), "mine=x; a=1");
    EXPECT_EQ(CookieHeaderValue(cookies, scopes, "badexample.test"), "mine=x");
    EXPECT_EQ(CookieHeaderValue(cookies, scopes, "other.test"), "mine=x");

    TStringList fromAddress;
    fromAddress.Add("Set-Cookie: sid=7; Domain=0.0.1");
    TStringList jar;
    TCookieScopes addressScopes;
    CollectCookies(fromAddress, jar, "127.0.0.1", &addressScopes);
    EXPECT_EQ(CookieHeaderValue(jar, addressScopes, "127.0.0.1"), "sid=7");
    EXPECT_EQ(CookieHeaderValue(jar, addressScopes, "localhost"), "");
    EXPECT_EQ(CookieHeaderValue(jar, addressScopes, "10.0.0.1"), "");
}

TEST(HttpCookies, EmptyJarSendsNothing) { EXPECT_EQ(CookieHeaderValue(TStringList()), ""); }

}  // namespace
}  // namespace lunaro::net
