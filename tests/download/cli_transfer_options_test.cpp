#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/cli/command_line.h"

namespace lunaro::download::cli {
namespace {

TEST(TransferOptions, TakenWhenUsableRefusedOtherwise) {
    TDownloadOptions o;
    ASSERT_EQ(ParseCommandLine({"https://h/x", "d", "--speed-limit=1024", "--speed-time=60", "--max-time=3600"}, o), "");
    EXPECT_EQ(o.Transfer.Limits.LowSpeedBytesPerSec, 1024u);
    EXPECT_EQ(o.Transfer.Limits.LowSpeedSeconds, 60u);
    EXPECT_EQ(o.Transfer.Limits.MaxSeconds, 3600u);

    const std::vector<std::vector<std::string>> bad = {
        {"--speed-limit=100"},  // a limit without its time, or the reverse, would never apply
        {"--speed-time=10"},
        {"--speed-limit=1k", "--speed-time=10"},
        {"--max-time=99999999999"},
        {"--cacert"},
        {"--insecure=yes"},
        {"--insecure", "--cacert=ca.pem"},
    };
    for (const auto& extra : bad) {
        std::vector<std::string> args = {"http://h/x", "d"};
        args.insert(args.end(), extra.begin(), extra.end());
        TDownloadOptions refused;
        EXPECT_NE(ParseCommandLine(args, refused), "") << extra.front();
    }
}

}  // namespace
}  // namespace lunaro::download::cli
