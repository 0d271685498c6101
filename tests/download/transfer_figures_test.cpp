#include "download/transfer_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lunaro::download {
namespace {

constexpr double kDay = 1.0;
constexpr double kSecond = 1.0 / 86400.0;

TEST(SplitTimeOfDay, DropsWholeDaysAndSplitsTheRest) {
    const TTimeOfDay t = SplitTimeOfDay(3 * kDay + (2 * 3600 + 5 * 60 + 7) * kSecond + 0.25 * kSecond);
    EXPECT_EQ(t.Hour, 2);
    EXPECT_EQ(t.Min, 5);
    EXPECT_EQ(t.Sec, 7);
    EXPECT_EQ(t.MSec, 250);
    // A negative span (the clock went back) is taken by its size.
    const TTimeOfDay back = SplitTimeOfDay(-90 * kSecond);
    EXPECT_EQ(back.Min, 1);
    EXPECT_EQ(back.Sec, 30);
    const TTimeOfDay nan = SplitTimeOfDay(std::nan(""));
    EXPECT_EQ(nan.Hour + nan.Min + nan.Sec + nan.MSec, 0);
}

TEST(TruncWrap16, TruncatesTowardZeroAndWraps) {
    EXPECT_EQ(TruncWrap16(2.9), 2);
    EXPECT_EQ(TruncWrap16(-0.5), 0);
    EXPECT_EQ(TruncWrap16(-1.5), 65535);
    EXPECT_EQ(TruncWrap16(65536.0 + 3), 3);
    EXPECT_EQ(TruncWrap16(1e300), static_cast<uint16_t>(std::fmod(1e300, 65536.0)));
    EXPECT_EQ(TruncWrap16(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(TruncWrap16(std::nan("")), 0);
}

TEST(ComputeMonitorFigures, SpeedAndTimeLeft) {
    // 10 KB in 2.5 s: 4 KB/s; 10 KB left: 2.5 s, truncated to 2.
    const TMonitorFigures f = ComputeMonitorFigures(2.5 * kSecond, 20480, 10240, 0);
    EXPECT_DOUBLE_EQ(f.AverageSpeed, 4.0);
    EXPECT_EQ(f.Sec, 2);
    EXPECT_EQ(f.Hour, 0);
    EXPECT_EQ(f.Min, 0);
}

TEST(ComputeMonitorFigures, NoTimeYetKeepsTheSpeedAndShowsElapsedWithoutOne) {
    const TMonitorFigures kept = ComputeMonitorFigures(0, 4096, 1024, 1.0);
    EXPECT_DOUBLE_EQ(kept.AverageSpeed, 1.0);
    EXPECT_EQ(kept.Sec, 3);  // 3 KB left at 1 KB/s
    const TMonitorFigures none = ComputeMonitorFigures(0, 4096, 0, 0);
    EXPECT_DOUBLE_EQ(none.AverageSpeed, 0.0);
    EXPECT_EQ(none.Sec, 0);  // elapsed seconds while no speed is known
}

TEST(ComputeMonitorFigures, SixteenBitArithmetic) {
    // 20 hours: 72000 whole seconds kept in 16 bits are 6464.
    const TMonitorFigures late = ComputeMonitorFigures(20 * 3600 * kSecond, 0, 0, 0);
    EXPECT_EQ(late.Hour, 20);
    EXPECT_EQ(late.Sec, 6464);
    // More downloaded than expected (unknown size): the negative time left wraps.
    const TMonitorFigures over = ComputeMonitorFigures(1 * kSecond, 0, 1024, 0);
    EXPECT_DOUBLE_EQ(over.AverageSpeed, 1.0);
    EXPECT_EQ(over.Sec, 65535);
}

}  // namespace
}  // namespace lunaro::download
