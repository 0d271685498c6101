#include "engine/exec/entry_facts.h"

#include <algorithm>
#include <cmath>

namespace lunaro::engine {

namespace {

constexpr uint16_t kExtendedTimestampTag = 0x5455;
constexpr int kUnixHost = 3;
constexpr uint32_t kFileTypeMask = 0170000;
constexpr uint32_t kLinkType = 0120000;
constexpr double kUnixEpochDay = 25569.0;  // 1970-01-01 as a day count since 1899-12-30

}  // namespace

std::optional<int64_t> EntryModTime(const archive::TZKIRec& rec) {
    const std::optional<std::string> stamp = rec.ExtraBlockData(kExtendedTimestampTag);
    if (stamp && stamp->size() >= 5 && (static_cast<uint8_t>((*stamp)[0]) & 1) != 0) {
        uint32_t seconds = 0;
        for (int i = 3; i >= 0; --i) seconds = (seconds << 8) | static_cast<uint8_t>((*stamp)[1 + i]);
        return static_cast<int32_t>(seconds);
    }
    const double day = archive::DosDateTimeToStamp(rec.DateTime());
    if (day == 0) return std::nullopt;
    return std::llround((day - kUnixEpochDay) * 86400.0);
}

bool IsFolderEntry(const archive::TZKIRec& rec) {
    const std::string_view name = rec.RawName();
    return !name.empty() && (name.back() == '/' || name.back() == '\\');
}

bool IsLinkEntry(const archive::TZKIRec& rec) {
    return (rec.VersionMadeBy() >> 8) == kUnixHost && ((rec.ExtFileAttrib() >> 16) & kFileTypeMask) == kLinkType;
}

std::string DisplayName(archive::TZKIRec& rec) {
    std::string name(rec.DecodedName());
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

}  // namespace lunaro::engine
