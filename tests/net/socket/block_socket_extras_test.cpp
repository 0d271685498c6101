// The less travelled calls: datagrams, peeking, sockets made by family or
// name, lookups, and a non-blocking send that cannot get rid of its bytes.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "net/socket/blocksock.h"
#include "tests/support/peer_scripted.h"
#include "tests/support/peer_status_log.h"

using namespace lunaro::net;
using lunaro::testkit::PeerScript;
using lunaro::testkit::ScriptedPeer;
using lunaro::testkit::StatusLog;
using Reason = THookSocketReason;

namespace {

class TUdpSocket : public TBlockSocket {
public:
    int GetSocketType() override { return SOCK_DGRAM; }
    int GetSocketProtocol() override { return IPPROTO_UDP; }
};

}  // namespace

TEST(BlockSocketExtras, DatagramsGoToRemoteSinAndComeBackWithTheSender) {
    TUdpSocket receiver;
    receiver.Bind("127.0.0.1", "0");
    ASSERT_EQ(receiver.LastError(), 0) << receiver.LastErrorDesc();
    TUdpSocket sender;
    StatusLog log;
    log.Attach(sender);
    sender.Bind("127.0.0.1", "0");
    sender.SetRemoteSin("127.0.0.1", std::to_string(receiver.GetLocalSinPort()));
    EXPECT_EQ(sender.SendBufferTo("datagram", 8), 8);
    EXPECT_EQ(log.ValueOf(Reason::HR_WriteCount), "8");
    ASSERT_TRUE(receiver.CanRead(2000));
    char buffer[32] = {};
    EXPECT_EQ(receiver.RecvBufferFrom(buffer, sizeof buffer), 8);
    EXPECT_EQ(std::string(buffer, 8), "datagram");
    EXPECT_EQ(receiver.GetRemoteSinPort(), sender.GetLocalSinPort());
}

TEST(BlockSocketExtras, PeekLeavesTheBytesWhereTheyAre) {
    ScriptedPeer peer(PeerScript().Send("xyz").AwaitClientClose(2000));
    TTCPBlockSocket socket;
    socket.Connect("127.0.0.1", peer.PortText());
    EXPECT_EQ(socket.PeekByte(2000), 'x');
    char two[2];
    EXPECT_EQ(socket.PeekBuffer(two, 2), 2);
    EXPECT_EQ(socket.RecvBufferStr(3, 2000), "xyz");
    EXPECT_EQ(socket.PeekByte(100), 0);
    EXPECT_EQ(socket.LastError(), 10060);
}

TEST(BlockSocketExtras, SocketsMadeByFamilyOrNameAndLookups) {
    TTCPBlockSocket byFamily;
    byFamily.CreateSocket();  // SF_Any: nothing to make yet
    EXPECT_EQ(byFamily.Socket(), INVALID_SOCKET);
    byFamily.SetFamily(TSocketFamily::SF_IP6);
    byFamily.CreateSocket();
    EXPECT_NE(byFamily.Socket(), INVALID_SOCKET);
    EXPECT_TRUE(byFamily.IP6used());

    TTCPBlockSocket byName;
    byName.CreateSocketByName("127.0.0.1");
    EXPECT_NE(byName.Socket(), INVALID_SOCKET);
    EXPECT_FALSE(byName.IP6used());
    EXPECT_EQ(byName.Family(), TSocketFamily::SF_IP4);
    EXPECT_EQ(byName.ResolvePort("http"), 80);
    EXPECT_EQ(byName.ResolveName("localhost"), "127.0.0.1");
    EXPECT_EQ(byName.ResolveName("nothing-here.invalid"), "0.0.0.0");
    EXPECT_FALSE(byName.LocalName().empty());
}

TEST(BlockSocketExtras, NonBlockingSendThatCannotProceedTimesOut) {
    ScriptedPeer peer(PeerScript().Pause(3000));  // never reads
    TTCPBlockSocket socket;
    socket.Connect("127.0.0.1", peer.PortText());
    socket.SetNonBlockMode(true);
    socket.NonblockSendTimeout = 200;
    const std::string lots(16 << 20, 'b');
    const int sent = socket.SendBuffer(lots.data(), static_cast<int>(lots.size()));
    EXPECT_EQ(socket.LastError(), 10060);
    EXPECT_GT(sent, 0);
    EXPECT_LT(sent, static_cast<int>(lots.size()));
    EXPECT_EQ(socket.SendCounter(), sent);
}
