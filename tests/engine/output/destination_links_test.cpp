// Links already in the destination are never followed, whatever they point
// to and whenever they appear.
#include "tests/engine/output/output_fixture.h"

#include <gtest/gtest.h>

namespace lunaro::testkit {
namespace {

namespace fs = std::filesystem;
using engine::TExisting;

TEST_F(OutputTest, FolderLinkIsNeverPassedThrough) {
    fs::create_directory_symlink(Outside(), Base() + "/sub");
    const auto path = EntryPath({"sub", "deeper"}, "f.txt");

    EXPECT_EQ(Dest->Look(EntryPath({"sub"}, "")).Kind, TExisting::Other);
    EXPECT_EQ(Dest->Look(path).Kind, TExisting::Other);
    std::string error;
    EXPECT_FALSE(Dest->MakeFolders(path, error));
    EXPECT_NE(error.find("link"), std::string::npos) << error;
    EXPECT_NE(Extract(path, "escaped"), "");
    EXPECT_NE(Extract(EntryPath({"sub"}, "f.txt"), "escaped"), "");

    EXPECT_TRUE(NamesIn(Outside()).empty());
    EXPECT_TRUE(fs::is_symlink(Base() + "/sub"));
}

TEST_F(OutputTest, LeafLinkIsNeitherFollowedNorReplaced) {
    WriteFile(Outside() + "/target", "precious");
    fs::create_symlink(Outside() + "/target", Base() + "/f.txt");
    fs::create_symlink(Outside() + "/absent", Base() + "/dangling");

    EXPECT_EQ(Dest->Look(EntryPath({}, "f.txt")).Kind, TExisting::Other);
    EXPECT_NE(Extract(EntryPath({}, "f.txt"), "escaped"), "");
    EXPECT_NE(Extract(EntryPath({}, "dangling"), "escaped"), "");

    EXPECT_EQ(ReadFile(Outside() + "/target"), "precious");
    EXPECT_EQ(NamesIn(Outside()), std::set<std::string>{"target"});
    EXPECT_EQ(NamesIn(Base()), (std::set<std::string>{"dangling", "f.txt"}));
    EXPECT_TRUE(fs::is_symlink(Base() + "/f.txt"));
}

// The name is looked at again at Commit: a link or folder put there while the
// file was being written wins over the file, which vanishes.
TEST_F(OutputTest, LinkOrFolderPlantedDuringWriteRefusesCommit) {
    WriteFile(Outside() + "/target", "precious");
    for (const bool plantFolder : {false, true}) {
        SCOPED_TRACE(plantFolder ? "folder" : "link");
        std::string error;
        auto file = Dest->Begin(EntryPath({"a"}, "f.txt"), 3, error);
        ASSERT_TRUE(file) << error;
        ASSERT_TRUE(file->Write(reinterpret_cast<const uint8_t*>("new"), 3, error)) << error;
        if (plantFolder) fs::create_directory(Base() + "/a/f.txt");
        else fs::create_symlink(Outside() + "/target", Base() + "/a/f.txt");

        EXPECT_FALSE(file->Commit(std::nullopt, error));
        EXPECT_EQ(NamesIn(Base() + "/a"), std::set<std::string>{"f.txt"});
        fs::remove(Base() + "/a/f.txt");
    }
    EXPECT_EQ(ReadFile(Outside() + "/target"), "precious");
}

// Folders reached once stay open for the run: a folder swapped for a link
// afterwards must not lead the next file through the link.
TEST_F(OutputTest, FolderSwappedForLinkAfterUseIsNotFollowed) {
    ASSERT_EQ(Extract(EntryPath({"a", "b"}, "first"), "1"), "");
    fs::rename(Base() + "/a", Base() + "/moved");
    fs::create_directory_symlink(Outside(), Base() + "/a");
    fs::create_directory(Outside() + "/b");

    EXPECT_NE(Dest->Look(EntryPath({"a"}, "")).Kind, TExisting::Folder);
    Extract(EntryPath({"a", "b"}, "second"), "2");
    Extract(EntryPath({"a"}, "third"), "3");

    EXPECT_EQ(NamesIn(Outside()), std::set<std::string>{"b"});
    EXPECT_TRUE(NamesIn(Outside() + "/b").empty());
    EXPECT_TRUE(fs::is_symlink(Base() + "/a"));
}

TEST_F(OutputTest, MissingBaseFolderIsAnError) {
    std::string error;
    EXPECT_FALSE(engine::TDestination::Open(Root.File("nowhere"), error));
    EXPECT_NE(error.find("nowhere"), std::string::npos) << error;
}

}  // namespace
}  // namespace lunaro::testkit
