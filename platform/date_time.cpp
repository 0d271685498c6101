#include "platform/date_time.h"

namespace lunaro::platform {

double DateTimeFromUnixTime(std::time_t seconds) {
    std::tm local{};
    const long offset = ::localtime_r(&seconds, &local) ? local.tm_gmtoff : 0;
    return (static_cast<double>(seconds) + static_cast<double>(offset)) / 86400.0 + kUnixEpochDays;
}

}  // namespace lunaro::platform
