// What the failure box says for the network failures an operator meets,
// each produced by its real cause.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/transfer_outcome.h"
#include "download/nexo_download.h"
#include "tests/support/nginx_server.h"
#include "tests/support/peer_scripted.h"
#include "tests/support/test_support.h"

namespace lunaro::app {
namespace {

using testkit::PeerScript;
using testkit::ScriptedPeer;

class FailureReason : public ::testing::Test {
protected:
    // The installer's wording of one transfer of url.
    std::optional<std::string> ReasonFor(const std::string& url, int32_t timeoutMs = 5000) {
        download::TNexoDownload component;
        component.SetProtocolo(download::TNexoProtocolo::protHTTP);
        component.Proxy()->ProxyTimeout = timeoutMs;
        component.SetDownloadDest(dest.Path());
        component.SetDownloadUrl(url);
        std::optional<std::string> reason = "no after-download event";
        component.SetOnAfterDownload([&](download::TNexoDownloadClass* worker) {
            reason = TransferFailure(download::CollectTransferFacts(*worker));
        });
        component.StartDownload();
        return reason;
    }

    testkit::TempDir dest;
};

TEST_F(FailureReason, RefusedConnectionUnknownHostAndSilentServer) {
    EXPECT_EQ(ReasonFor("http://127.0.0.2:" + std::to_string(testkit::FreeLoopbackPort()) + "/f.zip"),
              "conexão recusada (10061)");

    // No name under .invalid ever resolves; how the resolver says so varies.
    const std::optional<std::string> unknown = ReasonFor("http://pacotes.invalid/f.zip");
    ASSERT_TRUE(unknown);
    EXPECT_TRUE(unknown->starts_with("servidor não encontrado (110")) << *unknown;

    ScriptedPeer silent(PeerScript().ReadUntil("\r\n\r\n").Pause(3000));
    ASSERT_TRUE(silent.Listening());
    EXPECT_EQ(ReasonFor("http://127.0.0.1:" + silent.PortText() + "/f.zip", 300), "tempo esgotado (10060)");
}

TEST_F(FailureReason, AServerThatCutsTheBody) {
    ScriptedPeer cutting(PeerScript()
                             .ReadUntil("\r\n\r\n")
                             .Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(5000, 'x'))
                             .Pause(100)
                             .Reset());
    ASSERT_TRUE(cutting.Listening());
    EXPECT_EQ(ReasonFor("http://127.0.0.1:" + cutting.PortText() + "/f.zip"), "conexão interrompida (10054)");
}

TEST_F(FailureReason, AMissingPackageOnNginx) {
    testkit::TempDir served;
    testkit::NginxServer nginx({served.Path(), "", false, ""});
    LUNARO_REQUIRE_PEER(nginx.Running(), nginx.Error());
    EXPECT_EQ(ReasonFor(nginx.BaseUrl() + "f.zip"), "o servidor respondeu 404 Not Found");
}

}  // namespace
}  // namespace lunaro::app
