// lunaro-download's network settings as a user gives them: proxies from
// the environment and from --proxy, trust for https, moved files.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "net/socket/ssl_plugin_choice.h"
#include "tests/download/download_peer_fixture.h"
#include "tests/download/download_program_run.h"
#include "tests/net/http/http_scripted_peer.h"
#include "tests/support/peer_tinyproxy.h"
#include "tests/support/tls_test_certs.h"

namespace lunaro::download {
namespace {

namespace fs = std::filesystem;
using testkit::ReadFile;
using testkit::TProgramRun;
using Environment = std::map<std::string, std::string>;

class DownloadProgramNetwork : public testing_support::ServedFolder {
protected:
    TProgramRun Run(std::vector<std::string> args, const Environment& environment = {}) {
        return testkit::RunDownloadProgram(std::move(args), dest.Path(), environment);
    }
    std::string Folder() const { return dest.File("got"); }
    std::string ProxyUrl(const testkit::TinyproxyPeer& proxy, const std::string& credentials = "") const {
        return "http://" + credentials + "127.0.0.1:" + std::to_string(proxy.Port());
    }
    std::string NginxPort() const { return std::to_string(nginx->Port()); }
};

TEST_F(DownloadProgramNetwork, EnvironmentProxyIsUsedUnlessNoProxyListsTheHost) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    testkit::TinyproxyPeer proxy({{}, "u", "p"});
    LUNARO_REQUIRE_PEER(proxy.Running(), proxy.Error());

    // Without its credentials the proxy refuses: the answer proves the way taken.
    const TProgramRun refused = Run({Url("data/small.bin"), Folder()}, {{"http_proxy", ProxyUrl(proxy)}});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("the server answered 407"), std::string::npos) << refused.err;

    const TProgramRun upper = Run({Url("data/small.bin"), Folder()}, {{"HTTP_PROXY", ProxyUrl(proxy, "u:p@")}});
    EXPECT_EQ(upper.exitCode, 0) << upper.err;
    EXPECT_EQ(ReadFile(Folder() + "/small.bin"), small);

    // A no_proxy entry for another port leaves the proxy in use; one for this
    // port, or a domain entry, goes direct.
    const TProgramRun otherPort = Run({Url("data/small.bin"), Folder(), "--name=port.bin"},
                                      {{"http_proxy", ProxyUrl(proxy)}, {"no_proxy", "127.0.0.1:1"}});
    EXPECT_EQ(otherPort.exitCode, 1) << otherPort.err;
    const TProgramRun samePort =
        Run({Url("data/small.bin"), Folder(), "--name=port.bin"},
            {{"http_proxy", "http://127.0.0.2:9"}, {"no_proxy", "example.org, 127.0.0.1:" + NginxPort()}});
    EXPECT_EQ(samePort.exitCode, 0) << samePort.err;
    EXPECT_EQ(ReadFile(Folder() + "/port.bin"), small);
    const TProgramRun suffix = Run({"http://localhost:" + NginxPort() + "/data/small.bin", Folder(), "--name=sfx.bin"},
                                   {{"http_proxy", "http://127.0.0.2:9"}, {"NO_PROXY", ".localhost"}});
    EXPECT_EQ(suffix.exitCode, 0) << suffix.err;
    EXPECT_EQ(ReadFile(Folder() + "/sfx.bin"), small);
}

TEST_F(DownloadProgramNetwork, ExplicitProxyWinsAndGarbageIsReported) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    testkit::TinyproxyPeer proxy({{}, "u", "p"});
    LUNARO_REQUIRE_PEER(proxy.Running(), proxy.Error());
    const TProgramRun given = Run({Url("data/small.bin"), Folder(), "--proxy=127.0.0.1:" + std::to_string(proxy.Port()),
                                   "--proxy-user=u", "--proxy-pass=p"},
                                  {{"http_proxy", "http://127.0.0.2:9"}});
    EXPECT_EQ(given.exitCode, 0) << given.err;
    EXPECT_EQ(ReadFile(Folder() + "/small.bin"), small);

    for (const std::string garbage : {"ftp://127.0.0.1:21", "http://127.0.0.1:99999", "http://@", "\x1b[2J:80"}) {
        const TProgramRun bad = Run({Url("data/small.bin"), Folder(), "--name=bad.bin"}, {{"http_proxy", garbage}});
        EXPECT_EQ(bad.exitCode, 1) << garbage;
        EXPECT_NE(bad.err.find("http_proxy"), std::string::npos) << bad.err;
        EXPECT_EQ(bad.err.find('\x1b'), std::string::npos);
        EXPECT_FALSE(fs::exists(Folder() + "/bad.bin"));
    }
}

