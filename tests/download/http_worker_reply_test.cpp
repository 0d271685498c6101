// The HTTP worker against a scripted server, for replies a real server does
// not give: each case checks what is in the folder after the run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "download/nexo_download.h"
#include "download/nexo_http_download.h"
#include "download/transfer_verdict.h"
#include "tests/net/http/http_scripted_peer.h"
#include "tests/support/test_support.h"

namespace lunaro::download {
namespace {

namespace fs = std::filesystem;
using testkit::AnswerRequest;
using testkit::PeerScript;
using testkit::ReadFile;
using testkit::ScriptedPeer;
using testkit::UrlOf;
using testkit::WriteFile;

const std::string kPart = "abcde";  // the first 5 of the file's 10 bytes

class HttpWorkerReply : public ::testing::Test {
protected:
    HttpWorkerReply() {
        download.SetProtocolo(TNexoProtocolo::protHTTP);
        download.SetDownloadDest(dir.Path());
        download.Proxy()->ProxyTimeout = 5000;
    }

    TTransferFacts Fetch(ScriptedPeer& peer, const std::string& path = "/f.bin") {
        EXPECT_TRUE(peer.Listening());
        download.SetDownloadUrl(UrlOf(peer, path));
        download.StartDownload();
        return CollectTransferFacts(download.Worker());
    }
    std::string File(const std::string& name) const { return dir.File(name); }
    int FilesInFolder() const {
        return static_cast<int>(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()));
    }

