#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "platform/shortcut.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/test_support.h"

using namespace lunaro::platform;
using lunaro::testkit::ReadFile;
using lunaro::testkit::ScopedEnv;
using lunaro::testkit::TempDir;

namespace fs = std::filesystem;

TEST(Shortcut, SavesAnExecutableLauncherBesideTheLinkName) {
    TempDir drive;
    TempDir desktop;
    ScopedEnv env("LUNARO_DRIVE_C", drive.Path());
    fs::create_directories(drive.Path() + "/Lunaro");

    TShellLink link;
    link.SetArguments("");
    link.SetPath("C:\\Lunaro\\Atualizador.exe");
    link.SetWorkingDirectory("C:\\Lunaro\\");
    // The installer's folder step leaves two separators before the name.
    ASSERT_TRUE(link.Save(desktop.Path() + "\\\\Ventrix.lnk"));

    const std::string launcher = desktop.File("Ventrix.desktop");
    EXPECT_EQ(ReadFile(launcher),
              "[Desktop Entry]\nType=Application\nVersion=1.0\nName=Ventrix\n"
              "Exec=\"" + drive.Path() + "/Lunaro/Atualizador.exe\"\n"
              "Path=" + drive.Path() + "/Lunaro/\nTerminal=false\n");
    struct stat st {};
    ASSERT_EQ(::stat(launcher.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u);
    EXPECT_FALSE(fs::exists(desktop.File("Ventrix.lnk")));
}

TEST(Shortcut, ArgumentsAndTextsAreQuotedForTheLauncherFormat) {
    TempDir dir;
    TShellLink link;
    link.SetPath("/opt/my app/run");
    link.SetArguments("\"C:\\Dados\\BANCO.FDB\" 100% $HOME");
    link.SetDescription("Line one\nline two");
    link.SetIconLocation("/opt/icon.png");
    ASSERT_TRUE(link.Save(dir.File("Test.LNK")));
    const std::string text = ReadFile(dir.File("Test.desktop"));
    EXPECT_NE(text.find("Exec=\"/opt/my app/run\" \"C:\\\\\\\\Dados\\\\\\\\BANCO.FDB\" \"100%%\" \"\\\\$HOME\"\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Comment=Line one\\nline two\n"), std::string::npos);
    EXPECT_NE(text.find("Icon=/opt/icon.png\n"), std::string::npos);
    EXPECT_EQ(text.find("Path="), std::string::npos);
}

TEST(Shortcut, FailuresAreReportedAndCreateNothing) {
    TempDir dir;
    TShellLink link;
    EXPECT_FALSE(link.Save(dir.File("NoTarget.lnk")));
    link.SetPath("/bin/true");
    EXPECT_FALSE(link.Save(dir.File("missing/Name.lnk")));
    EXPECT_FALSE(link.Save(dir.File(".lnk")));
    EXPECT_FALSE(fs::exists(dir.File("missing")));
    EXPECT_EQ(TShellLink::LauncherPath("/x/App"), "/x/App.desktop");
    EXPECT_EQ(TShellLink::LauncherPath("/x/App.desktop"), "/x/App.desktop");
}
