#include "archive/reader/file_times.h"

#include <cmath>
#include <cstdio>

namespace lunaro::archive {

namespace {

constexpr int64_t kSecondsFrom1601To1970 = 11644473600;

struct DosFields {
    int year, month, day, hour, minute, second;
};

DosFields Unpack(uint32_t value) {
    return {static_cast<int>(1980 + (value >> 25)),  static_cast<int>((value >> 21) & 0x0F),
            static_cast<int>((value >> 16) & 0x1F),  static_cast<int>((value >> 11) & 0x1F),
            static_cast<int>((value >> 5) & 0x3F),   static_cast<int>((value & 0x1F) * 2)};
}

uint32_t Pack(const DosFields& f) {
    return (static_cast<uint32_t>(f.year - 1980) << 25) | (static_cast<uint32_t>(f.month) << 21) |
           (static_cast<uint32_t>(f.day) << 16) | (static_cast<uint32_t>(f.hour) << 11) |
           (static_cast<uint32_t>(f.minute) << 5) | static_cast<uint32_t>(f.second / 2);
}

constexpr DosFields kFirstDos{1980, 1, 1, 0, 0, 0};
constexpr DosFields kLastDos{2107, 12, 31, 23, 59, 58};
constexpr int64_t kDaysFrom1899To1970 = 25569;

// The calendar date of a day number counted from 1970-01-01.
void CivilFromDays(int64_t z, DosFields& f) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    f.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    f.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    f.year = static_cast<int>(yoe + era * 400 + (f.month <= 2 ? 1 : 0));
}

}  // namespace

uint32_t DosDateTimeFromDateTime(double dateTime) {
    // 1980-01-01 and 2108-01-01 as day numbers; NaN fails both tests.
    if (!(dateTime >= 29221.0)) return Pack(kFirstDos);
    if (!(dateTime < 75972.0)) return Pack(kLastDos);
    const double whole = std::floor(dateTime);
    int64_t days = static_cast<int64_t>(whole);
    int64_t seconds = std::llround((dateTime - whole) * 86400.0);
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    DosFields f{};
    CivilFromDays(days - kDaysFrom1899To1970, f);
    if (f.year > kLastDos.year) return Pack(kLastDos);
    f.hour = static_cast<int>(seconds / 3600);
    f.minute = static_cast<int>(seconds / 60 % 60);
    f.second = static_cast<int>(seconds % 60);
    return Pack(f);
}

int64_t FileTimeFromUnix(int64_t seconds, int64_t nanoseconds) {
    return (seconds + kSecondsFrom1601To1970) * 10000000 + nanoseconds / 100;
}

std::optional<std::time_t> UnixTimeFromDosDateTime(uint32_t dosDateTime) {
    const DosFields f = Unpack(dosDateTime);
    if (f.month < 1 || f.month > 12 || f.day < 1 || f.hour > 23 || f.minute > 59 || f.second > 59) return std::nullopt;
    std::tm parts{};
    parts.tm_year = f.year - 1900;
    parts.tm_mon = f.month - 1;
    parts.tm_mday = f.day;
    parts.tm_hour = f.hour;
    parts.tm_min = f.minute;
    parts.tm_sec = f.second;
    parts.tm_isdst = -1;
    const std::time_t result = std::mktime(&parts);
    // mktime normalises 31 February into March; such a date is not real.
    if (result == static_cast<std::time_t>(-1) || parts.tm_mday != f.day) return std::nullopt;
    return result;
}

std::string FormatDosDateTime(uint32_t dosDateTime) {
    const DosFields f = Unpack(dosDateTime);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute,
                  f.second);
    return text;
}

}  // namespace lunaro::archive
