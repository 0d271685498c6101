#include <gtest/gtest.h>

#include "tests/support/nginx_server.h"
#include "tests/support/test_support.h"

using namespace lunaro::testkit;

// The launcher itself: later suites depend on it starting and stopping cleanly.
TEST(NginxServer, ServesAFolderOnALoopbackPortAndStops) {
    TempDir root;
    WriteFile(root.File("hello.txt"), "hello");
    int port = 0;
    {
        NginxServer server({root.Path(), "", true, ""});
        LUNARO_REQUIRE_PEER(server.Running(), server.Error());
        port = server.Port();
        const std::string cmd = "bash -c 'exec 3<>/dev/tcp/127.0.0.1/" + std::to_string(port) +
                                "; printf \"GET /hello.txt HTTP/1.0\\r\\n\\r\\n\" >&3; cat <&3' > " + root.File("out");
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        const std::string reply = ReadFile(root.File("out"));
        EXPECT_NE(reply.find("200 OK"), std::string::npos);
        EXPECT_NE(reply.find("\r\n\r\nhello"), std::string::npos);
    }
    const std::string probe = "bash -c 'exec 3<>/dev/tcp/127.0.0.1/" + std::to_string(port) + "' 2>/dev/null";
    EXPECT_NE(std::system(probe.c_str()), 0);
}
