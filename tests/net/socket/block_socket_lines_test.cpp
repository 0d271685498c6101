// Reading lines: line ends split across packets, the LF CR pair, custom
// terminators, and the MaxLineLength limit.
#include <gtest/gtest.h>

#include "net/socket/blocksock.h"
#include "tests/support/peer_scripted.h"

using namespace lunaro::net;
using lunaro::testkit::PeerScript;
using lunaro::testkit::ScriptedPeer;

namespace {

// A socket connected to peer, ready to read lines.
void ConnectTo(TTCPBlockSocket& socket, const ScriptedPeer& peer) {
    ASSERT_TRUE(peer.Listening());
    socket.Connect("127.0.0.1", peer.PortText());
    ASSERT_EQ(socket.LastError(), 0) << socket.LastErrorDesc();
}

}  // namespace

TEST(BlockSocketLines, LineEndSplitAcrossPacketsGivesOneLine) {
    // The pause makes the CR end one packet and the LF start the next.
    ScriptedPeer peer(PeerScript().Send("first\r").Pause(150).Send("\nsecond\r\n").AwaitClientClose(3000));
    TTCPBlockSocket socket;
    socket.ConvertLineEnd = true;
    ConnectTo(socket, peer);
    EXPECT_EQ(socket.RecvString(2000), "first");
    EXPECT_EQ(socket.RecvString(2000), "second");  // no empty line between
    EXPECT_EQ(socket.LastError(), 0);
    EXPECT_EQ(socket.LineBuffer(), "");
}

TEST(BlockSocketLines, AnyLineEndCountsWhenConverting) {
    ScriptedPeer peer(PeerScript().Send("a\nb\n\rc\r\nd\re\r\n\r\n").AwaitClientClose(3000));
    TTCPBlockSocket socket;
    socket.ConvertLineEnd = true;
    ConnectTo(socket, peer);
    for (const char* expected : {"a", "b", "c", "d", "e", ""}) EXPECT_EQ(socket.RecvString(2000), expected);
    EXPECT_EQ(socket.LastError(), 0);
}

TEST(BlockSocketLines, WithoutConvertingOnlyCrLfEndsALine) {
    ScriptedPeer peer(PeerScript().Send("a\nb\r\nrest").AwaitClientClose(3000));
    TTCPBlockSocket socket;
    ConnectTo(socket, peer);
    EXPECT_EQ(socket.RecvString(2000), "a\nb");
    // What followed the line waits in the line buffer and comes out whole.
    EXPECT_EQ(socket.LineBuffer(), "rest");
    EXPECT_EQ(socket.RecvPacket(2000), "rest");
}

TEST(BlockSocketLines, TerminatorSplitAcrossPacketsAndManyLinesInOnePacket) {
    std::string many;
    for (int i = 0; i < 2000; ++i) many += "line" + std::to_string(i) + "|";
    ScriptedPeer peer(PeerScript().Send("alpha EN").Pause(150).Send("D beta END").Send(many).AwaitClientClose(3000));
    TTCPBlockSocket socket;
    ConnectTo(socket, peer);
    EXPECT_EQ(socket.RecvTerminated(2000, "END"), "alpha ");
    EXPECT_EQ(socket.RecvTerminated(2000, "END"), " beta ");
    for (int i = 0; i < 2000; ++i) ASSERT_EQ(socket.RecvTerminated(2000, "|"), "line" + std::to_string(i));
    EXPECT_EQ(socket.RecvTerminated(2000, ""), "");  // an empty terminator ends at once
    EXPECT_EQ(socket.LastError(), 0);
}

TEST(BlockSocketLines, MaxLineLengthStopsALongLineAndKeepsItsBytes) {
    ScriptedPeer peer(PeerScript().Send("0123456789abcdefghij").Pause(150).Send("\r\nok\r\n").AwaitClientClose(3000));
    TTCPBlockSocket socket;
    socket.MaxLineLength = 10;
    ConnectTo(socket, peer);
    EXPECT_EQ(socket.RecvString(2000), "");
    EXPECT_EQ(socket.LastError(), 10055);
    EXPECT_EQ(socket.LastErrorDesc(), "No Buffer space available");
    EXPECT_EQ(socket.LineBuffer(), "0123456789abcdefghij");

    // A line within the limit is handed out even when more bytes came with it.
    socket.SetLineBuffer("short\r\n" + std::string(50, 'x') + "\r\n");
    EXPECT_EQ(socket.RecvString(2000), "short");
    EXPECT_EQ(socket.LastError(), 0);
}

TEST(BlockSocketLines, EndlessLineNeverGrowsPastTheLimit) {
    ScriptedPeer peer(PeerScript().Flood('z', 64u << 20));
    TTCPBlockSocket socket;
    socket.MaxLineLength = 100000;
    ConnectTo(socket, peer);
    EXPECT_EQ(socket.RecvString(5000), "");
    EXPECT_EQ(socket.LastError(), 10055);
    // At most the limit plus the one packet that crossed it.
    EXPECT_LE(socket.LineBuffer().size(), 100000u + 65536u);
    EXPECT_LT(socket.RecvCounter(), 1 << 20);
}

TEST(BlockSocketLines, PeerClosingMidLineLeavesThePartInTheBuffer) {
    ScriptedPeer peer(PeerScript().Send("partial").Close());
    TTCPBlockSocket socket;
    ConnectTo(socket, peer);
    EXPECT_EQ(socket.RecvString(2000), "");
    EXPECT_EQ(socket.LastError(), 10054);
    EXPECT_EQ(socket.LastErrorDesc(), "Connection reset by peer");
    EXPECT_EQ(socket.LineBuffer(), "partial");
}
