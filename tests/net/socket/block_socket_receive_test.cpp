// Receiving and sending data: timeouts and budgets, a closing peer, the
// framed integer, block and stream forms, hooks and the rate limiter.
#include <gtest/gtest.h>

#include "net/socket/blocksock.h"
#include "platform/stream.h"
#include "tests/support/peer_scripted.h"
#include "tests/support/peer_status_log.h"

using namespace lunaro::net;
using lunaro::platform::TMemoryStream;
using lunaro::testkit::PeerScript;
using lunaro::testkit::ScriptedPeer;
using lunaro::testkit::StatusLog;
using Reason = THookSocketReason;

namespace {

void ConnectTo(TTCPBlockSocket& socket, const ScriptedPeer& peer) {
    ASSERT_TRUE(peer.Listening());
    socket.Connect("127.0.0.1", peer.PortText());
    ASSERT_EQ(socket.LastError(), 0) << socket.LastErrorDesc();
}

// Two connected sockets over IPv4 loopback.
struct SocketPair {
    SocketPair() {
        server.Bind("127.0.0.1", "0");
        server.Listen();
        client.Connect("127.0.0.1", std::to_string(server.GetLocalSinPort()));
        accepted.SetSocket(server.Accept());
    }
    TTCPBlockSocket server;
    TTCPBlockSocket client;
    TTCPBlockSocket accepted;
};

}  // namespace

TEST(BlockSocketReceive, PartialDataThenTimeoutGivesNothing) {
    ScriptedPeer peer(PeerScript().Send("12345").AwaitClientClose(3000));
    TTCPBlockSocket socket;
    ConnectTo(socket, peer);
    EXPECT_EQ(socket.RecvBufferStr(10, 300), "");
    EXPECT_EQ(socket.LastError(), 10060);
    EXPECT_EQ(socket.LastErrorDesc(), "Connection timed out");
    EXPECT_EQ(socket.RecvPacket(300), "");
    EXPECT_EQ(socket.LastError(), 10060);
}

TEST(BlockSocketReceive, TimeoutIsPerPacketOrABudgetForTheWholeCall) {
    PeerScript trickle;
    for (int i = 0; i < 6; ++i) trickle.Send("ab").Pause(150);
    trickle.AwaitClientClose(3000);

    ScriptedPeer patient(trickle);
    TTCPBlockSocket perPacket;
    ConnectTo(perPacket, patient);
    EXPECT_EQ(perPacket.RecvBufferStr(12, 2000), "abababababab");
    EXPECT_EQ(perPacket.LastError(), 0);

    ScriptedPeer hurried(trickle);
    TTCPBlockSocket budget;
    budget.InterPacketTimeout = false;
    ConnectTo(budget, hurried);
    char buffer[12];
    const int copied = budget.RecvBufferEx(buffer, 12, 400);
    EXPECT_EQ(budget.LastError(), 10060);
    EXPECT_LT(copied, 12);
    EXPECT_GT(copied, 0);

    // -1 waits without limit, also when the timeout is a budget.
    ScriptedPeer unlimited(trickle);
    TTCPBlockSocket forever;
    forever.InterPacketTimeout = false;
    ConnectTo(forever, unlimited);
    EXPECT_EQ(forever.RecvBufferStr(12, -1), "abababababab");
}

TEST(BlockSocketReceive, ClosingPeerEndsEveryFormOfReceive) {
    ScriptedPeer peer(PeerScript().Send("abc").Close());
    TTCPBlockSocket socket;
    ConnectTo(socket, peer);
    EXPECT_EQ(socket.RecvPacket(2000), "abc");
    EXPECT_EQ(socket.RecvPacket(2000), "");
    EXPECT_EQ(socket.LastError(), 10054);
    EXPECT_EQ(socket.RecvByte(2000), 0);
    EXPECT_EQ(socket.LastError(), 10054);
    EXPECT_EQ(socket.RecvInteger(2000), 0);
    EXPECT_EQ(socket.LastError(), 10054);
}

