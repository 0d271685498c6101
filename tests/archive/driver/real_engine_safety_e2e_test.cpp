// The real engine through the driver, on hostile and damaged archives and
// against files already in the destination: nothing is written outside the
// destination, no bad entry takes a good file's place, no run leaves a
// temporary file behind, and a cancel stops the run where it is.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <filesystem>

#include "archive/messages/message_ids.h"
#include "tests/archive/driver/real_engine_fixture.h"

namespace lunaro::archive::testkit {
namespace {

constexpr uint32_t kDos2020 = (40u << 25) | (1u << 21) | (1u << 16) | (12u << 11);  // 2020-01-01 12:00 local

int64_t ModTime(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mtime : -1;
}

void SetModTime(const std::string& path, int64_t seconds) {
    const struct utimbuf times {static_cast<time_t>(seconds), static_cast<time_t>(seconds)};
    ASSERT_EQ(::utime(path.c_str(), &times), 0);
}

int64_t Local2020() {
    std::tm t{};
    t.tm_year = 120;
    t.tm_mday = 1;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

class RealEngineSafety : public RealEngineTest {
protected:
    std::string Write(const std::string& name, const ZipBuilder& zip) {
        WriteFile(work.File(name), zip.Build());
        return work.File(name);
    }
};

TEST_F(RealEngineSafety, NamesThatLeaveTheDestinationAreRefused) {
    ZipBuilder zip;
    for (const char* name : {"../escaped.txt", "/abs.txt", "dir\\..\\..\\up.txt", "c:drive.txt", "ok/../../x.txt"})
        zip.AddFile(name, "bad");
    zip.AddFile("good.txt", "good");
    const std::string archive = Write("slip.zip", zip);
    EXPECT_EQ(Extract(archive, kKeepAndOverwrite), 1);
    EXPECT_EQ(OutContents(), (std::set<std::string>{"good.txt"}));
    EXPECT_FALSE(std::filesystem::exists(work.File("escaped.txt")));
    EXPECT_FALSE(std::filesystem::exists(work.File("up.txt")));
    EXPECT_EQ(skipped.size(), 5u);
    EXPECT_TRUE(WasSkipped("../escaped.txt", TZKSkipTypes::stBadName));
}

TEST_F(RealEngineSafety, LinksAreNeitherMadeNorFollowed) {
    std::filesystem::create_directory(work.File("outside"));
    std::filesystem::create_directory_symlink(work.File("outside"), OutFile("link"));
    std::filesystem::create_symlink(work.File("outside/target.txt"), OutFile("file-link.txt"));
    ZipEntrySpec link = EntrySpec("made-link", "/etc/passwd");
    link.versionMadeBy = (3 << 8) | 30;  // a system with symbolic links
    link.externalAttributes = 0120777u << 16;
    ZipBuilder zip;
    zip.Add(link).AddFile("link/through.txt", "bad").AddFile("file-link.txt", "bad").AddFile("plain.txt", "ok");
    EXPECT_EQ(Extract(Write("links.zip", zip), kKeepAndOverwrite), 1);
    EXPECT_TRUE(std::filesystem::is_empty(work.File("outside")));
    EXPECT_FALSE(std::filesystem::exists(OutFile("made-link")));
    EXPECT_TRUE(std::filesystem::is_symlink(OutFile("file-link.txt")));
    EXPECT_TRUE(WasSkipped("made-link", TZKSkipTypes::stCannotDo));
    EXPECT_EQ(OutContents(), (std::set<std::string>{"link", "file-link.txt", "plain.txt"}));
}

TEST_F(RealEngineSafety, SharedOrOversizedDataIsRefused) {
    ZipBuilder zip;
    zip.AddFile("a.txt", std::string(1000, 'a'));
    ZipEntrySpec again = EntrySpec("b.txt", "");
    again.localName = "b.txt";
    again.localOffset = 0;  // claims a.txt's header and data
    again.compressedSize = 1000;
    again.uncompressedSize = 1000;
    ZipEntrySpec grows = EntrySpec("grows.txt", std::string(5000, 'g'));
    grows.uncompressedSize = 10;  // says 10 bytes, holds 5000
    grows.crc = lunaro::testkit::Crc32(std::string(10, 'g'));
    zip.Add(again).Add(grows);
    EXPECT_EQ(Extract(Write("overlap.zip", zip), kKeepAndOverwrite), 1);
    EXPECT_EQ(OutContents(), (std::set<std::string>{"a.txt"}));
    EXPECT_TRUE(WasSkipped("b.txt", TZKSkipTypes::stZipFileFormatWrong));
    EXPECT_TRUE(WasSkipped("grows.txt", TZKSkipTypes::stZipFileFormatWrong));
}

TEST_F(RealEngineSafety, CrcErrorLeavesTheExistingFileAlone) {
    ZipEntrySpec damaged = EntrySpec("data.bin", std::string(300000, 'x'));
    damaged.crc = 0x12345678;
    ZipBuilder zip;
    zip.Add(damaged);
    WriteFile(OutFile("data.bin"), "the good old file");
    EXPECT_EQ(Extract(Write("crc.zip", zip), kKeepAndOverwrite), 0);
    EXPECT_EQ(crcErrors, std::vector<std::string>{"data.bin"});
    EXPECT_EQ(ReadFile(OutFile("data.bin")), "the good old file");
    EXPECT_EQ(OutContents(), (std::set<std::string>{"data.bin"}));
}

TEST_F(RealEngineSafety, FreshenAndUpdateReplaceOnlyOlderFiles) {
    ZipBuilder zip;
    for (const char* name : {"older.txt", "newer.txt", "absent.txt"}) {
        ZipEntrySpec entry = EntrySpec(name, std::string("from the archive: ") + name);
        entry.dosDateTime = kDos2020;
        zip.Add(entry);
    }
    const std::string archive = Write("times.zip", zip);
    const auto prepare = [this] {
        WriteFile(OutFile("older.txt"), "old");
        SetModTime(OutFile("older.txt"), Local2020() - 86400 * 365);
        WriteFile(OutFile("newer.txt"), "new");
        SetModTime(OutFile("newer.txt"), Local2020() + 86400 * 365);
        std::filesystem::remove(OutFile("absent.txt"));
    };

    prepare();
    EXPECT_EQ(Extract(archive, {TZKExtrOptsEnum::ExtrFreshen, TZKExtrOptsEnum::ExtrNTFS}), 1);
    EXPECT_EQ(ReadFile(OutFile("older.txt")), "from the archive: older.txt");
    EXPECT_EQ(ModTime(OutFile("older.txt")), Local2020());
    EXPECT_EQ(ReadFile(OutFile("newer.txt")), "new");
    EXPECT_FALSE(std::filesystem::exists(OutFile("absent.txt")));
    EXPECT_TRUE(WasSkipped("absent.txt", TZKSkipTypes::stOnFreshen));

    prepare();
    EXPECT_EQ(Extract(archive, {TZKExtrOptsEnum::ExtrUpdate}), 2);
    EXPECT_EQ(ReadFile(OutFile("older.txt")), "from the archive: older.txt");
    EXPECT_EQ(ReadFile(OutFile("newer.txt")), "new");
    EXPECT_EQ(ReadFile(OutFile("absent.txt")), "from the archive: absent.txt");
}

TEST_F(RealEngineSafety, CancelFromProgressStopsTheRunAndKeepsTheOldFile) {
    ZipBuilder zip;
    zip.AddFile("big.bin", std::string(3 << 20, 'b')).AddFile("after.txt", "after");
    WriteFile(OutFile("big.bin"), "keep me");
    int updates = 0;
    master.OnProgress = [this, &updates](TZKMaster&, const TZKProgressDetails& details) {
        if (details.Order() == TZKProgressType::ProgressUpdate && ++updates == 2) opr.SetCancel(msg::UserCanceled);
    };
    EXPECT_EQ(Extract(Write("big.zip", zip), kKeepAndOverwrite), 0);
    EXPECT_EQ(opr.ErrCode(), msg::UserCanceled);
    EXPECT_EQ(updates, 2);
    EXPECT_EQ(ReadFile(OutFile("big.bin")), "keep me");
    EXPECT_EQ(OutContents(), (std::set<std::string>{"big.bin"}));
}

}  // namespace
}  // namespace lunaro::archive::testkit
