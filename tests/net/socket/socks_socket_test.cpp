// SOCKS dialogues against scripted proxies, byte for byte: SOCKS4a names,
// SOCKS5 with and without user/password, bind (listen/accept), and the
// short or malformed answers that must fail without reading past them.
#include <gtest/gtest.h>

#include "net/socket/blocksock.h"
#include "net/socket/socks_address.h"
#include "tests/support/peer_scripted.h"
#include "tests/support/peer_status_log.h"

using namespace lunaro::net;
using lunaro::testkit::PeerScript;
using lunaro::testkit::ScriptedPeer;
using lunaro::testkit::StatusLog;
using Reason = THookSocketReason;

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) bytes += static_cast<char>(value);
    return bytes;
}

void UseSocks(TTCPBlockSocket& socket, const ScriptedPeer& proxy, TSocksType type) {
    ASSERT_TRUE(proxy.Listening());
    socket.SocksIP = "127.0.0.1";
    socket.SocksPort = proxy.PortText();
    socket.SocksType = type;
    socket.SocksTimeout = 2000;
}

const std::string kGranted5 = Bytes({5, 0, 0, 1, 10, 0, 0, 7, 0x1F, 0x90});  // 10.0.0.7:8080

}  // namespace

TEST(SocksSocket, Socks4aSendsTheNameToTheProxy) {
    const std::string request = Bytes({4, 1, 0x1F, 0x90, 0, 0, 0, 1}) + "me" + '\0' + "target.example" + '\0';
    ScriptedPeer proxy(PeerScript()
                           .Read(request.size())
                           .Send(Bytes({0, 90, 0x04, 0xD2, 192, 0, 2, 9}) + "payload")
                           .AwaitClientClose(3000));
    TTCPBlockSocket socket;
    UseSocks(socket, proxy, TSocksType::ST_Socks4);
    socket.SocksUsername = "me";
    StatusLog log;
    log.Attach(socket);
    socket.Connect("target.example", "8080");
    ASSERT_EQ(socket.LastError(), 0) << socket.LastErrorDesc();
    EXPECT_EQ(proxy.Received(), request);
    EXPECT_TRUE(socket.UsingSocks());
    EXPECT_EQ(socket.SocksLastError(), 90);
    EXPECT_EQ(log.Count(Reason::HR_Connect), 2);  // the proxy, then the target
    EXPECT_EQ(log.entries.back().value, "target.example:8080");
    EXPECT_EQ(socket.GetRemoteSinIP(), "target.example");
    EXPECT_EQ(socket.GetRemoteSinPort(), 8080);
    EXPECT_EQ(socket.GetLocalSinIP(), "192.0.2.9");
    EXPECT_EQ(socket.GetLocalSinPort(), 1234);
    EXPECT_EQ(socket.RecvPacket(2000), "payload");
}

TEST(SocksSocket, Socks4WithLocalResolvingSendsTheAddress) {
    const std::string request = Bytes({4, 1, 0, 80, 127, 0, 0, 1, 0});
    ScriptedPeer proxy(PeerScript().Read(request.size()).Send(Bytes({0, 90, 0, 0, 0, 0, 0, 0})).AwaitClientClose(3000));
    TTCPBlockSocket socket;
    UseSocks(socket, proxy, TSocksType::ST_Socks4);
    socket.SocksResolver = false;
    socket.Connect("localhost", "80");
    EXPECT_EQ(socket.LastError(), 0) << socket.LastErrorDesc();
    EXPECT_EQ(proxy.Received(), request);
}

TEST(SocksSocket, Socks5NameWithoutAuthentication) {
    const std::string greeting = Bytes({5, 1, 0});
    const std::string request = Bytes({5, 1, 0, 3, 11}) + "example.org" + Bytes({0, 80});
    ScriptedPeer proxy(PeerScript()
                           .Read(greeting.size())
                           .Send(Bytes({5, 0}))
                           .Read(request.size())
                           .Send(kGranted5)
                           .AwaitClientClose(3000));
    TTCPBlockSocket socket;
    UseSocks(socket, proxy, TSocksType::ST_Socks5);
    socket.Connect("example.org", "80");
    ASSERT_EQ(socket.LastError(), 0) << socket.LastErrorDesc();
    EXPECT_EQ(proxy.Received(), greeting + request);
    EXPECT_EQ(socket.GetLocalSinIP(), "10.0.0.7");
    EXPECT_EQ(socket.GetLocalSinPort(), 8080);
}