    testkit::TempDir dir;
    TNexoDownload download;
};

TEST_F(HttpWorkerReply, ResumeTakesOnlyTheBytesThatFollowThePartialFile) {
    WriteFile(File("f.bin.part"), kPart);
    ScriptedPeer peer(AnswerRequest("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 5-9/10\r\n"
                                    "Content-Length: 5\r\n\r\nfghij"));
    const TTransferFacts facts = Fetch(peer);

    EXPECT_NE(peer.Received().find("Range: bytes=5-\r\n"), std::string::npos);
    EXPECT_EQ(JudgeTransfer(facts), TTransferVerdict::Saved);
    EXPECT_EQ(ReadFile(File("f.bin")), "abcdefghij");
    EXPECT_FALSE(fs::exists(File("f.bin.part")));
}

TEST_F(HttpWorkerReply, WholeFileAnsweringAResumeReplacesThePartialFile) {
    WriteFile(File("f.bin.part"), kPart);
    ScriptedPeer peer(AnswerRequest("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n0123456789"));
    EXPECT_EQ(JudgeTransfer(Fetch(peer)), TTransferVerdict::Saved);
    EXPECT_EQ(ReadFile(File("f.bin")), "0123456789");
}

// Every one of these would have renamed the partial file, or put bytes in
// the wrong place, and called it complete.
TEST_F(HttpWorkerReply, ResumeAnsweredWithAnythingElseKeepsThePartialFileAsItWas) {
    const std::string cases[] = {
        "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n",
        "HTTP/1.0 200 OK\r\n\r\n",  // no length, no byte before the close
        "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 3-9/10\r\nContent-Length: 7\r\n\r\ndefghij",
        "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 5-8/10\r\nContent-Length: 4\r\n\r\nfghi",
        "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 5-9/*\r\nContent-Length: 5\r\n\r\nfghij",
        "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 5-9/10\r\nContent-Length: 3\r\n\r\nfgh",
        "HTTP/1.1 206 Partial Content\r\nContent-Length: 5\r\n\r\nfghij",
        "HTTP/1.1 226 IM Used\r\nContent-Length: 5\r\n\r\nfghij",
    };
    for (const std::string& answer : cases) {
        SCOPED_TRACE(answer.substr(0, answer.find("\r\n\r\n")));
        WriteFile(File("f.bin.part"), kPart);
        ScriptedPeer peer(AnswerRequest(answer));
        const TTransferFacts facts = Fetch(peer);

        EXPECT_EQ(JudgeTransfer(facts), TTransferVerdict::Mismatch);
        EXPECT_EQ(ReadFile(File("f.bin.part")), kPart);
        EXPECT_FALSE(fs::exists(File("f.bin")));
    }
}

// A run killed after the last byte but before the rename leaves a whole
// partial file; the server then answers the resume with 416.
TEST_F(HttpWorkerReply, UnsatisfiableResumeFinishesOnlyAPartialFileOfTheServersSize) {
    const std::string note = "\r\nContent-Length: 9\r\n\r\nno range.";
    WriteFile(File("f.bin.part"), kPart);
    ScriptedPeer whole(AnswerRequest("HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: bytes */5" + note));
    EXPECT_EQ(JudgeTransfer(Fetch(whole)), TTransferVerdict::Saved);
    EXPECT_EQ(ReadFile(File("f.bin")), kPart);
    EXPECT_FALSE(fs::exists(File("f.bin.part")));

    for (const std::string range : {"bytes */10", "bytes */4", "bytes */*", "bytes 0-4/5"}) {
        SCOPED_TRACE(range);
        fs::remove(File("f.bin"));
        WriteFile(File("f.bin.part"), kPart);
        ScriptedPeer peer(AnswerRequest("HTTP/1.1 416 Range Not Satisfiable\r\nContent-Range: " + range + note));
        EXPECT_EQ(JudgeTransfer(Fetch(peer)), TTransferVerdict::Refused);
        EXPECT_EQ(ReadFile(File("f.bin.part")), kPart);
        EXPECT_FALSE(fs::exists(File("f.bin")));
    }
}

TEST_F(HttpWorkerReply, RangeReplyToAPlainRequestMustStartAtZero) {
    {
        ScriptedPeer peer(AnswerRequest("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 0-9/10\r\n"
                                        "Content-Length: 10\r\n\r\n0123456789"));
        EXPECT_EQ(JudgeTransfer(Fetch(peer)), TTransferVerdict::Saved);
        EXPECT_EQ(ReadFile(File("f.bin")), "0123456789");
    }
    ScriptedPeer peer(AnswerRequest("HTTP/1.1 206 Partial Content\r\nContent-Range: bytes 2-9/10\r\n"
                                    "Content-Length: 8\r\n\r\n23456789"));
    EXPECT_EQ(JudgeTransfer(Fetch(peer, "/g.bin")), TTransferVerdict::Mismatch);
    EXPECT_FALSE(fs::exists(File("g.bin")));
    EXPECT_FALSE(fs::exists(File("g.bin.part")));
}

TEST_F(HttpWorkerReply, ResetBeforeTheCloseOfAnUnsizedBodyKeepsWhatArrived) {
    PeerScript script;
    script.ReadUntil("\r\n\r\n").Send("HTTP/1.0 200 OK\r\n\r\n" + std::string(4000, 'x')).Pause(200).Reset();
    ScriptedPeer peer(std::move(script));
    const TTransferFacts facts = Fetch(peer);

    EXPECT_EQ(JudgeTransfer(facts), TTransferVerdict::CutShort);
    EXPECT_FALSE(fs::exists(File("f.bin")));
    EXPECT_EQ(ReadFile(File("f.bin.part")), std::string(4000, 'x'));
}

TEST_F(HttpWorkerReply, NothingReceivedLeavesNoFileAtAll) {
    PeerScript script;
    script.ReadUntil("\r\n\r\n").Close();
    ScriptedPeer peer(std::move(script));
    EXPECT_NE(JudgeTransfer(Fetch(peer)), TTransferVerdict::Saved);
    EXPECT_EQ(FilesInFolder(), 0);
}

TEST_F(HttpWorkerReply, EmptyFileThatArrivedWholeIsSaved) {
    ScriptedPeer peer(AnswerRequest("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"));
    EXPECT_EQ(JudgeTransfer(Fetch(peer)), TTransferVerdict::Saved);
    EXPECT_TRUE(fs::exists(File("f.bin")));
    EXPECT_EQ(fs::file_size(File("f.bin")), 0u);
}

TEST_F(HttpWorkerReply, UnsafeSuggestedNamesAreRefusedBeforeAnyFileIsTouched) {
    WriteFile(File("taken.bin"), "mine");
    const std::string names[] = {"taken.bin", ".profile", "pacote.zip.part", "a\x1b]0;x\x07.bin", "a\xc2\x9b.bin",
                                 "\xff\xfe.bin"};
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        ScriptedPeer peer(AnswerRequest("HTTP/1.1 200 OK\r\nContent-Disposition: attachment; filename=\"" + name +
                                        "\"\r\nContent-Length: 3\r\n\r\nbad"));
        try {
            Fetch(peer, "/");
            ADD_FAILURE() << "the name was taken";
        } catch (const ENexoDownloadError& error) {
            EXPECT_EQ(error.Id(), TDownloadErrorId::UnusableName);
            EXPECT_EQ(error.Message().find('\x1b'), std::string::npos);
        }
        EXPECT_EQ(ReadFile(File("taken.bin")), "mine");
        EXPECT_EQ(FilesInFolder(), 1);
    }
}

