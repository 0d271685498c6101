// The public directory list and loading an archive by name.
#include "archive/directory/cen_dir.h"

#include "archive/messages/message_ids.h"
#include "tests/archive/reader_fixture.h"

namespace lunaro::archive {
namespace {

using lunaro::testkit::ZipBuilder;
using reader_testing::ReaderTest;

class CentralDirTest : public ReaderTest {
protected:
    CentralDirTest() {
        list.OnDirUpdate = [this] { ++dirUpdates; };
        list.OnNewName = [this](int position) { newNames.push_back(position); };
    }

    std::string FoldersAndFiles() {
        ZipBuilder b;
        b.AddFile("a/", "").AddFile("a/one.txt", "1").AddFile("a/b/", "").AddFile("a/b/two.txt", "22").AddFile(
            "three.txt", "333");
        return Write("tree.zip", b.Build());
    }

    TZKCenDir& list = core.CentralDir();
    int dirUpdates = 0;
    std::vector<int> newNames;
};

TEST_F(CentralDirTest, MissingFileIsRecordedSilently) {
    EXPECT_EQ(core.LoadZip(dir.File("nothing.zip"), false), -msg::InputFileMissing);
    EXPECT_EQ(core.ErrCode(), msg::InputFileMissing);
    EXPECT_EQ(core.ErrMessage(), "Input file does not exist");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(ui->shown.empty());
    EXPECT_GE(dirUpdates, 1);
}

TEST_F(CentralDirTest, FileThatIsNoArchiveIsShown) {
    EXPECT_EQ(core.LoadZip(Write("text.zip", std::string(100, 't')), false), -msg::NotAZipArchive);
    EXPECT_EQ(core.ErrCode(), msg::NotAZipArchive);
    EXPECT_EQ(list.Count(), 0);
    ASSERT_EQ(ui->shown.size(), 1u);
    EXPECT_NE(ui->shown[0].dialog.text.find("This archive is not a valid Zip archive"), std::string::npos);
}

TEST_F(CentralDirTest, LoadFillsTheListAndClosesTheFile) {
    ZipBuilder b;
    b.AddFile("x.txt", "x").End([] {
        lunaro::testkit::EndRecordSpec end;
        end.comment = "the comment";
        return end;
    }());
    EXPECT_EQ(core.LoadZip(Write("c.zip", b.Build()), false), 0);
    EXPECT_EQ(core.ErrCode(), 0);
    EXPECT_EQ(core.ZipComment(), "the comment");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0)->FileName(), "x.txt");
    EXPECT_EQ(list.Items(0)->CRC32(), lunaro::testkit::Crc32("x"));
    EXPECT_EQ(list.Items(1), nullptr);
    EXPECT_FALSE(list.CurrentIfAny()->IsOpen());
    EXPECT_EQ(newNames, std::vector<int>{0});
    EXPECT_EQ(list.ZipComment(), "the comment");

    // A failed load drops the old comment with the old directory.
    core.LoadZip(dir.File("absent.zip"), true);
    EXPECT_EQ(core.ZipComment(), "");
}

TEST_F(CentralDirTest, IgnoringFolderEntries) {
    master.Settings.UseDirOnlyEntries = false;
    Restart();
    list.SetIgnoreDirOnly(true);
    ASSERT_EQ(core.LoadZip(FoldersAndFiles(), false), 0);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.DirOnlyCount(), 2);
    EXPECT_EQ(list.Items(0)->FileName(), "a\\one.txt");
    EXPECT_EQ(list.Items(2)->FileName(), "three.txt");

    const int updates = dirUpdates;
    list.SetIgnoreDirOnly(false);  // remapped without a reload
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(list.DirOnlyCount(), 0);
    EXPECT_EQ(list.Items(2)->FileName(), "a\\b\\");
    EXPECT_EQ(dirUpdates, updates);
}

TEST_F(CentralDirTest, ItemsTakenBeforeAReloadGoStale) {
    ASSERT_EQ(core.LoadZip(FoldersAndFiles(), false), 0);
    TZKCentralEntry* item = list.Items(4);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->UncompressedSize(), 3);
    ASSERT_EQ(core.LoadZip(Write("small.zip", ZipBuilder().AddFile("z", "").Build()), false), 0);
    EXPECT_EQ(list.Count(), 1);
    // The object may live on, but it refers to nothing.
    EXPECT_EQ(item->Rec(), nullptr);

    TZKCentralEntry* kept = list.Items(0);
    core.LoadZip("", false);
    EXPECT_EQ(kept->FileName(), "");
    EXPECT_EQ(kept->UncompressedSize(), 0);
    EXPECT_EQ(kept->Encoded(), TZKEncodingOpts::zeoOEM);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(CentralDirTest, FalseCountOfAPartedDirectoryCostsNoMemory) {
    // The second part of two (found as the same file) holds a directory
    // said to have two thousand million entries.
    lunaro::testkit::Zip64Spec z;
    z.totalEntries = z.entriesOnDisk = 0x7FFFFFFF;
    z.centralDisk = 1;
    z.locatorRecordDisk = 1;
    z.locatorTotalDisks = 2;
    lunaro::testkit::EndRecordSpec end;
    end.diskNumber = 1;
    end.entriesOnDisk = end.totalEntries = end.centralDisk = 0xFFFF;
    ZipBuilder b;
    b.AddFile("x.txt", "x").Zip64(z).End(end);
    const std::string path = Write("parts.zip", b.Build());
    EXPECT_EQ(core.LoadZip(path, false), -msg::CentralHeaderSignatureWrong);
    EXPECT_EQ(list.Count(), 1);

    // A directory said to start on a part after the last one.
    z.centralDisk = 5;
    EXPECT_EQ(core.LoadZip(Write("after.zip", ZipBuilder().Zip64(z).End(end).Build()), false), -msg::ArchiveSeekError);
}

TEST_F(CentralDirTest, AdoptingArchiveObjects) {
    auto zip = std::make_unique<TZKZipFile>(core);
    zip->SetFileName(FoldersAndFiles());
    ASSERT_EQ(zip->Open(false, false), 0);
    TZKZipFile* raw = zip.get();
    list.SetCurrent(std::move(zip));
    EXPECT_EQ(list.Count(), 5);
    EXPECT_EQ(dirUpdates, 1);

    std::unique_ptr<TZKZipFile> same(raw);
    list.SetCurrent(std::move(same));  // already current: nothing happens
    EXPECT_EQ(dirUpdates, 1);
    EXPECT_EQ(list.Current(), raw);

    raw->Invalidate();
    EXPECT_NE(list.Current(), raw);  // replaced by a fresh, empty one
    EXPECT_EQ(list.Count(), 0);

    auto released = list.ReleaseZip();
    EXPECT_EQ(list.CurrentIfAny(), nullptr);
    EXPECT_EQ(list.EOCOffset(), 0);
}

}  // namespace
}  // namespace lunaro::archive
