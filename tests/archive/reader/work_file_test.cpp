// Archive file access: plain and checked reads and seeks, copies, the file
// identity, progress filtering and multi-part reading.
#include <sys/stat.h>
#include <unistd.h>

#include "archive/reader/file_times.h"
#include "archive/messages/message_ids.h"
#include "archive/reader/work_file.h"
#include "archive/messages/zk_exception.h"
#include "platform/stream.h"
#include "tests/archive/core_fixture.h"
#include "tests/support/test_support.h"

namespace lunaro::archive {
namespace {

using testkit::CoreTest;

std::string Pattern(size_t size, char seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(seed + i % 23);
    return bytes;
}

int RaisedIdent(const std::function<void()>& action) {
    try {
        action();
    } catch (const EZipKeeper& e) {
        return e.ResId();
    }
    return 0;
}

class WorkFileTest : public CoreTest {
protected:
    WorkFileTest() { core.StartUp(); }

    std::string Make(const std::string& name, const std::string& bytes) {
        lunaro::testkit::WriteFile(dir.File(name), bytes);
        return dir.File(name);
    }

    lunaro::testkit::TempDir dir;
    TZKWorkFile file{core};
};

TEST_F(WorkFileTest, ReadsSeeksAndTheirCheckedForms) {
    const std::string content = Pattern(1000, 'a');
    file.SetFileName(Make("a.zip", content));
    ASSERT_TRUE(file.File_Open(kOpenReadShared));
    EXPECT_EQ(file.RealFileSize(), 1000);
    char buffer[64];
    EXPECT_EQ(file.Read(buffer, 10), 10);
    EXPECT_EQ(std::string(buffer, 10), content.substr(0, 10));
    EXPECT_EQ(file.Read(buffer, -5), 5);  // negative length: the magnitude
    EXPECT_EQ(file.Position(), 15);
    EXPECT_EQ(file.Seek(-4, kSeekFromEnd), 996);
    EXPECT_EQ(file.Read(buffer, 10), 4);
    EXPECT_EQ(file.Read(buffer, 10), 0);  // end of file is not an error
    EXPECT_FALSE(file.CheckRead(buffer, 1));

    EXPECT_EQ(file.Seek(-1, kSeekFromStart), -1);
    EXPECT_EQ(file.Seek(0, 3), -1);
    EXPECT_EQ(RaisedIdent([&] { file.CheckSeek(-1, kSeekFromStart, msg::ArchiveSeekError); }), msg::ArchiveSeekError);
    EXPECT_EQ(RaisedIdent([&] { file.CheckSeek(-1, kSeekFromStart, 0); }), msg::FileSeekError);
    EXPECT_EQ(RaisedIdent([&] { file.CheckSeek(-1, kSeekFromStart, -1); }), msg::InputSeekError);
    EXPECT_EQ(file.CheckSeek(990, kSeekFromStart, 0), 990);
    EXPECT_EQ(RaisedIdent([&] { file.CheckRead(buffer, 20, msg::CentralHeaderReadError); }),
              msg::CentralHeaderReadError);
    file.SetPosition(990);
    EXPECT_EQ(RaisedIdent([&] { file.CheckRead(buffer, -20, 0); }), msg::FileReadError);
    file.SetPosition(0);
    const int sizes[] = {4, 2, 10};
    EXPECT_EQ(file.Reads(buffer, sizes), 16);
    EXPECT_TRUE(file.CheckReads(buffer, sizes));
    file.SetPosition(995);
    EXPECT_EQ(RaisedIdent([&] { file.CheckReads(buffer, sizes, msg::EndRecordReadError); }), msg::EndRecordReadError);
    const int negative[] = {4, -2};
    EXPECT_EQ(file.Reads(buffer, negative), -msg::FileReadError);
}

TEST_F(WorkFileTest, OpeningNamingAndClosing) {
    const std::string a = Make("a.zip", "aaaa");
    file.SetFileName(a);
    EXPECT_EQ(file.WorkDrive().DriveStr(), "/");
    ASSERT_TRUE(file.File_Open(kOpenReadShared));
    file.SetFileName(a);  // unchanged: stays open
    EXPECT_TRUE(file.IsOpen());
    file.SetFileName(Make("b.zip", "bb"));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.Handle(), -1);
    char buffer[4];
    EXPECT_EQ(file.Read(buffer, 4), -msg::FileReadError);
    EXPECT_EQ(file.Seek(0, kSeekFromStart), -1);

