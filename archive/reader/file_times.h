#pragma once
// File times of the archive reader: the system's 64-bit file time (100 ns
// units since 1601-01-01 UTC) and the packed DOS date-time (local time,
// two-second steps) that archives and stamped files use.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace lunaro::archive {

int64_t FileTimeFromUnix(int64_t seconds, int64_t nanoseconds);

// nullopt for a value that names no real date and time.
std::optional<std::time_t> UnixTimeFromDosDateTime(uint32_t dosDateTime);

// The packed DOS date-time of a local date-time counted in days since
// 1899-12-30; times outside 1980 to 2107 take the nearest end of that range.
uint32_t DosDateTimeFromDateTime(double dateTime);

// "YYYY-MM-DD hh:mm:ss" of the packed fields, whatever their validity.
std::string FormatDosDateTime(uint32_t dosDateTime);

}  // namespace lunaro::archive
