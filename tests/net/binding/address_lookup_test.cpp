#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <future>
#include <sstream>

#include "net/binding/socket_interface.h"
#include "platform/socket_errors.h"

namespace lunaro::net {
namespace {

using namespace lunaro::platform;

// A name under the reserved ".invalid" domain whose first label is longer
// than DNS allows: the resolver rejects it before sending any query, so the
// test never leaves the machine and fails fast.
const std::string kUnknownHost = std::string(64, 'x') + ".invalid";

bool HostsFileMapsLocalhostTo(const std::string& address) {
    std::ifstream hosts("/etc/hosts");
    std::string line;
    while (std::getline(hosts, line)) {
        std::istringstream fields(line.substr(0, line.find('#')));
        std::string first;
        std::string name;
        if (!(fields >> first) || first != address) continue;
        while (fields >> name) {
            if (name == "localhost") return true;
        }
    }
    return false;
}

// Resolution runs with a deadline so a misbehaving resolver cannot hang the
// suite.
template <typename Function>
auto WithDeadline(Function function) {
    auto result = std::async(std::launch::async, function);
    if (result.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        ADD_FAILURE() << "name resolution did not finish within 30 s";
        std::abort();
    }
    return result.get();
}

class AddressLookupTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        ASSERT_TRUE(LoadSocketInterface(""));
        if (Legacy()) SetEnhancedApiForTesting(false, false);
    }
    void TearDown() override {
        SetEnhancedApiForTesting(true, false);
        ReleaseSocketInterface();
    }
    static bool Legacy() { return GetParam(); }

    // Fills with TCP settings and returns the numeric address, or the error.
    std::string Resolve(const std::string& host, const std::string& port, int family, bool preferIP4 = true) {
        const int code = FillSockAddr(sin, host, port, family, IPPROTO_TCP, SOCK_STREAM, preferIP4);
        return code == 0 ? SockAddrIP(sin) : "error " + std::to_string(code);
    }
    TVarSin sin{};
};

