// Opening and loading whole directories: stubs, warnings, damaged
// directories, lookup, selection and the identity checks.
#include "archive/reader/zip_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>

#include "archive/messages/message_ids.h"
#include "tests/archive/reader_fixture.h"

namespace lunaro::archive {
namespace {

using lunaro::testkit::EndRecordSpec;
using lunaro::testkit::ZipBuilder;
using reader_testing::ReaderTest;

class ZipFileTest : public ReaderTest {
protected:
    static ZipBuilder Sample() {
        ZipBuilder b;
        b.AddFile("readme", "no extension")
            .AddFile("docs/readme.txt", "nested")
            .AddFile("Guide.TXT", "upper")
            .AddFile("docs/", "")
            .AddFile("a.b.c", "dots");
        return b;
    }

    std::unique_ptr<TZKZipFile> LoadSample() {
        int result = 0;
        auto zip = OpenZip(Write("sample.zip", Sample().Build()), result);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(zip->Count(), 5);
        return zip;
    }

    std::vector<std::string> SelectedNames(TZKZipFile& zip) {
        std::vector<std::string> names;
        for (int i = zip.NextSelected(-1); i != kNoIndex; i = zip.NextSelected(i))
            names.push_back(zip.Items(i)->FileName());
        return names;
    }

    const std::string stub_ = "MZ" + std::string(4998, '\x90');
};

TEST_F(ZipFileTest, StubWithAdjustedOffsets) {
    int result = 0;
    auto zip = OpenZip(Write("sfx.exe", Sample().Prefix(stub_, true).Build()), result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(core.ErrCode(), 0);  // no warning
    EXPECT_EQ(zip->SFXOfs(), 5000);
    ASSERT_NE(zip->Stub(), nullptr);
    EXPECT_EQ(zip->Stub()->ToString(), stub_);
    EXPECT_EQ(zip->Sig(), TZipFileSigs::zfsDOS);
}

TEST_F(ZipFileTest, StubPrependedWithoutAdjustingOffsets) {
    int result = 0;
    auto zip = OpenZip(Write("sfx.exe", Sample().Prefix(stub_, false).Build()), result);
    EXPECT_EQ(result, 0);  // the load finds the shift, not the end-record step
    EXPECT_EQ(core.ErrCode(), msg::ZipStructureWarning);
    EXPECT_TRUE(ui->shown.empty());  // warnings never raise a box
    EXPECT_EQ(zip->Count(), 5);
    EXPECT_EQ(zip->SFXOfs(), 0);
    EXPECT_EQ(zip->CentralOffset(), static_cast<int64_t>(Sample().Prefix(stub_, false).CentralStart()));
    EXPECT_EQ(zip->Items(1)->FileName(), "docs\\readme.txt");
}

TEST_F(ZipFileTest, EmptyArchiveAndCommentWarning) {
    int result = 0;
    auto zip = OpenZip(Write("empty.zip", ZipBuilder().Build()), result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(zip->Count(), 0);
    EXPECT_EQ(zip->SFXOfs(), 0);
    EXPECT_EQ(core.ErrCode(), 0);

    zip = OpenZip(Write("trailing.zip", Sample().Trailer("0123456789").Build()), result);
    EXPECT_EQ(result, kEocCommentAnomaly);
    EXPECT_EQ(core.ErrCode(), msg::FileCommentReadError);
    EXPECT_EQ(zip->Count(), 5);
}

TEST_F(ZipFileTest, TruncatedLastHeaderFailsTheLoad) {
    const std::string whole = Sample().Build();
    // The last header (46 bytes and "a.b.c") loses 40 bytes: what is left of
    // it and the end record are too short for a header.
    const std::string cut = whole.substr(0, whole.size() - 22 - 40) + whole.substr(whole.size() - 22);
    TZKZipFile zip(core);
    zip.SetFileName(Write("cut.zip", cut));
    EXPECT_EQ(zip.Open(false, false), -msg::CentralHeaderReadError);
    EXPECT_EQ(zip.FileName(), "");
    EXPECT_FALSE(zip.IsOpen());
    EXPECT_EQ(zip.SFXOfs(), 0);
    EXPECT_EQ(zip.Count(), 4);  // what was read stays until the next load
}

TEST_F(ZipFileTest, ImpossibleEntryCountFailsBeforeReserving) {
    EndRecordSpec end;
    end.totalEntries = end.entriesOnDisk = 0xFFFF;
    int notified = -1;
    TZKZipFile zip(core);
    zip.OnChange = [&](TZKZipFile*, int idx, TZCChanges change) {
        if (change == TZCChanges::zccCount) notified = idx;
    };
    zip.SetFileName(Write("many.zip", Sample().End(end).Build()));
    EXPECT_EQ(zip.Open(false, false), -msg::CentralHeaderReadError);
    EXPECT_EQ(notified, -1);
}

TEST_F(ZipFileTest, IndexAccessAndStaleness) {
    auto zip = LoadSample();
    const uint32_t check = zip->CheckNo();
    EXPECT_NE(zip->Entry(check, 4), nullptr);
    EXPECT_EQ(zip->Entry(check, 5), nullptr);
    EXPECT_EQ(zip->Entry(check + 1, 0), nullptr);
    EXPECT_EQ(zip->Next(3), 4);
    EXPECT_EQ(zip->Next(4), kNoIndex);
    EXPECT_EQ(zip->Next(-2), kNoIndex);

    int result = 0;
    zip->SetFileName(dir.File("sample.zip"));
    ASSERT_TRUE(zip->File_Open(kOpenReadShared));
    result = zip->Open(false, false);  // a reload draws a new number
    EXPECT_EQ(result, 0);
    EXPECT_EQ(zip->Entry(check, 0), nullptr);
    EXPECT_NE(zip->Entry(zip->CheckNo(), 0), nullptr);
}

TEST_F(ZipFileTest, SelectionPatterns) {
    auto zip = LoadSample();
    EXPECT_EQ(zip->Select("*.*", TZipSelects::zzsSet), 5);
    EXPECT_EQ(zip->SelCount(), 5);
    zip->ClearSelection();
    EXPECT_EQ(zip->Select("readme.txt", TZipSelects::zzsSet), 0);
    EXPECT_EQ(zip->Select("*readme.txt", TZipSelects::zzsSet), 1);
    EXPECT_EQ(SelectedNames(*zip), std::vector<std::string>{"docs\\readme.txt"});
    EXPECT_EQ(zip->Select("*.txt", TZipSelects::zzsToggle), 2);
    EXPECT_EQ(SelectedNames(*zip), std::vector<std::string>{"Guide.TXT"});
    EXPECT_EQ(zip->SelCount(), 1);

    // Folder entries are skipped by the walk when asked to.
    zip->SetIgnoreDirOnly(false);
    zip->ClearSelection();
    zip->Select("docs*", TZipSelects::zzsSet);
    EXPECT_EQ(SelectedNames(*zip).size(), 2u);
    zip->SetIgnoreDirOnly(true);
    EXPECT_EQ(SelectedNames(*zip), std::vector<std::string>{"docs\\readme.txt"});

    std::vector<std::string> skipped;
    EXPECT_EQ(zip->SelectFiles({"*.txt", "nothing.here", "readme"}, {"docs\\*"}, skipped), 2);
    EXPECT_EQ(skipped, std::vector<std::string>{"nothing.here"});
}

TEST_F(ZipFileTest, NamesDifferingOnlyInCase) {
    ZipBuilder b;
    b.AddFile("Read.me", "1").AddFile("READ.ME", "2").AddFile("other", "3").AddFile("other", "4");
    int result = 0;
    auto zip = OpenZip(Write("case.zip", b.Build()), result);
    ASSERT_EQ(zip->Count(), 4);  // all listed, duplicates too

    // The index hashes names case-sensitively: names that differ in case are
    // separate entries of it; a repeated name is reported and the first kept.
    TZKDirHashList list(zip->Entries());
    EXPECT_EQ(zip->HashContents(list, -1), 1);
    EXPECT_EQ(list.Find("Read.me"), 0);
    EXPECT_EQ(list.Find("READ.ME"), 1);
    EXPECT_EQ(list.Find("read.me"), -1);
    EXPECT_EQ(list.Find("other"), 2);
    EXPECT_EQ(zip->HasDupName(zip->Items(3)), 2);

    // Plain-name lookups that must find any letter case go by matching.
    int idx = -1;
    EXPECT_EQ(zip->FindNameEx("read.me", idx, false), nullptr);
    idx = -1;
    EXPECT_EQ(zip->FindName("read.me", idx), zip->Items(0));
    EXPECT_EQ(zip->FindName("read.me", idx), zip->Items(1));
    EXPECT_EQ(zip->FindName("read.me", idx), nullptr);
    EXPECT_EQ(idx, kNoIndex);
    idx = -1;
    EXPECT_EQ(zip->FindName("read.me", idx, zip->Items(0)), zip->Items(1));
    EXPECT_FALSE(zip->Items(0)->TestStatusBit(zsbIgnore));
}

TEST_F(ZipFileTest, IdentityChecks) {
    auto zip = LoadSample();
    EXPECT_EQ(zip->VerifyOpen(), 0);
    EXPECT_EQ(zip->Reopen(kOpenReadShared), 0);
    zip->File_Close();
    struct timespec times[2] = {{1000000, 0}, {1000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, dir.File("sample.zip").c_str(), times, 0), 0);
    EXPECT_EQ(zip->Reopen(kOpenReadShared), -msg::ZipFileChanged);
    EXPECT_EQ(zip->VerifyOpen(), -msg::FileChanged);
    zip->File_Close();
    std::remove(dir.File("sample.zip").c_str());
    EXPECT_EQ(zip->VerifyOpen(), -msg::ZipFileNotOpened);

    EXPECT_FALSE(zip->IsInvalid());
    zip->Invalidate();
    EXPECT_TRUE(zip->IsInvalid());
}

}  // namespace
}  // namespace lunaro::archive
