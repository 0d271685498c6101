// Central headers as entries: short reads and their errors, directory-only
// entries, Zip64 fields, name encodings and the local-header check.
#include "archive/reader/irec.h"

#include "archive/messages/message_ids.h"
#include "archive/directory/name_hash.h"
#include "tests/archive/reader_fixture.h"

namespace lunaro::archive {
namespace {

using lunaro::testkit::Crc32;
using lunaro::testkit::UnicodeBlock;
using lunaro::testkit::Zip64Block;
using lunaro::testkit::ZipBuilder;
using lunaro::testkit::ZipEntrySpec;
using reader_testing::ReaderTest;

class CentralEntryTest : public ReaderTest {
protected:
    // Loads an archive of the given entries; the open result goes to result.
    std::unique_ptr<TZKZipFile> Load(const std::vector<ZipEntrySpec>& entries, int& result) {
        ZipBuilder b;
        for (const ZipEntrySpec& e : entries) b.Add(e);
        return OpenZip(Write("e" + std::to_string(++files_) + ".zip", b.Build()), result);
    }

    // The name one entry decodes to.
    std::string NameOf(const ZipEntrySpec& entry) {
        int result = 0;
        auto zip = Load({entry}, result);
        EXPECT_EQ(result, 0);
        return zip->Count() == 1 ? zip->Items(0)->FileName() : "<none>";
    }

    // The identifier a directory fails to load with when only `available`
    // bytes of it are left before the end record, which is read on.
    int CutHeaderError(const ZipEntrySpec& entry, size_t available) {
        const size_t keep = available - 22;
        ZipBuilder b;
        b.Add(entry);
        const std::string whole = b.Build();
        const auto central = static_cast<size_t>(b.CentralStart());
        // The end record still describes the full directory.
        const std::string cut = whole.substr(0, central + keep) + whole.substr(whole.size() - 22);
        int result = 0;
        OpenZip(Write("cut" + std::to_string(++files_) + ".zip", cut), result);
        return -result;
    }

