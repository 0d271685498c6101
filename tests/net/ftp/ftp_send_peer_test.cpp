#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <string>

#include "net/ftp/ftp_send.h"
#include "tests/support/peer_ftp_servers.h"
#include "tests/support/test_support.h"

namespace lunaro::net {
namespace {

using testkit::FtpServerOptions;
using testkit::ReadFile;
using testkit::TempDir;
using testkit::WriteFile;

enum class Server { Pyftpdlib, Vsftpd };

std::string Pattern(size_t size) {
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return text;
}

// A server of the given kind serving a fresh folder with data.bin in it,
// and a client set up to log in to it.
struct Site {
    Site(Server kind, const std::string& host) : kind(kind) {
        WriteFile(root.Path() + "/data.bin", content);
        ::chmod((root.Path() + "/data.bin").c_str(), 0644);
        const FtpServerOptions options{root.Path(), host};
        if (kind == Server::Pyftpdlib) {
            server = std::make_unique<testkit::PyftpdlibServer>(options);
            ::mkdir((root.Path() + "/pub").c_str(), 0777);
            ftp.UserName = testkit::PyftpdlibServer::kUser;
            ftp.Password = testkit::PyftpdlibServer::kPassword;
        } else {
            server = std::make_unique<testkit::VsftpdServer>(options);
        }
        ftp.TargetHost = host;
        ftp.TargetPort = std::to_string(server->Port());
        ftp.Timeout = 10000;
    }
    std::string Disk(const std::string& name) const { return root.Path() + "/" + name; }