TEST(SocksSocket, Socks5UserPasswordAndAnIPv6Target) {
    const std::string greeting = Bytes({5, 2, 2, 0});
    const std::string credentials = Bytes({1, 5}) + "alice" + Bytes({6}) + "secret";
    const std::string request = Bytes({5, 1, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0x01, 0xBB});
    const std::string answer = Bytes({5, 0, 0, 3, 9}) + "proxy.lan" + Bytes({0x12, 0x34});
    ScriptedPeer proxy(PeerScript()
                           .Read(greeting.size())
                           .Send(Bytes({5, 2}))
                           .Read(credentials.size())
                           .Send(Bytes({1, 0}))
                           .Read(request.size())
                           .Send(answer)
                           .AwaitClientClose(3000));
    TTCPBlockSocket socket;
    UseSocks(socket, proxy, TSocksType::ST_Socks5);
    socket.SocksUsername = "alice";
    socket.SocksPassword = "secret";
    socket.Connect("::1", "443");
    ASSERT_EQ(socket.LastError(), 0) << socket.LastErrorDesc();
    EXPECT_EQ(proxy.Received(), greeting + credentials + request);
    EXPECT_EQ(socket.GetLocalSinIP(), "proxy.lan");
    EXPECT_EQ(socket.GetLocalSinPort(), 0x1234);
}

TEST(SocksSocket, BadAnswersFailWithTheNegotiationCode) {
    struct Case {
        const char* what;
        std::string greetingAnswer;
        std::string requestAnswer;
        int error;
    };
    const Case cases[] = {
        {"wrong version", Bytes({4, 0}), "", 10091},
        {"no acceptable method", Bytes({5, 0xFF}), "", 10091},
        {"request refused", Bytes({5, 0}), Bytes({5, 5, 0, 1, 0, 0, 0, 0, 0, 0}), 10091},
        {"unknown address type", Bytes({5, 0}), Bytes({5, 0, 0, 9, 1, 2, 3, 4, 5, 6}), 10091},
        {"answer cut short", Bytes({5, 0}), Bytes({5, 0}), 10054},
    };
    for (const Case& c : cases) {
        PeerScript script;
        script.Read(3).Send(c.greetingAnswer);
        if (!c.requestAnswer.empty()) script.Read(10).Send(c.requestAnswer);
        ScriptedPeer proxy(script.Close());
        TTCPBlockSocket socket;
        UseSocks(socket, proxy, TSocksType::ST_Socks5);
        socket.Connect("127.0.0.1", "80");
        EXPECT_EQ(socket.LastError(), c.error) << c.what;
    }

    ScriptedPeer refused4(PeerScript().Read(9).Send(Bytes({0, 91, 0, 0, 0, 0, 0, 0})).Close());
    TTCPBlockSocket socks4;
    UseSocks(socks4, refused4, TSocksType::ST_Socks4);
    socks4.Connect("127.0.0.1", "80");
    EXPECT_EQ(socks4.LastError(), 10091);
    EXPECT_EQ(socks4.SocksLastError(), 91);

    // Credentials that a one-byte length cannot carry are never sent.
    ScriptedPeer wantsAuth(PeerScript().Read(4).Send(Bytes({5, 2})).AwaitClientClose(2000));
    TTCPBlockSocket longUser;
    UseSocks(longUser, wantsAuth, TSocksType::ST_Socks5);
    longUser.SocksUsername = std::string(300, 'u');
    longUser.Connect("127.0.0.1", "80");
    EXPECT_EQ(longUser.LastError(), 10091);
    longUser.CloseSocket();
    EXPECT_TRUE(wantsAuth.WaitDone());
    EXPECT_EQ(wantsAuth.Received(), Bytes({5, 2, 2, 0}));
}

