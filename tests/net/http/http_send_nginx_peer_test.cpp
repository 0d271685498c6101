// The HTTP client against a real nginx on loopback.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "net/http/http_send.h"
#include "platform/stream.h"
#include "tests/support/nginx_server.h"
#include "tests/support/test_support.h"

namespace lunaro::net {
namespace {

using testkit::NginxOptions;
using testkit::NginxServer;
using testkit::TempDir;

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

std::string WithBForA(std::string text) {
    for (char& c : text)
        if (c == 'a') c = 'b';
    return text;
}

class HttpNginx : public ::testing::Test {
protected:
    void SetUp() override {
        package = RandomBytes(300000, 7);
        testkit::WriteFile(root.File("package.zip"), package);
        std::filesystem::create_directories(root.File("chunked"));
        text = std::string(50000, 'a') + "banana";
        testkit::WriteFile(root.File("chunked/page.txt"), text);
        NginxOptions options;
        options.root = root.Path();
        // sub_filter drops the length, so nginx frames the answer in chunks.
        options.extraServerConfig =
            "keepalive_timeout 1s;\n"
            "location /chunked/ { sub_filter 'a' 'b'; sub_filter_once off; sub_filter_types *; }\n"
            // Reads a whole request body before it answers (the upstream is never there).
            "location /upload { proxy_pass http://127.0.0.1:1; }\n";
        nginx = std::make_unique<NginxServer>(options);
        LUNARO_REQUIRE_PEER(nginx->Running(), nginx->Error());
        http.Timeout = 10000;
        http.Sock().OnStatus = [this](TBlockSocket*, THookSocketReason reason, const std::string&) {
            connects += reason == THookSocketReason::HR_Connect;
        };
    }

    std::string Url(const std::string& path) { return nginx->BaseUrl() + path; }
    std::string Body() { return http.Document().ToString(); }

    TempDir root;
    std::string package;
    std::string text;
    std::unique_ptr<NginxServer> nginx;
    THTTPSend http;
    int connects = 0;
};

TEST_F(HttpNginx, PlainGetOfAStaticFile) {
    ASSERT_TRUE(http.HTTPMethod("GET", Url("package.zip")));
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(http.ResultString(), "OK");
    EXPECT_EQ(http.DownloadSize(), 300000);
    EXPECT_TRUE(Body() == package);
    EXPECT_EQ(http.Headers()[0], "HTTP/1.1 200 OK");
    EXPECT_EQ(http.Headers()[http.Headers().Count() - 1], "");
    EXPECT_EQ(http.MimeType, "application/octet-stream");
    // Protocol "1.0" closes after every answer.
    EXPECT_EQ(http.Sock().Socket(), INVALID_SOCKET);
}

TEST_F(HttpNginx, RangesResumeAndProbe) {
    http.RangeStart = 123456;
    ASSERT_TRUE(http.HTTPMethod("GET", Url("package.zip")));
    EXPECT_EQ(http.ResultCode(), 206);
    EXPECT_TRUE(Body() == package.substr(123456));

    http.Clear();
    http.RangeEnd = 1024;
    ASSERT_TRUE(http.HTTPMethod("GET", Url("package.zip")));
    EXPECT_EQ(http.ResultCode(), 206);
    EXPECT_TRUE(Body() == package.substr(0, 1025));
}

TEST_F(HttpNginx, MissingFileAndHead) {
    ASSERT_TRUE(http.HTTPMethod("GET", Url("absent.zip")));
    EXPECT_EQ(http.ResultCode(), 404);
    EXPECT_NE(Body().find("404"), std::string::npos);

    http.Clear();  // Document is the next request's body otherwise
    ASSERT_TRUE(http.HTTPMethod("HEAD", Url("package.zip")));
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(Body(), "");
    EXPECT_NE(http.Headers().IndexOf("Content-Length: 300000"), -1);
}

TEST_F(HttpNginx, KeepAliveReusesTheConnectionOnlyWhileNothingIsPending) {
    http.Protocol = "1.1";
    ASSERT_TRUE(http.HTTPMethod("GET", Url("package.zip")));
    http.Clear();
    ASSERT_TRUE(http.HTTPMethod("GET", Url("chunked/page.txt")));
    EXPECT_EQ(connects, 1);
    EXPECT_NE(http.Sock().Socket(), INVALID_SOCKET);

    // nginx drops the idle connection after a second; its close is pending.
    ASSERT_TRUE(testkit::WaitReadable(http.Sock().Socket(), 10000));
    http.Clear();
    ASSERT_TRUE(http.HTTPMethod("GET", Url("package.zip")));
    EXPECT_EQ(connects, 2);
    EXPECT_TRUE(Body() == package);
}

TEST_F(HttpNginx, ConnectionOfAnAbortedUploadIsNotReused) {
    http.Protocol = "1.1";
    platform::TMemoryStream upload;
    upload.WriteBuffer(package.data(), 200000);
    http.InputStream = &upload;
    int writes = 0;
    http.Sock().OnMonitor = [&](TBlockSocket*, bool writing, const void*, int) {
        if (writing && ++writes == 2) http.Abort();  // the head and one piece of the body are out
    };
    EXPECT_FALSE(http.HTTPMethod("POST", Url("upload")));
    EXPECT_EQ(http.Sock().LastError(), 10053);

    http.InputStream = nullptr;
    http.Sock().OnMonitor = nullptr;
    http.Clear();
    ASSERT_TRUE(http.HTTPMethod("GET", Url("package.zip")));
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_EQ(connects, 2);
}

TEST_F(HttpNginx, ChunkedAnswer) {
    http.Protocol = "1.1";
    ASSERT_TRUE(http.HTTPMethod("GET", Url("chunked/page.txt")));
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_NE(http.Headers().IndexOf("Transfer-Encoding: chunked"), -1);
    EXPECT_EQ(Body(), WithBForA(text));
}

TEST_F(HttpNginx, Ipv6LiteralUrl) {
    ASSERT_TRUE(http.HTTPMethod("GET", "http://[::1]:" + std::to_string(nginx->Port()) + "/package.zip"));
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_TRUE(Body() == package);
}

TEST_F(HttpNginx, BodyIntoAFileStream) {
    {
        platform::TFileStream file(root.File("download.part"), platform::fmCreate);
        http.OutputStream = &file;
        ASSERT_TRUE(http.HTTPMethod("GET", Url("package.zip")));
        http.OutputStream = nullptr;
    }
    EXPECT_TRUE(testkit::ReadFile(root.File("download.part")) == package);
    EXPECT_EQ(http.Document().Size(), 0);
}

TEST_F(HttpNginx, ServerDyingMidBodyFailsWithTheStatusKept) {
    testkit::WriteFile(root.File("big.bin"), std::string(64 << 20, 'x'));
    bool killed = false;
    http.Sock().OnMonitor = [&](TBlockSocket*, bool writing, const void*, int) {
        if (!writing && http.DownloadSize() > 0 && !killed) {
            killed = true;
            nginx->KillWorkers();
        }
    };
    platform::TFileStream file(root.File("big.part"), platform::fmCreate);
    http.OutputStream = &file;
    EXPECT_FALSE(http.HTTPMethod("GET", Url("big.bin")));
    EXPECT_TRUE(killed);
    EXPECT_EQ(http.ResultCode(), 200);
    EXPECT_NE(http.Sock().LastError(), 0);
    EXPECT_LT(file.Size(), int64_t{64} << 20);
    EXPECT_EQ(file.Size() % 65536, 0);
}

}  // namespace
}  // namespace lunaro::net
