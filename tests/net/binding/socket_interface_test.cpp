#include "net/binding/socket_interface.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "platform/socket_errors.h"

namespace lunaro::net {
namespace {

using namespace lunaro::platform;

// Each test starts unloaded. Modules linked into this program (the block
// socket) may hold references for the life of the process: they are handed
// back for the test and taken again afterwards, restoring the same binding.
class SocketInterfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        heldElsewhere_ = SocketInterfaceUsers();
        for (int i = 0; i < heldElsewhere_; ++i) ReleaseSocketInterface();
        ASSERT_EQ(SocketInterfaceUsers(), 0);
    }
    void TearDown() override {
        while (SocketInterfaceUsers() > 0) ReleaseSocketInterface();
        for (int i = 0; i < heldElsewhere_; ++i) ASSERT_TRUE(LoadSocketInterface("ws2_32.dll"));
    }

private:
    int heldElsewhere_ = 0;
};

TEST_F(SocketInterfaceTest, SecondLoadCountsAndOnlyTheLastReleaseUnloads) {
    ASSERT_TRUE(LoadSocketInterface(""));
    EXPECT_EQ(SocketInterfaceUsers(), 1);
    EXPECT_TRUE(EnhancedApi());
    EXPECT_FALSE(Ip6SupportApi());
    const auto socketCall = SocketFunctions().socket;
    ASSERT_NE(socketCall, nullptr);

    ASSERT_TRUE(LoadSocketInterface("WS2_32.DLL"));
    EXPECT_EQ(SocketInterfaceUsers(), 2);
    EXPECT_EQ(SocketFunctions().socket, socketCall);

    EXPECT_TRUE(ReleaseSocketInterface());
    EXPECT_EQ(SocketInterfaceUsers(), 1);
    EXPECT_NE(SocketFunctions().getaddrinfo, nullptr);

    EXPECT_TRUE(ReleaseSocketInterface());
    EXPECT_EQ(SocketInterfaceUsers(), 0);
    EXPECT_EQ(SocketFunctions().socket, nullptr);
    EXPECT_EQ(SocketFunctions().getaddrinfo, nullptr);
    EXPECT_FALSE(EnhancedApi());

    EXPECT_TRUE(ReleaseSocketInterface());
    EXPECT_EQ(SocketInterfaceUsers(), 0);
}

TEST_F(SocketInterfaceTest, EveryTableEntryIsBound) {
    ASSERT_TRUE(LoadSocketInterface("ws2_32.dll"));
    const TSocketFunctions& api = SocketFunctions();
    // The table is a run of function pointers; none may stay empty.
    constexpr size_t kEntries = sizeof(TSocketFunctions) / sizeof(void (*)());
    static_assert(kEntries == 38);
    void (*entries[kEntries])();
    std::memcpy(entries, &api, sizeof entries);
    for (size_t i = 0; i < kEntries; ++i) EXPECT_NE(entries[i], nullptr) << "entry " << i;
}

TEST_F(SocketInterfaceTest, UnknownLibraryFailsWithoutCounting) {
    EXPECT_FALSE(LoadSocketInterface("nosuch.dll"));
    EXPECT_FALSE(LoadSocketInterface("libc.so.6"));
    EXPECT_EQ(SocketInterfaceUsers(), 0);
    EXPECT_EQ(SocketFunctions().socket, nullptr);
}

TEST_F(SocketInterfaceTest, OlderLibraryTakesAddressInfoFromIp6Support) {
    ASSERT_TRUE(LoadSocketInterface("wsock32.dll"));
    EXPECT_FALSE(EnhancedApi());
    EXPECT_TRUE(Ip6SupportApi());
    EXPECT_NE(SocketFunctions().getaddrinfo, nullptr);
    EXPECT_FALSE(UsesEnhancedApi(FamilyUnspecified));
    EXPECT_FALSE(UsesEnhancedApi(FamilyIP4));
    EXPECT_TRUE(UsesEnhancedApi(FamilyIP6));

    TVarSin sin{};
    EXPECT_EQ(FillSockAddr(sin, "127.0.0.1", "21", FamilyIP4, IPPROTO_TCP, SOCK_STREAM, true), 0);
    EXPECT_EQ(SockAddrIP(sin), "127.0.0.1");
    EXPECT_EQ(FillSockAddr(sin, "::1", "21", FamilyIP6, IPPROTO_TCP, SOCK_STREAM, true), 0);
    EXPECT_EQ(SockAddrIP(sin), "::1");
}

