// The CONNECT tunnel against scripted proxies: the exact request, the
// answers that open or refuse the tunnel, malformed and endless answers,
// and how the TCP socket closes.
#include <gtest/gtest.h>

#include "net/socket/blocksock.h"
#include "tests/support/peer_scripted.h"
#include "tests/support/peer_status_log.h"
#include "tests/support/test_support.h"

using namespace lunaro::net;
using lunaro::testkit::PeerScript;
using lunaro::testkit::ScriptedPeer;
using lunaro::testkit::StatusLog;
using Reason = THookSocketReason;

namespace {

// A socket that tunnels through the scripted proxy.
void UseProxy(TTCPBlockSocket& socket, const ScriptedPeer& proxy) {
    ASSERT_TRUE(proxy.Listening());
    socket.HTTPTunnelIP = "127.0.0.1";
    socket.HTTPTunnelPort = proxy.PortText();
    socket.HTTPTunnelTimeout = 2000;
}

}  // namespace

TEST(TcpSocketProxy, GrantedTunnelCarriesDataAndReportsTheTarget) {
    ScriptedPeer proxy(PeerScript()
                           .ReadUntil("\r\n\r\n")
                           .Send("HTTP/1.1 200 Connection established\r\nProxy-agent: test\r\n\r\nwelcome")
                           .AwaitClientClose(3000));
    TTCPBlockSocket socket;
    UseProxy(socket, proxy);
    socket.HTTPTunnelUser = "user";
    socket.HTTPTunnelPass = "pa:ss";
    int afterConnect = 0;
    socket.OnAfterConnect = [&afterConnect](TBlockSocket*) { ++afterConnect; };
    socket.Connect("::1", "https");
    ASSERT_EQ(socket.LastError(), 0) << socket.LastErrorDesc();
    EXPECT_TRUE(socket.HTTPTunnel());
    EXPECT_EQ(afterConnect, 1);
    EXPECT_EQ(proxy.Received(),
              "CONNECT [::1]:443 HTTP/1.0\r\nProxy-Authorization: Basic dXNlcjpwYTpzcw==\r\n\r\n");
    EXPECT_EQ(socket.GetRemoteSinIP(), "::1");
    EXPECT_EQ(socket.GetRemoteSinPort(), 443);
    // What the target sent along with the proxy's answer is not lost.
    EXPECT_EQ(socket.RecvPacket(2000), "welcome");
}

TEST(TcpSocketProxy, AnswersThatDoNotGrantTheTunnelAreRefused) {
    struct Case {
        const char* answer;
        int error;
    };
    const Case cases[] = {
        {"HTTP/1.0 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic\r\n\r\n", 10061},
        {"HTTP/1.1 502 Bad Gateway\r\n\r\n", 10061},
        {"HTTP/1.0 2\r\n\r\n", 10061},                // too short to hold a status
        {"garbage without status\r\n\r\n", 10061},
        {"HTTP/1.0 200 OK\r\n", 10054},               // the proxy closes before the blank line
    };
    for (const Case& c : cases) {
        ScriptedPeer proxy(PeerScript().ReadUntil("\r\n\r\n").Send(c.answer).Close());
        TTCPBlockSocket socket;
        UseProxy(socket, proxy);
        int afterConnect = 0;
        socket.OnAfterConnect = [&afterConnect](TBlockSocket*) { ++afterConnect; };
        socket.Connect("127.0.0.1", "80");
        EXPECT_EQ(socket.LastError(), c.error) << c.answer;
        EXPECT_FALSE(socket.HTTPTunnel()) << c.answer;
        EXPECT_EQ(afterConnect, 0);
    }
}

TEST(TcpSocketProxy, BareLineFeedsEndTheAnswer) {
    ScriptedPeer proxy(PeerScript().ReadUntil("\r\n\r\n").Send("HTTP/1.0 200 OK\nVia: x\n\n").AwaitClientClose(3000));
    TTCPBlockSocket socket;
    UseProxy(socket, proxy);
    socket.Connect("127.0.0.1", "8080");
    EXPECT_EQ(socket.LastError(), 0);
    EXPECT_TRUE(socket.HTTPTunnel());
    EXPECT_EQ(proxy.Received(), "CONNECT 127.0.0.1:8080 HTTP/1.0\r\n\r\n");
}

TEST(TcpSocketProxy, EndlessAnswersAreCutOff) {
    std::string manyHeaders = "HTTP/1.0 200 OK\r\n";
    for (int i = 0; i < 500; ++i) manyHeaders += "X-Filler: " + std::to_string(i) + "\r\n";
    ScriptedPeer chatty(PeerScript().ReadUntil("\r\n\r\n").Send(manyHeaders).AwaitClientClose(3000));
    TTCPBlockSocket headers;
    UseProxy(headers, chatty);
    headers.Connect("127.0.0.1", "80");
    EXPECT_EQ(headers.LastError(), 10061);
    EXPECT_FALSE(headers.HTTPTunnel());

    ScriptedPeer endless(PeerScript().ReadUntil("\r\n\r\n").Send("HTTP/1.0 200 ").Flood('x', 64u << 20));
    TTCPBlockSocket line;
    UseProxy(line, endless);
    line.Connect("127.0.0.1", "80");
    EXPECT_EQ(line.LastError(), 10055);
    EXPECT_EQ(line.MaxLineLength, 0);  // the owner's setting is back
    EXPECT_LT(line.RecvCounter(), 1 << 20);
}

TEST(TcpSocketProxy, CloseDrainsAfterACleanRunOnly) {
    ScriptedPeer clean(PeerScript().Send("left over").AwaitClientClose(3000));
    TTCPBlockSocket socket;
    StatusLog log;
    log.Attach(socket);
    socket.Connect("127.0.0.1", clean.PortText());
    ASSERT_TRUE(socket.CanRead(2000));
    log.Clear();
    socket.CloseSocket();
    // The bytes still arriving are read (and reported) before the close.
    EXPECT_EQ(log.ValueOf(Reason::HR_ReadCount), "9");
    EXPECT_LT(log.IndexOf(Reason::HR_ReadCount), log.IndexOf(Reason::HR_SocketClose));
    EXPECT_TRUE(clean.WaitDone());  // the peer saw our send direction end

    ScriptedPeer late(PeerScript().Pause(300).Send("too late").AwaitClientClose(3000));
    TTCPBlockSocket failed;
    StatusLog failedLog;
    failedLog.Attach(failed);
    failed.Connect("127.0.0.1", late.PortText());
    EXPECT_EQ(failed.RecvPacket(100), "");
    ASSERT_EQ(failed.LastError(), 10060);
    ASSERT_TRUE(lunaro::testkit::WaitReadable(failed.Socket(), 5000));  // the late bytes have arrived
    failedLog.Clear();
    failed.CloseSocket();
    EXPECT_EQ(failedLog.Reasons(), std::vector<Reason>{Reason::HR_SocketClose});
}
