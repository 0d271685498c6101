#include <gtest/gtest.h>

#include <filesystem>

#include "platform/special_folders.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/test_support.h"

using namespace lunaro::platform;
using lunaro::testkit::ScopedEnv;
using lunaro::testkit::TempDir;
using lunaro::testkit::WriteFile;

namespace {

// A home folder with no user-dirs file and no XDG variables set.
struct FreshHome {
    TempDir home;
    ScopedEnv homeVar{"HOME", home.Path()};
    ScopedEnv config{"XDG_CONFIG_HOME", std::nullopt};
    ScopedEnv data{"XDG_DATA_HOME", std::nullopt};
    ScopedEnv cache{"XDG_CACHE_HOME", std::nullopt};
    ScopedEnv desktop{"XDG_DESKTOP_DIR", std::nullopt};
    ScopedEnv documents{"XDG_DOCUMENTS_DIR", std::nullopt};
};

}  // namespace

TEST(ShellFolders, DefaultsLiveUnderTheHomeFolder) {
    FreshHome fresh;
    const std::string home = fresh.home.Path();
    EXPECT_EQ(ShellFolderPath("Desktop"), home + "/Desktop");
    EXPECT_EQ(ShellFolderPath("DESKTOP"), home + "/Desktop");
    EXPECT_EQ(ShellFolderPath("Personal"), home);
    EXPECT_EQ(ShellFolderPath("AppData"), home + "/.config");
    EXPECT_EQ(ShellFolderPath("Local AppData"), home + "/.local/share");
    EXPECT_EQ(ShellFolderPath("Cache"), home + "/.cache");
    EXPECT_EQ(ShellFolderPath("Startup"), home + "/.config/autostart");
    EXPECT_EQ(ShellFolderPath("Programs"), home + "/.local/share/applications");
    EXPECT_EQ(ShellFolderPath("Start Menu"), ShellFolderPath("Programs"));
    EXPECT_EQ(ShellFolderPath("SendTo"), home + "/.local/share/lunaro/shell/SendTo");
    EXPECT_FALSE(ShellFolderPath("Common Desktop").has_value());
    EXPECT_FALSE(ShellFolderPath("").has_value());
}

TEST(ShellFolders, UserDirsFileWinsOverVariablesAndExpandsHome) {
    FreshHome fresh;
    TempDir config;
    ScopedEnv configVar("XDG_CONFIG_HOME", config.Path());
    ScopedEnv desktopVar("XDG_DESKTOP_DIR", "/from/variable");
    ScopedEnv documentsVar("XDG_DOCUMENTS_DIR", "/docs/");
    WriteFile(config.File("user-dirs.dirs"),
              "# written by the desktop\n"
              "XDG_DESKTOP_DIR=\"$HOME/old\"\n"
              "XDG_DESKTOP_DIR=\"$HOME/Área de \\\"Trabalho\\\"/\"\n"
              "XDG_MUSIC_DIR=\"relative/ignored\"\n");
    EXPECT_EQ(ShellFolderPath("Desktop"), fresh.home.Path() + "/Área de \"Trabalho\"");
    EXPECT_EQ(ShellFolderPath("Personal"), "/docs");
    EXPECT_EQ(ShellFolderPath("My Music"), fresh.home.Path());
    EXPECT_EQ(ShellFolderPath("AppData"), config.Path());
}

TEST(ShellFolders, DesktopVariableIsUsedWithoutAUserDirsFile) {
    FreshHome fresh;
    ScopedEnv desktopVar("XDG_DESKTOP_DIR", "/srv/desk");
    ScopedEnv dataVar("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(ShellFolderPath("Desktop"), "/srv/desk");
    EXPECT_EQ(ShellFolderPath("Fonts"), "/srv/data/fonts");
}
