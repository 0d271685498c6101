// The HTTP client over the TLS module against nginx serving certificates
// made for the test: a good one, an expired one, one for another host and
// one from a CA the client does not trust; directly and through proxies.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "net/http/http_send.h"
#include "net/socket/ssl_plugin_choice.h"
#include "tests/support/nginx_server.h"
#include "tests/support/peer_microsocks.h"
#include "tests/support/peer_tinyproxy.h"
#include "tests/support/test_support.h"
#include "tests/support/tls_test_certs.h"

namespace lunaro::net {
namespace {

using ::testing::HasSubstr;
using testkit::NginxServer;

class Https : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        certs = new testkit::TempDir();
        certsMade = testkit::MakeTestCertificates(certs->Path());
        content = new std::string(256 * 1024, '\0');
        for (size_t i = 0; i < content->size(); ++i) (*content)[i] = static_cast<char>((i * 7919) >> 5);
        testkit::WriteFile(certs->File("package.zip"), *content);
        servers = new std::map<std::string, std::unique_ptr<NginxServer>>();
        for (const char* name : {"good", "expired", "wronghost", "unknown"}) {
            (*servers)[name] =
                std::make_unique<NginxServer>(testkit::TlsNginxOptions(certs->Path(), certs->Path(), name));
        }
    }
    static void TearDownTestSuite() {
        delete servers;
        delete content;
        delete certs;
    }

    void SetUp() override {
        LUNARO_REQUIRE_PEER(TLSModuleProblem().empty(), "the TLS module is not loadable: " + TLSModuleProblem());
        LUNARO_REQUIRE_PEER(certsMade, "the openssl command could not make the test certificates");
        for (auto& [name, server] : *servers) LUNARO_REQUIRE_PEER(server->Running(), server->Error());
        http.Timeout = 10000;
        http.Sock().SSL().SetCertCAFile(certs->File("ca.pem"));
    }

    static std::string Url(const std::string& server, const std::string& host = "127.0.0.1") {
        return "https://" + host + ":" + std::to_string((*servers)[server]->Port()) + "/package.zip";
    }

    static testkit::TempDir* certs;
    static bool certsMade;
    static std::string* content;
    static std::map<std::string, std::unique_ptr<NginxServer>>* servers;
    THTTPSend http;
};

testkit::TempDir* Https::certs = nullptr;
bool Https::certsMade = false;
std::string* Https::content = nullptr;
std::map<std::string, std::unique_ptr<NginxServer>>* Https::servers = nullptr;

TEST_F(Https, VerifiedByAddressAndByNameThenResumedWithARange) {
    ASSERT_TRUE(http.HTTPMethod("GET", Url("good"))) << http.Sock().LastErrorDesc();
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(http.Document().ToString(), *content);

    http.Clear();
    http.RangeStart = 100000;
    ASSERT_TRUE(http.HTTPMethod("GET", Url("good", "localhost"))) << http.Sock().LastErrorDesc();
    EXPECT_EQ(http.ResultCode(), 206);
    EXPECT_EQ(http.Document().ToString(), content->substr(100000));
}

TEST_F(Https, EachBadCertificateIsRefusedWithItsReason) {
    const std::map<std::string, std::string> reasons = {
        {"expired", "certificate has expired"},
        {"wronghost", "mismatch"},
        {"unknown", "unable to get local issuer certificate"},
    };
    for (const auto& [server, reason] : reasons) {
        SCOPED_TRACE(server);
        http.Clear();
        EXPECT_FALSE(http.HTTPMethod("GET", Url(server)));
        EXPECT_EQ(http.Sock().LastError(), 10091);
        EXPECT_THAT(http.Sock().LastErrorDesc(), HasSubstr(reason));
        EXPECT_EQ(http.Document().Size(), 0);
    }
    // The system's trust store alone does not know the test CA either.
    THTTPSend plain;
    plain.Timeout = 10000;
    EXPECT_FALSE(plain.HTTPMethod("GET", Url("good")));
    EXPECT_THAT(plain.Sock().LastErrorDesc(), HasSubstr("verification failed"));
}

TEST_F(Https, VerificationOffOrAVerifyHookDecides) {
    http.Sock().SSL().VerifyCert = false;
    ASSERT_TRUE(http.HTTPMethod("GET", Url("expired"))) << http.Sock().LastErrorDesc();
    EXPECT_EQ(http.Document().ToString(), *content);

    THTTPSend hooked;
    hooked.Timeout = 10000;
    std::string seenIssuer;
    hooked.Sock().SSL().OnVerifyCert = [&](TCustomSSL* ssl) {
        seenIssuer = ssl->GetPeerIssuer();
        return false;
    };
    EXPECT_FALSE(hooked.HTTPMethod("GET", Url("good")));
    EXPECT_THAT(seenIssuer, HasSubstr("Lunaro test ca"));
    EXPECT_THAT(hooked.Sock().LastErrorDesc(), HasSubstr("rejected"));
}

TEST_F(Https, ThroughAConnectTunnelAndThroughSocks) {
    LUNARO_REQUIRE_PEER(!testkit::FindProgram("tinyproxy").empty(), "tinyproxy is not installed");
    testkit::TinyproxyOptions tunnelOptions;
    tunnelOptions.connectPorts = {(*servers)["good"]->Port()};
    testkit::TinyproxyPeer tunnel(tunnelOptions);
    LUNARO_REQUIRE_PEER(tunnel.Running(), tunnel.Error());
    http.ProxyHost = "127.0.0.1";
    http.ProxyPort = std::to_string(tunnel.Port());
    ASSERT_TRUE(http.HTTPMethod("GET", Url("good"))) << http.Sock().LastErrorDesc();
    EXPECT_TRUE(http.Sock().HTTPTunnel());
    EXPECT_EQ(http.Document().ToString(), *content);

    LUNARO_REQUIRE_PEER(!testkit::FindProgram("microsocks").empty(), "microsocks is not installed");
    testkit::MicrosocksPeer socks({});
    LUNARO_REQUIRE_PEER(socks.Running(), socks.Error());
    THTTPSend viaSocks;
    viaSocks.Timeout = 10000;
    viaSocks.Sock().SSL().SetCertCAFile(certs->File("ca.pem"));
    viaSocks.Sock().SocksIP = "127.0.0.1";
    viaSocks.Sock().SocksPort = std::to_string(socks.Port());
    ASSERT_TRUE(viaSocks.HTTPMethod("GET", Url("good", "localhost"))) << viaSocks.Sock().LastErrorDesc();
    EXPECT_EQ(viaSocks.Document().ToString(), *content);
}

}  // namespace
}  // namespace lunaro::net
