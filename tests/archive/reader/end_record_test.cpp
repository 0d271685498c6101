// Finding the end record: the fast path, the window scan, comments that do
// not fit, trailing bytes, Zip64 records and the open fallbacks.
#include "archive/reader/end_record.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "archive/messages/message_ids.h"
#include "archive/operation/span_options.h"
#include "tests/archive/reader_fixture.h"

namespace lunaro::archive {
namespace {

using lunaro::testkit::EndRecordSpec;
using lunaro::testkit::U16;
using lunaro::testkit::U32;
using lunaro::testkit::ZipBuilder;
using lunaro::testkit::Zip64Spec;
using reader_testing::ReaderTest;

class EndRecordTest : public ReaderTest {
protected:
    int OpenEnd(const std::string& bytes, TZKEOC& eoc, bool EOConly = false) {
        eoc.SetFileName(Write("a" + std::to_string(++files_) + ".zip", bytes));
        return eoc.OpenEOC(EOConly);
    }

    void ExactNames() {
        master.Settings.SpanOptions = spExactName;
        Restart();
    }

    // Gives the named files one and the same last-write time.
    void SameDate(std::initializer_list<const char*> names) {
        const struct timespec times[2] = {{1700000000, 0}, {1700000000, 0}};
        for (const char* name : names) ASSERT_EQ(::utimensat(AT_FDCWD, dir.File(name).c_str(), times, 0), 0);
    }

    static ZipBuilder Two() {
        ZipBuilder b;
        b.AddFile("a.txt", "alpha").AddFile("b.txt", "beta");
        return b;
    }

    static EndRecordSpec Comment(std::string text, int declared = -1) {
        EndRecordSpec end;
        end.comment = std::move(text);
        if (declared >= 0) end.commentLength = static_cast<uint16_t>(declared);
        return end;
    }

    static EndRecordSpec Escaped() {
        EndRecordSpec end;
        end.entriesOnDisk = end.totalEntries = 0xFFFF;
        end.centralSize = end.centralOffset = 0xFFFFFFFF;
        return end;
    }

