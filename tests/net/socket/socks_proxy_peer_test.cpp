// SOCKS through real servers: microsocks (SOCKS5, with and without
// user/password, on IPv4 and IPv6) and dante (SOCKS4, and bind for
// listen/accept). The SOCKS4a name form, which dante does not resolve, is
// covered byte for byte by the scripted-proxy tests.
#include <gtest/gtest.h>

#include "net/socket/blocksock.h"
#include "tests/support/peer_dante.h"
#include "tests/support/peer_microsocks.h"
#include "tests/support/peer_scripted.h"

using namespace lunaro::net;
using lunaro::testkit::DantePeer;
using lunaro::testkit::MicrosocksOptions;
using lunaro::testkit::MicrosocksPeer;
using lunaro::testkit::PeerScript;
using lunaro::testkit::ScriptedPeer;

namespace {

PeerScript PingPong() { return PeerScript().ReadUntil("ping\r\n").Send("pong\r\n").AwaitClientClose(5000); }

void UseSocks(TTCPBlockSocket& socket, const std::string& host, int port, TSocksType type) {
    socket.SocksIP = host;
    socket.SocksPort = std::to_string(port);
    socket.SocksType = type;
    socket.SocksTimeout = 5000;
}

// Connects through the proxy and exchanges one line with the target.
void ExpectPingPong(TTCPBlockSocket& socket, const std::string& host, const ScriptedPeer& target) {
    socket.Connect(host, target.PortText());
    ASSERT_EQ(socket.LastError(), 0) << host << ": " << socket.LastErrorDesc();
    EXPECT_TRUE(socket.UsingSocks());
    EXPECT_EQ(socket.GetRemoteSinIP(), host);
    EXPECT_EQ(socket.GetRemoteSinPort(), target.Port());
    socket.SendString("ping\r\n");
    EXPECT_EQ(socket.RecvString(5000), "pong");
    socket.CloseSocket();
    EXPECT_TRUE(target.WaitDone());
}

}  // namespace

TEST(SocksProxyPeer, Socks5WithoutAuthenticationReachesAddressesAndNames) {
    MicrosocksPeer proxy(MicrosocksOptions{});
    LUNARO_REQUIRE_PEER(proxy.Running(), proxy.Error());
    for (const std::string host : {"127.0.0.1", "::1", "localhost"}) {
        ScriptedPeer target(PingPong(), host == "::1" ? "::1" : "127.0.0.1");
        TTCPBlockSocket socket;
        UseSocks(socket, "127.0.0.1", proxy.Port(), TSocksType::ST_Socks5);
        ExpectPingPong(socket, host, target);
    }
}

TEST(SocksProxyPeer, Socks5UserPasswordOnAnIPv6Proxy) {
    MicrosocksPeer proxy(MicrosocksOptions{"::1", "bob", "s3cret"});
    LUNARO_REQUIRE_PEER(proxy.Running(), proxy.Error());
    ScriptedPeer target(PingPong());
    TTCPBlockSocket socket;
    UseSocks(socket, "::1", proxy.Port(), TSocksType::ST_Socks5);
    socket.SocksUsername = "bob";
    socket.SocksPassword = "s3cret";
    ExpectPingPong(socket, "127.0.0.1", target);

    TTCPBlockSocket wrong;
    UseSocks(wrong, "::1", proxy.Port(), TSocksType::ST_Socks5);
    wrong.SocksUsername = "bob";
    wrong.SocksPassword = "guess";
    wrong.Connect("127.0.0.1", target.PortText());
    EXPECT_EQ(wrong.LastError(), 10091);
    EXPECT_FALSE(wrong.UsingSocks());
}

TEST(SocksProxyPeer, Socks4ToAnAddressAndToALocallyResolvedName) {
    DantePeer proxy;
    LUNARO_REQUIRE_PEER(proxy.Running(), proxy.Error());
    for (const std::string host : {"127.0.0.1", "localhost"}) {
        ScriptedPeer target(PingPong());
        TTCPBlockSocket socket;
        UseSocks(socket, "127.0.0.1", proxy.Port(), TSocksType::ST_Socks4);
        socket.SocksResolver = false;
        ExpectPingPong(socket, host, target);
        EXPECT_EQ(socket.SocksLastError(), 90);
    }
    // Nothing listens there: the proxy's refusal is the negotiation failure.
    TTCPBlockSocket refused;
    UseSocks(refused, "127.0.0.1", proxy.Port(), TSocksType::ST_Socks4);
    refused.Connect("127.0.0.1", std::to_string(lunaro::testkit::FreeLoopbackPort()));
    EXPECT_EQ(refused.LastError(), 10091);
    EXPECT_EQ(refused.SocksLastError(), 91);
}

TEST(SocksProxyPeer, ListenAndAcceptThroughBind) {
    DantePeer proxy;
    LUNARO_REQUIRE_PEER(proxy.Running(), proxy.Error());
    for (TSocksType type : {TSocksType::ST_Socks5, TSocksType::ST_Socks4}) {
        TTCPBlockSocket listener;
        UseSocks(listener, "127.0.0.1", proxy.Port(), type);
        listener.Bind("127.0.0.1", "0");
        listener.Listen();
        ASSERT_EQ(listener.LastError(), 0) << listener.LastErrorDesc();
        ASSERT_NE(listener.GetLocalSinPort(), 0);

        // Someone connects to the address the proxy opened for us.
        TTCPBlockSocket caller;
        caller.Connect(listener.GetLocalSinIP(), std::to_string(listener.GetLocalSinPort()));
        ASSERT_EQ(caller.LastError(), 0) << caller.LastErrorDesc();
        EXPECT_EQ(listener.Accept(), listener.Socket());
        ASSERT_EQ(listener.LastError(), 0) << listener.LastErrorDesc();
        EXPECT_EQ(listener.GetRemoteSinIP(), "127.0.0.1");
        EXPECT_EQ(listener.GetRemoteSinPort(), caller.GetLocalSinPort());
        caller.SendString("via bind\r\n");
        EXPECT_EQ(listener.RecvString(5000), "via bind");
    }
}
