#pragma once
// Date-time values as the system counts them: days (with the time of day as
// the fraction) since 1899-12-30, in local time.
#include <ctime>
#include <string>

namespace lunaro::platform {

// Days from the 1899-12-30 epoch to 1970-01-01.
inline constexpr double kUnixEpochDays = 25569.0;

double DateTimeFromUnixTime(std::time_t seconds);

// The current local time through strftime's format (at most 63 characters).
std::string LocalTimeText(const char* format);

}  // namespace lunaro::platform
