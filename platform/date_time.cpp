#include "platform/date_time.h"

namespace lunaro::platform {

double DateTimeFromUnixTime(std::time_t seconds) {
    std::tm local{};
    const long offset = ::localtime_r(&seconds, &local) ? local.tm_gmtoff : 0;
    return (static_cast<double>(seconds) + static_cast<double>(offset)) / 86400.0 + kUnixEpochDays;
}

std::string LocalTimeText(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64];
    const size_t length = std::strftime(text, sizeof text, format, &local);
    return std::string(text, length);
}

}  // namespace lunaro::platform
