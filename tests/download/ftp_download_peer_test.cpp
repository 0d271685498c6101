// The download component and lunaro-download over FTP, against vsftpd and
// pyftpdlib: whole transfers, resume, pause, refused files and logins.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>

#include "download/nexo_download.h"
#include "download/transfer_verdict.h"
#include "tests/download/download_peer_fixture.h"
#include "tests/download/download_program_run.h"
#include "tests/support/peer_ftp_servers.h"
#include "tests/support/test_support.h"

namespace lunaro::download {
namespace {

namespace fs = std::filesystem;
using TRun = testkit::TProgramRun;
using testkit::ReadFile;
using testkit::WriteFile;

enum class Server { Pyftpdlib, Vsftpd };

class FtpDownload : public ::testing::TestWithParam<Server> {
protected:
    void SetUp() override {
        WriteFile(root.File("file.bin"), content);
        ::chmod(root.File("file.bin").c_str(), 0644);
        const testkit::FtpServerOptions options{root.Path(), "127.0.0.1"};
        if (GetParam() == Server::Pyftpdlib) {
            server = std::make_unique<testkit::PyftpdlibServer>(options);
            user = testkit::PyftpdlibServer::kUser;
            password = testkit::PyftpdlibServer::kPassword;
        } else {
            server = std::make_unique<testkit::VsftpdServer>(options);
        }
        download.SetProtocolo(TNexoProtocolo::protFTP);
        download.SetDownloadDest(dest.Path());
        TNexoFTP& ftp = *download.FTP();
        ftp.FtpHost = "127.0.0.1";
        ftp.FtpPort = std::to_string(server->Port());
        ftp.FtpUser = user;
        ftp.FtpPass = password;
        ftp.FtpTimeout = 10000;
    }

    bool Up() const { return server->Running(); }
    std::string Url(const std::string& path) const {
        const std::string login = user.empty() ? "" : user + ":" + password + "@";
        return "ftp://" + login + "127.0.0.1:" + std::to_string(server->Port()) + "/" + path;
    }
    TTransferFacts Fetch(const std::string& path) {
        download.SetDownloadUrl(Url(path));
        download.StartDownload();
        return CollectTransferFacts(download.Worker());
    }