    Server kind;
    TempDir root;
    TempDir local;
    const std::string content = Pattern(300000);
    std::unique_ptr<testkit::DaemonPeer> server;
    TFTPSend ftp;
};

class FtpPeer : public ::testing::TestWithParam<Server> {
protected:
    std::unique_ptr<Site> Start(const std::string& host = "127.0.0.1") {
        auto site = std::make_unique<Site>(GetParam(), host);
        return site;
    }
};

#define REQUIRE_SERVER(site) \
    LUNARO_REQUIRE_PEER((site)->server->Running(), (site)->server->Error())

TEST_P(FtpPeer, GetWholeAndResumed) {
    auto site = Start();
    REQUIRE_SERVER(site);
    TFTPSend& ftp = site->ftp;
    ASSERT_TRUE(ftp.Login()) << ftp.ResultString();
    EXPECT_TRUE(ftp.CanResume());
    EXPECT_EQ(ftp.FileSize("data.bin"), 300000);
    ASSERT_TRUE(ftp.RetrieveFile("data.bin", false)) << ftp.ResultString();
    EXPECT_TRUE(ftp.DataStream().ToString() == site->content);

    const std::string partial = site->local.File("data.bin");
    WriteFile(partial, site->content.substr(0, 1000));
    ftp.DirectFile = true;
    ftp.DirectFileName = partial;
    ASSERT_TRUE(ftp.RetrieveFile("data.bin", true)) << ftp.ResultString();
    EXPECT_TRUE(ReadFile(partial) == site->content);
    EXPECT_FALSE(ftp.RetrieveFile("missing.bin", false));
    EXPECT_EQ(ftp.ResultCode() / 100, 5);
    EXPECT_TRUE(ftp.Logout());
}

TEST_P(FtpPeer, PutAppendAndResumedPut) {
    auto site = Start();
    REQUIRE_SERVER(site);
    TFTPSend& ftp = site->ftp;
    ASSERT_TRUE(ftp.Login()) << ftp.ResultString();
    ftp.DataStream().WriteBuffer("first part,", 11);
    ASSERT_TRUE(ftp.StoreFile("pub/up.txt", false)) << ftp.ResultString();
    ftp.DataStream().Clear();
    ftp.DataStream().WriteBuffer("second", 6);
    ASSERT_TRUE(ftp.AppendFile("pub/up.txt")) << ftp.ResultString();
    EXPECT_EQ(ReadFile(site->Disk("pub/up.txt")), "first part,second");

    const std::string source = site->local.File("big.bin");
    WriteFile(source, site->content);
    WriteFile(site->Disk("pub/big.bin"), site->content.substr(0, 123456));
    ::chmod(site->Disk("pub/big.bin").c_str(), 0666);
    ftp.DirectFile = true;
    ftp.DirectFileName = source;
    ASSERT_TRUE(ftp.StoreFile("pub/big.bin", true)) << ftp.ResultString();
    EXPECT_TRUE(ReadFile(site->Disk("pub/big.bin")) == site->content);
}

TEST_P(FtpPeer, FoldersRenameAndDelete) {
    auto site = Start();
    REQUIRE_SERVER(site);
    TFTPSend& ftp = site->ftp;
    ASSERT_TRUE(ftp.Login()) << ftp.ResultString();
    ASSERT_TRUE(ftp.CreateDir("pub/made")) << ftp.ResultString();
    ASSERT_TRUE(ftp.ChangeWorkingDir("pub/made"));
    EXPECT_EQ(ftp.GetCurrentDir(), "/pub/made");
    ASSERT_TRUE(ftp.ChangeToParentDir());
    ftp.DataStream().WriteBuffer("x", 1);
    ASSERT_TRUE(ftp.StoreFile("a.txt", false));
    ASSERT_TRUE(ftp.RenameFile("a.txt", "made/b.txt")) << ftp.ResultString();
    EXPECT_EQ(ReadFile(site->Disk("pub/made/b.txt")), "x");
    EXPECT_FALSE(ftp.DeleteDir("made"));
    ASSERT_TRUE(ftp.DeleteFile("made/b.txt"));
    ASSERT_TRUE(ftp.DeleteDir("made"));
    struct stat info {};
    EXPECT_NE(::stat(site->Disk("pub/made").c_str(), &info), 0);
    EXPECT_FALSE(ftp.DeleteFile("nothing.txt"));
}

TEST_P(FtpPeer, ListingsParsed) {
    auto site = Start();
    REQUIRE_SERVER(site);
    TFTPSend& ftp = site->ftp;
    ASSERT_TRUE(ftp.Login()) << ftp.ResultString();
    for (const bool mlsd : {false, true}) {
        SCOPED_TRACE(mlsd ? "MLSD" : "LIST");
        if (mlsd && site->kind == Server::Vsftpd) continue;  // it offers no MLSD
        ftp.UseMLSDList = mlsd;
        ASSERT_TRUE(ftp.List("", false)) << ftp.ResultString();
        EXPECT_EQ(ftp.FtpList().FUnparsedLines.Count(), 0);
        bool sawFile = false;
        bool sawFolder = false;
        for (int i = 0; i < ftp.FtpList().Count(); ++i) {
            const TFTPListRec& record = *ftp.FtpList().Items(i);
            if (record.FileName == "data.bin") {
                sawFile = true;
                EXPECT_FALSE(record.Directory);
                EXPECT_EQ(record.FileSize, 300000);
            }
            if (record.FileName == "pub") sawFolder = record.Directory;
        }
        EXPECT_TRUE(sawFile);
        EXPECT_TRUE(sawFolder);
    }
    ASSERT_TRUE(ftp.List("", true));
    EXPECT_NE(ftp.DataStream().ToString().find("data.bin"), std::string::npos);
}

TEST_P(FtpPeer, ActiveMode) {
    auto site = Start();
    REQUIRE_SERVER(site);
    TFTPSend& ftp = site->ftp;
    ftp.PassiveMode = false;
    ASSERT_TRUE(ftp.Login()) << ftp.ResultString();
    ASSERT_TRUE(ftp.RetrieveFile("data.bin", false)) << ftp.ResultString();
    EXPECT_TRUE(ftp.DataStream().ToString() == site->content);
    ASSERT_TRUE(ftp.List("", false));
    EXPECT_GE(ftp.FtpList().Count(), 2);
}

TEST_P(FtpPeer, IPv6ControlConnectionWithExtendedCommands) {
    auto site = Start("::1");
    REQUIRE_SERVER(site);
    TFTPSend& ftp = site->ftp;
    ASSERT_TRUE(ftp.Login()) << ftp.ResultString();
    ASSERT_TRUE(ftp.RetrieveFile("data.bin", false)) << ftp.ResultString();
    EXPECT_TRUE(ftp.DataStream().ToString() == site->content);
    ftp.PassiveMode = false;
    ASSERT_TRUE(ftp.RetrieveFile("data.bin", false)) << ftp.ResultString();
    EXPECT_EQ(ftp.DataStream().Size(), 300000);
    ftp.ForceOldPort = true;
    ftp.PassiveMode = true;
    EXPECT_FALSE(ftp.RetrieveFile("data.bin", false));
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpPeer, ::testing::Values(Server::Pyftpdlib, Server::Vsftpd),
                         [](const auto& info) { return info.param == Server::Pyftpdlib ? "pyftpdlib" : "vsftpd"; });

}  // namespace
}  // namespace lunaro::net