    TZKEOC eoc{core};
    int files_ = 0;
};

TEST_F(EndRecordTest, EmptyArchiveIsOnlyItsEndRecord) {
    const std::string bytes = ZipBuilder().Build();
    ASSERT_EQ(bytes.size(), 22u);
    EXPECT_EQ(OpenEnd(bytes, eoc), 0);
    EXPECT_EQ(eoc.TotalEntries(), 0u);
    EXPECT_EQ(eoc.EOCOffset(), 0);
    EXPECT_EQ(eoc.File_Size(), 22);
    EXPECT_TRUE(eoc.IsOpen());
}

TEST_F(EndRecordTest, CommentsThatDoNotFitTheirLength) {
    // Announced at the very end but missing: taken as empty, with the warning.
    std::string bytes = Two().Build();
    bytes[bytes.size() - 2] = 5;
    EXPECT_EQ(OpenEnd(bytes, eoc), kEocCommentAnomaly);
    EXPECT_EQ(eoc.ZipComment(), "");

    // 100 announced, 40 present: shortened silently.
    const std::string forty(40, 'c');
    EXPECT_EQ(OpenEnd(Two().End(Comment(forty, 100)).Build(), eoc), 0);
    EXPECT_EQ(eoc.ZipComment(), forty);
    EXPECT_EQ(eoc.File_Size(), eoc.RealFileSize());

    // A well-formed comment.
    EXPECT_EQ(OpenEnd(Two().End(Comment("hello")).Build(), eoc), 0);
    EXPECT_EQ(eoc.ZipComment(), "hello");
    EXPECT_EQ(eoc.TotalEntries(), 2u);
}

TEST_F(EndRecordTest, BytesAfterTheArchiveAreCutOff) {
    const std::string plain = Two().Build();
    EXPECT_EQ(OpenEnd(Two().Trailer("0123456789").Build(), eoc), kEocCommentAnomaly);
    EXPECT_EQ(eoc.RealFileSize(), static_cast<int64_t>(plain.size()) + 10);
    EXPECT_EQ(eoc.File_Size(), static_cast<int64_t>(plain.size()));
    EXPECT_EQ(eoc.EOCOffset(), static_cast<int64_t>(plain.size()) - 22);
}

TEST_F(EndRecordTest, SignatureInsideTheCommentWinsBeingNearerTheEnd) {
    const std::string fake = U32(0x06054B50) + std::string(18, '\0');  // announces no comment
    const std::string bytes = Two().End(Comment("before " + fake + " after")).Build();
    EXPECT_EQ(OpenEnd(bytes, eoc), kEocCommentAnomaly);
    EXPECT_EQ(eoc.EOCOffset(), static_cast<int64_t>(bytes.find(fake)));
    EXPECT_EQ(eoc.TotalEntries(), 0u);
}

TEST_F(EndRecordTest, EndRecordOutsideTheWindowIsNotFound) {
    std::string bytes = Two().Build();
    bytes += std::string(70000 - 22, 'x');
    bytes = std::string(100000 - bytes.size(), 'y') + bytes;
    ASSERT_EQ(bytes.size(), 100000u);
    EXPECT_EQ(OpenEnd(bytes, eoc), -msg::NotAZipArchive);
    EXPECT_FALSE(eoc.IsOpen());
}

TEST_F(EndRecordTest, TooShortMissingAndForeignFiles) {
    EXPECT_EQ(OpenEnd("PK", eoc), -msg::NotAZipArchive);
    EXPECT_EQ(OpenEnd("PK\x05\x06 but too short", eoc), -msg::NotAZipArchive);
    EXPECT_EQ(OpenEnd(std::string(5000, 'z'), eoc), -msg::NotAZipArchive);
    eoc.SetFileName(dir.File("missing.zip"));
    EXPECT_EQ(eoc.OpenEOC(false), -msg::InputFileMissing);
}

TEST_F(EndRecordTest, EscapedCountWithoutLocatorStays) {
    EndRecordSpec end;
    end.entriesOnDisk = end.totalEntries = 0xFFFF;
    EXPECT_EQ(OpenEnd(Two().End(end).Build(), eoc), 0);
    EXPECT_EQ(eoc.TotalEntries(), 65535u);
    EXPECT_FALSE(eoc.Z64());
}

TEST_F(EndRecordTest, Zip64ReplacesOnlyEscapedValues) {
    Zip64Spec z;
    z.totalEntries = 7;  // differs from the end record, which is not an escape here
    EndRecordSpec end = Escaped();
    end.totalEntries = 2;
    const std::string bytes = Two().Zip64(z).End(end).Build();
    EXPECT_EQ(OpenEnd(bytes, eoc), 0);
    EXPECT_TRUE(eoc.Z64());
    EXPECT_EQ(eoc.TotalEntries(), 2u);
    EXPECT_EQ(eoc.CentralEntries(), 2u);
    EXPECT_EQ(eoc.CentralOffset(), static_cast<int64_t>(Two().CentralStart()));
    EXPECT_EQ(eoc.Z64VSize(), 56);
    EXPECT_EQ(eoc.VersionNeeded(), 45);
    EXPECT_EQ(eoc.OffsetDelta(), 0);

    // With EOConly the escapes stay as read.
    EXPECT_EQ(OpenEnd(bytes, eoc, true), 0);
    EXPECT_EQ(eoc.CentralOffset(), 0xFFFFFFFF);
    EXPECT_FALSE(eoc.Z64());
}

TEST_F(EndRecordTest, Zip64RecordsThatAreRefused) {
    Zip64Spec tooNew;
    tooNew.versionNeeded = 46;
    const std::string needs46 = Two().Zip64(tooNew).End(Escaped()).Build();
    int result = 0;
    OpenZip(Write("b.zip", needs46), result);
    EXPECT_EQ(result, -msg::ZipFileNotOpened);  // through the fallback

    Zip64Spec badDisks;
    badDisks.locatorTotalDisks = 2;  // the record would be on part 1, the locator says 0
    const std::string inconsistent = Two().Zip64(badDisks).End(Escaped()).Build();

    Zip64Spec small;
    small.recordSize = 40;
    const std::string undersized = Two().Zip64(small).End(Escaped()).Build();

    ExactNames();
    EXPECT_EQ(OpenEnd(needs46, eoc), -msg::UnsupportedZipVersion);
    EXPECT_TRUE(eoc.IsOpen());  // a failed Zip64 step leaves the file open
    EXPECT_EQ(OpenEnd(inconsistent, eoc), -msg::EndRecordReadError);
    EXPECT_EQ(OpenEnd(undersized, eoc), -msg::UnsupportedZipVersion);
}

TEST_F(EndRecordTest, ForeignLocatorKeepsTheShortValues) {
    Zip64Spec foreign;
    foreign.locatorSignature = 0x12345678;
    EXPECT_EQ(OpenEnd(Two().Zip64(foreign).End(Escaped()).Build(), eoc), kEocOffsetAnomaly);
    EXPECT_FALSE(eoc.Z64());
    EXPECT_EQ(eoc.TotalEntries(), 0xFFFFu);

    Zip64Spec noRecord;
    noRecord.signature = 0x01020304;
    EXPECT_EQ(OpenEnd(Two().Zip64(noRecord).End(Escaped()).Build(), eoc), kEocOffsetAnomaly);
    EXPECT_TRUE(eoc.Z64());
    EXPECT_EQ(eoc.CentralOffset(), 0xFFFFFFFF);
}

TEST_F(EndRecordTest, FallbackTurnsFailuresIntoTheFixedDriveCodes) {
    int result = 0;
    OpenZip(Write("junk.zip", std::string(300, 'j')), result);
    EXPECT_EQ(result, -msg::NotAZipArchive);
    auto zip = OpenZip(dir.File("absent.zip"), result);
    EXPECT_EQ(result, -msg::InputFileMissing);
    EXPECT_EQ(zip->FileName(), "");
    OpenZip(dir.File("absent.txt"), result);
    EXPECT_EQ(result, -msg::InputFileMissing);
}

TEST_F(EndRecordTest, NumberedSetIsFoundFromItsBaseName) {
    // The first part holds data only; the second holds the directory and an end record
    // that names it the second of two parts.
    EndRecordSpec end;
    end.diskNumber = 1;
    end.centralDisk = 1;
    Write("pack001.zip", std::string(100, 'd'));
    Write("pack002.zip", Two().End(end).Build());
    // Parts of one set carry one date; writing them may straddle a second.
    SameDate({"pack001.zip", "pack002.zip"});
    int result = 0;
    auto zip = OpenZip(dir.File("pack.zip"), result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(zip->Count(), 2);
    EXPECT_EQ(zip->Numbering(), TZipNumberScheme::znsName);
    EXPECT_EQ(zip->TotalDisks(), 2);

    // A set whose end record claims another number of parts.
    end.diskNumber = end.centralDisk = 2;
    Write("set001.zip", std::string(100, 'd'));
    Write("set002.zip", Two().End(end).Build());
    SameDate({"set001.zip", "set002.zip"});
    OpenZip(dir.File("set.zip"), result);
    EXPECT_EQ(result, -msg::ZipFileNotOpened);

    // A part with another date.
    Write("old001.zip", std::string(100, 'd'));
    Write("old002.zip", Two().End(end).Build());
    SameDate({"old001.zip"});
    struct timespec times[2] = {{1000000, 0}, {1000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.File("old002.zip").c_str(), times, 0), 0);
    OpenZip(dir.File("old.zip"), result);
    EXPECT_EQ(result, -msg::InputFileMissing);
}

}  // namespace
}  // namespace lunaro::archive
