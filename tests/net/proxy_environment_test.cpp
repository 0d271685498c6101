#include "net/proxy_environment.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace lunaro::net {
namespace {

TProxyChoice For(const std::string& url, const std::map<std::string, std::string>& env) {
    return ProxyFromEnvironment(url, [&](const char* name) {
        const auto found = env.find(name);
        return found == env.end() ? std::string() : found->second;
    });
}

TEST(ProxyEnvironment, SchemeChoosesTheVariableAndLowerCaseWins) {
    const std::map<std::string, std::string> env = {{"http_proxy", "http://u%40x:p@127.0.0.1:3128/"},
                                                    {"HTTP_PROXY", "127.0.0.9:1"},
                                                    {"HTTPS_PROXY", "[::1]:8443"}};
    const TProxyChoice plain = For("http://127.0.0.1/f", env);
    ASSERT_TRUE(plain.Use) << plain.Error;
    EXPECT_EQ(plain.Host, "127.0.0.1");
    EXPECT_EQ(plain.Port, "3128");
    EXPECT_EQ(plain.User, "u@x");
    EXPECT_EQ(plain.Pass, "p");
    EXPECT_EQ(plain.Source, "http_proxy");
    const TProxyChoice secure = For("https://127.0.0.1/f", env);
    ASSERT_TRUE(secure.Use) << secure.Error;
    EXPECT_EQ(secure.Host, "::1");
    EXPECT_EQ(secure.Port, "8443");
    EXPECT_FALSE(For("ftp://127.0.0.1/f", env).Use);
    EXPECT_FALSE(For("http://127.0.0.1/f", {}).Use);
}

TEST(ProxyEnvironment, NoProxyBySuffixPortAndStar) {
    EXPECT_TRUE(NoProxyMatches("example.org", "a.example.org", "80"));
    EXPECT_TRUE(NoProxyMatches(" .example.org ,x", "A.Example.org", "80"));
    EXPECT_TRUE(NoProxyMatches("example.org", "example.org", "80"));
    EXPECT_FALSE(NoProxyMatches("example.org", "badexample.org", "80"));
    EXPECT_TRUE(NoProxyMatches("localhost:8080", "localhost", "8080"));
    EXPECT_FALSE(NoProxyMatches("localhost:8080", "localhost", "80"));
    EXPECT_TRUE(NoProxyMatches("[::1]:81", "::1", "81"));
    EXPECT_TRUE(NoProxyMatches("::1", "::1", "81"));
    EXPECT_TRUE(NoProxyMatches("127.0.0.1", "127.0.0.1", "80"));
    EXPECT_FALSE(NoProxyMatches("0.0.1", "127.0.0.1", "80"));
    EXPECT_TRUE(NoProxyMatches("*", "anything", "1"));
    EXPECT_FALSE(NoProxyMatches(",,  ,", "anything", "1"));
    EXPECT_FALSE(For("http://a.lan:8080/", {{"http_proxy", "127.0.0.1:3128"}, {"no_proxy", "lan:8080"}}).Use);
    EXPECT_TRUE(For("http://a.lan:80/", {{"http_proxy", "127.0.0.1:3128"}, {"NO_PROXY", "lan:8080"}}).Use);
}

TEST(ProxyEnvironment, GarbageIsReportedNotUsed) {
    for (const char* garbage : {"socks5://127.0.0.1:1080", "http://", "http://u:p@", "127.0.0.1:99999",
                                "127.0.0.1:8o", "127.0.0.1:3128\r\nX: y", "://"}) {
        SCOPED_TRACE(garbage);
        const TProxyChoice choice = For("http://127.0.0.1/", {{"http_proxy", garbage}});
        EXPECT_FALSE(choice.Use);
        EXPECT_FALSE(choice.Error.empty());
    }
    EXPECT_EQ(ParseProxyUrl("127.0.0.1").Port, "1080");
}

}  // namespace
}  // namespace lunaro::net