TEST_F(SocketInterfaceTest, LookupsWithoutLoadedInterfaceFailCleanly) {
    TVarSin sin{};
    EXPECT_EQ(FillSockAddr(sin, "127.0.0.1", "80", FamilyIP4, 0, 0, true), WSANOTINITIALISED);
    addrinfo hints{};
    EXPECT_EQ(LookupAddress("127.0.0.1", "80", hints, sin), WSANOTINITIALISED);
    std::vector<std::string> list{"stale"};
    LookupNameToIPs("localhost", FamilyUnspecified, 0, 0, list);
    EXPECT_EQ(list, std::vector<std::string>{"0.0.0.0"});
    EXPECT_EQ(LookupPortNumber("80", FamilyUnspecified, 0, 0), 0);
    EXPECT_EQ(LookupIPToName("127.0.0.1", FamilyUnspecified, 0, 0), "127.0.0.1");
    EXPECT_EQ(SockAddrIP(sin), "");
}

TEST(SocketFamilies, NumbersTranslateBetweenSystemAndHost) {
    EXPECT_EQ(FamilyToAddressFamily(TSocketFamily::SF_Any), 0);
    EXPECT_EQ(FamilyToAddressFamily(TSocketFamily::SF_IP4), 2);
    EXPECT_EQ(FamilyToAddressFamily(TSocketFamily::SF_IP6), 23);
    EXPECT_EQ(HostAddressFamily(0), AF_UNSPEC);
    EXPECT_EQ(HostAddressFamily(2), AF_INET);
    EXPECT_EQ(HostAddressFamily(23), AF_INET6);
    EXPECT_EQ(HostAddressFamily(AF_INET6), -1);  // host number 10 is not a family number
    EXPECT_EQ(FamilyNumberOf(AF_INET), 2);
    EXPECT_EQ(FamilyNumberOf(AF_INET6), 23);
    EXPECT_EQ(FamilyNumberOf(AF_UNIX), 0);
}

TEST(VarSin, HoldsEitherFormInTwentyEightBytes) {
    TVarSin sin;
    std::memset(static_cast<void*>(&sin), 0xAB, sizeof sin);
    sin.Clear();
    const auto* bytes = reinterpret_cast<const unsigned char*>(&sin);
    for (size_t i = 0; i < sizeof sin; ++i) ASSERT_EQ(bytes[i], 0) << i;
    sin.in4.sin_family = AF_INET;
    EXPECT_EQ(sin.AddressFamily, AF_INET);
    EXPECT_EQ(sin.Length(), sizeof(sockaddr_in));
    sin.in6.sin6_family = AF_INET6;
    EXPECT_EQ(sin.Length(), 28u);
    EXPECT_EQ(reinterpret_cast<const void*>(sin.Address()), reinterpret_cast<const void*>(&sin));
}

// The adapters that stand in for the calls POSIX lacks.
class SocketAdaptersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadSocketInterface(""));
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair_), 0);
    }
    void TearDown() override {
        for (int fd : pair_) {
            if (fd >= 0) ::close(fd);
        }
        ReleaseSocketInterface();
    }
    const TSocketFunctions& api = SocketFunctions();
    int pair_[2] = {-1, -1};
};

