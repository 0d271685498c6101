// lunaro-download run as a program against a real nginx (and tinyproxy).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/download/download_peer_fixture.h"
#include "tests/download/download_program_run.h"
#include "tests/support/peer_tinyproxy.h"

namespace lunaro::download {
namespace {

namespace fs = std::filesystem;
using testkit::ReadFile;
using testkit::WriteFile;

bool SameFileContents(const std::string& a, const std::string& b) {
    std::ifstream left(a, std::ios::binary);
    std::ifstream right(b, std::ios::binary);
    if (!left || !right || fs::file_size(a) != fs::file_size(b)) return false;
    return std::equal(std::istreambuf_iterator<char>(left), std::istreambuf_iterator<char>(),
                      std::istreambuf_iterator<char>(right));
}

using TRun = testkit::TProgramRun;

class DownloadProgram : public testing_support::ServedFolder {
protected:
    TRun Run(std::vector<std::string> args) { return testkit::RunDownloadProgram(std::move(args), dest.Path()); }

    std::string Folder() const { return dest.File("got"); }
};

TEST_F(DownloadProgram, DownloadsResumesAndReportsSuccess) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    const TRun fresh = Run({Url("data/medium.bin"), Folder(), "--timeout=10000"});
    EXPECT_EQ(fresh.exitCode, 0) << fresh.err;
    EXPECT_TRUE(ReadFile(Folder() + "/medium.bin") == medium);
    EXPECT_NE(fresh.out.find("saved "), std::string::npos);
    EXPECT_NE(fresh.err.find("100.0%"), std::string::npos) << fresh.err;  // plain lines: not a terminal
    EXPECT_EQ(fresh.err.find('\r'), std::string::npos);

    WriteFile(Folder() + "/copy.bin.part", medium.substr(0, 2000000));
    const TRun resumed = Run({Url("data/medium.bin"), Folder(), "--name=copy.bin"});
    EXPECT_EQ(resumed.exitCode, 0) << resumed.err;
    EXPECT_TRUE(ReadFile(Folder() + "/copy.bin") == medium);
    EXPECT_FALSE(fs::exists(Folder() + "/copy.bin.part"));
}

TEST_F(DownloadProgram, FailuresSayWhyAndExitNonZero) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    const TRun missing = Run({Url("data/missing.bin"), Folder()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("the server answered 404 Not Found"), std::string::npos) << missing.err;
    EXPECT_FALSE(fs::exists(Folder() + "/missing.bin"));
    EXPECT_FALSE(fs::exists(Folder() + "/missing.bin.part"));  // nothing in it worth keeping

    const int closedPort = testkit::FreeLoopbackPort();
    const TRun refused = Run({"http://127.0.0.1:" + std::to_string(closedPort) + "/x.bin", Folder()});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find("Connection refused (socket error 10061)"), std::string::npos) << refused.err;

    const TRun nameless = Run({Url("data/"), Folder()});
    EXPECT_EQ(nameless.exitCode, 1);
    EXPECT_NE(nameless.err.find("use --name=NAME"), std::string::npos) << nameless.err;

    const TRun usage = Run({Url("data/medium.bin")});
    EXPECT_EQ(usage.exitCode, 2);
    EXPECT_NE(usage.err.find("--help"), std::string::npos);
    const TRun help = Run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage: lunaro-download URL FOLDER"), std::string::npos);
}

TEST_F(DownloadProgram, GoesThroughAProxy) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    testkit::TinyproxyPeer proxy({{}, "u", "p"});
    LUNARO_REQUIRE_PEER(proxy.Running(), proxy.Error());
    const std::string through = "--proxy=127.0.0.1:" + std::to_string(proxy.Port());
    const TRun ok = Run({Url("data/small.bin"), Folder(), through, "--proxy-user=u", "--proxy-pass=p"});
    EXPECT_EQ(ok.exitCode, 0) << ok.err;
    EXPECT_EQ(ReadFile(Folder() + "/small.bin"), small);

    const TRun denied = Run({Url("data/small.bin"), Folder(), "--name=other.bin", through});
    EXPECT_EQ(denied.exitCode, 1);
    EXPECT_NE(denied.err.find("the server answered 407"), std::string::npos) << denied.err;
}

TEST_F(DownloadProgram, MemoryStaysFlatForALargeFile) {
    LUNARO_REQUIRE_PEER(Up(), nginx->Error());
    // Written and dropped before the run: a forked child's peak counts the
    // memory it shared with this process.
    WriteFile(served.File("data/big.bin"), testing_support::PatternBytes(96 << 20, 3));
    const TRun run = Run({Url("data/big.bin"), Folder()});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(SameFileContents(served.File("data/big.bin"), Folder() + "/big.bin"));
    EXPECT_LT(run.peakRssKiB, 64 * 1024);
    fs::remove(Folder() + "/big.bin");
}

}  // namespace
}  // namespace lunaro::download
