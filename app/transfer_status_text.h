#pragma once
// The one-line status of a running transfer:
//   downloaded / total KB  -  speed KB/s  -  hh:mm:ss
// with the user's digit grouping and decimal separator.
#include <cstdint>
#include <string>

#include "platform/locale_info.h"

namespace lunaro::app {

// Whole number with a separator between groups of three digits.
std::string FormatGroupedInteger(int64_t value, const std::string& thousandsSeparator);

// Byte counts are shown in KB (1024 bytes) rounded to the nearest whole
// number; the speed with two decimals; remainingSeconds as hours, minutes
// and seconds, at least two digits each. A speed that is not a finite number
// shows as zero.
std::string FormatTransferStatus(int32_t bytesToDownload, int32_t bytesDownloaded, double averageSpeedKBs,
                                 uint16_t remainingSeconds, const platform::NumberSeparators& separators);

}  // namespace lunaro::app
