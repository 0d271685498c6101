#include "engine/output/extent_check.h"

#include <gtest/gtest.h>

namespace lunaro::testkit {
namespace {

using engine::OverlappingEntries;
using engine::TEntryExtent;
using Indexes = std::vector<uint32_t>;

TEST(OverlappingEntries, AdjacentExtentsAreFine) {
    EXPECT_EQ(OverlappingEntries({{20, 30, 2}, {0, 10, 0}, {10, 20, 1}}), Indexes{});
    EXPECT_EQ(OverlappingEntries({}), Indexes{});
}

TEST(OverlappingEntries, SharedOrNestedBytesAreRefused) {
    // The same data claimed by three entries: the first claim stands.
    EXPECT_EQ(OverlappingEntries({{100, 200, 7}, {100, 200, 3}, {100, 200, 5}}), (Indexes{5, 7}));
    // One entry's data inside a big one's, listed before it in the file order.
    EXPECT_EQ(OverlappingEntries({{50, 60, 1}, {0, 1000, 2}, {1000, 1010, 3}}), Indexes{1});
    // A chain: each overlaps only the one before.
    EXPECT_EQ(OverlappingEntries({{0, 100, 0}, {90, 200, 1}, {150, 300, 2}, {300, 301, 3}}), (Indexes{1, 2}));
    EXPECT_EQ(OverlappingEntries({{50, 10, 4}}), Indexes{4});
}

}  // namespace
}  // namespace lunaro::testkit
