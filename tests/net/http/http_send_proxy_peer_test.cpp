// The HTTP client through a real HTTP proxy (tinyproxy) in front of nginx.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "net/http/http_send.h"
#include "net/socket/ssl_plugin_choice.h"
#include "tests/support/nginx_server.h"
#include "tests/support/peer_tinyproxy.h"
#include "tests/support/test_support.h"

namespace lunaro::net {
namespace {

using testkit::NginxOptions;
using testkit::NginxServer;
using testkit::TempDir;
using testkit::TinyproxyOptions;
using testkit::TinyproxyPeer;

class HttpProxy : public ::testing::Test {
protected:
    void SetUp() override {
        testkit::WriteFile(root.File("package.zip"), std::string(200000, 'p'));
        NginxOptions options;
        options.root = root.Path();
        options.ipv6 = false;
        nginx = std::make_unique<NginxServer>(options);
        LUNARO_REQUIRE_PEER(nginx->Running(), nginx->Error());
        http.Timeout = 10000;
    }

    // Starts the proxy and points the client at it.
    void UseProxy(const TinyproxyOptions& options) {
        proxy = std::make_unique<TinyproxyPeer>(options);
        ASSERT_TRUE(proxy->Running()) << proxy->Error();
        http.ProxyHost = "127.0.0.1";
        http.ProxyPort = std::to_string(proxy->Port());
        http.Sock().OnStatus = [this](TBlockSocket*, THookSocketReason reason, const std::string& value) {
            if (reason == THookSocketReason::HR_Connect) connected.push_back(value);
        };
    }

    TempDir root;
    std::unique_ptr<NginxServer> nginx;
    std::unique_ptr<TinyproxyPeer> proxy;
    THTTPSend http;
    std::vector<std::string> connected;
};

TEST_F(HttpProxy, GetInAbsoluteFormThroughTheProxy) {
    LUNARO_REQUIRE_PEER(!testkit::FindProgram("tinyproxy").empty(), "tinyproxy is not installed");
    UseProxy({});
    ASSERT_TRUE(http.HTTPMethod("GET", nginx->BaseUrl() + "package.zip"));
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(http.Document().Size(), 200000);
    EXPECT_EQ(connected, std::vector<std::string>{"127.0.0.1:" + http.ProxyPort});
}

TEST_F(HttpProxy, ProxyCredentials) {
    LUNARO_REQUIRE_PEER(!testkit::FindProgram("tinyproxy").empty(), "tinyproxy is not installed");
    TinyproxyOptions options;
    options.user = "caixa";
    options.password = "s3nha";
    UseProxy(options);
    ASSERT_TRUE(http.HTTPMethod("GET", nginx->BaseUrl() + "package.zip"));
    EXPECT_EQ(http.ResultCode(), 407);

    http.ProxyUser = "caixa";
    http.ProxyPass = "s3nha";
    ASSERT_TRUE(http.HTTPMethod("GET", nginx->BaseUrl() + "package.zip"));
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(http.Document().Size(), 200000);
}

TEST_F(HttpProxy, HttpsTunnelOpensAndTheHandshakeFails) {
    LUNARO_REQUIRE_PEER(!testkit::FindProgram("tinyproxy").empty(), "tinyproxy is not installed");
    UseProxy({});
    EXPECT_FALSE(http.HTTPMethod("GET", "https://127.0.0.1:" + std::to_string(nginx->Port()) + "/package.zip"));
    EXPECT_TRUE(http.Sock().HTTPTunnel());
    // nginx speaks plain HTTP on that port: the tunnel is up, TLS is not.
    EXPECT_EQ(http.Sock().LastError(), 10091);
    if (!TLSModuleProblem().empty()) {
        EXPECT_EQ(http.Sock().LastErrorDesc(), "SSL/TLS support is not compiled!");
    }
    EXPECT_EQ(http.ResultCode(), 500);
}

}  // namespace
}  // namespace lunaro::net