// Both paths: the address-information calls and the legacy IPv4 calls.
INSTANTIATE_TEST_SUITE_P(Paths, AddressLookupTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Legacy" : "Enhanced"; });

TEST_P(AddressLookupTest, IPv4LiteralsAndNames) {
    EXPECT_EQ(Resolve("127.0.0.1", "8080", FamilyIP4), "127.0.0.1");
    EXPECT_EQ(sin.AddressFamily, AF_INET);
    EXPECT_EQ(SockAddrPort(sin), 8080);
    const auto* bytes = reinterpret_cast<const unsigned char*>(&sin);
    for (size_t i = sizeof(sockaddr_in); i < sizeof sin; ++i) EXPECT_EQ(bytes[i], 0) << i;

    EXPECT_EQ(Resolve("127.0.0.5", "0", FamilyIP4), "127.0.0.5");
    EXPECT_EQ(Resolve("localhost", "21", FamilyIP4), "127.0.0.1");
    EXPECT_EQ(Resolve("0.0.0.0", "0", FamilyIP4), "0.0.0.0");
}

TEST_P(AddressLookupTest, ServiceNamesAndPortRange) {
    EXPECT_EQ(Resolve("127.0.0.1", "http", FamilyIP4), "127.0.0.1");
    EXPECT_EQ(SockAddrPort(sin), 80);
    EXPECT_EQ(LookupPortNumber("ftp", FamilyIP4, IPPROTO_TCP, SOCK_STREAM), 21);
    EXPECT_EQ(LookupPortNumber("8080", FamilyIP4, IPPROTO_TCP, SOCK_STREAM), 8080);
    EXPECT_EQ(LookupPortNumber("no-such-service", FamilyIP4, IPPROTO_TCP, SOCK_STREAM), 0);
    // A number beyond the port range must not wrap onto another port.
    EXPECT_EQ(LookupPortNumber("70000", FamilyIP4, IPPROTO_TCP, SOCK_STREAM), 0);
    EXPECT_EQ(FillSockAddr(sin, "127.0.0.1", "70000", FamilyIP4, IPPROTO_TCP, SOCK_STREAM, true), WSAEINVAL);
    EXPECT_EQ(FillSockAddr(sin, "127.0.0.1", "0065535", FamilyIP4, IPPROTO_TCP, SOCK_STREAM, true), 0);
    EXPECT_EQ(SockAddrPort(sin), 65535);
}

TEST_P(AddressLookupTest, UnknownHostGivesHostNotFoundAndTheStandInAddress) {
    const int code = WithDeadline([this] {
        return FillSockAddr(sin, kUnknownHost, "80", FamilyIP4, IPPROTO_TCP, SOCK_STREAM, true);
    });
    EXPECT_EQ(code, WSAHOST_NOT_FOUND);
    const auto list = WithDeadline([] {
        std::vector<std::string> found{"stale"};
        LookupNameToIPs(kUnknownHost, FamilyUnspecified, IPPROTO_TCP, SOCK_STREAM, found);
        return found;
    });
    EXPECT_EQ(list, std::vector<std::string>{"0.0.0.0"});
    EXPECT_EQ(LookupIPToName(kUnknownHost, FamilyIP4, 0, 0), kUnknownHost);
}

TEST_P(AddressLookupTest, NameToAddressesAndBack) {
    std::vector<std::string> list;
    LookupNameToIPs("localhost", FamilyIP4, 0, 0, list);
    EXPECT_EQ(list, std::vector<std::string>{"127.0.0.1"});
    // A literal stands for itself.
    LookupNameToIPs("127.0.0.9", FamilyIP4, 0, 0, list);
    EXPECT_EQ(list, std::vector<std::string>{"127.0.0.9"});
    EXPECT_EQ(LookupIPToName("127.0.0.1", FamilyIP4, 0, 0), "localhost");
}

TEST_P(AddressLookupTest, MalformedInputGivesErrorsNotCrashes) {
    const std::string huge(100000, 'a');
    EXPECT_NE(FillSockAddr(sin, huge, "80", FamilyIP4, IPPROTO_TCP, SOCK_STREAM, true), 0);
    EXPECT_NE(FillSockAddr(sin, "", huge, FamilyIP4, IPPROTO_TCP, SOCK_STREAM, true), 0);
    EXPECT_EQ(FillSockAddr(sin, "127.0.0.1", "80", 99, IPPROTO_TCP, SOCK_STREAM, true), WSAEAFNOSUPPORT);
    std::vector<std::string> list;
    LookupNameToIPs("", FamilyIP4, 0, 0, list);
    EXPECT_EQ(list, std::vector<std::string>{"0.0.0.0"});
    EXPECT_EQ(LookupPortNumber("", FamilyIP4, IPPROTO_TCP, SOCK_STREAM), 0);
    EXPECT_EQ(LookupPortNumber(huge, FamilyIP4, IPPROTO_TCP, SOCK_STREAM), 0);
    EXPECT_EQ(LookupIPToName("", FamilyIP4, 0, 0), "");
    TVarSin unset{};
    EXPECT_EQ(SockAddrIP(unset), "");
}

// The address-information rules; the legacy path knows IPv4 only.
class EnhancedLookupTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(LoadSocketInterface("")); }
    void TearDown() override { ReleaseSocketInterface(); }

    std::string Resolve(const std::string& host, int family, bool preferIP4, int socketType = SOCK_STREAM) {
        const int code = FillSockAddr(sin, host, "8080", family, 0, socketType, preferIP4);
        return code == 0 ? SockAddrIP(sin) : "error " + std::to_string(code);
    }
    TVarSin sin{};
};

