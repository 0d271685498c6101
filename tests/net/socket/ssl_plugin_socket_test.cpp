// The SSL plug-in slot: the plug-in that refuses everything, and the data
// path through an enabled plug-in (a test double that scrambles bytes).
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <cctype>

#include "net/socket/blocksock.h"
#include "tests/support/peer_scripted.h"
#include "tests/support/peer_status_log.h"

using namespace lunaro::net;
using lunaro::testkit::PeerScript;
using lunaro::testkit::ScriptedPeer;
using lunaro::testkit::StatusLog;
using Reason = THookSocketReason;

namespace {

// Enabled after Connect; flips the case of letters both ways, and fails
// every read once told to.
class CaseFlippingSSL : public TCustomSSL {
public:
    using TCustomSSL::TCustomSSL;
    std::string LibVersion() const override { return "flip"; }
    std::string LibName() const override { return "flip"; }
    bool Connect() override { return FSSLEnabled = true; }
    bool Accept() override { return false; }
    bool Shutdown() override { return !(FSSLEnabled = false); }
    bool BiShutdown() override { return Shutdown(); }
    int SendBuffer(const void* buffer, int length) override {
        std::string bytes(static_cast<const char*>(buffer), length);
        Flip(bytes);
        return static_cast<int>(::send(Socket()->Socket(), bytes.data(), bytes.size(), MSG_NOSIGNAL));
    }
    int RecvBuffer(void* buffer, int length) override {
        if (failReads) {
            LastError = 5;
            LastErrorDesc = "flip failed";
            return -1;
        }
        const int count = static_cast<int>(::recv(Socket()->Socket(), buffer, length, 0));
        std::string bytes(static_cast<const char*>(buffer), count > 0 ? count : 0);
        Flip(bytes);
        bytes.copy(static_cast<char*>(buffer), bytes.size());
        return count;
    }
    int WaitingData() override { return 0; }
    bool failReads = false;

private:
    static void Flip(std::string& bytes) {
        for (char& c : bytes) c = static_cast<char>(std::isalpha(static_cast<unsigned char>(c)) ? c ^ 0x20 : c);
    }
};

}  // namespace

TEST(SslPluginSocket, WithoutSslSupportEveryOperationFailsAndSaysWhy) {
    TTCPBlockSocket holder;
    TSSLNone& none = static_cast<TSSLNone&>(holder.SSL());
    EXPECT_EQ(none.LibVersion(), "Without SSL support");
    EXPECT_EQ(none.LibName(), "ssl_none");
    EXPECT_FALSE(none.IsAvailable());
    EXPECT_TRUE(none.GetVerifyCert());
    EXPECT_EQ(none.CertComplianceLevel, -1);
    char byte = 0;
    EXPECT_FALSE(none.Accept());
    EXPECT_EQ(none.SendBuffer(&byte, 1), -1);
    EXPECT_EQ(none.RecvBuffer(&byte, 1), -1);
    EXPECT_EQ(none.WaitingData(), 0);
    EXPECT_EQ(none.LastError, -1);
    EXPECT_EQ(none.LastErrorDesc, "SSL/TLS support is not compiled!");

    ScriptedPeer peer(PeerScript().AwaitClientClose(2000));
    TTCPBlockSocket socket;
    StatusLog log;
    log.Attach(socket);
    socket.Connect("127.0.0.1", peer.PortText());
    ASSERT_EQ(socket.LastError(), 0);
    socket.SSLDoConnect();
    EXPECT_EQ(socket.LastError(), 10091);
    EXPECT_EQ(socket.LastErrorDesc(), "SSL/TLS support is not compiled!");
    EXPECT_EQ(log.ValueOf(Reason::HR_Error), "10091,SSL/TLS support is not compiled!");
    EXPECT_FALSE(socket.SSLAcceptConnection());

    // Settings travel between plug-ins.
    TTCPBlockSocket other;
    socket.SSL().SNIHost = "example.org";
    socket.SSL().VerifyCert = true;
    socket.SSL().SetCertCAFile("/ca.pem");
    other.SSL().Assign(socket.SSL());
    EXPECT_EQ(other.SSL().SNIHost, "example.org");
    EXPECT_TRUE(other.SSL().VerifyCert);
    EXPECT_EQ(other.SSL().CertCAFile(), "/ca.pem");
}

TEST(SslPluginSocket, EnabledPluginCarriesTheDataAndItsErrors) {
    ScriptedPeer peer(
        PeerScript().ReadUntil("\r\n").Send("REPLY\r\n").ReadUntil("GO\r\n").Send("MORE").AwaitClientClose(2000));
    TTCPBlockSocket socket(&SSLClassOf<CaseFlippingSSL>);
    StatusLog log;
    log.Attach(socket);
    socket.Connect("127.0.0.1", peer.PortText());
    socket.SSLDoConnect();
    ASSERT_EQ(socket.LastError(), 0);
    ASSERT_TRUE(socket.SSL().SSLEnabled());
    socket.SendString("hello\r\n");
    EXPECT_EQ(socket.RecvString(2000), "reply");
    EXPECT_EQ(peer.Received(), "HELLO\r\n");
    EXPECT_EQ(log.Sum(Reason::HR_WriteCount), 7);
    EXPECT_EQ(log.Sum(Reason::HR_ReadCount), 7);

    static_cast<CaseFlippingSSL&>(socket.SSL()).failReads = true;
    socket.SendString("go\r\n");
    EXPECT_EQ(socket.RecvPacket(2000), "");
    EXPECT_EQ(socket.LastError(), 10091);
    EXPECT_EQ(socket.LastErrorDesc(), "flip failed");
}
