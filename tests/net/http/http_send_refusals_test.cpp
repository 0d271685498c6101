// Answers that could be read more than one way, or that were cut or held
// back, fail the exchange instead of giving a body that may be wrong.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "net/http/http_send.h"
#include "platform/socket_errors.h"
#include "tests/net/http/http_scripted_peer.h"

namespace lunaro::net {
namespace {

using testkit::AnswerRequest;
using testkit::PeerScript;
using testkit::ScriptedPeer;
using testkit::UrlOf;

const std::string kChunkedHead = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";

class HttpRefusals : public ::testing::Test {
protected:
    HttpRefusals() { http.Timeout = 5000; }

    // Sends answer and keeps the connection open, so a failure is the
    // client's judgement and never the end of the data.
    bool Exchange(const std::string& answer) {
        PeerScript script;
        script.ReadUntil("\r\n\r\n").Send(answer).AwaitClientClose(5000);
        return Run(std::move(script));
    }
    bool Run(PeerScript script) {
        ScriptedPeer peer(std::move(script));
        EXPECT_TRUE(peer.Listening());
        return http.HTTPMethod("GET", UrlOf(peer, "/f"));
    }
    std::string Body() { return http.Document().ToString(); }

    THTTPSend http;
};

TEST_F(HttpRefusals, AmbiguousFramingIsRefused) {
    const std::string length = "answer with a negative, oversized or conflicting Content-Length";
    const std::string loneCR = "answer with a lone CR inside a line";
    const std::string chunkEnd = "answer with chunk data not followed by CR LF";
    for (const auto& [answer, description] : std::vector<std::pair<std::string, std::string>>{
             {"HTTP/1.1 200 OK\r\nContent-Length: 3\r\nContent-Length: 4\r\n\r\nabcd", length},
             {"HTTP/1.1 200 OK\r\nContent-Length: 3, 4\r\n\r\nabcd", length},
             {"HTTP/1.1 200 OK\r\nContent-Length: 4\r\nContent-Length: many\r\n\r\nabcd", length},
             {"HTTP/1.1 200 OK\r\nX-Note: a\rContent-Length: 1\r\nContent-Length: 4\r\n\r\nabcd", loneCR},
             {"HTTP/1.1 200 OK\r\nContent-Length: 4\r\r\n\r\nabcd", loneCR},
             {kChunkedHead + "3\r;x\r\nabc\r\n0\r\n\r\n", loneCR},
             {kChunkedHead + "3\r\nabcX\r\n0\r\n\r\n", chunkEnd},
             {kChunkedHead + "3\r\nabc\n0\r\n\r\n", chunkEnd},
             {kChunkedHead + "3\r\nab\r\n0\r\n\r\n", chunkEnd},
         }) {
        EXPECT_FALSE(Exchange(answer)) << answer;
        EXPECT_EQ(http.Sock().LastError(), platform::WSAEINVAL) << answer;
        EXPECT_EQ(http.Sock().LastErrorDesc(), description) << answer;
    }
    // The same length twice, or as a list of copies, is one length.
    EXPECT_TRUE(Exchange("HTTP/1.1 200 OK\r\nContent-Length: 2\r\ncontent-length: 2\r\n\r\nok"));
    EXPECT_EQ(Body(), "ok");
    EXPECT_TRUE(Exchange("HTTP/1.1 200 OK\r\nContent-Length: 2 , 2\r\n\r\nok"));
    EXPECT_EQ(Body(), "ok");
}

TEST_F(HttpRefusals, BlankLinesBeforeAChunkSizeAreBounded) {
    EXPECT_TRUE(Exchange(kChunkedHead + "3\r\nabc\r\n\r\n\n\r\n2\r\nde\r\n0\r\n\r\n"));
    EXPECT_EQ(Body(), "abcde");
    std::string endless;
    for (int i = 0; i < 40000; ++i) endless += "\r\n";
    EXPECT_FALSE(Exchange(kChunkedHead + "3\r\nabc\r\n" + endless + "2\r\nde\r\n0\r\n\r\n"));
    EXPECT_EQ(http.Sock().LastError(), platform::WSAENOBUFS);
}

TEST_F(HttpRefusals, HeadEndingInLfOnlyLosesNoByteOfTheBody) {
    EXPECT_TRUE(Exchange("HTTP/1.1 200 OK\nContent-Length: 4\n\n\r\nab"));
    EXPECT_EQ(Body(), "\r\nab");
    EXPECT_TRUE(Run(AnswerRequest("HTTP/1.0 200 OK\n\n\rxyz\n")));
    EXPECT_EQ(Body(), "\rxyz\n");
    EXPECT_TRUE(Exchange("HTTP/1.1 200 OK\nTransfer-Encoding: chunked\n\n3\n\r\nx\r\n0\n\n"));
    EXPECT_EQ(Body(), "\r\nx");
    // Without a status line the first line is body, with its line end as it came.
    EXPECT_TRUE(Run(AnswerRequest("first\nsecond")));
    EXPECT_EQ(Body(), "first\nsecond");
}

TEST_F(HttpRefusals, ResetCutsABodyWithoutLength) {
    PeerScript script;
    script.ReadUntil("\r\n\r\n").Send("HTTP/1.0 200 OK\r\n\r\n" + std::string(1 << 20, 'b')).Pause(200).Reset();
    EXPECT_FALSE(Run(std::move(script)));
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(http.Sock().LastError(), platform::WSAECONNRESET);
    EXPECT_FALSE(http.Sock().PeerEndedData());
    EXPECT_LE(http.Document().Size(), 1 << 20);
}

TEST_F(HttpRefusals, TrailerIsReadSoAKeptConnectionServesTheNextAnswer) {
    PeerScript script;
    script.ReadUntil("\r\n\r\n")
        .Send(kChunkedHead + "2\r\nok\r\n0\r\nX-Checksum: 1\r\n\r\n")
        .ReadUntil("\r\n\r\n")
        .Send("HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nnext")
        .AwaitClientClose(5000);
    ScriptedPeer peer(std::move(script));
    http.Protocol = "1.1";
    ASSERT_TRUE(http.HTTPMethod("GET", UrlOf(peer, "/1")));
    EXPECT_EQ(Body(), "ok");
    ASSERT_TRUE(http.HTTPMethod("GET", UrlOf(peer, "/2")));
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(Body(), "next");
}

TEST_F(HttpRefusals, InterimAnswersWithHeadersAreSkipped) {
    EXPECT_TRUE(Exchange("HTTP/1.1 103 Early Hints\r\nLink: </style.css>; rel=preload\r\n\r\n"
                         "HTTP/1.1 102 Processing\r\n\r\n"
                         "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"));
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(Body(), "ok");
    EXPECT_EQ(http.Headers().Text(), "HTTP/1.1 103 Early Hints\r\nHTTP/1.1 102 Processing\r\nHTTP/1.1 200 OK\r\n"
                                     "Content-Length: 2\r\n\r\n");
}

TEST_F(HttpRefusals, TrickledHeadOrBodyFailsWithinItsTime) {
    PeerScript head;
    head.ReadUntil("\r\n\r\n").Send("HTTP/1.1 200 OK\r\n");
    for (int i = 0; i < 40; ++i) head.Send("X").Pause(150);  // each byte well within the time-out
    head.AwaitClientClose(5000);
    http.Timeout = 1000;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(Run(std::move(head)));
    EXPECT_EQ(http.Sock().LastError(), platform::WSAETIMEDOUT);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));

    PeerScript body;
    body.ReadUntil("\r\n\r\n").Send("HTTP/1.1 200 OK\r\nContent-Length: 40\r\n\r\n");
    for (int i = 0; i < 40; ++i) body.Send("b").Pause(150);
    body.AwaitClientClose(5000);
    http.Sock().SetTransferLimits({100, 1, 0});
    EXPECT_FALSE(Run(std::move(body)));
    EXPECT_EQ(http.Sock().LastError(), platform::WSAETIMEDOUT);
    EXPECT_EQ(http.Sock().LastErrorDesc(), "transfer slower than 100 bytes/s for 1 s");
}

}  // namespace
}  // namespace lunaro::net
