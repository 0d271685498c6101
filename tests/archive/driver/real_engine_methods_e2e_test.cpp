// The real engine through the driver: every compression method and both
// kinds of encryption, on archives made by the archivers people use, and
// an entry extracted into a caller's stream.
#include <gtest/gtest.h>

#include "platform/stream.h"
#include "tests/archive/driver/real_engine_fixture.h"

namespace lunaro::archive::testkit {
namespace {

using lunaro::testkit::FindProgram;

// Text-like content, long enough to cross the engine's buffers several times.
std::string SampleText() {
    std::string text;
    for (int i = 0; text.size() < 700 * 1024; ++i) text += "line " + std::to_string(i * 7919 % 100003) + " of the sample\n";
    return text;
}

class RealEngineMethods : public RealEngineTest {
protected:
    void SetUp() override { WriteFile(work.File("sample.txt"), SampleText()); }

    // A zip entry whose data some command-line compressor made from sample.txt.
    ZipEntrySpec CompressedBy(const std::string& command, const std::string& name, uint16_t method) {
        EXPECT_TRUE(Shell(command + " < sample.txt > packed.bin")) << command;
        ZipEntrySpec entry = EntrySpec(name, ReadFile(work.File("packed.bin")));
        entry.method = method;
        entry.versionNeeded = 63;
        const std::string sample = SampleText();
        entry.crc = lunaro::testkit::Crc32(sample);
        entry.uncompressedSize = static_cast<uint32_t>(sample.size());
        return entry;
    }

    // Right password: the file. Wrong one: the entry is skipped as a password
    // failure and the file already there stays as it was, with nothing else left.
    void CheckPasswords(const std::string& zip, const std::string& entry) {
        SCOPED_TRACE(zip);
        EXPECT_EQ(Extract(work.File(zip), kKeepAndOverwrite, "secret"), 1);
        EXPECT_EQ(ReadFile(OutFile(entry)), SampleText());
        WriteFile(OutFile(entry), "the user's own");
        EXPECT_EQ(Extract(work.File(zip), kKeepAndOverwrite, "wrong"), 0);
        EXPECT_TRUE(WasSkipped(entry, TZKSkipTypes::stBadPassword));
        EXPECT_EQ(ReadFile(OutFile(entry)), "the user's own");
        EXPECT_EQ(OutContents(), (std::set<std::string>{entry}));
        std::filesystem::remove(OutFile(entry));
        skipped.clear();
    }
};

TEST_F(RealEngineMethods, EveryMethodComesOutAsWritten) {
    LUNARO_REQUIRE_PEER(!FindProgram("python3").empty() && !FindProgram("7z").empty() && !FindProgram("zstd").empty() &&
                            !FindProgram("xz").empty(),
                        "python3, 7z (p7zip-full), zstd and xz");
    ASSERT_TRUE(Shell("python3 -c \"import zipfile\n"
                      "data = open('sample.txt', 'rb').read()\n"
                      "with zipfile.ZipFile('methods.zip', 'w') as z:\n"
                      "    for name, method in (('stored.txt', zipfile.ZIP_STORED), ('deflate.txt', zipfile.ZIP_DEFLATED),\n"
                      "                         ('bzip2.txt', zipfile.ZIP_BZIP2), ('lzma.txt', zipfile.ZIP_LZMA)):\n"
                      "        z.writestr(name, data, method)\n\""));
    ASSERT_TRUE(Shell("cp sample.txt deflate64.txt && 7z a -tzip -mm=Deflate64 d64.zip deflate64.txt"));
    ZipBuilder modern;
    modern.Add(CompressedBy("zstd -q -c", "zstd.txt", 93)).Add(CompressedBy("xz -q -c", "xz.txt", 95));
    WriteFile(work.File("modern.zip"), modern.Build());

    EXPECT_EQ(Extract(work.File("methods.zip"), kKeepAndOverwrite), 4);
    EXPECT_EQ(Extract(work.File("d64.zip"), kKeepAndOverwrite), 1);
    EXPECT_EQ(Extract(work.File("modern.zip"), kKeepAndOverwrite), 2);
    const std::string sample = SampleText();
    for (const char* name : {"stored.txt", "deflate.txt", "bzip2.txt", "lzma.txt", "deflate64.txt", "zstd.txt", "xz.txt"})
        EXPECT_TRUE(ReadFile(OutFile(name)) == sample) << name;
    for (const auto& [name, type] : skipped) ADD_FAILURE() << name << " skipped, type " << static_cast<int>(type);
    EXPECT_TRUE(crcErrors.empty());
}

TEST_F(RealEngineMethods, UnknownMethodIsSkippedAndTheRestExtracted) {
    ZipBuilder zip;
    ZipEntrySpec odd = EntrySpec("odd.bin", "whatever");
    odd.method = 77;
    zip.Add(odd).AddFile("plain.txt", "plain");
    WriteFile(work.File("odd.zip"), zip.Build());
    EXPECT_EQ(Extract(work.File("odd.zip"), kKeepAndOverwrite), 1);
    EXPECT_TRUE(WasSkipped("odd.bin", TZKSkipTypes::stCompressionUnknown));
    EXPECT_EQ(OutContents(), (std::set<std::string>{"plain.txt"}));
}

TEST_F(RealEngineMethods, BothEncryptionsWithRightAndWrongPassword) {
    LUNARO_REQUIRE_PEER(!FindProgram("zip").empty() && !FindProgram("7z").empty(), "zip and 7z (p7zip-full)");
    ASSERT_TRUE(Shell("cp sample.txt zc.txt && zip -q -P secret zc.zip zc.txt"));
    ASSERT_TRUE(Shell("cp sample.txt aes.txt && 7z a -tzip -mem=AES256 -psecret aes.zip aes.txt"));
    ASSERT_TRUE(Shell("cp sample.txt aes128.txt && 7z a -tzip -mem=AES128 -mm=BZip2 -psecret aes128.zip aes128.txt"));
    CheckPasswords("zc.zip", "zc.txt");
    CheckPasswords("aes.zip", "aes.txt");
    CheckPasswords("aes128.zip", "aes128.txt");
}

TEST_F(RealEngineMethods, EntryGoesToTheCallersStreamAndNowhereElse) {
    ZipBuilder zip;
    zip.AddFile("first.txt", "not wanted").AddFile("dir/inner.txt", SampleText());
    WriteFile(work.File("s.zip"), zip.Build());
    platform::TMemoryStream stream;
    opr.Pipes.push_back({&stream, "dir\\inner.txt", {}});
    EXPECT_EQ(Extract(work.File("s.zip"), kKeepAndOverwrite), 1);
    EXPECT_EQ(stream.ToString(), SampleText());
    EXPECT_TRUE(OutContents().empty());
}

}  // namespace
}  // namespace lunaro::archive::testkit