    int files_ = 0;
};

TEST_F(CentralEntryTest, ShortReadsNameTheMissingPart) {
    ZipEntrySpec e = Entry("name.txt", "data");
    e.extra = lunaro::testkit::ExtraBlock(0x5455, "12345");
    e.comment = "a comment";
    EXPECT_EQ(CutHeaderError(e, 40), msg::CentralHeaderReadError);
    EXPECT_EQ(CutHeaderError(e, 46 + 3), msg::CentralNameReadError);
    EXPECT_EQ(CutHeaderError(e, 46 + 8 + 4), msg::ArchiveSeekError);
    EXPECT_EQ(CutHeaderError(e, 46 + 8 + 9 + 2), msg::FileCommentReadError);
}

TEST_F(CentralEntryTest, WrongSignatureIsReported) {
    ZipBuilder b;
    b.AddFile("a.txt", "x");
    std::string bytes = b.Build();
    bytes[static_cast<size_t>(b.CentralStart()) + 1] = 'Q';
    int result = 0;
    OpenZip(Write("sig.zip", bytes), result);
    EXPECT_EQ(result, -msg::CentralHeaderSignatureWrong);
}

TEST_F(CentralEntryTest, FieldsAsStoredAndDirectoryEntries) {
    ZipEntrySpec file = Entry("docs/readme.txt", "hello");
    file.method = 8;
    file.flag = 1;
    file.crc = 0xDEADBEEF;  // never checked
    file.externalAttributes = 0x20;
    int result = 0;
    auto zip = Load({file, Entry("dir/sub/"), Entry("")}, result);
    ASSERT_EQ(result, 0);
    ASSERT_EQ(zip->Count(), 3);
    TZKIRec& rec = *zip->Items(0);
    EXPECT_EQ(rec.FileName(), "docs\\readme.txt");
    EXPECT_EQ(rec.HeaderName(), "docs/readme.txt");
    EXPECT_EQ(rec.CRC32(), 0xDEADBEEFu);
    EXPECT_EQ(rec.CompressionMethod(), 8);
    EXPECT_TRUE(rec.Encrypted());
    EXPECT_EQ(rec.UncompressedSize(), 5);
    EXPECT_EQ(rec.ExtFileAttrib(), 0x20u);
    EXPECT_FALSE(rec.IsDirOnly());
    EXPECT_TRUE(zip->Items(1)->IsDirOnly());
    EXPECT_EQ(zip->Items(1)->FileName(), "dir\\sub\\");
    EXPECT_FALSE(zip->Items(2)->IsDirOnly());  // an empty name is no folder
    EXPECT_EQ(rec.GetHash(), NameHash("docs\\readme.txt"));
}

TEST_F(CentralEntryTest, Zip64FieldOnlyFromVersion45) {
    ZipEntrySpec big = Entry("big.bin");
    big.compressedSize = big.uncompressedSize = 0xFFFFFFFF;
    big.extra = Zip64Block({5000000000ULL});  // room for one of the two sizes
    big.versionNeeded = 45;
    int result = 0;
    Load({big}, result);
    EXPECT_EQ(result, -msg::Zip64FieldReadError);

    big.versionNeeded = 20;
    auto zip = Load({big}, result);
    ASSERT_EQ(zip->Count(), 1);
    EXPECT_EQ(zip->Items(0)->UncompressedSize(), 0xFFFFFFFF);

    big.versionNeeded = 45;
    big.extra = Zip64Block({5000000000ULL, 4000000000ULL});
    zip = Load({big}, result);
    ASSERT_EQ(zip->Count(), 1);
    EXPECT_EQ(zip->Items(0)->UncompressedSize(), 5000000000LL);
    EXPECT_EQ(zip->Items(0)->CompressedSize(), 4000000000LL);
    EXPECT_TRUE(zip->Z64());
}

TEST_F(CentralEntryTest, NameEncodings) {
    ZipEntrySpec utf8 = Entry("caf\xC3\xA9.txt");
    utf8.flag = 0x0800;
    EXPECT_EQ(NameOf(utf8), "caf\xC3\xA9.txt");
    utf8.flag = 0;  // host 0: the OEM code page, two characters
    EXPECT_EQ(NameOf(utf8), "caf\xE2\x94\x9C\xC2\xAE.txt");
    ZipEntrySpec unix = utf8;
    unix.versionMadeBy = 0x031E;  // another host: the configured (ANSI) code page
    EXPECT_EQ(NameOf(unix), "caf\xC3\x83\xC2\xA9.txt");

    const std::string stored = "plain.txt";
    const std::string text = "pl\xC3\xA4in.txt";
    ZipEntrySpec path = Entry(stored);
    path.extra = UnicodeBlock(0x7075, 1, Crc32(stored), text);
    EXPECT_EQ(NameOf(path), text);
    path.extra = UnicodeBlock(0x7075, 1, Crc32(stored) + 1, text);
    EXPECT_EQ(NameOf(path), stored);
    path.extra = UnicodeBlock(0x7075, 2, Crc32(stored), text);
    EXPECT_EQ(NameOf(path), stored);
}

TEST_F(CentralEntryTest, EncodedIsCachedAndSettingsOverrideIt) {
    ZipEntrySpec e = Entry("x.txt");
    e.comment = "note";
    e.extra = UnicodeBlock(0x6375, 1, Crc32("note"), "n\xC3\xB6te");
    int result = 0;
    auto zip = Load({e}, result);
    TZKIRec& rec = *zip->Items(0);
    EXPECT_EQ(rec.Encoded(), TZKEncodingOpts::zeoUPath);
    EXPECT_EQ(rec.IsEncoded(), TZKEncodingOpts::zeoUPath);
    EXPECT_EQ(rec.StatusBits() & zsbEncMask, 4u << zsbEncShift);
    EXPECT_EQ(rec.FileComment(), "n\xC3\xB6te");
    EXPECT_EQ(rec.FileName(), "x.txt");  // no Unicode Path: the stored bytes

    zip->SetEncoding(TZKEncodingOpts::zeoOEM);
    EXPECT_EQ(rec.FileComment(), "note");
    EXPECT_EQ(rec.StatusBits() & zsbEncMask, 0u);  // forgotten with the name
}

TEST_F(CentralEntryTest, LocalHeaderCheck) {
    ZipBuilder b;
    ZipEntrySpec other = Entry("b.txt", "bravo");
    other.localName = "B.txt";
    b.AddFile("a.txt", "alpha").Add(other);
    int result = 0;
    auto zip = OpenZip(Write("local.zip", b.Build()), result);
    ASSERT_EQ(zip->Count(), 2);
    zip->File_Close();
    EXPECT_EQ(zip->Items(0)->SeekLocalData(), -msg::ZipFileNotOpened);
    ASSERT_TRUE(zip->File_Open(kOpenReadShared));
    EXPECT_EQ(zip->Items(0)->SeekLocalData(), 0);
    char data[5];
    EXPECT_EQ(zip->Read(data, 5), 5);
    EXPECT_EQ(std::string(data, 5), "alpha");
    EXPECT_EQ(zip->Items(1)->SeekLocalData(), -msg::LocalCentralNamesDiffer);
}

}  // namespace
}  // namespace lunaro::archive
