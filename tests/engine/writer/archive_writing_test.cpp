// Archives written through the real engine, read back by three outside
// readers: a tree with every kind of entry, encryption, and Zip64 counts.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "tests/engine/exec/write_caller.h"

namespace lunaro::testkit {
namespace {

// Compressible but not trivial: words drawn at random.
std::string Text(size_t size, unsigned seed) {
    static const char* words[] = {"alpha ", "beta ", "gamma ", "delta ", "lunaro ", "caixa ", "venda ", "\n"};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < size) text += words[random() % 8];
    text.resize(size);
    return text;
}

class ArchiveWriting : public ::testing::Test {
protected:
    void SetUp() override {
        LUNARO_REQUIRE_PEER(!FindProgram("unzip").empty() && !FindProgram("bsdtar").empty(), "unzip, bsdtar");
        namespace fs = std::filesystem;
        fs::create_directories(work.File("tree/docs/empty"));
        fs::create_directories(work.File("tree/.cache"));
        WriteFile(work.File("tree/small.txt"), "small");
        WriteFile(work.File("tree/empty.txt"), "");
        WriteFile(work.File("tree/docs/big.log"), Text(9 << 20, 1));  // several pieces
        WriteFile(work.File("tree/docs/relatório.txt"), "acentuado");
        WriteFile(work.File("tree/image.png"), Text(5000, 2));
        WriteFile(work.File("tree/.cache/hidden"), "hidden");
        ::chmod(work.File("tree/small.txt").c_str(), 0600);
        caller.Archive = work.File("out.zip");
        caller.Root = work.File("tree");
        caller.Specs = {"*"};
        caller.StoreList = ".gif:.png:";
        caller.Command.fOptions |= ZE_OPT_RECURSE;
    }
    TempDir work;
    TWriteCaller caller;
};

TEST_F(ArchiveWriting, TreeWithEveryKindOfEntryReadsBackEverywhere) {
    caller.Specs = {"*", "0:data/report.txt"};
    caller.Streams[0] = "from a stream";
    caller.Comment = "made by a test";
    EXPECT_EQ(caller.Run(), 8);
    ExpectReadersAccept(caller.Archive);
    EXPECT_EQ(PythonSays(caller.Archive,
                         "print(sorted((i.filename, i.compress_type, i.flag_bits & 0x800, i.external_attr >> 16) "
                         "for i in z.infolist())); print(z.comment)"),
              "[('data/report.txt', 0, 0, 33188), ('docs/', 0, 0, 16877), ('docs/big.log', 8, 0, 33188), "
              "('docs/empty/', 0, 0, 16877), ('docs/relatório.txt', 0, 2048, 33188), ('empty.txt', 0, 0, 33188), "
              "('image.png', 0, 0, 33188), ('small.txt', 0, 0, 33152)]\nb'made by a test'\n");
    EXPECT_EQ(PythonSays(caller.Archive, "sys.stdout.buffer.write(z.read('docs/big.log'))"), Text(9 << 20, 1));
    EXPECT_LT(std::filesystem::file_size(caller.Archive), (9u << 20) / 3);
    // Every file reported as an item, on the caller's thread, sizes first.
    EXPECT_EQ(caller.Count(zacCount), 1);
    EXPECT_EQ(caller.Count(zacItem), 2 * 8);
    EXPECT_EQ(caller.Calls.front().ActionCode, zacKey);
    for (const auto& call : caller.Calls) EXPECT_EQ(call.IsOperationZip, 1);
}

TEST_F(ArchiveWriting, FolderNamesHiddenFilesAndEmptyFoldersFollowTheirOptions) {
    caller.Command.fOptions |= ZE_OPT_NO_DIR_NAMES | ZE_OPT_NO_EMPTY_DIRS | ZE_OPT_HIDDEN;
    caller.Command.fLevel = 0;
    caller.Excludes = {"*.log"};
    EXPECT_EQ(caller.Run(), 5);
    ExpectReadersAccept(caller.Archive);
    EXPECT_EQ(PythonSays(caller.Archive, "print(sorted((i.filename, i.compress_type) for i in z.infolist()))"),
              "[('empty.txt', 0), ('hidden', 0), ('image.png', 0), ('relatório.txt', 0), ('small.txt', 0)]\n");
}

TEST_F(ArchiveWriting, EncryptedEntriesOpenWithThePasswordOnly) {
    caller.Command.fOptions |= ZE_OPT_ENCRYPT;
    caller.Specs = {"small.txt", "docs/big.log"};
    int asked = 0;
    caller.OnAction = [&](TZCallBackStruct& rec) -> int32_t {
        if (rec.ActionCode != zacPassword) return -1000;
        ++asked;
        EXPECT_EQ(rec.IsOperationZip, 1);
        return caller.Give(rec, "s3cret");
    };
    EXPECT_EQ(caller.Run(), 2);
    EXPECT_EQ(asked, 1);
    ExpectReadersAccept(caller.Archive, "s3cret");
    EXPECT_NE(Shell("unzip -tq -P wrong '" + caller.Archive + "'"), 0);
    EXPECT_EQ(PythonSays(caller.Archive, "z.setpassword(b's3cret'); print(z.read('small.txt'))"), "b'small'\n");
}

TEST_F(ArchiveWriting, SixtyFiveThousandEntriesTakeZip64EndRecordsThatSurviveARewrite) {
    // Streams rather than files: the count is the point, not the disk.
    constexpr int kEntries = 65536;
    caller.Specs.clear();
    for (int i = 0; i < kEntries; ++i) {
        caller.Specs.push_back(std::to_string(i) + ":d" + std::to_string(i / 1000) + "/" + std::to_string(i));
        caller.Streams[i] = std::to_string(i);
    }
    ASSERT_EQ(caller.Run(), kEntries);
    EXPECT_EQ(PythonSays(caller.Archive, "print(len(z.infolist()), z.read('d65/65535'))"), "65536 b'65535'\n");
    EXPECT_EQ(Shell("unzip -tq '" + caller.Archive + "'"), 0);
    EXPECT_EQ(Shell("bsdtar -tf '" + caller.Archive + "'"), 0);

    TWriteCaller remove(ZE_OPT_DELETE);
    remove.Archive = caller.Archive;
    remove.Specs = {"d0/*"};
    EXPECT_EQ(remove.Run(), 1000);
    EXPECT_EQ(PythonSays(caller.Archive, "print(len(z.infolist()), z.read('d65/65535'))"), "64536 b'65535'\n");
}

}  // namespace
}  // namespace lunaro::testkit
