#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "download/cli/command_line.h"
#include "download/cli/ftp_settings.h"
#include "download/cli/progress_display.h"
#include "download/cli/transfer_outcome.h"

namespace lunaro::download::cli {
namespace {

std::string Parse(std::vector<std::string> args, TDownloadOptions& options) {
    return ParseCommandLine(args, options);
}

TEST(CommandLine, TakesUrlFolderAndOptions) {
    TDownloadOptions o;
    ASSERT_EQ(Parse({"http://h/x.zip", "/tmp/d", "--name=y.zip", "--proxy=[::1]:3128", "--proxy-user=u",
                     "--proxy-pass=p", "--timeout=500"},
                    o),
              "");
    EXPECT_EQ(o.Url, "http://h/x.zip");
    EXPECT_EQ(o.Folder, "/tmp/d");
    EXPECT_EQ(o.Name, "y.zip");
    EXPECT_EQ(o.ProxyHost, "::1");
    EXPECT_EQ(o.ProxyPort, "3128");
    EXPECT_EQ(o.ProxyUser, "u");
    EXPECT_EQ(o.ProxyPass, "p");
    EXPECT_EQ(o.TimeoutMs, 500);

    TDownloadOptions help;
    EXPECT_EQ(Parse({"--help"}, help), "");
    EXPECT_TRUE(help.Help);
    EXPECT_NE(UsageText().find("--proxy=HOST:PORT"), std::string::npos);
}

TEST(CommandLine, FtpSettingsComeFromTheUrlUnlessTheOptionsSayOtherwise) {
    TDownloadOptions o;
    ASSERT_EQ(Parse({"ftp://me:p%40ss@[::1]:2121/pub/a.zip", "d", "--timeout=700"}, o), "");
    TNexoFTP ftp;
    FillFtpSettings(ftp, o);
    EXPECT_EQ(ftp.FtpHost, "::1");
    EXPECT_EQ(ftp.FtpPort, "2121");
    EXPECT_EQ(ftp.FtpUser, "me");
    EXPECT_EQ(ftp.FtpPass, "p@ss");
    EXPECT_EQ(ftp.FtpTimeout, 700);

    ASSERT_EQ(Parse({"FTP://me:pw@h/a.zip", "d", "--ftp-user=you", "--ftp-pass=other"}, o), "");
    FillFtpSettings(ftp, o);
    EXPECT_EQ(ftp.FtpUser, "you");
    EXPECT_EQ(ftp.FtpPass, "other");
    EXPECT_EQ(ftp.FtpPort, "21");
}

TEST(CommandLine, RefusesWhatItCannotUse) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"http://h/x"},
        {"http://h/x", "d", "extra"},
        {"http://h/x", ""},
        {"gopher://h/x", "d"},
        {"ftp://h/x", "d", "--proxy=host:3128"},
        {"http://h/x", "d", "--ftp-user=u"},
        {"http://h/x", "d", "--name=../x"},
        {"http://h/x", "d", "--name=a/b"},
        {"http://h/x", "d", "--name"},
        {"http://h/x", "d", "--proxy=host"},
        {"http://h/x", "d", "--proxy=host:0"},
        {"http://h/x", "d", "--proxy=host:99999"},
        {"http://h/x", "d", "--proxy=:80"},
        {"http://h/x", "d", "--proxy-user=u"},
        {"http://h/x", "d", "--proxy=h:1", "--proxy-pass=p"},
        {"http://h/x", "d", "--timeout=0"},
        {"http://h/x", "d", "--timeout=5s"},
        {"http://h/x", "d", "--timeout=99999999999"},
        {"http://h/x", "d", "--colour=yes"},
    };
    for (const auto& args : bad) {
        TDownloadOptions o;
        EXPECT_NE(Parse(args, o), "") << ::testing::PrintToString(args);
    }
}

TEST(ProgressText, BytesDurationsAndLines) {
    EXPECT_EQ(FormatBytes(0), "0 B");
    EXPECT_EQ(FormatBytes(1023), "1023 B");
    EXPECT_EQ(FormatBytes(1536), "1.5 KiB");
    EXPECT_EQ(FormatBytes(int64_t{3} << 30), "3.0 GiB");
    EXPECT_EQ(FormatDuration(65), "00:01:05");
    EXPECT_EQ(FormatDuration(-3), "00:00:00");
    EXPECT_EQ(FormatDuration(100 * 3600), "100:00:00");

    const std::string half = FormatProgress({512 * 1024, 1024 * 1024, 256.0}, true);
    EXPECT_EQ(half, "[############------------]  50.0%  512.0 KiB / 1.0 MiB  256.0 KiB/s  00:00:02 left");
    EXPECT_EQ(FormatProgress({512 * 1024, 1024 * 1024, 256.0}, false),
              " 50.0%  512.0 KiB / 1.0 MiB  256.0 KiB/s  00:00:02 left");
    // Size unknown or no speed yet: no percentage, no time left.
    EXPECT_EQ(FormatProgress({2048, 0, 1.0}, true), "2.0 KiB  1.0 KiB/s");
    EXPECT_EQ(FormatProgress({0, 100, 0}, false), "  0.0%  0 B / 100 B  0 B/s");
}

TTransferReply Answered(int32_t code, std::string text, bool carriesFile) {
    TTransferReply reply;
    reply.Received = reply.Understood = true;
    reply.CarriesFile = carriesFile;
    reply.Code = code;
    reply.Text = std::move(text);
    return reply;
}

TEST(TransferOutcome, SaysWhyATransferFailed) {
    TTransferFacts done;
    done.Finished = true;
    done.FinalFileExists = true;
    done.FinalFile = "/d/x.zip";
    EXPECT_TRUE(DescribeOutcome(done).Succeeded);
    EXPECT_EQ(DescribeOutcome(done).Message, "saved /d/x.zip");

    TTransferFacts notFound;
    notFound.Reply = Answered(404, "Not Found", false);
    notFound.PartFileSize = 0;
    EXPECT_FALSE(DescribeOutcome(notFound).Succeeded);
    EXPECT_EQ(DescribeOutcome(notFound).Message, "the server answered 404 Not Found");

    TTransferFacts cut;
    cut.Reply = Answered(200, "OK", true);
    cut.Reply.SocketError = 10054;
    cut.Reply.SocketErrorDesc = "Connection reset by peer";
    cut.PartFile = "/d/x.zip.part";
    cut.PartFileSize = 4096;
    EXPECT_EQ(DescribeOutcome(cut).Message,
              "the transfer was cut short: Connection reset by peer (socket error 10054); 4096 bytes are kept in "
              "/d/x.zip.part, run again to resume");

    TTransferFacts refused;
    refused.Reply.SocketError = 10061;
    refused.Reply.SocketErrorDesc = "Connection refused";
    EXPECT_EQ(DescribeOutcome(refused).Message, "cannot reach the server: Connection refused (socket error 10061)");

    // Claimed finished but the file is gone: not a success.
    TTransferFacts vanished = done;
    vanished.FinalFileExists = false;
    vanished.Reply = Answered(200, "OK", true);
    EXPECT_FALSE(DescribeOutcome(vanished).Succeeded);
}

}  // namespace
}  // namespace lunaro::download::cli
