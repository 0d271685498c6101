// Changing an existing archive: delete, rename, update and freshen, move,
// and the promise behind all of them: a run that fails, is cancelled or is
// killed leaves the old archive byte for byte and nothing beside it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/engine/exec/write_caller.h"

namespace lunaro::testkit {
namespace {

namespace fs = std::filesystem;

void SetAge(const std::string& path, int secondsAgo) {
    const auto when = fs::file_time_type::clock::now() - std::chrono::seconds(secondsAgo);
    fs::last_write_time(path, when);
}

std::vector<std::string> FolderContents(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& item : fs::directory_iterator(folder)) names.push_back(item.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ArchiveChange : public ::testing::Test {
protected:
    void SetUp() override {
        LUNARO_REQUIRE_PEER(!FindProgram("unzip").empty() && !FindProgram("bsdtar").empty(), "unzip, bsdtar");
        fs::create_directories(work.File("src/sub"));
        fs::create_directories(work.File("arc"));
        WriteFile(work.File("src/a.txt"), "first a");
        WriteFile(work.File("src/b.txt"), "first b");
        WriteFile(work.File("src/sub/c.txt"), std::string(6 << 20, 'c'));
        for (const char* name : {"src/a.txt", "src/b.txt", "src/sub/c.txt"}) SetAge(work.File(name), 3600);
        archive = work.File("arc/t.zip");
        TWriteCaller add = Adder();
        add.Specs = {"*"};
        add.Command.fOptions |= ZE_OPT_RECURSE | ZE_OPT_NO_EMPTY_DIRS;
        ASSERT_EQ(add.Run(), 3);
        original = ReadFile(archive);
    }

    TWriteCaller Adder() {
        TWriteCaller add;
        add.Archive = archive;
        add.Root = work.File("src");
        return add;
    }
    std::string Names() { return PythonSays(archive, "print(sorted(z.namelist()))"); }
    void ExpectUntouched() {
        EXPECT_TRUE(ReadFile(archive) == original) << "the archive changed";
        EXPECT_EQ(FolderContents(work.File("arc")), std::vector<std::string>{"t.zip"});
    }

    TempDir work;
    std::string archive;
    std::string original;
};

TEST_F(ArchiveChange, DeleteCopiesTheRestAsStoredAndNothingMatchedTouchesNothing) {
    TWriteCaller remove(ZE_OPT_DELETE);
    remove.Archive = archive;
    remove.Specs = {"nothing*"};
    EXPECT_EQ(remove.Run(), 0);
    ExpectUntouched();

    remove.Specs = {"*.txt"};
    remove.Excludes = {"sub/*"};
    EXPECT_EQ(remove.Run(), 2);
    ExpectReadersAccept(archive);
    EXPECT_EQ(Names(), "['sub/c.txt']\n");
    // The kept entry's compressed bytes are the very ones the first run wrote.
    EXPECT_NE(original.find(ReadFile(archive).substr(30 + 9, 1000)), std::string::npos);
}

TEST_F(ArchiveChange, RenameMovesNamesAndADuplicateStopsItWithNothingChanged) {
    TWriteCaller rename(ZE_OPT_RENAME);
    rename.Archive = archive;
    rename.Specs = {"a.txt|renamed/ã.txt", "b.txt|sub/c.txt"};
    uint32_t skipType = 0;
    rename.OnAction = [&](TZCallBackStruct& rec) -> int32_t {
        if (rec.ActionCode != zacSkipped) return -1000;
        skipType = rec.Arg2;
        return 1;  // the driver's answer under the default: skipping a duplicate name is not allowed
    };
    EXPECT_EQ(rename.Run(), -ZE_ERR_SKIPPING);
    EXPECT_EQ(skipType, static_cast<uint32_t>(ZE_SKIP_DUP_NAME));
    ExpectUntouched();

    rename.OnAction = nullptr;
    rename.Skipped.clear();
    rename.Specs = {"a.txt|renamed/ã.txt", "missing.txt|x.txt", "b.txt|../escape.txt"};
    rename.Command.fDate = (45u << 25) | (1u << 21) | (2u << 16);  // 2025-01-02
    EXPECT_EQ(rename.Run(), 1);
    EXPECT_EQ(rename.Skipped, (std::vector<std::string>{"missing.txt", "../escape.txt"}));
    ExpectReadersAccept(archive);
    EXPECT_EQ(PythonSays(archive, "i=z.getinfo('renamed/ã.txt'); print(sorted(z.namelist()), i.date_time[:3], z.read(i))"),
              "['b.txt', 'renamed/ã.txt', 'sub/c.txt'] (2025, 1, 2) b'first a'\n");
}

TEST_F(ArchiveChange, UpdateAndFreshenReplaceOnlyOlderEntriesAndMoveRemovesWhatWasAdded) {
    WriteFile(work.File("src/a.txt"), "second a");  // newer than its entry
    WriteFile(work.File("src/new.txt"), "new");
    TWriteCaller fresh = Adder();
    fresh.Specs = {"*.txt"};
    fresh.Command.fOptions |= ZE_OPT_FRESHEN;
    EXPECT_EQ(fresh.Run(), 1);
    EXPECT_EQ(PythonSays(archive, "print(sorted(z.namelist()), z.read('a.txt'))"),
              "['a.txt', 'b.txt', 'sub/c.txt'] b'second a'\n");

    TWriteCaller update = Adder();
    update.Specs = {"*.txt"};
    update.Command.fOptions |= ZE_OPT_UPDATE | ZE_OPT_MOVE;
    EXPECT_EQ(update.Run(), 1);  // only new.txt: a.txt is now as new as its entry
    ExpectReadersAccept(archive);
    EXPECT_EQ(Names(), "['a.txt', 'b.txt', 'new.txt', 'sub/c.txt']\n");
    EXPECT_FALSE(fs::exists(work.File("src/new.txt")));
    EXPECT_TRUE(fs::exists(work.File("src/a.txt")));
}

TEST_F(ArchiveChange, UnreadableSourcesAndCancelFromProgressLoseNothing) {
    TWriteCaller add = Adder();
    add.Specs = {"a.txt", "gone.txt"};
    add.OnAction = [](TZCallBackStruct& rec) -> int32_t { return rec.ActionCode == zacSkipped ? 1 : -1000; };
    EXPECT_EQ(add.Run(), -ZE_ERR_SKIPPING);
    ExpectUntouched();

    // A replacement that breaks off keeps the entry it was to replace.
    TWriteCaller broken = Adder();
    broken.Specs = {"0:a.txt", "b.txt"};
    broken.Streams[0] = "cut";
    broken.StreamsShortBy = 5;
    EXPECT_EQ(broken.Run(), 1);
    EXPECT_EQ(broken.Skipped, std::vector<std::string>{"a.txt"});
    EXPECT_EQ(PythonSays(archive, "print(sorted(z.namelist()), z.read('a.txt'))"),
              "['a.txt', 'b.txt', 'sub/c.txt'] b'first a'\n");
    original = ReadFile(archive);

    WriteFile(work.File("src/a.txt"), "changed");
    TWriteCaller cancel = Adder();
    cancel.Specs = {"*"};
    cancel.Command.fOptions |= ZE_OPT_RECURSE;
    cancel.OnAction = [](TZCallBackStruct& rec) -> int32_t { return rec.ActionCode == zacProgress ? -2 : -1000; };
    EXPECT_EQ(cancel.Run(), -ZE_ERR_CANCELLED);
    ExpectUntouched();
}

TEST_F(ArchiveChange, KilledMidAddLeavesTheArchiveAsItWas) {
    WriteFile(work.File("src/sub/c.txt"), std::string(24 << 20, 'd'));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TWriteCaller add = Adder();
        add.Specs = {"*"};
        add.Command.fOptions |= ZE_OPT_RECURSE;
        add.OnAction = [](TZCallBackStruct& rec) -> int32_t {
            if (rec.ActionCode == zacProgress) ::usleep(200000);
            return -1000;
        };
        add.Run();
        ::_exit(0);
    }
    ::usleep(600000);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    ExpectUntouched();
}

}  // namespace
}  // namespace lunaro::testkit
