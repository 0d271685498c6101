// Answers the client must refuse rather than follow: heads too large to
// hold and bodies that cannot be framed.
#include <gtest/gtest.h>

#include <string>

#include "net/http/http_send.h"
#include "platform/socket_errors.h"
#include "tests/net/http/http_scripted_peer.h"

namespace lunaro::net {
namespace {

using testkit::PeerScript;
using testkit::ScriptedPeer;
using testkit::UrlOf;

// Going through a mebibyte of lines takes seconds in an instrumented build
// on a busy machine; the waits are long enough that a limit, not a timeout,
// is what stops the client.
constexpr int kWaitMs = 20000;

class HttpLimits : public ::testing::Test {
protected:
    HttpLimits() { http.Timeout = kWaitMs; }

    // Sends answer and keeps the connection open: the client must stop by
    // itself, not because the data ended.
    bool Exchange(const std::string& answer) {
        PeerScript script;
        script.ReadUntil("\r\n\r\n").Send(answer).AwaitClientClose(kWaitMs);
        ScriptedPeer peer(std::move(script));
        return http.HTTPMethod("GET", UrlOf(peer));
    }

    THTTPSend http;
};

TEST_F(HttpLimits, OverlongStatusLine) {
    EXPECT_FALSE(Exchange("HTTP/1.1 200 " + std::string(70000, 'a')));
    EXPECT_EQ(http.Sock().LastError(), platform::WSAENOBUFS);
}

TEST_F(HttpLimits, OverlongHeaderLineKeepsTheStatus) {
    EXPECT_FALSE(Exchange("HTTP/1.1 200 OK\r\nX-Big: " + std::string(70000, 'a') + "\r\n\r\n"));
    EXPECT_EQ(http.Sock().LastError(), platform::WSAENOBUFS);
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(http.Headers()[0], "HTTP/1.1 200 OK");
}

TEST_F(HttpLimits, HeaderLineJustUnderTheLimitIsAccepted) {
    const std::string value(60000, 'v');
    EXPECT_TRUE(Exchange("HTTP/1.1 200 OK\r\nX-Big: " + value + "\r\nContent-Length: 0\r\n\r\n"));
    EXPECT_EQ(http.Headers()[1], "X-Big: " + value);
}

TEST_F(HttpLimits, HeaderBlockBeyondOneMebibyte) {
    std::string answer = "HTTP/1.1 200 OK\r\n";
    for (int i = 0; i < 20; ++i) answer += "X-Line: " + std::string(60000, 'h') + "\r\n";
    EXPECT_FALSE(Exchange(answer + "\r\n"));
    EXPECT_EQ(http.Sock().LastError(), platform::WSAENOBUFS);
}

TEST_F(HttpLimits, EndlessEmptyLinesBeforeTheStatusLine) {
    EXPECT_FALSE(Exchange(std::string(1100000, '\n')));
    EXPECT_EQ(http.Sock().LastError(), platform::WSAENOBUFS);
}

TEST_F(HttpLimits, NegativeContentLength) {
    EXPECT_FALSE(Exchange("HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\nbody"));
    EXPECT_EQ(http.Sock().LastError(), platform::WSAEINVAL);
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(http.Document().Size(), 0);
}

TEST_F(HttpLimits, ChunkSizeBeyond63BitsOrNoNumber) {
    for (const char* size : {"8000000000000000", "zz"}) {
        EXPECT_FALSE(Exchange("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n" + std::string(size) +
                              "\r\nmore"))
            << size;
        EXPECT_EQ(http.Sock().LastError(), platform::WSAEINVAL) << size;
        EXPECT_EQ(http.Document().ToString(), "abc") << size;
    }
}

}  // namespace
}  // namespace lunaro::net
