#include "platform/socket_errors.h"

#include <gtest/gtest.h>
#include <netdb.h>

#include <cerrno>

namespace lunaro::platform {
namespace {

TEST(SocketErrors, ErrnoTranslatesToSocketNumbers) {
    EXPECT_EQ(SocketErrorFromErrno(0), 0);
    EXPECT_EQ(SocketErrorFromErrno(EINTR), WSAEINTR);
    EXPECT_EQ(SocketErrorFromErrno(EAGAIN), WSAEWOULDBLOCK);
    EXPECT_EQ(SocketErrorFromErrno(EINPROGRESS), WSAEINPROGRESS);
    EXPECT_EQ(SocketErrorFromErrno(ECONNRESET), WSAECONNRESET);
    EXPECT_EQ(SocketErrorFromErrno(EPIPE), WSAECONNRESET);
    EXPECT_EQ(SocketErrorFromErrno(ETIMEDOUT), WSAETIMEDOUT);
    EXPECT_EQ(SocketErrorFromErrno(ECONNREFUSED), WSAECONNREFUSED);
    EXPECT_EQ(SocketErrorFromErrno(EADDRINUSE), WSAEADDRINUSE);
    EXPECT_EQ(SocketErrorFromErrno(EHOSTUNREACH), WSAEHOSTUNREACH);
    EXPECT_EQ(SocketErrorFromErrno(ENOMEM), WSAENOBUFS);
}

TEST(SocketErrors, UnknownErrnoAndSocketNumbersPassUnchanged) {
    EXPECT_EQ(SocketErrorFromErrno(EIO), EIO);
    EXPECT_EQ(SocketErrorFromErrno(-7), -7);
    EXPECT_EQ(SocketErrorFromErrno(WSANOTINITIALISED), WSANOTINITIALISED);
}

TEST(SocketErrors, AddressInfoFailuresNeverBecomeSuccess) {
    EXPECT_EQ(SocketErrorFromAddrInfo(0, EIO), 0);
    EXPECT_EQ(SocketErrorFromAddrInfo(EAI_NONAME, 0), WSAHOST_NOT_FOUND);
    EXPECT_EQ(SocketErrorFromAddrInfo(EAI_AGAIN, 0), WSATRY_AGAIN);
    EXPECT_EQ(SocketErrorFromAddrInfo(EAI_FAIL, 0), WSANO_RECOVERY);
    EXPECT_EQ(SocketErrorFromAddrInfo(EAI_NODATA, 0), WSANO_DATA);
    EXPECT_EQ(SocketErrorFromAddrInfo(EAI_ADDRFAMILY, 0), WSANO_DATA);
    EXPECT_EQ(SocketErrorFromAddrInfo(EAI_SERVICE, 0), WSATYPE_NOT_FOUND);
    EXPECT_EQ(SocketErrorFromAddrInfo(EAI_SYSTEM, ECONNREFUSED), WSAECONNREFUSED);
    // A system failure that left errno clear, or a code no one knows,
    // still reports a failure.
    EXPECT_EQ(SocketErrorFromAddrInfo(EAI_SYSTEM, 0), WSANO_RECOVERY);
    EXPECT_EQ(SocketErrorFromAddrInfo(-12345, 0), WSANO_RECOVERY);
}

TEST(SocketErrors, HostErrorsAreAlwaysFailures) {
    EXPECT_EQ(SocketErrorFromHostError(HOST_NOT_FOUND, 0), WSAHOST_NOT_FOUND);
    EXPECT_EQ(SocketErrorFromHostError(TRY_AGAIN, 0), WSATRY_AGAIN);
    EXPECT_EQ(SocketErrorFromHostError(NO_RECOVERY, 0), WSANO_RECOVERY);
    EXPECT_EQ(SocketErrorFromHostError(NO_DATA, 0), WSANO_DATA);
    EXPECT_EQ(SocketErrorFromHostError(NETDB_INTERNAL, EMFILE), WSAEMFILE);
    EXPECT_EQ(SocketErrorFromHostError(NETDB_INTERNAL, 0), WSANO_RECOVERY);
    EXPECT_EQ(SocketErrorFromHostError(0, 0), WSAHOST_NOT_FOUND);
}

TEST(SocketErrors, LastSocketErrorReadsErrno) {
    errno = ECONNABORTED;
    EXPECT_EQ(LastSocketError(), WSAECONNABORTED);
}

}  // namespace
}  // namespace lunaro::platform
