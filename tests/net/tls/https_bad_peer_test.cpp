// TLS peers that misbehave in the handshake: each fails within the time-out
// with a reason, never hangs and never reads as a success.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "net/http/http_send.h"
#include "net/socket/ssl_plugin_choice.h"
#include "tests/support/peer_scripted.h"
#include "tests/support/test_support.h"

namespace lunaro::net {
namespace {

using ::testing::HasSubstr;
using testkit::PeerScript;
using testkit::ScriptedPeer;

struct BadPeerCase {
    const char* name;
    PeerScript script;
    const char* reason;
};

TEST(HttpsBadPeer, GarbageStallAndCloseInTheHandshake) {
    LUNARO_REQUIRE_PEER(TLSModuleProblem().empty(), "the TLS module is not loadable: " + TLSModuleProblem());
    BadPeerCase cases[] = {
        {"garbage", PeerScript().Read(5).Send("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok").AwaitClientClose(3000),
         "handshake failed"},
        {"stall", PeerScript().Read(5).AwaitClientClose(5000), "timed out"},
        {"close", PeerScript().Read(5).Close(), "handshake failed"},
    };
    for (BadPeerCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPeer peer(std::move(c.script));
        THTTPSend http;
        http.Timeout = 700;
        EXPECT_FALSE(http.HTTPMethod("GET", "https://127.0.0.1:" + peer.PortText() + "/f"));
        EXPECT_EQ(http.Sock().LastError(), 10091);
        EXPECT_THAT(http.Sock().LastErrorDesc(), HasSubstr(c.reason));
        EXPECT_EQ(http.Document().Size(), 0);
    }
}

}  // namespace
}  // namespace lunaro::net
