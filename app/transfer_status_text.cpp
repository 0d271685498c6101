#include "app/transfer_status_text.h"

#include <cmath>
#include <cstdio>

namespace lunaro::app {

namespace {

int64_t RoundedKilobytes(int32_t bytes) { return std::llround(static_cast<double>(bytes) / 1024.0); }

std::string FormatSpeed(double kilobytesPerSecond, const std::string& decimalSeparator) {
    // Whole hundredths in integer arithmetic, so the C library's own numeric
    // locale never slips its separator in. Speeds beyond any real link are
    // shown at that bound rather than overflowing.
    constexpr double kLargestShown = 1e15;
    double magnitude = std::isfinite(kilobytesPerSecond) ? std::fabs(kilobytesPerSecond) : 0.0;
    if (magnitude > kLargestShown) magnitude = kLargestShown;
    const int64_t hundredths = std::llround(magnitude * 100.0);
    const int64_t fraction = hundredths % 100;
    std::string text = kilobytesPerSecond < 0 && hundredths > 0 ? "-" : "";
    text += std::to_string(hundredths / 100) + decimalSeparator + (fraction < 10 ? "0" : "") + std::to_string(fraction);
    return text + " KB/s";
}

std::string FormatClock(uint16_t seconds) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.2d:%.2d:%.2d", seconds / 3600, (seconds / 60) % 60, seconds % 60);
    return buffer;
}

}  // namespace

std::string FormatGroupedInteger(int64_t value, const std::string& thousandsSeparator) {
    const bool negative = value < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    const std::string digits = std::to_string(magnitude);
    std::string text = negative ? "-" : "";
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += thousandsSeparator;
        text += digits[i];
    }
    return text;
}

std::string FormatTransferStatus(int32_t bytesToDownload, int32_t bytesDownloaded, double averageSpeedKBs,
                                 uint16_t remainingSeconds, const platform::NumberSeparators& separators) {
    return FormatGroupedInteger(RoundedKilobytes(bytesDownloaded), separators.thousands) + " / " +
           FormatGroupedInteger(RoundedKilobytes(bytesToDownload), separators.thousands) + " KB  -  " +
           FormatSpeed(averageSpeedKBs, separators.decimal) + "  -  " + FormatClock(remainingSeconds);
}

}  // namespace lunaro::app
