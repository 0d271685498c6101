#include "archive/directory/dir_entry.h"

#include <ctime>

#include "archive/reader/extra_fields.h"
#include "platform/date_time.h"

namespace lunaro::archive {

double DosDateTimeToStamp(uint32_t dosDateTime) {
    static constexpr int kMonthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int second = static_cast<int>(dosDateTime & 0x1F) * 2;
    const int minute = static_cast<int>((dosDateTime >> 5) & 0x3F);
    const int hour = static_cast<int>((dosDateTime >> 11) & 0x1F);
    const int day = static_cast<int>((dosDateTime >> 16) & 0x1F);
    const int month = static_cast<int>((dosDateTime >> 21) & 0x0F);
    const int year = 1980 + static_cast<int>(dosDateTime >> 25);
    if (second > 59 || minute > 59 || hour > 23 || month < 1 || month > 12 || day < 1) return 0;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (day > kMonthDays[month - 1] || (month == 2 && day == 29 && !leap)) return 0;

    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const std::time_t utc = std::mktime(&local);
    if (utc == static_cast<std::time_t>(-1)) return 0;
    return platform::kUnixEpochDays + static_cast<double>(utc) / 86400.0;
}

double TZKDirEntry::DateStamp() const { return DosDateTimeToStamp(DateTime()); }

std::optional<std::string> TZKDirEntry::FindExtraBlock(uint16_t tag) const {
    const std::string extra = ExtraField();
    auto block = archive::FindExtraBlock(extra, tag);
    if (!block) return std::nullopt;
    return std::string(*block);
}

std::optional<std::string> TZKDirEntry::ExtraBlockData(uint16_t tag) const {
    const std::string extra = ExtraField();
    auto data = archive::ExtraBlockData(extra, tag);
    if (!data) return std::nullopt;
    return std::string(*data);
}

}  // namespace lunaro::archive