TEST_F(HttpWorkerReply, NameComesFromContentDispositionOnly) {
    ScriptedPeer peer(AnswerRequest("HTTP/1.1 200 OK\r\nX-Note: filename=evil.bin\r\nContent-Length: 3\r\n\r\nbad"));
    try {
        Fetch(peer, "/");
        ADD_FAILURE() << "a name was taken";
    } catch (const ENexoDownloadError& error) {
        EXPECT_EQ(error.Id(), TDownloadErrorId::NoFileName);
    }
    EXPECT_EQ(FilesInFolder(), 0);
}

TEST_F(HttpWorkerReply, NameProbeStopsReadingWhenTheServerIgnoresItsRange) {
    WriteFile(File("big.bin"), "mine");
    PeerScript script;
    script.ReadUntil("\r\n\r\n")
        .Send("HTTP/1.1 200 OK\r\nContent-Disposition: attachment; filename=big.bin\r\n"
              "Content-Length: 67108864\r\n\r\n")
        .Flood('z', 64u << 20);
    ScriptedPeer peer(std::move(script));
    int64_t mostRead = 0;
    download.SetOnHookMonitor([&](net::TBlockSocket*, int32_t, int32_t, double, uint16_t, uint16_t, uint16_t) {
        mostRead = std::max(mostRead, download.Worker().BytesDownloaded());
    });
    EXPECT_THROW(Fetch(peer, "/"), ENexoDownloadError);
    EXPECT_LT(mostRead, 1 << 20);
    EXPECT_EQ(ReadFile(File("big.bin")), "mine");
}

TEST_F(HttpWorkerReply, RedirectToAnotherSchemeSendsNothing) {
    ScriptedPeer peer(AnswerRequest("HTTP/1.1 302 Found\r\nLocation: file:///etc/passwd\r\nContent-Length: 0\r\n\r\n"));
    const TTransferFacts facts = Fetch(peer);
    EXPECT_EQ(JudgeTransfer(facts), TTransferVerdict::Mismatch);
    EXPECT_EQ(facts.Reply.Refusal, TReplyRefusal::RedirectRefused);
    EXPECT_EQ(facts.Reply.RefusalDetail, "file:///etc/passwd");
    EXPECT_EQ(FilesInFolder(), 0);
}

TEST_F(HttpWorkerReply, NetworkPathRedirectIsResolvedAndContinuesTheSameFile) {
    ScriptedPeer target(AnswerRequest("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nnext"));
    ScriptedPeer first(AnswerRequest("HTTP/1.1 302 Found\r\nLocation: //127.0.0.1:" + target.PortText() +
                                     "/a/../b/moved file.bin\r\nContent-Length: 0\r\n\r\n"));
    EXPECT_EQ(JudgeTransfer(Fetch(first)), TTransferVerdict::Saved);
    EXPECT_EQ(target.Received().substr(0, 29), "GET /b/moved%20file.bin HTTP/");
    EXPECT_EQ(ReadFile(File("f.bin")), "next");
}

TEST_F(HttpWorkerReply, LowSpeedLimitEndsATrickleAndKeepsWhatArrived) {
    PeerScript script;
    script.ReadUntil("\r\n\r\n").Send("HTTP/1.1 200 OK\r\nContent-Length: 20\r\n\r\n0123456789").Pause(3000).Send(
        "0123456789");
    ScriptedPeer peer(std::move(script));
    download.SetTransferLimits({1000, 1, 0});
    const TTransferFacts facts = Fetch(peer);

    EXPECT_EQ(JudgeTransfer(facts), TTransferVerdict::CutShort);
    EXPECT_EQ(facts.Reply.SocketError, 10060);
    EXPECT_FALSE(fs::exists(File("f.bin")));
    EXPECT_TRUE(std::string("0123456789").starts_with(ReadFile(File("f.bin.part"))));
}

}  // namespace
}  // namespace lunaro::download
