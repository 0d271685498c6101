// The judgement of a transfer against its limits, with the clock passed in.
#include "net/socket/transfer_meter.h"

#include <gtest/gtest.h>

namespace lunaro::net {
namespace {

TEST(TransferMeter, LowSpeedWindowSlidesWithTheBytes) {
    TTransferMeter meter;
    meter.Arm({100, 2, 0}, 1000);
    ASSERT_TRUE(meter.Active());
    // Nothing at all: the window has to pass before the rule can judge.
    EXPECT_EQ(meter.Breach(2999), "");
    EXPECT_EQ(meter.Breach(3000), "transfer slower than 100 bytes/s for 2 s");

    // Exactly the rate, in small steps, for a long time: never slow.
    meter.Arm({100, 2, 0}, 1000);
    uint32_t now = 1000;
    for (; now < 21000; now += 100) {
        meter.Count(10, now);
        ASSERT_EQ(meter.Breach(now + 99), "") << now;
    }
    // A burst long ago does not carry a later stall.
    meter.Count(1000000, now);
    EXPECT_EQ(meter.Breach(now + 2000), "");
    EXPECT_EQ(meter.Breach(now + 2200), "transfer slower than 100 bytes/s for 2 s");
}

TEST(TransferMeter, MaxTimeAndTheClockWrap) {
    TTransferMeter meter;
    const uint32_t start = 0xFFFFF000u;  // the 32-bit tick wraps during the transfer
    meter.Arm({0, 0, 3}, start);
    meter.Count(1 << 20, start + 10);
    EXPECT_EQ(meter.Breach(start + 3000), "");
    EXPECT_EQ(meter.Breach(start + 3001), "transfer longer than 3 s");

    meter.Arm({50, 1, 0}, start);
    meter.Count(60, start + 4000);
    EXPECT_EQ(meter.Breach(start + 4500), "");

    meter.Arm({}, start);
    EXPECT_FALSE(meter.Active());
    EXPECT_EQ(meter.Breach(start + 100000), "");
    meter.Arm({100, 0, 0}, start);  // a rate without a window is no rule
    EXPECT_FALSE(meter.Active());
}

}  // namespace
}  // namespace lunaro::net
