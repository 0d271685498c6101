// How the client frames and records answers, against a scripted server.
#include <gtest/gtest.h>

#include <string>

#include "net/http/http_send.h"
#include "platform/socket_errors.h"
#include "tests/net/http/http_scripted_peer.h"

namespace lunaro::net {
namespace {

using testkit::AnswerRequest;
using testkit::PeerScript;
using testkit::ScriptedPeer;
using testkit::UrlOf;

const std::string kAlphabet = "abcdefghijklmnopqrstuvwxyz";

class HttpFraming : public ::testing::Test {
protected:
    HttpFraming() { http.Timeout = 5000; }

    bool Get(ScriptedPeer& peer, const std::string& method = "GET") {
        EXPECT_TRUE(peer.Listening());
        return http.HTTPMethod(method, UrlOf(peer, "/file"));
    }
    std::string Body() { return http.Document().ToString(); }

    THTTPSend http;
};

TEST_F(HttpFraming, ChunkedBody) {
    ScriptedPeer peer(AnswerRequest("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1a\r\n" + kAlphabet +
                                    "\r\n0\r\n\r\n"));
    ASSERT_TRUE(Get(peer));
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(Body(), kAlphabet);
    EXPECT_EQ(http.DownloadSize(), 26);
    EXPECT_EQ(http.Document().Position(), 0);
}

TEST_F(HttpFraming, ChunkSizeLineSplitAcrossPacketsAndSeveralChunks) {
    PeerScript script;
    script.ReadUntil("\r\n\r\n")
        .Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1")
        .Pause(100)
        .Send("a;ext=1\r\n" + kAlphabet + "\r\n")
        .Pause(50)
        .Send("3\r")
        .Pause(50)
        .Send("\nxyz\r\n0\r\n\r\n")
        .Close();
    ScriptedPeer peer(std::move(script));
    ASSERT_TRUE(Get(peer));
    EXPECT_EQ(Body(), kAlphabet + "xyz");
    EXPECT_EQ(http.DownloadSize(), 3);
}

TEST_F(HttpFraming, ChunkedFramingWinsOverContentLength) {
    ScriptedPeer peer(AnswerRequest("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n"
                                    "1a\r\n" + kAlphabet + "\r\n0\r\n\r\n"));
    ASSERT_TRUE(Get(peer));
    EXPECT_EQ(Body(), kAlphabet);
}

TEST_F(HttpFraming, AnswerWithoutStatusLineIsTheBody) {
    ScriptedPeer peer(AnswerRequest("hello\r\nmore text"));
    ASSERT_TRUE(Get(peer));
    EXPECT_EQ(http.ResultCode(), 0);
    EXPECT_EQ(Body(), "hello\r\nmore text");
    EXPECT_EQ(http.Headers().Count(), 0);
}

TEST_F(HttpFraming, CloseBeforeAnyLineBreakFails) {
    ScriptedPeer peer(AnswerRequest("HTTP/1.1 200"));
    EXPECT_FALSE(Get(peer));
    EXPECT_EQ(http.ResultCode(), 0);
    EXPECT_EQ(Body(), "\r\n");
    EXPECT_EQ(http.Sock().LastError(), platform::WSAECONNRESET);
}

TEST_F(HttpFraming, StatusLineWithoutReasonPhrase) {
    ScriptedPeer peer(AnswerRequest("HTTP/1.1 404\r\nContent-Length: 3\r\n\r\nnot"));
    ASSERT_TRUE(Get(peer));
    EXPECT_EQ(http.ResultCode(), 404);
    EXPECT_EQ(http.ResultString(), "");
    EXPECT_EQ(Body(), "not");
}

TEST_F(HttpFraming, ServerClosingMidBodyKeepsWholePiecesAndStatus) {
    ScriptedPeer peer(AnswerRequest("HTTP/1.0 200 OK\r\nContent-Length: 200000\r\n\r\n" + std::string(70000, 'x')));
    std::vector<testkit::StatusReport> reports;
    testkit::RecordStatus(http, reports);
    EXPECT_FALSE(Get(peer));
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(http.Sock().LastError(), platform::WSAECONNRESET);
    EXPECT_EQ(http.Document().Size(), 65536);
    EXPECT_EQ(http.DownloadSize(), 200000);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().Reason, THookSocketReason::HR_SocketClose);
    EXPECT_EQ(reports.back().ResultCode, 200);
}

TEST_F(HttpFraming, BodyTimeoutClosesEvenAKeptConnection) {
    PeerScript script;
    script.ReadUntil("\r\n\r\n")
        .Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n0123456789")
        .AwaitClientClose(3000);
    ScriptedPeer peer(std::move(script));
    http.Protocol = "1.1";
    http.Timeout = 300;
    EXPECT_FALSE(Get(peer));
    EXPECT_EQ(http.Sock().LastError(), platform::WSAETIMEDOUT);
    EXPECT_EQ(http.ResultCode(), 200);
    // The other 90 bytes may still come; the next request must not take them for its answer.
    EXPECT_EQ(http.Sock().Socket(), INVALID_SOCKET);
    EXPECT_TRUE(peer.WaitDone());
}

TEST_F(HttpFraming, NoBodyForHeadAnd204And304) {
    for (const auto& [method, status] :
         std::vector<std::pair<std::string, std::string>>{{"HEAD", "200 OK"}, {"GET", "204 No Content"},
                                                          {"GET", "304 Not Modified"}}) {
        PeerScript script;
        // A client that read a body here would wait for bytes that never come
        // and then fail on the close.
        script.ReadUntil("\r\n\r\n")
            .Send("HTTP/1.1 " + status + "\r\nContent-Length: 10\r\n\r\n")
            .AwaitClientClose(3000)
            .Close();
        ScriptedPeer peer(std::move(script));
        EXPECT_TRUE(Get(peer, method)) << method << " " << status;
        EXPECT_EQ(Body(), "") << status;
    }
}

TEST_F(HttpFraming, HeadersInterimAnswersAndCookies) {
    ScriptedPeer peer(AnswerRequest(
        "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nX-Folded: one\r\n\t two\r\nSet-Cookie: id=42; Path=/\r\n"
        "Content-Type: application/zip\r\nContent-Length: 2\r\n\r\nok"));
    ASSERT_TRUE(Get(peer));
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(http.ResultString(), "OK");
    EXPECT_EQ(http.Headers().Text(),
              "HTTP/1.1 100 Continue\r\nHTTP/1.1 200 OK\r\nX-Folded: one two\r\nSet-Cookie: id=42; Path=/\r\n"
              "Content-Type: application/zip\r\nContent-Length: 2\r\n\r\n");
    EXPECT_EQ(http.MimeType, "application/zip");
    EXPECT_EQ(http.Cookies().Text(), "id=42\r\n");
    EXPECT_EQ(Body(), "ok");
}

TEST_F(HttpFraming, BodyWithoutLengthEndsWithTheClose) {
    ScriptedPeer peer(AnswerRequest("HTTP/1.0 200 OK\r\n\r\n" + std::string(100000, 'z')));
    ASSERT_TRUE(Get(peer));
    EXPECT_EQ(http.Document().Size(), 100000);
    EXPECT_EQ(http.DownloadSize(), 0);
    EXPECT_EQ(http.Sock().LastError(), 0);
}

TEST_F(HttpFraming, OutputStreamReceivesTheBodyInsteadOfDocument) {
    ScriptedPeer peer(AnswerRequest("HTTP/1.0 200 OK\r\nContent-Length: 26\r\n\r\n" + kAlphabet));
    platform::TMemoryStream out;
    out.WriteBuffer("stale", 5);
    http.OutputStream = &out;
    ASSERT_TRUE(Get(peer));
    EXPECT_EQ(out.ToString(), kAlphabet);
    EXPECT_EQ(out.Position(), 0);
    EXPECT_EQ(Body(), "");
}

}  // namespace
}  // namespace lunaro::net
