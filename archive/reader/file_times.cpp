#include "archive/reader/file_times.h"

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

}  // namespace

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
