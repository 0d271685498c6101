#include "net/http/http_response_headers.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace lunaro::net {
namespace {

struct Decoded {
    int32_t code = -7;
    std::string reason = "unset";
};

Decoded Decode(const std::string& line) {
    Decoded d;
    DecodeStatusLine(line, d.code, d.reason);
    return d;
}

TEST(HttpStatusLine, CodeAndReason) {
    EXPECT_EQ(Decode("HTTP/1.1 200 OK").code, 200);
    EXPECT_EQ(Decode("HTTP/1.1 200 OK").reason, "OK");
    EXPECT_EQ(Decode("HTTP/1.0 206 Partial  Content ").reason, "Partial  Content");
    EXPECT_EQ(Decode("HTTP/1.1 404").code, 404);
    EXPECT_EQ(Decode("HTTP/1.1 404").reason, "");
    EXPECT_EQ(Decode("HTTP/1.1 404 ").reason, "");
}

TEST(HttpStatusLine, MalformedCodesReadZero) {
    for (const char* line : {"", "HTTP/1.1", "HTTP/1.1 abc OK", "HTTP/1.1 20x OK", "HTTP/1.1 99999999999 Big"}) {
        EXPECT_EQ(Decode(line).code, 0) << line;
    }
    // Without a space the whole text is taken as "code reason".
    EXPECT_EQ(Decode("200").code, 200);
}

TResponseFraming Apply(std::initializer_list<const char*> lines, bool usingProxy = false,
                       std::string* mime = nullptr) {
    TResponseFraming framing;
    std::string ignored;
    for (const char* line : lines) ApplyResponseHeader(line, usingProxy, framing, mime ? *mime : ignored);
    return framing;
}

TEST(HttpResponseHeaders, ContentLengthFramesTheBody) {
    const TResponseFraming framing = Apply({"Server: x", "content-length:  26 "});
    EXPECT_EQ(framing.Size, 26);
    EXPECT_EQ(framing.Encoding, TTransferEncoding::TE_IDENTITY);
    EXPECT_FALSE(framing.Malformed);
    EXPECT_EQ(Apply({"Content-Length: 9223372036854775807"}).Size, INT64_MAX);
    EXPECT_TRUE(Apply({"Content-Length: 9223372036854775808"}).Malformed);
    EXPECT_TRUE(Apply({"Content-Length: -1"}).Malformed);
}

TEST(HttpResponseHeaders, NoNumberLeavesTheBodyToTheClose) {
    const TResponseFraming framing = Apply({"Content-Length: twelve"});
    EXPECT_EQ(framing.Size, -1);
    EXPECT_EQ(framing.Encoding, TTransferEncoding::TE_UNKNOWN);
    EXPECT_FALSE(framing.Malformed);
}

TEST(HttpResponseHeaders, ChunkedWinsOverContentLengthInEitherOrder) {
    EXPECT_EQ(Apply({"Content-Length: 10", "Transfer-Encoding: chunked"}).Encoding, TTransferEncoding::TE_CHUNKED);
    EXPECT_EQ(Apply({"Transfer-Encoding: gzip, Chunked", "Content-Length: 10"}).Encoding,
              TTransferEncoding::TE_CHUNKED);
    EXPECT_EQ(Apply({"Transfer-Encoding: gzip"}).Encoding, TTransferEncoding::TE_UNKNOWN);
}

TEST(HttpResponseHeaders, CloseIsReadFromTheRightConnectionHeader) {
    EXPECT_TRUE(Apply({"Connection: Close"}).ToClose);
    EXPECT_FALSE(Apply({"Connection: keep-alive"}).ToClose);
    EXPECT_FALSE(Apply({"Proxy-Connection: close"}).ToClose);
    EXPECT_TRUE(Apply({"Proxy-Connection: close"}, true).ToClose);
    EXPECT_FALSE(Apply({"Connection: close"}, true).ToClose);
}

TEST(HttpResponseHeaders, ContentTypeKeepsItsCase) {
    std::string mime = "text/html";
    Apply({"Content-Type:  Application/Zip "}, false, &mime);
    EXPECT_EQ(mime, "Application/Zip");
}

TEST(HttpChunkSize, HexWithExtensions) {
    int64_t size = -1;
    ASSERT_TRUE(ParseChunkSize("1a", size));
    EXPECT_EQ(size, 26);
    ASSERT_TRUE(ParseChunkSize("1A ; name=value", size));
    EXPECT_EQ(size, 26);
    ASSERT_TRUE(ParseChunkSize("ff;x", size));
    EXPECT_EQ(size, 255);
    ASSERT_TRUE(ParseChunkSize("0", size));
    EXPECT_EQ(size, 0);
    ASSERT_TRUE(ParseChunkSize("00000000000000000000000010", size));
    EXPECT_EQ(size, 16);
    ASSERT_TRUE(ParseChunkSize("7fffffffffffffff", size));
    EXPECT_EQ(size, INT64_MAX);
}

TEST(HttpChunkSize, GarbageAndOverflowAreRefused) {
    int64_t size = 99;
    for (const char* line : {"", "zz", "0x10", "-1", ";ext", "8000000000000000", "ffffffffffffffff",
                             "10000000000000000"}) {
        EXPECT_FALSE(ParseChunkSize(line, size)) << line;
    }
    EXPECT_EQ(size, 99);
}

}  // namespace
}  // namespace lunaro::net
