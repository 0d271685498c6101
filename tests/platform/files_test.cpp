#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <ctime>
#include <filesystem>
#include <iterator>

#include "platform/atomic_file.h"
#include "platform/files.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/test_support.h"

using namespace lunaro::platform;
using lunaro::testkit::ReadFile;
using lunaro::testkit::ScopedEnv;
using lunaro::testkit::TempDir;
using lunaro::testkit::WriteFile;

namespace fs = std::filesystem;

TEST(Files, WindowsPathsReachTheMappedDriveAndIgnoreCase) {
    TempDir drive;
    ScopedEnv env("LUNARO_DRIVE_C", drive.Path());
    ASSERT_TRUE(ForceDirectories("c:\\Lunaro\\Banco\\"));
    EXPECT_TRUE(fs::is_directory(drive.Path() + "/Lunaro/Banco"));
    EXPECT_TRUE(DirectoryExists("C:\\LUNARO"));
    EXPECT_FALSE(FileExists("c:\\lunaro"));

    WriteFile(drive.Path() + "/Lunaro/ZipEngine190.dll", "12345");
    EXPECT_TRUE(FileExists("c:\\lunaro\\zipengine190.DLL"));
    EXPECT_EQ(FileSize("c:\\lunaro\\zipengine190.dll"), 5);
    EXPECT_EQ(FileSize("c:\\lunaro"), -1);
    EXPECT_EQ(FileSize("c:\\nothing"), -1);
    EXPECT_TRUE(ForceDirectories("c:\\lunaro\\banco"));
}

TEST(Files, ForceDirectoriesFailsWhenAFileIsInTheWay) {
    TempDir dir;
    WriteFile(dir.File("plain"), "x");
    EXPECT_FALSE(ForceDirectories(dir.File("plain")));
    EXPECT_FALSE(ForceDirectories(dir.File("plain/sub")));
    EXPECT_FALSE(ForceDirectories(""));
}

TEST(Files, RenameReplacesTheTargetAndCanChangeOnlyTheCase) {
    TempDir dir;
    WriteFile(dir.File("banco.zip.part"), "new");
    WriteFile(dir.File("banco.zip"), "old");
    ASSERT_TRUE(RenameFile(dir.File("banco.zip.part"), dir.File("banco.zip")));
    EXPECT_EQ(ReadFile(dir.File("banco.zip")), "new");
    EXPECT_FALSE(FileExists(dir.File("banco.zip.part")));

    ScopedEnv env("LUNARO_DRIVE_C", dir.Path());
    ASSERT_TRUE(RenameFile("c:\\banco.zip", "c:\\BANCO.ZIP"));
    EXPECT_TRUE(fs::exists(dir.File("BANCO.ZIP")));
    EXPECT_FALSE(fs::exists(dir.File("banco.zip")));
    EXPECT_FALSE(RenameFile(dir.File("missing"), dir.File("x")));
}

TEST(Files, DeleteRemovesFilesButNotFolders) {
    TempDir dir;
    WriteFile(dir.File("a"), "x");
    fs::create_directory(dir.File("sub"));
    EXPECT_TRUE(DeleteFile(dir.File("a")));
    EXPECT_FALSE(DeleteFile(dir.File("a")));
    EXPECT_FALSE(DeleteFile(dir.File("sub")));
    EXPECT_TRUE(fs::exists(dir.File("sub")));
}

TEST(Files, LastWriteTimeIsALocalDayCountSince1899) {
    TempDir dir;
    WriteFile(dir.File("f"), "x");
    const std::time_t when = 1700000000;  // 2023-11-14 22:13:20 UTC
    timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.File("f").c_str(), times, 0), 0);
    EXPECT_EQ(FileLastWriteUnixTime(dir.File("f")), when);

    ScopedEnv tz("TZ", "UTC0");
    ::tzset();
    const auto days = FileLastWriteTime(dir.File("f"));
    ASSERT_TRUE(days.has_value());
    EXPECT_NEAR(*days, 45244.0 + (22 * 3600 + 13 * 60 + 20) / 86400.0, 1e-9);
    {
        ScopedEnv brazil("TZ", "<-03>3");
        ::tzset();
        EXPECT_NEAR(*FileLastWriteTime(dir.File("f")), *days - 3.0 / 24.0, 1e-9);
    }
    ::tzset();
    EXPECT_FALSE(FileLastWriteTime(dir.File("missing")).has_value());
}

