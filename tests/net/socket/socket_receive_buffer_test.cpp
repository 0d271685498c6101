// The line buffer: bytes taken from the front, packets landing at the back,
// and the storage reused without losing or reordering a byte.
#include <gtest/gtest.h>

#include <cstring>

#include "net/socket/receive_buffer.h"

using lunaro::net::TReceiveBuffer;

TEST(SocketReceiveBuffer, KeepsOrderThroughConsumingAndRegrowing) {
    TReceiveBuffer buffer;
    std::string expected;
    // Alternate appends and partial takes so the storage is both reused
    // (front reclaimed) and grown.
    for (int round = 0; round < 200; ++round) {
        const std::string packet(static_cast<std::size_t>(round * 37 % 5000 + 1), static_cast<char>('a' + round % 26));
        char* tail = buffer.Reserve(packet.size() + 10);
        std::memcpy(tail, packet.data(), packet.size());
        buffer.Commit(packet.size());
        expected += packet;
        const std::size_t take = static_cast<std::size_t>(round * 53 % 4000);
        ASSERT_EQ(buffer.Take(take), expected.substr(0, take)) << round;
        expected.erase(0, std::min(take, expected.size()));
        ASSERT_EQ(buffer.View(), expected) << round;
    }
    buffer.Consume(buffer.Size() + 100);
    EXPECT_TRUE(buffer.Empty());
    EXPECT_EQ(buffer.Take(5), "");
}

TEST(SocketReceiveBuffer, AssignAndClear) {
    TReceiveBuffer buffer;
    buffer.Assign(std::string(3 << 20, 'x'));
    EXPECT_EQ(buffer.Size(), 3u << 20);
    buffer.Assign("short");
    EXPECT_EQ(buffer.View(), "short");
    buffer.Clear();
    EXPECT_TRUE(buffer.Empty());
    buffer.Append("again");
    EXPECT_EQ(buffer.View(), "again");
}
