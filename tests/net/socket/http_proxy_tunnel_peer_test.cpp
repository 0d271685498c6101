// The CONNECT tunnel through a real HTTP proxy (tinyproxy): a tunnel that
// opens and carries data, one the proxy refuses, and proxy credentials.
#include <gtest/gtest.h>

#include "net/socket/blocksock.h"
#include "tests/support/peer_scripted.h"
#include "tests/support/peer_tinyproxy.h"

using namespace lunaro::net;
using lunaro::testkit::PeerScript;
using lunaro::testkit::ScriptedPeer;
using lunaro::testkit::TinyproxyOptions;
using lunaro::testkit::TinyproxyPeer;

namespace {

PeerScript PingPong() { return PeerScript().ReadUntil("ping\r\n").Send("pong\r\n").AwaitClientClose(5000); }

void UseProxy(TTCPBlockSocket& socket, const TinyproxyPeer& proxy) {
    socket.HTTPTunnelIP = "127.0.0.1";
    socket.HTTPTunnelPort = std::to_string(proxy.Port());
    socket.HTTPTunnelTimeout = 5000;
}

}  // namespace

TEST(HttpProxyTunnelPeer, TunnelOpensToAllowedPortsOnly) {
    ScriptedPeer target(PingPong());
    ScriptedPeer target6(PingPong(), "::1");
    TinyproxyPeer proxy({{target.Port(), target6.Port()}, "", ""});
    LUNARO_REQUIRE_PEER(proxy.Running(), proxy.Error());

    for (const ScriptedPeer* peer : {&target, &target6}) {
        const std::string host = peer == &target ? "127.0.0.1" : "::1";
        TTCPBlockSocket socket;
        UseProxy(socket, proxy);
        socket.Connect(host, peer->PortText());
        ASSERT_EQ(socket.LastError(), 0) << host << ": " << socket.LastErrorDesc();
        EXPECT_TRUE(socket.HTTPTunnel());
        EXPECT_EQ(socket.GetRemoteSinIP(), host);
        socket.SendString("ping\r\n");
        EXPECT_EQ(socket.RecvString(5000), "pong") << host;
        socket.CloseSocket();
        EXPECT_TRUE(peer->WaitDone()) << host;
    }

    TTCPBlockSocket refused;
    UseProxy(refused, proxy);
    refused.Connect("127.0.0.1", "9");  // not a CONNECT port of this proxy
    EXPECT_EQ(refused.LastError(), 10061);
    EXPECT_EQ(refused.LastErrorDesc(), "Connection refused");
    EXPECT_FALSE(refused.HTTPTunnel());
}

TEST(HttpProxyTunnelPeer, ProxyCredentialsAreSentWhenGiven) {
    ScriptedPeer target(PingPong());
    TinyproxyPeer proxy({{target.Port()}, "alice", "wonderland"});
    LUNARO_REQUIRE_PEER(proxy.Running(), proxy.Error());

    TTCPBlockSocket anonymous;
    UseProxy(anonymous, proxy);
    anonymous.Connect("127.0.0.1", target.PortText());
    EXPECT_EQ(anonymous.LastError(), 10061);  // 407 from the proxy

    TTCPBlockSocket socket;
    UseProxy(socket, proxy);
    socket.HTTPTunnelUser = "alice";
    socket.HTTPTunnelPass = "wonderland";
    socket.Connect("127.0.0.1", target.PortText());
    ASSERT_EQ(socket.LastError(), 0) << socket.LastErrorDesc();
    socket.SendString("ping\r\n");
    EXPECT_EQ(socket.RecvString(5000), "pong");
}