    file.SetFileName(dir.File("missing.zip"));
    EXPECT_FALSE(file.File_Open(kOpenReadShared));
    file.SetFileName(dir.Path());
    EXPECT_FALSE(file.File_Open(kOpenReadShared));  // a folder is not a file
    file.SetFileName("");
    EXPECT_FALSE(file.File_Open(kOpenReadShared));
}

TEST_F(WorkFileTest, TraceLinesAtFullVerbosity) {
    master.Settings.Trace = true;
    core.StartUp();
    const std::string a = Make("a.zip", "aaaa");
    file.SetFileName(a);
    ASSERT_TRUE(file.File_Open(kOpenReadShared));
    file.File_Close();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].second, "Trace: Opening " + a);
    EXPECT_EQ(messages[1].second, "Trace: Closed " + a);
    EXPECT_EQ(core.ErrCode(), 0);
}

TEST_F(WorkFileTest, StampDateIsSetOnCloseOfAWritableOpen) {
    const uint32_t stamp = (uint32_t{44} << 25) | (6u << 21) | (15u << 16) | (12u << 11) | (30u << 5) | 5u;
    file.SetFileName(Make("a.zip", "aaaa"));
    file.SetStampDate(stamp);
    ASSERT_TRUE(file.File_Open(kOpenReadShared));
    file.File_Close();
    struct stat info {};
    ASSERT_EQ(::stat(file.FileName().c_str(), &info), 0);
    EXPECT_NE(info.st_mtime, *UnixTimeFromDosDateTime(stamp));  // read-only opens leave the date
    ASSERT_TRUE(file.File_Open(platform::fmOpenReadWrite));
    file.File_Close();
    ASSERT_EQ(::stat(file.FileName().c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, *UnixTimeFromDosDateTime(stamp));
    EXPECT_FALSE(UnixTimeFromDosDateTime((uint32_t{44} << 25) | (2u << 21) | (31u << 16)));
}

// Opens go through the platform's file stream: the share lock is taken
// before anything changes, a create with a share mode writes, and new files
// get the platform's permissions.
TEST_F(WorkFileTest, OpensAsThePlatformStreamDoes) {
    const std::string held = Make("held.zip", "keep me");
    {
        platform::TFileStream owner(held, platform::fmOpenReadWrite | platform::fmShareExclusive);
        file.SetFileName(held);
        EXPECT_FALSE(file.File_Open(platform::fmCreate | platform::fmShareExclusive));
        EXPECT_FALSE(file.File_Open(kOpenReadShared));
    }
    EXPECT_EQ(lunaro::testkit::ReadFile(held), "keep me");  // a refused create truncates nothing

    const mode_t umaskBefore = ::umask(0);
    file.SetFileName(dir.File("new.zip"));
    const bool created = file.File_Open(platform::fmCreate | platform::fmShareExclusive);
    ::umask(umaskBefore);
    ASSERT_TRUE(created);
    EXPECT_EQ(::write(file.Handle(), "xy", 2), 2);  // opened for writing, not read-only
    const uint32_t stamp = (uint32_t{44} << 25) | (6u << 21) | (15u << 16);
    file.SetStampDate(stamp);
    file.File_Close();
    struct stat info {};
    ASSERT_EQ(::stat(dir.File("new.zip").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
    EXPECT_EQ(info.st_size, 2);
    EXPECT_EQ(info.st_mtime, *UnixTimeFromDosDateTime(stamp));  // a writing open, so stamped
}

class ShortStream : public platform::TMemoryStream {
public:
    int64_t Write(const void* buffer, int64_t count) override {
        return platform::TMemoryStream::Write(buffer, count > 100 ? 100 : count);
    }
};

TEST_F(WorkFileTest, ReadToCopiesInChunks) {
    const std::string content = Pattern(3 * kReadToChunk + 7, 'k');
    file.SetFileName(Make("a.zip", content));
    ASSERT_TRUE(file.File_Open(kOpenReadShared));
    platform::TMemoryStream copy;
    EXPECT_EQ(file.ReadTo(copy, static_cast<int64_t>(content.size())), static_cast<int64_t>(content.size()));
    EXPECT_EQ(copy.ToString(), content);
    file.SetPosition(0);
    EXPECT_EQ(file.ReadTo(copy, static_cast<int64_t>(content.size()) + 1), -msg::FileError);
    file.SetPosition(0);
    ShortStream refusing;
    EXPECT_EQ(file.ReadTo(refusing, 500), -msg::FileWriteError);
    EXPECT_EQ(file.ReadTo(copy, 0), 0);
}

TEST_F(WorkFileTest, FileInformationNoticesChanges) {
    const std::string path = Make("a.zip", "aaaa");
    file.SetFileName(path);
    int64_t time = 1;
    EXPECT_FALSE(file.LastWriteTime(time));
    EXPECT_EQ(time, 0);
    ASSERT_TRUE(file.File_Open(kOpenReadShared));
    EXPECT_TRUE(file.LastWriteTime(time));
    EXPECT_GT(time, 0);
    file.SaveFileInformation();
    EXPECT_EQ(file.SavedFileInformation().Size, 4);
    EXPECT_TRUE(file.VerifyFileInformation());
    lunaro::testkit::WriteFile(path, "aaaaa");
    EXPECT_FALSE(file.VerifyFileInformation());
    file.ClearFileInformation();
    EXPECT_EQ(file.SavedFileInformation(), TZKFileInformation{});
}

TEST_F(WorkFileTest, ProgressIsFilteredByShowProgress) {
    std::vector<TZKProgressType> seen;
    std::vector<std::string> names;
    master.OnProgress = [&](TZKMaster&, const TZKProgressDetails& details) {
        seen.push_back(details.Order());
        names.push_back(details.ItemName());
    };
    auto reportAll = [&] {
        file.ProgReport(TActionCodes::zacCount, 0, 3, "");
        file.ProgReport(TActionCodes::zacSize, msg::ProgressLoadingDirectory, 100, "");
        file.ProgReport(TActionCodes::zacItem, 0, 10, "a.txt");
        file.ProgReport(TActionCodes::zacProgress, 0, 10, "");
        file.ProgReport(TActionCodes::zacXItem, msg::ProgressLoadingDirectory, 5, "");
        file.ProgReport(TActionCodes::zacEndOfBatch, 0, 0, "");
    };
    reportAll();  // zspNone: everything becomes a tick or disappears
    EXPECT_TRUE(seen.empty());
    file.SetShowProgress(TZKShowProgress::zspExtra);
    reportAll();
    using enum TZKProgressType;
    EXPECT_EQ(seen, (std::vector<TZKProgressType>{NewExtra, ExtraUpdate, NewExtra}));
    EXPECT_EQ(names[0], "*Loading Directory");
    seen.clear();
    file.SetShowProgress(TZKShowProgress::zspFull);
    reportAll();
    EXPECT_EQ(seen, (std::vector<TZKProgressType>{TotalFiles2Process, TotalSize2Process, NewFile, ProgressUpdate,
                                                  NewExtra, EndOfBatch}));
    EXPECT_EQ(core.Progress().TotalCount(), 3);
    EXPECT_EQ(core.Progress().TotalPosition(), 10);
    EXPECT_EQ(core.Progress().TotalPerCent(), 10);
}

class MultiPartTest : public WorkFileTest {
protected:
    void OpenFirstPart(const std::string& first, const std::string& requested, int parts) {
        file.SetFileName(first);
        ASSERT_TRUE(file.File_Open(kOpenReadShared));
        file.SetReqFileName(requested);
        file.SetTotalDisks(parts);
        file.SetIsMultiPart(true);
    }

    const std::string p1 = Pattern(100, 'A');
    const std::string p2 = Pattern(100, 'a');
    const std::string p3 = Pattern(50, '0');
};

TEST_F(MultiPartTest, ReadsContinueOnTheNextPart) {
    master.Settings.Verbose = true;
    core.StartUp();
    const std::string first = Make("arc.z01", p1);
    Make("arc.z02", p2);
    const std::string last = Make("arc.zip", p3);
    OpenFirstPart(first, last, 3);
    std::string buffer(300, '\0');
    EXPECT_EQ(file.Read(buffer.data(), 300), 250);
    EXPECT_EQ(buffer.substr(0, 250), p1 + p2 + p3);
    EXPECT_EQ(file.Numbering(), TZipNumberScheme::znsExt);
    EXPECT_EQ(file.DiskNr(), 2);
    EXPECT_EQ(messages.back().second, "Trace : GetNewDisk Opening: " + last);

    EXPECT_EQ(file.SeekDisk(0), 0);
    EXPECT_EQ(file.FileName(), first);
    const int fieldsAtBoundary[] = {100, 20};  // the second field starts the next part
    EXPECT_EQ(file.Reads(buffer.data(), fieldsAtBoundary), 120);
    EXPECT_EQ(buffer.substr(0, 120), p1 + p2.substr(0, 20));

    file.SeekDisk(0);
    file.SetPosition(90);
    EXPECT_EQ(file.Read(buffer.data(), -20), -msg::FileReadError);  // may not be split
    file.SeekDisk(0);
    const int straddling[] = {90, 20};
    EXPECT_EQ(file.Reads(buffer.data(), straddling), -msg::FileReadError);
    file.SeekDisk(0);
    file.SetPosition(90);
    EXPECT_EQ(file.Read(buffer.data(), 20), 20);  // a splittable read may
    EXPECT_EQ(buffer.substr(0, 20), p1.substr(90) + p2.substr(0, 10));
}

TEST_F(MultiPartTest, NumberedNamesAndMissingParts) {
    const std::string first = Make("set001.zip", p1);
    Make("set002.zip", p2);
    OpenFirstPart(first, dir.File("set.zip"), 3);
    std::string buffer(300, '\0');
    // The third part is missing: the read ends with its identifier.
    EXPECT_EQ(file.Read(buffer.data(), 300), -msg::InputFileMissing);
    EXPECT_EQ(file.Numbering(), TZipNumberScheme::znsName);
    EXPECT_EQ(file.FileName(), dir.File("set003.zip"));
    EXPECT_EQ(RaisedIdent([&] { file.SeekDisk(2); }), 0);  // already the current number
    EXPECT_EQ(RaisedIdent([&] { file.SeekDisk(1); }), 0);
    EXPECT_EQ(file.Read(buffer.data(), 100), 100);
    EXPECT_EQ(buffer.substr(0, 100), p2);
    core.SetCancel(msg::UserCanceled);
    EXPECT_EQ(RaisedIdent([&] { file.SeekDisk(0); }), msg::UserCanceled);
}

TEST(WorkDrive, RootsAndMedia) {
    EXPECT_EQ(DriveRootOf("c:\\Lunaro\\x.zip"), "C:\\");
    EXPECT_EQ(DriveRootOf("\\\\server\\Share\\dir\\x.zip"), "\\\\SERVER\\SHARE\\");
    EXPECT_EQ(DriveRootOf("/tmp/x.zip"), "/");
    EXPECT_EQ(DriveRootOf(""), "");

    lunaro::testkit::TempDir mapped;
    ::setenv("LUNARO_DRIVE_Q", mapped.Path().c_str(), 1);
    ::setenv("LUNARO_DRIVE_P", (mapped.Path() + "/absent").c_str(), 1);
    TZKWorkDrive drive;
    drive.SetDriveStr("q:\\archive.zip");
    EXPECT_EQ(drive.DriveStr(), "Q:\\");
    EXPECT_EQ(drive.DriveLetter(), 'Q');
    EXPECT_EQ(drive.DriveType(), kDriveFixed);
    EXPECT_TRUE(drive.DriveIsFixed());
    EXPECT_TRUE(drive.HasMedia(false));
    EXPECT_GT(drive.VolumeSize(), 0);

    drive.SetDriveStr("p:\\archive.zip");
    EXPECT_EQ(drive.DriveType(), kDriveNoRootDir);
    EXPECT_EQ(RaisedIdent([&] { drive.HasMedia(false); }), msg::DriveNotDefined);
    drive.SetDriveStr("1:\\archive.zip");
    try {
        drive.HasMedia(true);
        ADD_FAILURE() << "no exception";
    } catch (const EZipKeeper& e) {
        EXPECT_EQ(e.ResId(), msg::InvalidDrive);
        EXPECT_EQ(e.Message(), "Not a valid drive: 1:\\");
    }
    for (const char* name : {"\\\\server\\share\\x.zip", "/tmp/x.zip", "a:\\x.zip"}) {
        drive.SetDriveStr(name);
        EXPECT_FALSE(drive.DriveIsFloppy()) << name;
    }
    drive.SetDriveStr("\\\\server\\share\\x.zip");
    EXPECT_TRUE(drive.HasMedia(false));
    EXPECT_EQ(drive.VolumeSize(), -1);
    ::unsetenv("LUNARO_DRIVE_Q");
    ::unsetenv("LUNARO_DRIVE_P");
}

}  // namespace
}  // namespace lunaro::archive