TEST(BlockSocketReceive, FramedFormsRoundTrip) {
    SocketPair pair;
    ASSERT_EQ(pair.accepted.LastError(), 0);
    pair.client.SendInteger(0x01020304);
    pair.client.SendBlock("block of text");
    pair.client.SendByte(0xFE);
    TMemoryStream source;
    const std::string data(200000, 'q');
    source.Write(data.data(), static_cast<int64_t>(data.size()));
    source.SetPosition(0);
    pair.client.SendStream(source);
    source.SetPosition(0);
    pair.client.SendStreamIndy(source);
    TMemoryStream empty;
    pair.client.SendStream(empty);  // still sends its count of 0
    ASSERT_EQ(pair.client.LastError(), 0);

    EXPECT_EQ(pair.accepted.RecvBufferStr(4, 2000), std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(pair.accepted.RecvBlock(2000), "block of text");
    EXPECT_EQ(pair.accepted.RecvByte(2000), 0xFE);
    TMemoryStream first;
    TMemoryStream second;
    TMemoryStream third;
    pair.accepted.RecvStream(first, 2000);
    pair.accepted.RecvStreamIndy(second, 2000);
    pair.accepted.RecvStream(third, 500);
    EXPECT_EQ(pair.accepted.LastError(), 0);
    EXPECT_EQ(first.ToString(), data);
    EXPECT_EQ(second.ToString(), data);
    EXPECT_EQ(third.Size(), 0);
    EXPECT_EQ(pair.accepted.RecvCounter(), pair.client.SendCounter());
}

TEST(BlockSocketReceive, StreamSizeWritesOnlyCompletePieces) {
    ScriptedPeer peer(PeerScript().Send(std::string(250, 'x')).Close());
    TTCPBlockSocket socket;
    socket.SendMaxChunk = 100;
    ConnectTo(socket, peer);
    TMemoryStream stream;
    socket.RecvStreamSize(stream, 2000, 300);
    EXPECT_EQ(socket.LastError(), 10054);
    EXPECT_EQ(stream.Size(), 200);  // the cut piece of 50 is dropped
}

TEST(BlockSocketReceive, AnnouncedHugeBlockCostsNoMemoryUpFront) {
    ScriptedPeer peer(PeerScript().Send(std::string("\xff\xff\xff\x7f", 4) + "tiny").Close());
    TTCPBlockSocket socket;
    ConnectTo(socket, peer);
    EXPECT_EQ(socket.RecvBlock(2000), "");
    EXPECT_EQ(socket.LastError(), 10054);
}

TEST(BlockSocketReceive, HooksSeeEveryBlockAndTheFilterMayShortenIt) {
    ScriptedPeer peer(PeerScript().ReadUntil("\n").Send("secret:data").AwaitClientClose(3000));
    TTCPBlockSocket socket;
    StatusLog log;
    log.Attach(socket);
    std::string monitored;
    socket.OnMonitor = [&monitored](TBlockSocket*, bool writing, const void* buffer, int length) {
        monitored += std::string(writing ? "W:" : "R:") + std::string(static_cast<const char*>(buffer), length);
    };
    socket.OnReadFilter = [](TBlockSocket*, std::string& value) { value = value.substr(7) + "-and-more"; };
    ConnectTo(socket, peer);
    socket.SendString("hello\n");
    EXPECT_EQ(socket.RecvPacket(2000), "data-and-mo");  // longer than received: cut back
    EXPECT_EQ(monitored, "W:hello\nR:secret:data");
    EXPECT_EQ(log.Sum(Reason::HR_WriteCount), 6);
    EXPECT_EQ(log.Sum(Reason::HR_ReadCount), 11);
    EXPECT_EQ(peer.Received(), "hello\n");
}

TEST(BlockSocketReceive, RateLimiterWaitsBetweenPieces) {
    SocketPair pair;
    StatusLog log;
    log.Attach(pair.client);
    pair.client.SendMaxChunk = 100;
    pair.client.MaxSendBandwidth = 400;  // 100 bytes per 250 ms
    EXPECT_EQ(pair.client.SendBuffer(std::string(300, 'r').data(), 300), 300);
    EXPECT_EQ(log.Count(Reason::HR_Wait), 2);  // before the second and the third piece
    EXPECT_EQ(log.Count(Reason::HR_WriteCount), 3);
    EXPECT_EQ(pair.accepted.RecvBufferStr(300, 2000), std::string(300, 'r'));
}

TEST(BlockSocketReceive, PurgeDropsWhatIsWaitingAndGroupWaitFindsReadySockets) {
    SocketPair pair;
    pair.client.SendString("one\r\ntwo");
    EXPECT_EQ(pair.accepted.RecvString(2000), "one");
    EXPECT_TRUE(pair.accepted.CanReadEx(0));  // "two" waits in the line buffer
    pair.client.SendString(" three");
    std::vector<TBlockSocket*> ready;
    EXPECT_TRUE(TBlockSocket::GroupCanRead({&pair.server, &pair.accepted}, 1000, ready));
    EXPECT_EQ(ready, std::vector<TBlockSocket*>{&pair.accepted});
    pair.accepted.Purge();
    EXPECT_EQ(pair.accepted.LineBuffer(), "");
    EXPECT_EQ(pair.accepted.WaitingDataEx(), 0);
    EXPECT_FALSE(pair.accepted.CanReadEx(50));
}
