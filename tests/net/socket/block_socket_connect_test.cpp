// Connecting, closing and the status reports around them, on IPv4 and IPv6
// loopback, with scripted peers.
#include <gtest/gtest.h>

#include "net/socket/blocksock.h"
#include "tests/support/peer_scripted.h"
#include "tests/support/peer_status_log.h"
#include "tests/support/test_support.h"

using namespace lunaro::net;
using lunaro::testkit::FreeLoopbackPort;
using lunaro::testkit::PeerScript;
using lunaro::testkit::ScriptedPeer;
using lunaro::testkit::StatusLog;
using Reason = THookSocketReason;

TEST(BlockSocketConnect, ReportsEachStepOfASuccessfulConnectOnBothFamilies) {
    for (const std::string host : {"127.0.0.1", "::1"}) {
        ScriptedPeer peer(PeerScript().Send("hi").AwaitClientClose(2000), host);
        ASSERT_TRUE(peer.Listening()) << host;
        TTCPBlockSocket socket;
        StatusLog log;
        log.Attach(socket);
        socket.Connect(host, peer.PortText());
        ASSERT_EQ(socket.LastError(), 0) << socket.LastErrorDesc();
        const bool ip6 = host == "::1";
        EXPECT_EQ(log.Reasons(), (std::vector<Reason>{Reason::HR_ResolvingBegin, Reason::HR_ResolvingEnd,
                                                      Reason::HR_SocketCreate, Reason::HR_Connect}));
        EXPECT_EQ(log.ValueOf(Reason::HR_ResolvingBegin), host + ":" + peer.PortText());
        EXPECT_EQ(log.ValueOf(Reason::HR_ResolvingEnd), host + ":" + peer.PortText());
        EXPECT_EQ(log.ValueOf(Reason::HR_SocketCreate), ip6 ? "IPv6" : "IPv4");
        EXPECT_EQ(log.ValueOf(Reason::HR_Connect), host + ":" + peer.PortText());
        EXPECT_EQ(socket.IP6used(), ip6);
        EXPECT_EQ(socket.GetRemoteSinIP(), host);
        EXPECT_EQ(socket.GetRemoteSinPort(), peer.Port());
        EXPECT_EQ(socket.RecvPacket(2000), "hi");
        socket.CloseSocket();
        EXPECT_EQ(socket.Family(), TSocketFamily::SF_Any);  // back to the saved family
        EXPECT_TRUE(peer.WaitDone());
    }
}

TEST(BlockSocketConnect, RefusedConnectReportsErrorBeforeConnectOrRaises) {
    const std::string port = std::to_string(FreeLoopbackPort());
    TTCPBlockSocket socket;
    StatusLog log;
    log.Attach(socket);
    socket.Connect("127.0.0.1", port);
    EXPECT_EQ(socket.LastError(), 10061);
    EXPECT_EQ(socket.LastErrorDesc(), "Connection refused");
    const int error = log.IndexOf(Reason::HR_Error);
    ASSERT_GE(error, 0);
    EXPECT_EQ(log.entries[error].value, "10061,Connection refused");
    EXPECT_GT(log.IndexOf(Reason::HR_Connect), error);

    // With a connection timeout the refusal arrives through the pending
    // error of a non-blocking connect.
    TTCPBlockSocket timed;
    timed.ConnectionTimeout = 3000;
    timed.Connect("127.0.0.1", port);
    EXPECT_EQ(timed.LastError(), 10061);
    EXPECT_FALSE(timed.NonBlockMode());

    // A timed connect that succeeds leaves the socket blocking again.
    ScriptedPeer peer(PeerScript().AwaitClientClose(2000));
    TTCPBlockSocket reached;
    reached.ConnectionTimeout = 3000;
    reached.Connect("127.0.0.1", peer.PortText());
    EXPECT_EQ(reached.LastError(), 0);
    EXPECT_FALSE(reached.NonBlockMode());
    EXPECT_EQ(reached.GetRemoteSinPort(), peer.Port());

    TTCPBlockSocket raising;
    raising.RaiseExcept = true;
    StatusLog raisingLog;
    raisingLog.Attach(raising);
    try {
        raising.Connect("127.0.0.1", port);
        FAIL() << "no exception";
    } catch (const ECorvaneError& e) {
        EXPECT_STREQ(e.what(), "Corvane TCP/IP Socket error 10061: Connection refused");
        EXPECT_EQ(e.ErrorCode, 10061);
        EXPECT_EQ(e.ErrorMessage, "Connection refused");
    }
    EXPECT_EQ(raisingLog.Count(Reason::HR_Connect), 0);
}

