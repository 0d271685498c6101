#include <gtest/gtest.h>

#include "ftpcli/listing_rows.h"
#include "net/ftp/listing_dates.h"

namespace lunaro::ftpcli {
namespace {

TEST(ListingRows, TsvKeepsNameBytesAndEscapesOnlyControls) {
    net::TFTPListRec record;
    record.FileName = "caf\xE9\tx\n.txt";
    record.FileSize = 1234567890123LL;
    ASSERT_TRUE(net::TryEncodeDate(2024, 2, 29, record.FileTime));
    record.FileTime += (23 * 3600 + 59 * 60 + 59) / 86400.0;
    record.Mask = "EPLF";
    EXPECT_EQ(TsvRow(record), "caf\xE9\\x09x\\x0A.txt\t0\t1234567890123\t2024-02-29 23:59:59\tEPLF");
    record.Mask.clear();
    record.Directory = true;
    EXPECT_EQ(TsvRow(record), "caf\xE9\\x09x\\x0A.txt\t1\t1234567890123\t2024-02-29 23:59:59\tMLSD");
}

TEST(ListingRows, DatesAcrossTheCalendar) {
    double day = 0;
    ASSERT_TRUE(net::TryEncodeDate(1970, 1, 1, day));
    EXPECT_EQ(FormatListingTime(day), "1970-01-01 00:00:00");
    ASSERT_TRUE(net::TryEncodeDate(1899, 12, 30, day));
    EXPECT_EQ(day, 0);
    EXPECT_EQ(FormatListingTime(-1.25), "1899-12-28 18:00:00");
    ASSERT_TRUE(net::TryEncodeDate(2100, 3, 1, day));
    EXPECT_EQ(FormatListingTime(day - 1), "2100-02-28 00:00:00");
    EXPECT_FALSE(net::TryEncodeDate(2100, 2, 29, day));
}

}  // namespace
}  // namespace lunaro::ftpcli