TEST(SocksSocket, ListenAndAcceptThroughTheProxy) {
    const std::string bound = Bytes({5, 0, 0, 1, 0, 0, 0, 0, 0x10, 0xE1});        // 0.0.0.0:4321
    const std::string connected = Bytes({5, 0, 0, 1, 10, 1, 2, 3, 0x02, 0x2B});   // 10.1.2.3:555
    ScriptedPeer proxy(PeerScript()
                           .Read(3)
                           .Send(Bytes({5, 0}))
                           .Read(10)
                           .Send(bound)
                           .Pause(100)
                           .Send(connected + "hello")
                           .AwaitClientClose(3000));
    TTCPBlockSocket socket;
    UseSocks(socket, proxy, TSocksType::ST_Socks5);
    socket.Bind("127.0.0.1", "0");
    const int localPort = socket.GetLocalSinPort();
    StatusLog log;
    log.Attach(socket);
    socket.Listen();
    ASSERT_EQ(socket.LastError(), 0) << socket.LastErrorDesc();
    EXPECT_EQ(proxy.Received().substr(3), Bytes({5, 2, 0, 1, 127, 0, 0, 1, localPort >> 8, localPort & 0xFF}));
    EXPECT_EQ(socket.GetLocalSinIP(), "127.0.0.1");  // the proxy said 0.0.0.0: its own address
    EXPECT_EQ(socket.GetLocalSinPort(), 4321);
    EXPECT_EQ(socket.Accept(), socket.Socket());
    EXPECT_EQ(socket.LastError(), 0);
    EXPECT_EQ(socket.GetRemoteSinIP(), "10.1.2.3");
    EXPECT_EQ(socket.GetRemoteSinPort(), 555);
    EXPECT_GE(log.IndexOf(Reason::HR_Accept), 0);
    EXPECT_EQ(socket.RecvPacket(2000), "hello");

    ScriptedPeer broken(PeerScript().Read(3).Send(Bytes({5, 0})).Read(10).Send(Bytes({5, 0, 0, 1})).Close());
    TTCPBlockSocket failing;
    UseSocks(failing, broken, TSocksType::ST_Socks5);
    failing.Bind("127.0.0.1", "0");
    failing.Listen();
    EXPECT_EQ(failing.LastError(), 10054);  // the socket error stands

    ScriptedPeer refusing(PeerScript().Read(3).Send(Bytes({5, 0})).Read(10).Send(Bytes({5, 1, 0, 1, 0, 0, 0, 0, 0, 0})).AwaitClientClose(2000));
    TTCPBlockSocket refused;
    UseSocks(refused, refusing, TSocksType::ST_Socks5);
    refused.Bind("127.0.0.1", "0");
    refused.Listen();
    EXPECT_EQ(refused.LastError(), 11003);
}

TEST(SocksSocket, AddressCodingEdges) {
    EXPECT_EQ(EncodeSocks5Address(std::string(256, 'n'), 80), "");
    EXPECT_EQ(EncodeSocks5Address("", 80), "");
    EXPECT_EQ(EncodeSocks4Address("name", 80, std::string("a\0b", 3)), "");
    EXPECT_EQ(EncodeSocks4Address(" 10. 0.0.1", 0x1234, ""), Bytes({0x12, 0x34, 10, 0, 0, 1, 0}));
    const TSocksAddress shortAnswer = DecodeSocksAddress(Bytes({5, 0, 0, 1, 1, 2}), TSocksType::ST_Socks5);
    EXPECT_EQ(shortAnswer.Port, "0");
    EXPECT_EQ(DecodeSocksAddress(Bytes({5, 0, 0, 3, 200, 'a'}), TSocksType::ST_Socks5).IP, "a");
    EXPECT_EQ(DecodeSocksAddress(Bytes({0, 90}), TSocksType::ST_Socks4).Port, "0");
}