TEST(BlockSocketConnect, UnknownHostGivesHostNotFound) {
    TTCPBlockSocket socket;
    socket.Connect("no-such-host.invalid", "80");
    EXPECT_EQ(socket.LastError(), 11001);
    EXPECT_EQ(socket.LastErrorDesc(), "Host not found");
    EXPECT_EQ(socket.Socket(), INVALID_SOCKET);
}

TEST(BlockSocketConnect, CloseAndDefaultBindReportOnlyWhatTheyShould) {
    TTCPBlockSocket socket;
    StatusLog log;
    log.Attach(socket);
    socket.Bind("0.0.0.0", "0");  // nothing to do before a connect
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(socket.Socket(), INVALID_SOCKET);
    socket.CloseSocket();  // never opened, still reported
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].reason, Reason::HR_SocketClose);
    EXPECT_EQ(log.entries[0].value, "");

    // A socket destroyed while open closes without calling hooks of an
    // owner that may itself be going away.
    ScriptedPeer peer(PeerScript().AwaitClientClose(2000));
    int calls = 0;
    {
        TTCPBlockSocket open;
        open.Connect("127.0.0.1", peer.PortText());
        ASSERT_EQ(open.LastError(), 0);
        open.OnStatus = [&calls](TBlockSocket*, Reason, const std::string&) { ++calls; };
    }
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(peer.WaitDone());
}

TEST(BlockSocketConnect, QueuedOptionsAreAppliedWhenTheSocketIsCreated) {
    ScriptedPeer peer(PeerScript().AwaitClientClose(2000));
    TTCPBlockSocket socket;
    socket.SetSizeRecvBuffer(65536);
    socket.SetSizeSendBuffer(65536);
    socket.SetTTL(17);
    EXPECT_EQ(socket.SizeRecvBuffer(), 1024);  // no socket to read from yet
    int created = 0;
    socket.OnCreateSocket = [&created](TBlockSocket*) { ++created; };
    socket.Connect("127.0.0.1", peer.PortText());
    ASSERT_EQ(socket.LastError(), 0);
    EXPECT_EQ(created, 1);
    EXPECT_GE(socket.SizeRecvBuffer(), 65536);
    EXPECT_GE(socket.SizeSendBuffer(), 65536);
    EXPECT_EQ(socket.TTL(), 17);
    socket.SetTTL(33);  // with a socket: at once
    EXPECT_EQ(socket.TTL(), 33);
}

TEST(BlockSocketConnect, ListenAcceptAndAdoptAHandleOnIPv6) {
    TTCPBlockSocket server;
    StatusLog log;
    log.Attach(server);
    server.Bind("::1", "0");
    server.Listen();
    ASSERT_EQ(server.LastError(), 0) << server.LastErrorDesc();
    EXPECT_EQ(log.ValueOf(Reason::HR_Bind), "::1:0");
    EXPECT_GE(log.IndexOf(Reason::HR_Listen), 0);
    const std::string port = std::to_string(server.GetLocalSinPort());

    TTCPBlockSocket client;
    client.Connect("::1", port);
    ASSERT_EQ(client.LastError(), 0);
    ASSERT_TRUE(server.CanRead(2000));
    TTCPBlockSocket accepted;
    accepted.SetSocket(server.Accept());
    ASSERT_EQ(server.LastError(), 0);
    EXPECT_TRUE(accepted.IP6used());
    EXPECT_EQ(accepted.GetRemoteSinPort(), client.GetLocalSinPort());

    client.SendString("ping\r\n");
    EXPECT_EQ(accepted.RecvString(2000), "ping");
}

TEST(BlockSocketConnect, WaitsCallTheHeartbeatAndStopOnStopFlag) {
    ScriptedPeer peer(PeerScript().AwaitClientClose(3000));
    TTCPBlockSocket socket;
    socket.Connect("127.0.0.1", peer.PortText());
    ASSERT_EQ(socket.LastError(), 0);
    socket.HeartbeatRate = 50;
    int beats = 0;
    socket.OnHeartbeat = [&beats](TBlockSocket*) { ++beats; };
    EXPECT_FALSE(socket.CanRead(200));
    EXPECT_EQ(socket.LastError(), 0);
    EXPECT_GE(beats, 4);

    // A stop asked for during a wait ends it as a stop, not as a timeout.
    socket.OnHeartbeat = [&beats](TBlockSocket* sender) {
        if (++beats > 6) sender->StopFlag = true;
    };
    beats = 0;
    EXPECT_EQ(socket.RecvPacket(10000), "");
    EXPECT_EQ(socket.LastError(), 10053);
    EXPECT_EQ(beats, 7);  // the wait ended at the stop, not after its 200 rounds
    EXPECT_FALSE(socket.StopFlag);

    // Set between calls, it stops the next send.
    socket.StopFlag = true;
    EXPECT_EQ(socket.SendBuffer("x", 1), 0);
    EXPECT_EQ(socket.LastError(), 10053);
}
