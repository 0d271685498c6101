#include <gtest/gtest.h>

#include "ftpcli/ftp_cli_options.h"

namespace lunaro::ftpcli {
namespace {

TEST(FtpCliOptions, OptionsInBothFormsAnywhere) {
    TFtpCliOptions options;
    ASSERT_EQ(ParseFtpCommandLine({"--user", "bob", "get", "ftp://h/a.bin", "--pass=s=cret", "out.bin", "--resume",
                                   "--fw-mode=3", "--timeout", "500", "--active", "--no-epsv", "--trust-pasv-address"},
                                  options),
              "");
    EXPECT_EQ(options.Command, "get");
    EXPECT_EQ(options.Operands, (std::vector<std::string>{"ftp://h/a.bin", "out.bin"}));
    EXPECT_EQ(options.User, "bob");
    EXPECT_EQ(options.Pass, "s=cret");
    EXPECT_TRUE(options.UserGiven && options.PassGiven && options.Resume && options.Active && options.NoEpsv &&
                options.TrustPasvAddress);
    EXPECT_EQ(options.FwMode, 3);
    EXPECT_EQ(options.TimeoutMs, 500);

    TFtpCliOptions listing;
    ASSERT_EQ(ParseFtpCommandLine({"ls", "ftp://h/", "--mlsd", "--format=tsv"}, listing), "");
    EXPECT_TRUE(listing.Mlsd);
    EXPECT_EQ(listing.Format, TListFormat::Tsv);
}

TEST(FtpCliOptions, MistakesAreNamed) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no command given"},
        {{"fetch", "ftp://h/x"}, "unknown command fetch"},
        {{"put", "a"}, "wrong number of operands for put"},
        {{"ls", "ftp://h/", "x"}, "wrong number of operands for ls"},
        {{"put", "a", "ftp://h/", "--resume", "--append"}, "--resume and --append exclude each other"},
        {{"get", "ftp://h/x", "--append"}, "--append is for put"},
        {{"ls", "ftp://h/", "--format=xml"}, "--format must be table or tsv"},
        {{"ls", "ftp://h/", "--fw-mode=9"}, "--fw-mode must be a number from 0 to 8"},
        {{"ls", "ftp://h/", "--timeout=0"}, "--timeout must be a positive number of milliseconds"},
        {{"ls", "ftp://h/", "--user"}, "--user needs a value"},
        {{"ls", "ftp://h/", "--active=1"}, "--active takes no value"},
        {{"ls", "ftp://h/", "--verbose"}, "unknown option --verbose"},
    };
    for (const auto& [args, message] : cases) {
        TFtpCliOptions options;
        EXPECT_EQ(ParseFtpCommandLine(args, options), message);
    }
}

}  // namespace
}  // namespace lunaro::ftpcli
