// TFTPSend with TLS through the sockets' plug-in, against vsftpd with test
// certificates: AUTH TLS after the greeting, TLS from the first byte, and a
// certificate the client must not accept.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "net/ftp/ftp_send.h"
#include "net/socket/ssl_plugin_choice.h"
#include "net/text_utils.h"
#include "tests/support/peer_ftp_servers.h"
#include "tests/support/test_support.h"

namespace lunaro::net {
namespace {

using testkit::ReadFile;
using testkit::TempDir;
using testkit::WriteFile;

class Ftps : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        certs = new TempDir();
        const std::string make = std::string(LUNARO_SOURCE_DIR) + "/tests/net/tls/make-test-certs " + certs->Path();
        certsMade = std::system((make + " >/dev/null 2>&1").c_str()) == 0;
    }
    static void TearDownTestSuite() { delete certs; }

    // vsftpd serving data.bin with the named certificate; the client
    // trusts the test CA.
    void Start(const std::string& cert, bool implicitTls) {
        LUNARO_REQUIRE_PEER(TLSModuleProblem().empty(), "the TLS module is not loadable: " + TLSModuleProblem());
        LUNARO_REQUIRE_PEER(certsMade, "the openssl command could not make the test certificates");
        WriteFile(root.File("data.bin"), content);
        ::chmod(root.File("data.bin").c_str(), 0644);
        const testkit::FtpTlsOptions tls{certs->File(cert + ".pem"), certs->File(cert + ".key"), implicitTls};
        server = std::make_unique<testkit::VsftpdServer>(testkit::FtpServerOptions{root.Path(), "127.0.0.1"}, tls);
        LUNARO_REQUIRE_PEER(server->Running(), server->Error());
        ftp.TargetHost = "127.0.0.1";
        ftp.TargetPort = std::to_string(server->Port());
        ftp.Timeout = 10000;
        ftp.Sock().SSL().SetCertCAFile(certs->File("ca.pem"));
        ftp.AutoTLS = !implicitTls;
        ftp.FullSSL = implicitTls;
    }

    // Everything the data connection carries, protected: a file both ways
    // and a listing.
    void ExpectProtectedTransfers() {
        EXPECT_TRUE(ftp.IsTLS());
        EXPECT_TRUE(ftp.IsDataTLS());
        ASSERT_TRUE(ftp.RetrieveFile("data.bin", false)) << ftp.ResultString() << ftp.DSock().LastErrorDesc();
        EXPECT_TRUE(ftp.DataStream().ToString() == content);

        ftp.DataStream().Clear();
        net::WriteTextToStream(ftp.DataStream(), "uploaded over TLS");
        ASSERT_TRUE(ftp.StoreFile("pub/up.txt", false)) << ftp.ResultString();
        EXPECT_EQ(ReadFile(root.File("pub/up.txt")), "uploaded over TLS");

        ASSERT_TRUE(ftp.List("", false)) << ftp.ResultString();
        bool listed = false;
        for (int i = 0; i < ftp.FtpList().Count(); ++i) listed = listed || ftp.FtpList().Items(i)->FileName == "data.bin";
        EXPECT_TRUE(listed);
        EXPECT_TRUE(ftp.Logout());
    }

    static TempDir* certs;
    static bool certsMade;
    TempDir root;
    std::unique_ptr<testkit::VsftpdServer> server;
    TFTPSend ftp;
    const std::string content = std::string(200000, 'a') + std::string(100000, 'b');
};

TempDir* Ftps::certs = nullptr;
bool Ftps::certsMade = false;

TEST_F(Ftps, AuthTlsAfterTheGreeting) {
    Start("good", false);
    ASSERT_TRUE(ftp.Login()) << ftp.ResultString() << " / " << ftp.Sock().LastErrorDesc();
    ExpectProtectedTransfers();
}

TEST_F(Ftps, TlsFromTheFirstByte) {
    Start("good", true);
    ASSERT_TRUE(ftp.Login()) << ftp.ResultString() << " / " << ftp.Sock().LastErrorDesc();
    ExpectProtectedTransfers();
}

TEST_F(Ftps, UntrustedCertificateEndsTheLogin) {
    Start("unknown", false);
    EXPECT_FALSE(ftp.Login());
    EXPECT_FALSE(ftp.IsTLS());
    EXPECT_NE(ftp.Sock().LastError(), 0);
    EXPECT_NE(ftp.Sock().LastErrorDesc().find("issuer"), std::string::npos) << ftp.Sock().LastErrorDesc();
}

}  // namespace
}  // namespace lunaro::net