TEST_F(DownloadProgramNetwork, MovedFileNamesItsNewAddress) {
    testkit::ScriptedPeer peer(testkit::AnswerRequest(
        "HTTP/1.1 301 Moved\x1b]0;owned\x07\r\nLocation: ../novo/pacote.zip\r\nContent-Length: 0\r\n\r\n"));
    ASSERT_TRUE(peer.Listening());
    const TProgramRun moved = Run({testkit::UrlOf(peer, "/velho/dir/pacote.zip"), Folder()});
    EXPECT_EQ(moved.exitCode, 1);
    EXPECT_NE(moved.err.find("the file moved to http://127.0.0.1:" + peer.PortText() + "/velho/novo/pacote.zip"),
              std::string::npos)
        << moved.err;
    EXPECT_EQ(moved.err.find('\x1b'), std::string::npos);
    EXPECT_NE(moved.err.find("Moved\\x1B]0;owned"), std::string::npos) << moved.err;
}

class DownloadProgramTls : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        certs = new testkit::TempDir();
        certsMade = testkit::MakeTestCertificates(certs->Path());
        testkit::WriteFile(certs->File("package.zip"), testing_support::PatternBytes(300000, 9));
        server = new testkit::NginxServer(testkit::TlsNginxOptions(certs->Path(), certs->Path(), "good"));
    }
    static void TearDownTestSuite() {
        delete server;
        delete certs;
    }
    void SetUp() override {
        LUNARO_REQUIRE_PEER(net::TLSModuleProblem().empty(),
                            "the TLS module is not loadable: " + net::TLSModuleProblem());
        LUNARO_REQUIRE_PEER(certsMade, "the openssl command could not make the test certificates");
        LUNARO_REQUIRE_PEER(server->Running(), server->Error());
    }
    TProgramRun Run(std::vector<std::string> args, const Environment& environment = {}) {
        return testkit::RunDownloadProgram(std::move(args), dest.Path(), environment);
    }
    static std::string Url() { return "https://127.0.0.1:" + std::to_string(server->Port()) + "/package.zip"; }
    std::string Got(const std::string& name) const { return dest.File("got/" + name); }

    static testkit::TempDir* certs;
    static bool certsMade;
    static testkit::NginxServer* server;
    testkit::TempDir dest;
};

testkit::TempDir* DownloadProgramTls::certs = nullptr;
bool DownloadProgramTls::certsMade = false;
testkit::NginxServer* DownloadProgramTls::server = nullptr;

TEST_F(DownloadProgramTls, UnknownCaFailsUnlessTrustedOrVerificationIsOff) {
    const std::string folder = dest.File("got");
    const TProgramRun untrusted = Run({Url(), folder});
    EXPECT_EQ(untrusted.exitCode, 1);
    EXPECT_NE(untrusted.err.find("certificate verification failed"), std::string::npos) << untrusted.err;
    EXPECT_FALSE(fs::exists(Got("package.zip")));

    const TProgramRun trusted = Run({Url(), folder, "--cacert=" + certs->File("ca.pem")});
    EXPECT_EQ(trusted.exitCode, 0) << trusted.err;
    EXPECT_EQ(ReadFile(Got("package.zip")), ReadFile(certs->File("package.zip")));

    const TProgramRun insecure = Run({Url(), folder, "--insecure", "--name=any.zip"});
    EXPECT_EQ(insecure.exitCode, 0) << insecure.err;
    EXPECT_EQ(ReadFile(Got("any.zip")), ReadFile(certs->File("package.zip")));

    const TProgramRun missingCa = Run({Url(), folder, "--cacert=" + dest.File("none.pem"), "--name=x.zip"});
    EXPECT_EQ(missingCa.exitCode, 1);
    EXPECT_NE(missingCa.err.find("none.pem does not exist"), std::string::npos) << missingCa.err;
}

TEST_F(DownloadProgramTls, HttpsProxyFromTheEnvironmentTunnels) {
    testkit::TinyproxyPeer proxy({{server->Port()}, "", ""});
    LUNARO_REQUIRE_PEER(proxy.Running(), proxy.Error());
    const TProgramRun run = Run({Url(), dest.File("got"), "--cacert=" + certs->File("ca.pem")},
                                {{"https_proxy", "127.0.0.1:" + std::to_string(proxy.Port())},
                                 {"http_proxy", "http://127.0.0.2:9"}});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(Got("package.zip")), ReadFile(certs->File("package.zip")));
}

}  // namespace
}  // namespace lunaro::download
