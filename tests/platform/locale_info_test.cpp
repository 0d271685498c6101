#include <gtest/gtest.h>

#include <filesystem>

#include "platform/locale_info.h"
#include "platform/text_case.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/test_support.h"

using namespace lunaro::platform;
using lunaro::testkit::FindProgram;
using lunaro::testkit::ScopedEnv;
using lunaro::testkit::TempDir;

namespace {

struct NoLocaleVariables {
    ScopedEnv all{"LC_ALL", std::nullopt};
    ScopedEnv numeric{"LC_NUMERIC", std::nullopt};
    ScopedEnv time{"LC_TIME", std::nullopt};
    ScopedEnv ctype{"LC_CTYPE", std::nullopt};
    ScopedEnv lang{"LANG", std::nullopt};
};

void ExpectCDefaults() {
    const NumberSeparators separators = UserNumberSeparators();
    EXPECT_EQ(separators.thousands, ",");
    EXPECT_EQ(separators.decimal, ".");
    EXPECT_EQ(UserTimeSeparator(), ":");
    EXPECT_EQ(UserShortMonthNames()[0], "Jan");
    EXPECT_EQ(UserShortMonthNames()[11], "Dec");
    EXPECT_EQ(UserUpperCase("ação"), "AÇÃO");
}

}  // namespace

TEST(LocaleInfo, WithoutAUsableLocaleTheCDefaultsApply) {
    NoLocaleVariables none;
    ExpectCDefaults();
    ScopedEnv missing("LANG", "xx_NOWHERE.UTF-8");
    ExpectCDefaults();
    ScopedEnv c("LC_ALL", "C.UTF-8");
    ExpectCDefaults();
}

// Builds the Brazilian locale into a private folder, so the test does not
// depend on which locales the machine has generated.
TEST(LocaleInfo, BrazilianSettingsComeFromTheEnvironmentsLocale) {
    const std::string localedef = FindProgram("localedef");
    if (localedef.empty() || !std::filesystem::exists("/usr/share/i18n/locales/pt_BR"))
        GTEST_SKIP() << "localedef or the pt_BR locale source is not installed";
    InvariantUpperCase("x");  // load the invariant rules before LOCPATH moves
    TempDir locales;
    const std::string command =
        localedef + " -i pt_BR -f UTF-8 " + locales.File("pt_BR.UTF-8") + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "localedef could not build pt_BR.UTF-8";

    NoLocaleVariables none;
    ScopedEnv path("LOCPATH", locales.Path());
    ScopedEnv lang("LANG", "pt_BR.UTF-8");
    const NumberSeparators separators = UserNumberSeparators();
    EXPECT_EQ(separators.thousands, ".");
    EXPECT_EQ(separators.decimal, ",");
    EXPECT_EQ(UserTimeSeparator(), ":");
    EXPECT_EQ(UserShortMonthNames()[1], "fev");
    EXPECT_EQ(UserUpperCase("ação"), "AÇÃO");
    {
        ScopedEnv numeric("LC_NUMERIC", "C");
        ScopedEnv all("LC_ALL", "C");
        EXPECT_EQ(UserNumberSeparators().decimal, ".");
    }
}
