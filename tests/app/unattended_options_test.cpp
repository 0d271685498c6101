#include "app/unattended_options.h"

#include <gtest/gtest.h>

#include "app/retry_with_pause.h"

namespace lunaro::app {
namespace {

ParsedOptions Parse(std::vector<std::string> arguments) { return ParseUnattendedOptions(arguments); }

TEST(UnattendedOptions, DefaultsAreTheWindowsDefaults) {
    const ParsedOptions parsed = Parse({"--silent"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->verbosity, Verbosity::Silent);
    EXPECT_EQ(parsed.options->choices.mode, InstallMode::Full);
    EXPECT_TRUE(parsed.options->choices.paf);
    EXPECT_EQ(parsed.options->retries, 3);
    EXPECT_FALSE(parsed.options->baseUrl);
}

TEST(UnattendedOptions, WorkstationChoicesAndTheirPage) {
    ParsedOptions parsed = Parse({"--very-silent", "--mode=workstation", "--no-paf", "--server=SRV01",
                                  "--db-path=C:\\Dados\\BANCO.FDB", "--retries=0", "--log=x.log"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->verbosity, Verbosity::VerySilent);
    EXPECT_EQ(parsed.options->choices.page, ConnectionPage::Network);
    EXPECT_EQ(parsed.options->choices.databasePath, "C:\\Dados\\BANCO.FDB");
    EXPECT_FALSE(parsed.options->choices.paf);
    EXPECT_EQ(parsed.options->retries, 0);

    parsed = Parse({"--silent", "--mode=workstation", "--company=a&b ç"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(parsed.options->choices.page, ConnectionPage::Cloud);
    EXPECT_EQ(parsed.options->choices.companyAlias, "A&B Ç");  // as the window's box upper-cases
}

TEST(UnattendedOptions, BadArgumentsAreRefusedWithAReason) {
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {},
             {"--mode=full"},
             {"--silent", "--very-silent"},
             {"--silent", "--mode=server"},
             {"--silent", "--bogus"},
             {"--silent", "--retries=-1"},
             {"--silent", "--retries=101"},
             {"--silent", "--retries=2x"},
             {"--silent", "--base-url=ftp://host/"},
             {"--silent", "--server=S"},  // not a workstation
             {"--silent", "--mode=workstation", "--server=S", "--company=C"},
             {"--silent", "--mode=workstation", "--server=" + std::string(101, 's')},
             {"--silent", "--log="},
             {"--silent=yes"},
         }) {
        const ParsedOptions parsed = Parse(arguments);
        EXPECT_FALSE(parsed.options) << ::testing::PrintToString(arguments);
        EXPECT_FALSE(parsed.error.empty());
    }
    EXPECT_TRUE(Parse({"--bogus", "--help"}).options->help);
}

TEST(RetryWithPause, PausesDoubleUpToAMinute) {
    EXPECT_EQ(RetryWithPause::PauseBefore(2).count(), 1);
    EXPECT_EQ(RetryWithPause::PauseBefore(3).count(), 2);
    EXPECT_EQ(RetryWithPause::PauseBefore(4).count(), 4);
    EXPECT_EQ(RetryWithPause::PauseBefore(8).count(), 60);
    EXPECT_EQ(RetryWithPause::PauseBefore(1000).count(), 60);
}

TEST(UnattendedOptions, NetworkSettings) {
    const ParsedOptions parsed = Parse(
        {"--silent", "--base-url=https://pacotes.example/", "--proxy=http://u:p@[::1]:3128", "--cacert=/dev/null"});
    ASSERT_TRUE(parsed.options) << parsed.error;
    EXPECT_EQ(*parsed.options->baseUrl, "https://pacotes.example/");
    ASSERT_TRUE(parsed.options->proxy);
    EXPECT_EQ(parsed.options->proxy->Host + " " + parsed.options->proxy->User, "::1 u");
    EXPECT_FALSE(Parse({"--silent"}).options->proxy);  // the environment decides

    for (const std::string bad : {"--proxy=socks5://h:1080", "--proxy=h:99999", "--proxy=", "--cacert=/no/such/ca.pem",
                                  "--base-url=https://"}) {
        const ParsedOptions refused = Parse({"--silent", bad});
        EXPECT_FALSE(refused.options) << bad;
        EXPECT_FALSE(refused.error.empty());
    }
}

}  // namespace
}  // namespace lunaro::app
