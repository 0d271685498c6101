#include <gtest/gtest.h>

#include <filesystem>

#include "platform/paths.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/test_support.h"

using namespace lunaro::platform;
using lunaro::testkit::ScopedEnv;
using lunaro::testkit::TempDir;

namespace fs = std::filesystem;

TEST(DriveMapping, ExistingFoldersAreFoundWhateverTheCaseAndNewOnesKeepTheirs) {
    TempDir drive;
    ScopedEnv env("LUNARO_DRIVE_C", drive.Path());
    fs::create_directories(drive.Path() + "/Lunaro/Banco");

    EXPECT_EQ(HostPath("c:\\lunaro\\"), drive.Path() + "/Lunaro/");
    EXPECT_EQ(HostPath("C:\\LUNARO\\banco\\Dados.FDB"), drive.Path() + "/Lunaro/Banco/Dados.FDB");
    // Once a component is missing, the rest cannot exist and keep the case given.
    EXPECT_EQ(HostPath("c:\\LunaroPaf\\Sub\\x.ini"), drive.Path() + "/LunaroPaf/Sub/x.ini");
}

TEST(DriveMapping, ExactSpellingWinsOverOtherCaseVariants) {
    TempDir drive;
    ScopedEnv env("LUNARO_DRIVE_C", drive.Path());
    fs::create_directories(drive.Path() + "/lunaro");
    fs::create_directories(drive.Path() + "/LUNARO");
    EXPECT_EQ(HostPath("c:\\LUNARO"), drive.Path() + "/LUNARO");
    EXPECT_EQ(HostPath("c:\\lunaro"), drive.Path() + "/lunaro");
    // No exact match: the choice among variants is stable (byte order).
    EXPECT_EQ(HostPath("c:\\Lunaro"), drive.Path() + "/LUNARO");
}

TEST(DriveMapping, CaseIsIgnoredForAccentedLettersToo) {
    TempDir drive;
    ScopedEnv env("LUNARO_DRIVE_C", drive.Path());
    fs::create_directories(drive.Path() + "/Área");
    EXPECT_EQ(HostPath("c:\\ÁREA\\x"), drive.Path() + "/Área/x");
}

TEST(DriveMapping, SeparatorsDotsAndDotDotsAreNormalisedWithinTheDrive) {
    TempDir drive;
    ScopedEnv env("LUNARO_DRIVE_C", drive.Path() + "//");
    EXPECT_EQ(HostPath("c:\\\\a\\\\b\\\\"), drive.Path() + "/a/b/");
    EXPECT_EQ(HostPath("c:/a//b"), drive.Path() + "/a/b");
    EXPECT_EQ(HostPath("c:\\a\\.\\b\\..\\c"), drive.Path() + "/a/c");
    // A path cannot climb out of its drive.
    EXPECT_EQ(HostPath("c:\\..\\..\\etc\\passwd"), drive.Path() + "/etc/passwd");
    EXPECT_EQ(HostPath("c:\\"), drive.Path());
    EXPECT_EQ(HostPath("c:"), drive.Path());
}

TEST(DriveMapping, HostAndRelativePathsOnlyGetTheSeparatorRules) {
    EXPECT_EQ(HostPath("/tmp//x/"), "/tmp/x/");
    EXPECT_EQ(HostPath("/tmp/../Tmp/./X"), "/tmp/../Tmp/./X");
    EXPECT_EQ(HostPath("/home/u/Desktop\\\\Ventrix.lnk"), "/home/u/Desktop/Ventrix.lnk");
    EXPECT_EQ(HostPath("dir\\file"), "dir/file");
    EXPECT_EQ(HostPath(""), "");
}

TEST(DriveMapping, DriveRootsComeFromTheEnvironment) {
    TempDir data;
    ScopedEnv noDriveD("LUNARO_DRIVE_D", std::nullopt);
    {
        ScopedEnv xdg("XDG_DATA_HOME", data.Path());
        EXPECT_EQ(DriveRoot('d'), data.Path() + "/lunaro/drive_d");
        EXPECT_EQ(DriveRoot('D'), data.Path() + "/lunaro/drive_d");
    }
    {
        ScopedEnv xdg("XDG_DATA_HOME", "relative/ignored");
        ScopedEnv home("HOME", data.Path());
        EXPECT_EQ(HostPath("D:\\x"), data.Path() + "/.local/share/lunaro/drive_d/x");
    }
    ScopedEnv driveD("LUNARO_DRIVE_D", "/mnt/dee");
    EXPECT_EQ(DriveRoot('d'), "/mnt/dee");
    EXPECT_EQ(DriveRoot('1'), "");
    EXPECT_FALSE(HasDriveLetter("1:\\x"));
    EXPECT_FALSE(HasDriveLetter("c"));
}
