#include <gtest/gtest.h>

#include "net/ftp/ftp_send.h"
#include "platform/socket_errors.h"
#include "tests/net/ftp/ftp_scripted_dialogue.h"

namespace lunaro::net {
namespace {

using testkit::AfterLogin;
using testkit::FtpDialogue;
using testkit::PasvReply;
using testkit::PeerScript;
using testkit::ScriptedPeer;

class ProbeFTP : public TFTPSend {
public:
    explicit ProbeFTP(const ScriptedPeer& peer) {
        TargetHost = "127.0.0.1";
        TargetPort = peer.PortText();
        Timeout = 3000;
        UserName = "u";
        Password = "p";
    }
    using TFTPSend::Connect;
    using TFTPSend::ReadResult;
};

std::string Sent(const std::vector<std::string>& commands) {
    std::string text;
    for (const std::string& command : commands) text += command + "\r\n";
    return text;
}

TEST(FtpReplyParse, PassiveAndExtendedPassiveReplies) {
    std::string ip;
    int port = 0;
    ASSERT_TRUE(ParsePasvReply("227 Entering Passive Mode (192,168,0,5,19,137).", ip, port));
    EXPECT_EQ(ip, "192.168.0.5");
    EXPECT_EQ(port, 5001);
    ASSERT_TRUE(ParsePasvReply("227 ok 10,0,0,1,0,21", ip, port));
    EXPECT_EQ(ip, "10.0.0.1");
    EXPECT_EQ(port, 21);
    EXPECT_FALSE(ParsePasvReply("227 Entering Passive Mode (192,168,0,5,19)", ip, port));
    EXPECT_FALSE(ParsePasvReply("227 Entering Passive Mode (192,168,0,300,19,1)", ip, port));
    EXPECT_EQ(ParseEpsvReply("229 Entering Extended Passive Mode (|||6446|)"), 6446);
    EXPECT_EQ(ParseEpsvReply("229 Entering Extended Passive Mode (|||99999|)"), -1);
    EXPECT_EQ(ParseEpsvReply("229 no port"), -1);
}

TEST(FtpDialogueTest, MultiLineGreetingIsReadToItsLastLine) {
    ScriptedPeer peer(FtpDialogue("220-Welcome\r\n220-second line\r\n 220 not the end\r\n220 ready\r\n", {}));
    ProbeFTP ftp(peer);
    ASSERT_TRUE(ftp.Connect());
    EXPECT_EQ(ftp.ReadResult(), 220);
    EXPECT_EQ(ftp.FullResult().Count(), 4);
    EXPECT_EQ(ftp.ResultString(), "220 ready");
}

TEST(FtpDialogueTest, RestZeroAcceptedButRestOneRefusedMeansNoRestart) {
    ScriptedPeer data(PeerScript().Send("whole file").Close());
    ScriptedPeer peer(FtpDialogue("220 hi\r\n", AfterLogin({"331 pass\r\n", "230 in\r\n"}, {PasvReply("127,0,0,1", data.Port()),
                                                            "200 I\r\n", "150 go\r\n226 done\r\n"})));
    ProbeFTP ftp(peer);
    ASSERT_TRUE(ftp.Login());
    EXPECT_FALSE(ftp.CanResume());
    ftp.DataStream().WriteBuffer("old", 3);
    ASSERT_TRUE(ftp.RetrieveFile("f.bin", true));
    EXPECT_EQ(ftp.DataStream().ToString(), "whole file");
    EXPECT_EQ(peer.Received(), Sent({"USER u", "PASS p", "TYPE I", "STRU F", "MODE S", "REST 0", "REST 1", "PASV",
                                     "TYPE I", "RETR f.bin"}));
}

TEST(FtpDialogueTest, StoreWithRestoreWhenTheServerHasItAllSendsNothing) {
    ScriptedPeer data(PeerScript().AwaitClientClose(3000));
    ScriptedPeer peer(FtpDialogue("220 hi\r\n", {"230 in\r\n", "200 I\r\n", "200 F\r\n", "200 S\r\n", "350 0\r\n",
                                                 "350 1\r\n", "350 0\r\n", "213 5\r\n",
                                                 PasvReply("127,0,0,1", data.Port()), "200 I\r\n"}));
    ProbeFTP ftp(peer);
    ASSERT_TRUE(ftp.Login());
    EXPECT_TRUE(ftp.CanResume());
    ftp.DataStream().WriteBuffer("hello", 5);
    EXPECT_TRUE(ftp.StoreFile("a.bin", true));
    EXPECT_EQ(peer.Received(), Sent({"USER u", "TYPE I", "STRU F", "MODE S", "REST 0", "REST 1", "REST 0",
                                     "SIZE a.bin", "PASV", "TYPE I"}));
}

TEST(FtpDialogueTest, PassiveAddressOfTheReplyIsNotTrustedByDefault) {
    for (const bool trust : {false, true}) {
        SCOPED_TRACE(trust ? "trusted" : "default");
        ScriptedPeer data(PeerScript().Send("payload").Close());
        ScriptedPeer peer(FtpDialogue("220 hi\r\n", AfterLogin({"230 in\r\n"}, {PasvReply("127,0,0,2", data.Port()),
                                                                "200 I\r\n", "150 go\r\n226 done\r\n"})));
        ProbeFTP ftp(peer);
        ftp.TrustPasvAddress = trust;
        ASSERT_TRUE(ftp.Login());
        EXPECT_EQ(ftp.RetrieveFile("f", false), !trust);
        EXPECT_EQ(ftp.DataIP(), trust ? "127.0.0.2" : "127.0.0.1");
        EXPECT_EQ(ftp.DataStream().ToString(), trust ? "" : "payload");
    }
}

TEST(FtpDialogueTest, FirewallLoginSequences) {
    struct Case {
        int mode;
        std::vector<std::string> replies;
        std::vector<std::string> sent;
    };
    const std::vector<Case> cases = {
        {1, {"331 fw\r\n", "230 fw in\r\n", "331 site\r\n", "331 user\r\n", "230 in\r\n"},
         {"USER fu", "PASS fp", "SITE h.example:2121", "USER u", "PASS p"}},
        {2, {"331 fw\r\n", "230 fw in\r\n", "331 user\r\n", "230 in\r\n"},
         {"USER fu", "PASS fp", "USER u@h.example:2121", "PASS p"}},
        {4, {"220 open\r\n", "230 in\r\n"}, {"OPEN h.example:2121", "USER u"}},
        {7, {"331 user\r\n", "332 acct\r\n", "230 in\r\n"}, {"USER u@h.example:2121 fu", "PASS p", "ACCT a"}},
        {8, {"331 user\r\n", "230 in\r\n"}, {"USER u@fu@h.example:2121", "PASS p@fp"}},
        {9, {"230 in\r\n"}, {"USER u"}},
        {-1, {"220 open\r\n", "230 in\r\n"}, {"OPEN h.example:2121", "PASS p"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("mode " + std::to_string(c.mode));
        ScriptedPeer peer(FtpDialogue("220 fw\r\n", AfterLogin(c.replies)));
        ProbeFTP ftp(peer);
        ftp.FWHost = "127.0.0.1";
        ftp.FWPort = peer.PortText();
        ftp.TargetHost = "h.example";
        ftp.TargetPort = "2121";
        ftp.FWUsername = "fu";
        ftp.FWPassword = "fp";
        ftp.Account = "a";
        ftp.FWMode = c.mode;
        ftp.CustomLogon = {7, 3, 3, 1, 255, 254};
        ASSERT_TRUE(ftp.Login());
        std::vector<std::string> sent = c.sent;
        for (const char* command : {"TYPE I", "STRU F", "MODE S", "REST 0", "REST 1"}) sent.push_back(command);
        EXPECT_EQ(peer.Received(), Sent(sent));
    }
}

TEST(FtpDialogueTest, RefusalsEndTheLogin) {
    ScriptedPeer refused(FtpDialogue("220 hi\r\n", {"331 pass\r\n", "530 no\r\n"}));
    ProbeFTP ftp(refused);
    EXPECT_FALSE(ftp.Login());
    EXPECT_EQ(ftp.ResultCode(), 530);
    ScriptedPeer busy(FtpDialogue("120 soon\r\n421 busy\r\n", {}));
    ProbeFTP second(busy);
    EXPECT_FALSE(second.Login());
    EXPECT_EQ(second.ResultCode(), 421);
}

TEST(FtpDialogueTest, ARepliesWithoutEndFailWithBoundedMemory) {
    std::string endless;
    for (int i = 0; i < kMaxReplyLines + 10; ++i) endless += "220-still greeting\r\n";
    ScriptedPeer lines(PeerScript().Send(endless).AwaitClientClose(5000));
    ProbeFTP ftp(lines);
    EXPECT_FALSE(ftp.Login());
    EXPECT_EQ(ftp.ResultCode(), 0);
    EXPECT_EQ(ftp.Sock().LastError(), platform::WSAENOBUFS);
    EXPECT_LE(ftp.FullResult().Count(), kMaxReplyLines);

    ScriptedPeer longLine(PeerScript().Send("220 ").Flood('x', 4 * kMaxReplyLineLength).AwaitClientClose(5000));
    ProbeFTP second(longLine);
    EXPECT_FALSE(second.Login());
    EXPECT_EQ(second.Sock().LastError(), platform::WSAENOBUFS);
}

TEST(FtpDialogueTest, CommandsWithLineBreaksAreRefusedUnsent) {
    ScriptedPeer peer(FtpDialogue("220 hi\r\n", AfterLogin({"230 in\r\n"}, {"250 gone\r\n"})));
    ProbeFTP ftp(peer);
    ASSERT_TRUE(ftp.Login());
    EXPECT_FALSE(ftp.DeleteFile("a\r\nDELE b"));
    EXPECT_EQ(ftp.Sock().LastError(), platform::WSAEINVAL);
    EXPECT_TRUE(ftp.DeleteFile("c"));
    EXPECT_EQ(peer.Received(), Sent({"USER u", "TYPE I", "STRU F", "MODE S", "REST 0", "REST 1", "DELE c"}));
}

TEST(FtpDialogueTest, FailedTlsHandshakeEndsTheLoginBeforeTheUserIsSent) {
    // With the TLS module the peer's silence fails the handshake; without
    // it the plug-in-less socket refuses at once.
    ScriptedPeer peer(FtpDialogue("220 hi\r\n", {"234 go ahead\r\n"}));
    ProbeFTP ftp(peer);
    ftp.AutoTLS = true;
    ftp.Sock().SSL().Timeout = 1000;
    EXPECT_FALSE(ftp.Login());
    EXPECT_FALSE(ftp.IsTLS());
    EXPECT_NE(ftp.Sock().LastError(), 0);
    EXPECT_TRUE(peer.Received().starts_with("AUTH TLS\r\n"));
    EXPECT_EQ(peer.Received().find("USER"), std::string::npos);
}

TEST(FtpDialogueTest, SizeAndCurrentDirReadTheirReplies) {
    ScriptedPeer peer(FtpDialogue("220 hi\r\n", AfterLogin({"230 in\r\n"}, {"213 1234 \r\n", "550 none\r\n",
                                                            "257 \"/pub/x\" is current\r\n", "213 12x\r\n"})));
    ProbeFTP ftp(peer);
    ASSERT_TRUE(ftp.Login());
    EXPECT_EQ(ftp.FileSize("a"), 1234);
    EXPECT_EQ(ftp.FileSize("b"), -1);
    EXPECT_EQ(ftp.GetCurrentDir(), "/pub/x");
    EXPECT_EQ(ftp.FileSize("c"), -1);
}

}  // namespace
}  // namespace lunaro::net
