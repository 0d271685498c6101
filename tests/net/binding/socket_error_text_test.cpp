// The error descriptions every socket message shows.
#include <gtest/gtest.h>

#include "net/socket/block_socket.h"
#include "net/binding/socket_error_text.h"

using lunaro::net::SocketErrorText;
using lunaro::net::TBlockSocket;

TEST(SocketErrorText, KnownUnknownAndNoError) {
    EXPECT_EQ(SocketErrorText(0), "");
    EXPECT_EQ(SocketErrorText(10004), "Interrupted system call");
    EXPECT_EQ(SocketErrorText(10059), "Too many references:can't splice");
    EXPECT_EQ(SocketErrorText(10071), "Too many levels of remote in path");
    EXPECT_EQ(SocketErrorText(10101), "Disconnect");
    EXPECT_EQ(SocketErrorText(11004), "Valid name, no data record of requested type");
    // Between and beyond the table's numbers.
    EXPECT_EQ(SocketErrorText(10005), "Other Winsock error (10005)");
    EXPECT_EQ(SocketErrorText(10072), "Other Winsock error (10072)");
    EXPECT_EQ(SocketErrorText(11005), "Other Winsock error (11005)");
    EXPECT_EQ(SocketErrorText(-1), "Other Winsock error (-1)");
    EXPECT_EQ(TBlockSocket::GetErrorDesc(10061), "Connection refused");
}