TEST(Files, PathPiecesUnderstandBothSeparatorsAndDrives) {
    EXPECT_EQ(ExtractFilePath("c:\\Lunaro\\banco.zip"), "c:\\Lunaro\\");
    EXPECT_EQ(ExtractFileName("c:\\Lunaro\\banco.zip"), "banco.zip");
    EXPECT_EQ(ExtractFileExt("c:\\Lunaro\\banco.zip"), ".zip");
    EXPECT_EQ(ExtractFilePath("/tmp/a:b/x.tar.gz"), "/tmp/a:b/");
    EXPECT_EQ(ExtractFileExt("/tmp/a.b/noext"), "");
    EXPECT_EQ(ExtractFileName("c:x.txt"), "x.txt");
    EXPECT_EQ(ExtractFilePath("c:x.txt"), "c:");
    EXPECT_EQ(ExtractFileName("dir/"), "");
    EXPECT_EQ(ExtractFilePath(""), "");
}

TEST(Files, ReadFileBytesRefusesFoldersAndOversizedFiles) {
    TempDir dir;
    WriteFile(dir.File("f"), "12345");
    EXPECT_EQ(ReadFileBytes(dir.File("f"), 5), "12345");
    EXPECT_FALSE(ReadFileBytes(dir.File("f"), 4).has_value());
    EXPECT_FALSE(ReadFileBytes(dir.Path(), 100).has_value());
    EXPECT_FALSE(ReadFileBytes(dir.File("missing"), 100).has_value());
}

TEST(AtomicFile, ReplacesContentKeepsLinksAndLeavesNoTemporaryOnFailure) {
    TempDir dir;
    WriteFile(dir.File("real"), "old");
    fs::create_symlink(dir.File("real"), dir.File("link"));
    ASSERT_TRUE(ReplaceFileAtomically(dir.File("link"), "new", 0600));
    EXPECT_TRUE(fs::is_symlink(dir.File("link")));
    EXPECT_EQ(ReadFile(dir.File("real")), "new");
    EXPECT_EQ(fs::status(dir.File("real")).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    fs::create_directory(dir.File("folder"));
    EXPECT_FALSE(ReplaceFileAtomically(dir.File("folder"), "x", 0644));
    EXPECT_FALSE(ReplaceFileAtomically(dir.File("missing/file"), "x", 0644));
    int entries = 0;
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        (void)entry;
        ++entries;
    }
    EXPECT_EQ(entries, 3);  // real, link, folder
}

TEST(AtomicFile, TemporaryOfAKilledWriterGoesWithTheNextWriteButOneInUseStays) {
    TempDir dir;
    WriteFile(dir.File("mark.ini"), "old");
    WriteFile(dir.File(".mark.ini.k1ll3d"), "half");  // a writer died before its rename
    WriteFile(dir.File(".mark.ini.inuse1"), "busy");
    WriteFile(dir.File(".other.ini.k1ll3d"), "not ours");
    const int writer = ::open(dir.File(".mark.ini.inuse1").c_str(), O_RDONLY);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);  // a writer still at work

    ASSERT_TRUE(ReplaceFileAtomically(dir.File("mark.ini"), "new", 0644));
    EXPECT_EQ(ReadFile(dir.File("mark.ini")), "new");
    EXPECT_FALSE(fs::exists(dir.File(".mark.ini.k1ll3d")));
    EXPECT_TRUE(fs::exists(dir.File(".mark.ini.inuse1")));
    EXPECT_TRUE(fs::exists(dir.File(".other.ini.k1ll3d")));
    ::close(writer);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 3);
}
