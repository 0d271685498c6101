#include "net/http/http_request_headers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lunaro::net {
namespace {

using Lines = std::vector<std::string>;

// A plain download of a package: the shape the installer's worker produces.
THttpRequestHead PackageGet() {
    THttpRequestHead head;
    head.Method = "get";
    head.Prot = "http";
    head.Host = "downloads.example";
    head.Port = "80";
    head.URI = "/pacotes/banco.zip";
    head.Protocol = "1.0";
    head.UserAgent = "Mozilla/4.0 (compatible; Corvane)";
    return head;
}

TEST(HttpRequestHead, RangeForms) {
    THttpRequestHead head = PackageGet();
    head.RangeEnd = 1024;
    EXPECT_EQ(ComposeRequestHead(head)[4], "Range: bytes=0-1024");
    head.RangeStart = 5000;
    head.RangeEnd = 0;
    EXPECT_EQ(ComposeRequestHead(head)[4], "Range: bytes=5000-");
    head.RangeEnd = 5000;
    EXPECT_EQ(ComposeRequestHead(head)[4], "Range: bytes=5000-5000");
    head.RangeStart = head.RangeEnd = 0;
    EXPECT_EQ(ComposeRequestHead(head)[4], "User-Agent: Mozilla/4.0 (compatible; Corvane)");
}

TEST(HttpRequestHead, SpacesAndControlBytesInTheTargetAreEncoded) {
    THttpRequestHead head = PackageGet();
    head.URI = "/a b\tc\x01\x7f%20\xc3\xa9?q=1 2";
    EXPECT_EQ(ComposeRequestHead(head)[0], "GET /a%20b%09c%01%7F%20\xc3\xa9?q=1%202 HTTP/1.0");
    head.UsingProxy = true;
    EXPECT_EQ(ComposeRequestHead(head)[0],
              "GET http://downloads.example:80/a%20b%09c%01%7F%20\xc3\xa9?q=1%202 HTTP/1.0");
}

TEST(HttpRequestHead, HostLineCarriesOnlyNonDefaultPorts) {
    THttpRequestHead head = PackageGet();
    head.Port = "8080";
    EXPECT_EQ(ComposeRequestHead(head)[1], "Host: downloads.example:8080");
    head.AddPortNumberToHost = false;
    EXPECT_EQ(ComposeRequestHead(head)[1], "Host: downloads.example");

    head.AddPortNumberToHost = true;
    head.Prot = "HTTPS";
    head.Port = "443";
    EXPECT_EQ(ComposeRequestHead(head)[1], "Host: downloads.example");
    head.Port = "8443";
    EXPECT_EQ(ComposeRequestHead(head)[1], "Host: downloads.example:8443");
    head.Prot = "ftp";
    EXPECT_EQ(ComposeRequestHead(head)[1], "Host: downloads.example");
}

TEST(HttpRequestHead, Ipv6LiteralIsBracketedInHostAndProxyForm) {
    THttpRequestHead head = PackageGet();
    head.Host = "::1";
    head.Port = "8080";
    EXPECT_EQ(ComposeRequestHead(head)[1], "Host: [::1]:8080");
    head.UsingProxy = true;
    EXPECT_EQ(ComposeRequestHead(head)[0], "GET http://[::1]:8080/pacotes/banco.zip HTTP/1.0");
}

TEST(HttpRequestHead, ProxyFormWritesPortAndProxyHeaders) {
    THttpRequestHead head = PackageGet();
    head.UsingProxy = true;
    head.URI = "/x";
    head.ProxyUser = "proxy";
    head.ProxyPass = "secret";
    head.User = "u";
    head.Pass = "p";
    EXPECT_EQ(ComposeRequestHead(head),
              (Lines{"GET http://downloads.example:80/x HTTP/1.0", "Host: downloads.example",
                     "Proxy-Authorization: Basic cHJveHk6c2VjcmV0", "Authorization: Basic dTpw",
                     "Keep-Alive: 300", "Proxy-Connection: keep-alive",
                     "User-Agent: Mozilla/4.0 (compatible; Corvane)"}));
    head.KeepAlive = false;
    head.UserAgent.clear();
    EXPECT_EQ(ComposeRequestHead(head).back(), "Proxy-Connection: close");

    // Proxy credentials are for a proxy only.
    head.UsingProxy = false;
    EXPECT_EQ(ComposeRequestHead(head)[2], "Authorization: Basic dTpw");
}

TEST(HttpRequestHead, BodyHeadersAndCookiesComeInTheirPlaces) {
    THttpRequestHead head = PackageGet();
    head.Method = "post";
    head.Protocol = "1.1";
    head.KeepAliveTimeout = 15;
    head.BodySize = 12;
    head.MimeType = "application/x-www-form-urlencoded";
    head.CookieHeader = "a=1; b=2";
    head.Expect100 = true;
    EXPECT_EQ(ComposeRequestHead(head),
              (Lines{"POST /pacotes/banco.zip HTTP/1.1", "Host: downloads.example", "Keep-Alive: 15",
                     "Connection: keep-alive", "Cookie: a=1; b=2",
                     "User-Agent: Mozilla/4.0 (compatible; Corvane)",
                     "Content-Type: application/x-www-form-urlencoded", "Content-Length: 12",
                     "Expect: 100-continue"}));
    head.MimeType.clear();
    head.BodySize = 0;
    head.Expect100 = false;
    EXPECT_EQ(ComposeRequestHead(head).back(), "User-Agent: Mozilla/4.0 (compatible; Corvane)");
}

TEST(HttpRequestHead, RequestLineForms) {
    THttpRequestHead head = PackageGet();
    head.Method = "options";
    head.URI = "/*";
    EXPECT_EQ(ComposeRequestHead(head)[0], "OPTIONS * HTTP/1.0");
    head.Protocol = "0.9";
    head.URI = "/a";
    EXPECT_EQ(ComposeRequestHead(head)[0], "OPTIONS /a");
}

}  // namespace
}  // namespace lunaro::net
