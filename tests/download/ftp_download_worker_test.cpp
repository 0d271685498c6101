// The FTP worker against a scripted server, for what real servers do not
// do on request: refuse restarts, or end a short file with a success reply.
// Whole transfers against vsftpd and pyftpdlib are in
// ftp_download_peer_test.cpp.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "download/nexo_download.h"
#include "download/transfer_verdict.h"
#include "tests/download/download_peer_fixture.h"
#include "tests/net/ftp/ftp_scripted_dialogue.h"
#include "tests/support/test_support.h"

namespace lunaro::download {
namespace {

namespace fs = std::filesystem;
using testkit::ReadFile;
using testkit::ScriptedPeer;
using testkit::WriteFile;

class FtpWorkerScripted : public ::testing::Test {
protected:
    // A data peer that sends body and closes, and a control dialogue that
    // logs in (restarts refused), reports size and sends the file.
    void Serve(const std::string& body, const std::string& sizeReply) {
        data = std::make_unique<ScriptedPeer>(testkit::PeerScript().Send(body).Close());
        control = std::make_unique<ScriptedPeer>(testkit::FtpDialogue(
            "220 ready\r\n",
            testkit::AfterLogin({"331 pass\r\n", "230 in\r\n"},
                                {sizeReply, testkit::PasvReply("127,0,0,1", data->Port()), "200 I\r\n",
                                 "150 sending\r\n226 done\r\n", "221 bye\r\n"})));
        download.SetProtocolo(TNexoProtocolo::protFTP);
        download.SetDownloadDest(dest.Path());
        download.SetDownloadUrl("ftp://ignored/pub/file.bin");
        download.FTP()->FtpHost = "127.0.0.1";
        download.FTP()->FtpPort = control->PortText();
        download.FTP()->FtpTimeout = 5000;
    }

    testkit::TempDir dest;
    TNexoDownload download;
    std::unique_ptr<ScriptedPeer> data;
    std::unique_ptr<ScriptedPeer> control;
    const std::string content = testing_support::PatternBytes(1500, 7);
};

TEST_F(FtpWorkerScripted, PartialFileStartsAgainWhenTheServerCannotRestart) {
    Serve(content, "213 1500\r\n");
    WriteFile(dest.File("file.bin.part"), std::string(1000, 'x'));
    download.StartDownload();
    EXPECT_TRUE(ReadFile(dest.File("file.bin")) == content);  // not 1000 x's followed by the whole file
    EXPECT_FALSE(fs::exists(dest.File("file.bin.part")));
    EXPECT_EQ(control->Received().find("REST 1000"), std::string::npos);
    EXPECT_NE(control->Received().find("RETR /pub/file.bin\r\n"), std::string::npos);
}

TEST_F(FtpWorkerScripted, FileShorterThanItsSizeKeepsThePartialName) {
    Serve(content, "213 2000\r\n");
    download.StartDownload();
    EXPECT_FALSE(fs::exists(dest.File("file.bin")));
    EXPECT_TRUE(ReadFile(dest.File("file.bin.part")) == content);  // kept for a resume
    const TTransferFacts facts = CollectTransferFacts(download.Worker());
    EXPECT_EQ(JudgeTransfer(facts), TTransferVerdict::CutShort);
    EXPECT_EQ(facts.Reply.Code, 226);
}

TEST_F(FtpWorkerScripted, ServerWithoutSizeStillFinishesOnItsSuccessReply) {
    Serve(content, "550 no size here\r\n");
    download.StartDownload();
    EXPECT_TRUE(ReadFile(dest.File("file.bin")) == content);
    EXPECT_EQ(JudgeTransfer(CollectTransferFacts(download.Worker())), TTransferVerdict::Saved);
}

}  // namespace
}  // namespace lunaro::download
