// lunaro-ftp's commands against a real server (pyftpdlib), run in process
// with their output captured.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "ftpcli/ftp_cli_options.h"
#include "ftpcli/ftp_cli_run.h"
#include "tests/support/peer_ftp_servers.h"
#include "tests/support/test_support.h"

namespace lunaro::ftpcli {
namespace {

using testkit::ReadFile;
using testkit::WriteFile;

struct TRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string Drain(std::FILE* file) {
    std::string text;
    std::rewind(file);
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    return text;
}

class FtpProgram : public ::testing::Test {
protected:
    FtpProgram() : server({root.Path()}) {
        WriteFile(root.Path() + "/data.bin", content);
        ::mkdir((root.Path() + "/pub").c_str(), 0777);
    }

    TRun Run(std::vector<std::string> args) {
        TFtpCliOptions options;
        EXPECT_EQ(ParseFtpCommandLine(args, options), "");
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        TRun run;
        run.exitCode = RunFtpCommand(options, out, err);
        run.out = Drain(out);
        run.err = Drain(err);
        return run;
    }

    std::string Url(const std::string& path) const {
        return "ftp://" + std::string(testkit::PyftpdlibServer::kUser) + ":" + testkit::PyftpdlibServer::kPassword +
               "@127.0.0.1:" + std::to_string(server.Port()) + "/" + path;
    }

    testkit::TempDir root;
    testkit::TempDir local;
    const std::string content = std::string(70000, 'q') + "end";
    testkit::PyftpdlibServer server;
};

TEST_F(FtpProgram, ListsAsTsvAndTable) {
    LUNARO_REQUIRE_PEER(server.Running(), server.Error());
    const TRun tsv = Run({"ls", Url(""), "--format=tsv"});
    ASSERT_EQ(tsv.exitCode, 0) << tsv.err;
    EXPECT_NE(tsv.out.find("data.bin\t0\t70003\t"), std::string::npos) << tsv.out;
    EXPECT_NE(tsv.out.find("pub\t1\t"), std::string::npos) << tsv.out;
    const TRun mlsd = Run({"ls", Url(""), "--mlsd", "--format=tsv"});
    ASSERT_EQ(mlsd.exitCode, 0) << mlsd.err;
    EXPECT_NE(mlsd.out.find("data.bin\t0\t70003\t"), std::string::npos) << mlsd.out;
    EXPECT_NE(mlsd.out.find("\tMLSD\n"), std::string::npos);
    const TRun table = Run({"ls", Url("")});
    EXPECT_NE(table.out.find("data.bin"), std::string::npos);
}

TEST_F(FtpProgram, GetResumePutAppendAndSimpleCommands) {
    LUNARO_REQUIRE_PEER(server.Running(), server.Error());
    const std::string target = local.File("copy.bin");
    WriteFile(target + ".part", content.substr(0, 5000));
    const TRun resumed = Run({"get", Url("data.bin"), target, "--resume"});
    ASSERT_EQ(resumed.exitCode, 0) << resumed.err;
    EXPECT_TRUE(ReadFile(target) == content);
    EXPECT_NE(::access((target + ".part").c_str(), F_OK), 0);

    const std::string source = local.File("up.txt");
    WriteFile(source, "abc");
    EXPECT_EQ(Run({"put", source, Url("pub/")}).exitCode, 0);
    EXPECT_EQ(Run({"put", source, Url("pub/up.txt"), "--append"}).exitCode, 0);
    EXPECT_EQ(ReadFile(root.Path() + "/pub/up.txt"), "abcabc");
    const TRun size = Run({"size", Url("pub/up.txt")});
    EXPECT_EQ(size.out, "6\n");
    EXPECT_EQ(Run({"mv", Url("pub/up.txt"), "pub/moved.txt"}).exitCode, 0);
    EXPECT_EQ(Run({"mkdir", Url("pub/new")}).exitCode, 0);
    EXPECT_EQ(Run({"rmdir", Url("pub/new")}).exitCode, 0);
    EXPECT_EQ(Run({"rm", Url("pub/moved.txt")}).exitCode, 0);
    EXPECT_EQ(Run({"pwd", Url("")}).out, "/\n");
}

TEST_F(FtpProgram, RefusalsAndFailuresHaveTheirOwnStatus) {
    LUNARO_REQUIRE_PEER(server.Running(), server.Error());
    const TRun missing = Run({"get", Url("nothing.bin"), local.File("n.bin")});
    EXPECT_EQ(missing.exitCode, kExitRefused);
    EXPECT_NE(missing.err.find("550"), std::string::npos) << missing.err;
    EXPECT_NE(::access(local.File("n.bin").c_str(), F_OK), 0);
    const TRun badLogin = Run({"ls", Url(""), "--pass=wrong"});
    EXPECT_EQ(badLogin.exitCode, kExitRefused);
    EXPECT_NE(badLogin.err.find("530"), std::string::npos);
    const TRun refused = Run({"ls", "ftp://127.0.0.2:" + std::to_string(server.Port()) + "/", "--timeout=2000"});
    EXPECT_EQ(refused.exitCode, kExitFailed);
    EXPECT_NE(refused.err.find("connection failed"), std::string::npos);
    EXPECT_EQ(Run({"ls", "http://127.0.0.1/"}).exitCode, kExitFailed);
}

TEST(FtpProgramOffline, ParsesASavedListing) {
    testkit::TempDir dir;
    WriteFile(dir.File("list.txt"), "-rw-r--r--   1 a  a  12 Jan  2  2019 x.txt\r\nno mask fits this\r\n");
    TFtpCliOptions options;
    ASSERT_EQ(ParseFtpCommandLine({"parse-listing", dir.File("list.txt"), "--format=tsv"}, options), "");
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    EXPECT_EQ(RunFtpCommand(options, out, err), kExitOk);
    EXPECT_EQ(Drain(out), "x.txt\t0\t12\t2019-01-02 00:00:00\tpppppppppp $!!!S*$TTT$DD$UUUUU$n*\n");
    EXPECT_EQ(Drain(err), "unparsed: no mask fits this\n");
}

}  // namespace
}  // namespace lunaro::ftpcli
