// The name index: bucket counts, node blocks, the free list and duplicates.
#include "archive/directory/dir_hash_list.h"

#include "tests/archive/reader_fixture.h"

namespace lunaro::archive {
namespace {

TEST(DirHashList, BucketCountsFollowTheTable) {
    std::vector<TZKIRec> none;
    TZKDirHashList list(none);
    EXPECT_TRUE(list.Empty());
    const std::pair<int, int> cases[] = {{0, 61}, {61, 61}, {62, 131}, {1100, 1283}, {11999, 12289},
                                         {12000, 10243}, {200000, 65537}};
    for (auto [n, buckets] : cases) {
        list.AutoSize(n);
        EXPECT_EQ(list.Size(), buckets) << n;
    }
    list.SetSize(5);
    EXPECT_EQ(list.Size(), 61);
    list.SetSize(1000000);
    EXPECT_EQ(list.Size(), 65537);
    list.SetSize(0);
    EXPECT_TRUE(list.Empty());
}

class DirHashListTest : public reader_testing::ReaderTest {};

TEST_F(DirHashListTest, NodesComeFromBlocksAndRemovedOnesAreReused) {
    lunaro::testkit::ZipBuilder b;
    for (int i = 0; i < 1100; ++i) b.AddFile("f" + std::to_string(i), "");
    int result = 0;
    auto zip = OpenZip(Write("many.zip", b.Build()), result);
    ASSERT_EQ(zip->Count(), 1100);
    EXPECT_EQ(zip->HashList().Size(), 1283);
    EXPECT_EQ(zip->HashList().Blocks(), 3);  // 511 nodes each

    TZKDirHashList list(zip->Entries());
    EXPECT_EQ(zip->HashContents(list, -1), 0);
    list.Remove(7);
    EXPECT_EQ(list.Find("f7"), -1);
    EXPECT_EQ(list.Find("f8"), 8);
    EXPECT_EQ(list.Add(7), -1);  // takes the freed node
    EXPECT_EQ(list.Blocks(), 3);
    EXPECT_EQ(list.Find("f7"), 7);
    EXPECT_EQ(list.Add(8), 8);  // already there
}

TEST_F(DirHashListTest, AddingToAnEmptyListSizesIt) {
    lunaro::testkit::ZipBuilder b;
    b.AddFile("one", "");
    int result = 0;
    auto zip = OpenZip(Write("one.zip", b.Build()), result);
    TZKDirHashList list(zip->Entries());
    EXPECT_EQ(list.Add(0), -1);
    EXPECT_EQ(list.Size(), TZKDirHashList::kDefaultSize);
    EXPECT_EQ(list.Find("one"), 0);
    EXPECT_EQ(list.Find(""), -1);
}

TEST_F(DirHashListTest, IndexIsBuiltWhenFirstLookedUpAndDroppedWithTheNames) {
    lunaro::testkit::ZipBuilder b;
    b.AddFile("a/x", "");
    b.AddFile("b/y", "");
    int result = 0;
    auto zip = OpenZip(Write("two.zip", b.Build()), result);
    ASSERT_EQ(zip->Count(), 2);
    int idx = -1;
    EXPECT_EQ(zip->FindNameEx("b\\y", idx, false), zip->Items(1));
    EXPECT_EQ(idx, 1);
    EXPECT_EQ(zip->HasDupName(zip->Items(0)), 0);

    // Names decoded another way are no longer indexed; plain lookups still
    // find them, one by one.
    zip->SetEncoding(TZKEncodingOpts::zeoOEM);
    EXPECT_EQ(zip->HasDupName(zip->Items(0)), -1);
    idx = -1;
    EXPECT_EQ(zip->FindNameEx("a\\x", idx, false), zip->Items(0));
    EXPECT_TRUE(zip->HashList().Empty());
}

// An archive writer appends to the entries while their index is alive: the
// index must keep finding every name after the entries have moved.
TEST_F(DirHashListTest, IndexSurvivesEntriesMovingAsTheyGrow) {
    lunaro::testkit::ZipBuilder b;
    b.AddFile("first", "").AddFile("second", "");
    int result = 0;
    auto zip = OpenZip(Write("grow.zip", b.Build()), result);
    std::vector<TZKIRec>& entries = zip->Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(zip->HashList().Find("second"), 1);

    entries.shrink_to_fit();
    const TZKIRec* before = entries.data();
    for (int i = 0; i < 64; ++i) entries.emplace_back(*zip);  // blank entries, all named ""
    ASSERT_NE(entries.data(), before);

    TZKDirHashList list(entries);
    EXPECT_EQ(zip->HashContents(list, -1), 63);
    EXPECT_EQ(zip->HashList().Find("first"), 0);
    EXPECT_EQ(zip->HashList().Find("second"), 1);
    EXPECT_EQ(list.Find("second"), 1);
    EXPECT_EQ(list.Add(65), 2);
    list.Remove(2);
    EXPECT_EQ(list.Add(65), -1);
    EXPECT_EQ(list.Add(3), 65);
}

TEST_F(DirHashListTest, ContentsOfOneArchiveDoNotGoIntoAnotherOnesIndex) {
    lunaro::testkit::ZipBuilder b;
    b.AddFile("x", "");
    int result = 0;
    auto zip = OpenZip(Write("x.zip", b.Build()), result);
    std::vector<TZKIRec> other;
    TZKDirHashList list(other);
    EXPECT_THROW(zip->HashContents(list, -1), std::invalid_argument);
    EXPECT_THROW(list.Add(0), std::out_of_range);
}

}  // namespace
}  // namespace lunaro::archive
