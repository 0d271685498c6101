#include "app/transfer_status_text.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lunaro::app {
namespace {

const platform::NumberSeparators kBrazilian{".", ","};
const platform::NumberSeparators kEnglish{",", "."};

TEST(TransferStatusText, BrazilianExampleByteForByte) {
    EXPECT_EQ(FormatTransferStatus(10240000, 1536000, 150.0, 58, kBrazilian),
              "1.500 / 10.000 KB  -  150,00 KB/s  -  00:00:58");
}

TEST(TransferStatusText, ZeroSpeedZeroTotalAndTheLargestTime) {
    EXPECT_EQ(FormatTransferStatus(0, 0, 0.0, 0, kBrazilian), "0 / 0 KB  -  0,00 KB/s  -  00:00:00");
    EXPECT_EQ(FormatTransferStatus(0, 0, 0.0, 65535, kEnglish), "0 / 0 KB  -  0.00 KB/s  -  18:12:15");
    EXPECT_EQ(FormatTransferStatus(0, 0, 0.0, 3661, kEnglish), "0 / 0 KB  -  0.00 KB/s  -  01:01:01");
}

TEST(TransferStatusText, KilobytesRoundToNearestAndGroupByThousands) {
    // 511 bytes round down, 512 up; the largest count groups in threes.
    EXPECT_EQ(FormatTransferStatus(512, 511, 0.0, 0, kEnglish).substr(0, 7), "0 / 1 K");
    EXPECT_EQ(FormatTransferStatus(2147483647, 1023999, 0.0, 0, kBrazilian).substr(0, 22),
              "1.000 / 2.097.152 KB  ");
    EXPECT_EQ(FormatGroupedInteger(-1234567, " "), "-1 234 567");
}

TEST(TransferStatusText, SpeedHasTwoDecimalsAndNeverBreaksOnOddValues) {
    EXPECT_NE(FormatTransferStatus(0, 0, 0.005, 0, kEnglish).find(" 0.01 KB/s"), std::string::npos);
    EXPECT_NE(FormatTransferStatus(0, 0, 1234.5, 0, kEnglish).find(" 1234.50 KB/s"), std::string::npos);
    EXPECT_NE(FormatTransferStatus(0, 0, NAN, 0, kEnglish).find(" 0.00 KB/s"), std::string::npos);
    EXPECT_NE(FormatTransferStatus(0, 0, INFINITY, 0, kEnglish).find(" 0.00 KB/s"), std::string::npos);
    EXPECT_NE(FormatTransferStatus(0, 0, 1e300, 0, kEnglish).find(" KB/s  -  "), std::string::npos);
}

}  // namespace
}  // namespace lunaro::app