TEST_F(EnhancedLookupTest, IPv6LoopbackAndWildcard) {
    EXPECT_EQ(Resolve("::1", FamilyIP6, true), "::1");
    EXPECT_EQ(sin.AddressFamily, AF_INET6);
    EXPECT_EQ(SockAddrPort(sin), 8080);
    EXPECT_EQ(Resolve("::0", FamilyIP6, true), "::");
    EXPECT_EQ(Resolve("fe80::1", FamilyIP6, true), "fe80::1");
}

TEST_F(EnhancedLookupTest, LoopbackTextsFollowTheFamilyTriedFirst) {
    EXPECT_EQ(Resolve("127.0.0.1", FamilyUnspecified, true), "127.0.0.1");
    EXPECT_EQ(Resolve("127.0.0.1", FamilyUnspecified, false), "::1");
    EXPECT_EQ(Resolve("::1", FamilyUnspecified, true), "127.0.0.1");
    EXPECT_EQ(Resolve("0.0.0.0", FamilyUnspecified, false), "::");
}

TEST_F(EnhancedLookupTest, SecondPassFindsTheOnlyFamilyAHostHas) {
    EXPECT_EQ(Resolve("127.0.0.2", FamilyUnspecified, false), "127.0.0.2");
    EXPECT_EQ(sin.AddressFamily, AF_INET);
    EXPECT_EQ(Resolve("::2", FamilyUnspecified, true), "::2");
    EXPECT_EQ(sin.AddressFamily, AF_INET6);
    // With a family given there is no second pass.
    EXPECT_EQ(Resolve("::2", FamilyIP4, true), "error " + std::to_string(WSANO_DATA));
}

TEST_F(EnhancedLookupTest, PreferIP4PicksTheKindOfLocalhost) {
    EXPECT_EQ(Resolve("localhost", FamilyUnspecified, true), "127.0.0.1");
    // Only when the hosts file names both kinds: asking for the IPv6 kind
    // otherwise sends the question to the network's resolver.
    if (HostsFileMapsLocalhostTo("::1")) {
        EXPECT_EQ(Resolve("localhost", FamilyUnspecified, false), "::1");
    }
}

TEST_F(EnhancedLookupTest, RawSocketsResolveWithoutService) {
    EXPECT_EQ(Resolve("127.0.0.3", FamilyIP4, true, SOCK_RAW), "127.0.0.3");
    EXPECT_EQ(SockAddrPort(sin), 0);
}

TEST_F(EnhancedLookupTest, NameListFiltersByFamilyAndNamesEachAddressOnce) {
    std::vector<std::string> list;
    LookupNameToIPs("127.0.0.1", FamilyUnspecified, 0, 0, list);
    EXPECT_EQ(list, std::vector<std::string>{"127.0.0.1"});
    LookupNameToIPs("::1", FamilyIP6, 0, 0, list);
    EXPECT_EQ(list, std::vector<std::string>{"::1"});
    LookupNameToIPs("::1", FamilyIP4, 0, 0, list);
    EXPECT_EQ(list, std::vector<std::string>{"0.0.0.0"});
    LookupNameToIPs("localhost", FamilyIP6, 0, 0, list);
    if (!HostsFileMapsLocalhostTo("::1")) {
        EXPECT_EQ(list, std::vector<std::string>{"0.0.0.0"});
    }
}

TEST_F(EnhancedLookupTest, LookupAddressHonoursTheHint) {
    addrinfo hints{};
    hints.ai_family = AF_INET6;
    EXPECT_EQ(LookupAddress("127.0.0.1", "7", hints, sin), 0);
    EXPECT_EQ(SockAddrIP(sin), "::1");
    hints.ai_family = AF_INET;
    EXPECT_EQ(LookupAddress("::1", "7", hints, sin), 0);
    EXPECT_EQ(SockAddrIP(sin), "127.0.0.1");
    EXPECT_EQ(LookupAddress("::5", "7", hints, sin), WSANO_DATA);
    EXPECT_EQ(sin.AddressFamily, 0);
}

}  // namespace
}  // namespace lunaro::net
