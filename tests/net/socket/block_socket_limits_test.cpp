// Transfer limits on a receiving socket, and how the end of the data is
// told from a cut connection.
#include <gtest/gtest.h>

#include "net/socket/blocksock.h"
#include "tests/support/peer_scripted.h"

using namespace lunaro::net;
using lunaro::testkit::PeerScript;
using lunaro::testkit::ScriptedPeer;

namespace {

void ConnectTo(TTCPBlockSocket& socket, const ScriptedPeer& peer) {
    ASSERT_TRUE(peer.Listening());
    socket.Connect("127.0.0.1", peer.PortText());
    ASSERT_EQ(socket.LastError(), 0) << socket.LastErrorDesc();
}

PeerScript Trickle(int bytes, int everyMs) {
    PeerScript script;
    for (int i = 0; i < bytes; ++i) script.Send("t").Pause(everyMs);
    script.AwaitClientClose(5000);
    return script;
}

}  // namespace

TEST(BlockSocketLimits, SilentOrTricklingPeerBreaksTheLowSpeedRule) {
    {
        ScriptedPeer peer(PeerScript().Send("abc").AwaitClientClose(5000));
        TTCPBlockSocket socket;
        ConnectTo(socket, peer);
        socket.SetTransferLimits({100, 1, 0});
        // The wait alone would allow 4 s.
        EXPECT_EQ(socket.RecvBufferStr(10, 4000), "");
        EXPECT_EQ(socket.LastError(), 10060);
        EXPECT_EQ(socket.LastErrorDesc(), "transfer slower than 100 bytes/s for 1 s");
    }
    {
        // Each byte comes well within the per-packet timeout.
        ScriptedPeer peer(Trickle(30, 100));
        TTCPBlockSocket socket;
        ConnectTo(socket, peer);
        socket.SetTransferLimits({50, 1, 0});
        char buffer[30];
        EXPECT_LT(socket.RecvBufferEx(buffer, 30, 1000), 30);
        EXPECT_EQ(socket.LastError(), 10060);
        EXPECT_EQ(socket.LastErrorDesc(), "transfer slower than 50 bytes/s for 1 s");
        // The next call fails at once: the transfer stays broken until new limits are set.
        EXPECT_EQ(socket.RecvPacket(1000), "");
        EXPECT_EQ(socket.LastError(), 10060);
        socket.SetTransferLimits({});
        EXPECT_NE(socket.RecvPacket(1000), "");
        EXPECT_EQ(socket.LastError(), 0);
    }
}

TEST(BlockSocketLimits, MaxTimeEndsASteadyTransfer) {
    ScriptedPeer peer(Trickle(40, 100));
    TTCPBlockSocket socket;
    ConnectTo(socket, peer);
    socket.SetTransferLimits({1, 1, 1});  // the rate rule alone would let it run
    EXPECT_EQ(socket.RecvBufferStr(40, 1000), "");
    EXPECT_EQ(socket.LastError(), 10060);
    EXPECT_EQ(socket.LastErrorDesc(), "transfer longer than 1 s");
}

TEST(BlockSocketLimits, OrderlyCloseIsToldFromAReset) {
    for (const bool reset : {false, true}) {
        PeerScript script;
        script.Send("abc").Pause(100);
        if (reset) script.Reset();
        else script.Close();
        ScriptedPeer peer(std::move(script));
        TTCPBlockSocket socket;
        ConnectTo(socket, peer);
        EXPECT_EQ(socket.RecvBufferStr(3, 2000), "abc") << reset;
        EXPECT_EQ(socket.RecvPacket(2000), "") << reset;
        EXPECT_EQ(socket.LastError(), 10054) << reset;
        EXPECT_EQ(socket.PeerEndedData(), !reset);
    }
}