TEST_F(SocketAdaptersTest, StartupAndCleanupFollowTheVersionRules) {
    TWSAData data;
    EXPECT_EQ(api.WSAStartup(0x0202, &data), 0);
    EXPECT_EQ(data.wVersion, 0x0202);
    EXPECT_EQ(data.wHighVersion, 0x0202);
    EXPECT_GT(std::strlen(data.szDescription), 0u);
    EXPECT_EQ(api.WSAStartup(0x0303, &data), 0);
    EXPECT_EQ(data.wVersion, 0x0202);
    EXPECT_EQ(api.WSAStartup(0x0101, &data), 0);
    EXPECT_EQ(data.wVersion, 0x0101);
    EXPECT_EQ(api.WSAStartup(0x0000, &data), WSAVERNOTSUPPORTED);
    EXPECT_EQ(api.WSAStartup(0x0202, nullptr), WSAEFAULT);

    // Three start-ups above, plus any other module's.
    int undone = 0;
    while (undone < 100 && api.WSACleanup() == 0) ++undone;
    EXPECT_GE(undone, 3);
    EXPECT_LT(undone, 100);
    EXPECT_EQ(api.WSAGetLastError(), WSANOTINITIALISED);
    for (int i = 3; i < undone; ++i) api.WSAStartup(0x0202, &data);
}

TEST_F(SocketAdaptersTest, IoctlReportsWaitingBytesAndSwitchesBlocking) {
    ASSERT_EQ(::write(pair_[0], "hello", 5), 5);
    uint32_t argument = 0;
    ASSERT_EQ(api.ioctlsocket(pair_[1], kFionread, &argument), 0);
    EXPECT_EQ(argument, 5u);

    argument = 1;
    ASSERT_EQ(api.ioctlsocket(pair_[1], kFionbio, &argument), 0);
    EXPECT_NE(::fcntl(pair_[1], F_GETFL) & O_NONBLOCK, 0);
    argument = 0;
    ASSERT_EQ(api.ioctlsocket(pair_[1], kFionbio, &argument), 0);
    EXPECT_EQ(::fcntl(pair_[1], F_GETFL) & O_NONBLOCK, 0);

    EXPECT_EQ(api.ioctlsocket(pair_[1], 0x1234, &argument), SOCKET_ERROR);
    EXPECT_EQ(api.WSAGetLastError(), WSAEINVAL);
    EXPECT_EQ(api.ioctlsocket(pair_[1], kFionread, nullptr), SOCKET_ERROR);
    EXPECT_EQ(api.WSAGetLastError(), WSAEFAULT);
    EXPECT_EQ(api.ioctlsocket(-1, kFionread, &argument), SOCKET_ERROR);
    EXPECT_EQ(api.WSAGetLastError(), WSAEBADF);
}

TEST_F(SocketAdaptersTest, CloseSocketAndUnsupportedIoctl) {
    EXPECT_EQ(api.closesocket(pair_[0]), 0);
    EXPECT_EQ(::fcntl(pair_[0], F_GETFL), -1);
    pair_[0] = -1;
    EXPECT_EQ(api.closesocket(-1), SOCKET_ERROR);
    EXPECT_EQ(api.WSAGetLastError(), WSAEBADF);

    EXPECT_EQ(api.WSAIoctl(pair_[1], 0, nullptr, 0, nullptr, 0, nullptr, nullptr, nullptr), SOCKET_ERROR);
    EXPECT_EQ(api.WSAGetLastError(), WSAEOPNOTSUPP);
}

TEST_F(SocketAdaptersTest, DescriptorSetTestStaysInsideTheSet) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(pair_[1], &set);
    EXPECT_EQ(api.WSAFDIsSet(pair_[1], &set), 1);
    EXPECT_EQ(api.WSAFDIsSet(pair_[0], &set), 0);
    EXPECT_EQ(api.WSAFDIsSet(-1, &set), 0);
    EXPECT_EQ(api.WSAFDIsSet(FD_SETSIZE, &set), 0);
    EXPECT_EQ(api.WSAFDIsSet(pair_[1], nullptr), 0);
}

}  // namespace
}  // namespace lunaro::net