    testkit::TempDir root;
    testkit::TempDir dest;
    std::unique_ptr<testkit::DaemonPeer> server;
    std::string user;
    std::string password;
    TNexoDownload download;
    const std::string content = testing_support::PatternBytes(3 << 20, 5);
};

#define REQUIRE_SERVER() LUNARO_REQUIRE_PEER(Up(), server->Error())

TEST_P(FtpDownload, DownloadsThenResumesFromAPartialFile) {
    REQUIRE_SERVER();
    EXPECT_EQ(JudgeTransfer(Fetch("file.bin")), TTransferVerdict::Saved);
    EXPECT_TRUE(ReadFile(dest.File("file.bin")) == content);
    EXPECT_FALSE(fs::exists(dest.File("file.bin.part")));

    fs::remove(dest.File("file.bin"));
    WriteFile(dest.File("file.bin.part"), content.substr(0, 100000));
    EXPECT_EQ(JudgeTransfer(Fetch("file.bin")), TTransferVerdict::Saved);
    EXPECT_EQ(download.Worker().BytesResumed(), 100000);  // only the rest was asked for
    EXPECT_EQ(download.Worker().BytesToDownload(), static_cast<int64_t>(content.size()));
    EXPECT_TRUE(ReadFile(dest.File("file.bin")) == content);
}

TEST_P(FtpDownload, PausedTransferKeepsItsPartAndAResumeCompletesIt) {
    REQUIRE_SERVER();
    download.SetOnHookMonitor([this](net::TBlockSocket*, int32_t, int32_t done, double, uint16_t, uint16_t, uint16_t) {
        if (done > 0 && download.DownloadStatus() == TDownloadStatus::stDownload) {
            download.SetDownloadStatus(TDownloadStatus::stPause);
        }
    });
    EXPECT_NE(JudgeTransfer(Fetch("file.bin")), TTransferVerdict::Saved);
    ASSERT_TRUE(fs::exists(dest.File("file.bin.part")));
    const auto kept = fs::file_size(dest.File("file.bin.part"));
    EXPECT_LT(kept, content.size());
    EXPECT_TRUE(ReadFile(dest.File("file.bin.part")) == content.substr(0, kept));

    download.SetOnHookMonitor(nullptr);
    EXPECT_EQ(JudgeTransfer(Fetch("file.bin")), TTransferVerdict::Saved);
    EXPECT_TRUE(ReadFile(dest.File("file.bin")) == content);
}

TEST_P(FtpDownload, RefusedFileAndRefusedLogin) {
    REQUIRE_SERVER();
    const TTransferFacts missing = Fetch("missing.bin");
    EXPECT_EQ(JudgeTransfer(missing), TTransferVerdict::Refused);
    EXPECT_EQ(missing.Reply.Code, 550);
    EXPECT_FALSE(fs::exists(dest.File("missing.bin")));

    download.FTP()->FtpUser = "nobody-here";
    download.FTP()->FtpPass = "wrong";
    download.SetDownloadUrl(Url("file.bin"));
    try {
        download.StartDownload();
        FAIL() << "the login was accepted";
    } catch (const ENexoDownloadError& error) {
        EXPECT_EQ(error.Id(), TDownloadErrorId::LoginFailed);
    }
    EXPECT_FALSE(fs::exists(dest.File("file.bin.part")));
}

TEST_P(FtpDownload, ProgramDownloadsResumesAndReportsRefusals) {
    REQUIRE_SERVER();
    const std::string folder = dest.File("got");
    const TRun fresh = testkit::RunDownloadProgram({Url("file.bin"), folder}, dest.Path());
    EXPECT_EQ(fresh.exitCode, 0) << fresh.err;
    EXPECT_TRUE(ReadFile(folder + "/file.bin") == content);
    EXPECT_NE(fresh.err.find("100.0%"), std::string::npos) << fresh.err;

    // What a cut leaves behind; the credentials now come from the options.
    WriteFile(folder + "/copy.bin.part", content.substr(0, 2000000));
    const std::string bare = "ftp://127.0.0.1:" + std::to_string(server->Port()) + "/file.bin";
    std::vector<std::string> args{bare, folder, "--name=copy.bin"};
    if (!user.empty()) {
        args.push_back("--ftp-user=" + user);
        args.push_back("--ftp-pass=" + password);
    }
    const TRun resumed = testkit::RunDownloadProgram(args, dest.Path());
    EXPECT_EQ(resumed.exitCode, 0) << resumed.err;
    EXPECT_TRUE(ReadFile(folder + "/copy.bin") == content);
    EXPECT_FALSE(fs::exists(folder + "/copy.bin.part"));

    const TRun missing = testkit::RunDownloadProgram({Url("missing.bin"), folder}, dest.Path());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("the server answered 550"), std::string::npos) << missing.err;
    EXPECT_FALSE(fs::exists(folder + "/missing.bin.part"));

    const TRun login = testkit::RunDownloadProgram({bare, folder, "--ftp-user=nobody-here", "--ftp-pass=x"}, dest.Path());
    EXPECT_EQ(login.exitCode, 1);
    EXPECT_NE(login.err.find("Não foi possível efetuar o login! (the server answered 530"), std::string::npos)
        << login.err;
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpDownload, ::testing::Values(Server::Pyftpdlib, Server::Vsftpd),
                         [](const ::testing::TestParamInfo<Server>& info) {
                             return info.param == Server::Pyftpdlib ? std::string("Pyftpdlib") : std::string("Vsftpd");
                         });

}  // namespace
}  // namespace lunaro::download
