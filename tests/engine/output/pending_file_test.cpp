// A file takes its name only on Commit, never grows past its declared size,
// and leaves nothing behind when it is abandoned or refused.
#include "tests/engine/output/output_fixture.h"

#include <gtest/gtest.h>

namespace lunaro::testkit {
namespace {

using engine::TExisting;

const uint8_t* Bytes(const char* s) { return reinterpret_cast<const uint8_t*>(s); }

TEST_F(OutputTest, CommitReplacesOldFileAndAppliesModTime) {
    WriteFile(Base() + "/f.txt", "old bytes, longer than the new ones");
    std::string error;
    auto file = Dest->Begin(EntryPath({}, "f.txt"), 3, error);
    ASSERT_TRUE(file) << error;
    ASSERT_TRUE(file->Write(Bytes("new"), 3, error)) << error;
    EXPECT_EQ(ReadFile(Base() + "/f.txt"), "old bytes, longer than the new ones");

    ASSERT_TRUE(file->Commit(int64_t{1000000000}, error)) << error;
    EXPECT_EQ(ReadFile(Base() + "/f.txt"), "new");
    const TExisting seen = Dest->Look(EntryPath({}, "f.txt"));
    EXPECT_EQ(seen.Kind, TExisting::File);
    EXPECT_EQ(seen.Size, 3);
    EXPECT_EQ(seen.ModTime, 1000000000);
    EXPECT_EQ(NamesIn(Base()), std::set<std::string>{"f.txt"});
    EXPECT_FALSE(file->Commit(std::nullopt, error));
}

TEST_F(OutputTest, AbandonedOrOverfullFileLeavesOldBytesAlone) {
    WriteFile(Base() + "/f.txt", "old");
    std::string error;
    {
        auto file = Dest->Begin(EntryPath({}, "f.txt"), 100, error);
        ASSERT_TRUE(file) << error;
        ASSERT_TRUE(file->Write(Bytes("half of it"), 10, error)) << error;
    }
    {
        auto file = Dest->Begin(EntryPath({}, "f.txt"), 4, error);
        ASSERT_TRUE(file) << error;
        EXPECT_FALSE(file->Write(Bytes("too long"), 8, error));
    }
    EXPECT_EQ(ReadFile(Base() + "/f.txt"), "old");
    EXPECT_EQ(NamesIn(Base()), std::set<std::string>{"f.txt"});
}

TEST_F(OutputTest, WriteStopsExactlyAtDeclaredSize) {
    std::string error;
    auto file = Dest->Begin(EntryPath({"x", "y"}, "f.bin"), 10, error);
    ASSERT_TRUE(file) << error;
    EXPECT_TRUE(file->Write(Bytes("123456"), 6, error));
    EXPECT_FALSE(file->Write(Bytes("78901"), 5, error));
    EXPECT_NE(error.find("declared size"), std::string::npos) << error;
    EXPECT_EQ(file->Written(), 6);
    EXPECT_TRUE(file->Write(Bytes("7890"), 4, error));
    EXPECT_FALSE(file->Write(Bytes("1"), 1, error));
    ASSERT_TRUE(file->Commit(std::nullopt, error)) << error;
    EXPECT_EQ(ReadFile(Base() + "/x/y/f.bin"), "1234567890");

    auto empty = Dest->Begin(EntryPath({}, "empty"), 0, error);
    ASSERT_TRUE(empty) << error;
    EXPECT_FALSE(empty->Write(Bytes("a"), 1, error));
    EXPECT_FALSE(Dest->Begin(EntryPath({}, "neg"), -1, error));
}

TEST_F(OutputTest, FileInTheWayOfAFolderIsRefused) {
    WriteFile(Base() + "/a", "a file");
    std::string error;
    EXPECT_FALSE(Dest->MakeFolders(EntryPath({"a", "b"}, ""), error));
    EXPECT_NE(Extract(EntryPath({"a"}, "f"), "x"), "");
    EXPECT_FALSE(Dest->Begin(EntryPath({}, ".."), 1, error));
    EXPECT_EQ(ReadFile(Base() + "/a"), "a file");
    EXPECT_EQ(Dest->Look(EntryPath({"a"}, "")).Kind, TExisting::File);
    EXPECT_EQ(Dest->Look(EntryPath({"none"}, "f")).Kind, TExisting::None);
}

// A name found free (in a folder the run made, without even looking) stays
// the run's: a file someone else puts there meanwhile survives, while a name
// the run itself hands out twice (an archive's duplicate) is replaced as
// before.
TEST_F(OutputTest, NameTakenFromOutsideAfterTheLookSurvivesTheCommit) {
    std::string error;
    ASSERT_TRUE(Dest->MakeFolders(EntryPath({"new"}, ""), error)) << error;
    for (const engine::TEntryPath& path : {EntryPath({"new"}, "user.txt"), EntryPath({}, "user.txt")}) {
        ASSERT_EQ(Dest->Look(path).Kind, TExisting::None);
        auto file = Dest->Begin(path, 3, error);
        ASSERT_TRUE(file) << error;
        ASSERT_TRUE(file->Write(Bytes("zip"), 3, error)) << error;
        const std::string where = Base() + (path.Folders.empty() ? "" : "/new") + "/user.txt";
        WriteFile(where, "the user's");
        EXPECT_FALSE(file->Commit(std::nullopt, error));
        EXPECT_NE(error.find("appeared"), std::string::npos) << error;
        EXPECT_EQ(ReadFile(where), "the user's");
    }

    ASSERT_EQ(Dest->Look(EntryPath({"new"}, "twice.txt")).Kind, TExisting::None);
    EXPECT_EQ(Extract(EntryPath({"new"}, "twice.txt"), "first"), "");
    EXPECT_EQ(Dest->Look(EntryPath({"new"}, "twice.txt")).Kind, TExisting::File);
    EXPECT_EQ(Extract(EntryPath({"new"}, "twice.txt"), "second"), "");
    EXPECT_EQ(ReadFile(Base() + "/new/twice.txt"), "second");
    EXPECT_EQ(NamesIn(Base() + "/new"), (std::set<std::string>{"twice.txt", "user.txt"}));
}

}  // namespace
}  // namespace lunaro::testkit
