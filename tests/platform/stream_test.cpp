#include <gtest/gtest.h>

#include <limits>

#include "platform/stream.h"
#include "tests/support/test_support.h"

using namespace lunaro::platform;
using lunaro::testkit::ReadFile;
using lunaro::testkit::TempDir;
using lunaro::testkit::WriteFile;

TEST(MemoryStream, WritesPastTheEndExtendAndSeeksClampAtZero) {
    TMemoryStream s;
    s.Seek(4, TSeekOrigin::soBeginning);
    s.WriteBuffer("ab", 2);
    EXPECT_EQ(s.Size(), 6);
    EXPECT_EQ(s.ToString(), std::string("\0\0\0\0ab", 6));
    EXPECT_EQ(s.Seek(-100, TSeekOrigin::soCurrent), 0);
    EXPECT_EQ(s.Seek(-1, TSeekOrigin::soEnd), 5);
    char c = 0;
    EXPECT_EQ(s.Read(&c, 10), 1);
    EXPECT_EQ(c, 'b');
    EXPECT_EQ(s.Read(&c, 10), 0);
    EXPECT_THROW(s.ReadBuffer(&c, 1), EStreamError);
}

TEST(MemoryStream, ShrinkingMovesThePositionBack) {
    TMemoryStream s;
    s.WriteBuffer("hello", 5);
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    EXPECT_EQ(s.ToString(), "he");
}

TEST(MemoryStream, ExtremeSeeksAndSizesGiveStreamErrors) {
    TMemoryStream s;
    s.WriteBuffer("abc", 3);
    EXPECT_EQ(s.Seek(std::numeric_limits<int64_t>::max(), TSeekOrigin::soEnd), std::numeric_limits<int64_t>::max());
    EXPECT_THROW(s.WriteBuffer("x", 1), EStreamError);
    s.SetPosition(std::numeric_limits<int64_t>::max() / 2);
    EXPECT_THROW(s.WriteBuffer("x", 1), EStreamError);
    EXPECT_THROW(s.SetSize(std::numeric_limits<int64_t>::max()), EStreamError);
    EXPECT_EQ(s.ToString(), "abc");
}

TEST(FileStream, ExclusiveOpenRefusesASecondOpenerAndCreateDoesNotTruncateALockedFile) {
    TempDir dir;
    const std::string path = dir.File("banco.zip.part");
    {
        TFileStream first(path, fmCreate | fmShareExclusive);
        first.WriteBuffer("partial", 7);
        EXPECT_THROW(TFileStream(path, fmOpenReadWrite | fmShareExclusive), EFOpenError);
        EXPECT_THROW(TFileStream(path, fmCreate | fmShareExclusive), EFOpenError);
        EXPECT_THROW(TFileStream(path, fmOpenRead | fmShareDenyWrite), EFOpenError);
        EXPECT_EQ(ReadFile(path), "partial");
    }
    TFileStream again(path, fmOpenReadWrite | fmShareExclusive);
    again.Seek(0, TSeekOrigin::soEnd);
    again.WriteBuffer("+more", 5);
    EXPECT_EQ(again.Size(), 12);
}

TEST(FileStream, ReadersSharingDenyWriteCoexist) {
    TempDir dir;
    WriteFile(dir.File("f"), "data");
    TFileStream a(dir.File("f"), fmOpenRead | fmShareDenyWrite);
    TFileStream b(dir.File("f"), fmOpenRead | fmShareDenyWrite);
    EXPECT_THROW(TFileStream(dir.File("f"), fmOpenReadWrite | fmShareExclusive), EFOpenError);
    TMemoryStream m;
    m.LoadFromFile(dir.File("f"));
    EXPECT_EQ(m.ToString(), "data");
}

TEST(FileStream, FoldersAndMissingFilesAreRefusedWithTheirCause) {
    TempDir dir;
    try {
        TFileStream s(dir.Path(), fmOpenRead);
        FAIL() << "a folder was opened as a file";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.ErrorCode(), EISDIR);
    }
    try {
        TFileStream s(dir.File("missing"), fmOpenRead);
        FAIL() << "a missing file was opened";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.ErrorCode(), ENOENT);
        EXPECT_NE(e.Message().find("Cannot open file"), std::string::npos);
    }
}

TEST(FileStream, ReadFailuresAreErrorsNotTheEndOfTheFile) {
    TempDir dir;
    WriteFile(dir.File("f"), "x");
    TFileStream s(dir.File("f"), fmOpenWrite);
    char c = 0;
    EXPECT_THROW(s.Read(&c, 1), EStreamError);
}

TEST(FileStream, PositionsAndSizesAre64Bit) {
    TempDir dir;
    TFileStream s(dir.File("sparse"), fmCreate);
    const int64_t far = int64_t{5} << 30;
    s.SetSize(far + 1);
    EXPECT_EQ(s.Size(), far + 1);
    EXPECT_EQ(s.Seek(far, TSeekOrigin::soBeginning), far);
    s.WriteBuffer("z", 1);
    s.SetSize(10);
    EXPECT_EQ(s.Position(), 10);
}
