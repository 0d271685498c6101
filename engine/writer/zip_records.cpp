#include "engine/writer/zip_records.h"

#include <algorithm>
#include <ctime>

namespace lunaro::engine {

namespace {

constexpr uint32_t kLocalSig = 0x04034b50;
constexpr uint32_t kCentralSig = 0x02014b50;
constexpr uint32_t kDescriptorSig = 0x08074b50;
constexpr uint32_t kEndSig = 0x06054b50;
constexpr uint32_t kZip64EndSig = 0x06064b50;
constexpr uint32_t kZip64LocatorSig = 0x07064b50;
constexpr uint64_t kMax32 = 0xFFFFFFFFu;
constexpr uint64_t kMax16 = 0xFFFFu;
constexpr uint16_t kZip64Version = 45;

void Put16(std::string& out, uint64_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, uint64_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, (v >> 16) & 0xFFFF);
}
void Put64(std::string& out, uint64_t v) {
    Put32(out, v & kMax32);
    Put32(out, v >> 32);
}
uint32_t Clamp32(uint64_t v) { return v >= kMax32 ? static_cast<uint32_t>(kMax32) : static_cast<uint32_t>(v); }

std::string Zip64Field(const std::vector<uint64_t>& values) {
    std::string field;
    Put16(field, kZip64Tag);
    Put16(field, values.size() * 8);
    for (const uint64_t v : values) Put64(field, v);
    return field;
}

// Extra fields add up to at most 65535 bytes; anything beyond is cut, the
// Zip64 field (put first) always kept.
std::string Capped(std::string extra) {
    if (extra.size() > kMax16) extra.resize(kMax16);
    return extra;
}

}  // namespace

bool NeedsZip64Sizes(uint64_t size, uint64_t compressedSize) {
    // Deflate may grow incompressible data a little: the margin covers it.
    constexpr uint64_t kLimit = 0xF0000000u;
    return size >= kLimit || compressedSize >= kLimit;
}

std::string LocalHeader(const TWriterEntry& entry, std::string_view localExtra, bool zip64Sizes) {
    const bool later = (entry.Flags & kFlagDescriptor) != 0;
    std::string extra;
    if (zip64Sizes) extra = Zip64Field({later ? 0 : entry.Size, later ? 0 : entry.CompressedSize});
    extra = Capped(extra + WithoutFields(localExtra, {kZip64Tag}));
    std::string out;
    Put32(out, kLocalSig);
    Put16(out, zip64Sizes ? std::max(entry.VersionNeeded, kZip64Version) : entry.VersionNeeded);
    Put16(out, entry.Flags);
    Put16(out, entry.Method);
    Put32(out, entry.DosTime);
    Put32(out, later ? 0 : entry.Crc);
    Put32(out, zip64Sizes ? kMax32 : later ? 0 : entry.CompressedSize);
    Put32(out, zip64Sizes ? kMax32 : later ? 0 : entry.Size);
    Put16(out, entry.Name.size());
    Put16(out, extra.size());
    return out + entry.Name + extra;
}

std::string DataDescriptor(const TWriterEntry& entry, bool zip64Sizes) {
    std::string out;
    Put32(out, kDescriptorSig);
    Put32(out, entry.Crc);
    if (zip64Sizes) {
        Put64(out, entry.CompressedSize);
        Put64(out, entry.Size);
    } else {
        Put32(out, entry.CompressedSize);
        Put32(out, entry.Size);
    }
    return out;
}

std::string CentralHeader(const TWriterEntry& entry) {
    std::vector<uint64_t> wide;
    if (entry.Size >= kMax32) wide.push_back(entry.Size);
    if (entry.CompressedSize >= kMax32) wide.push_back(entry.CompressedSize);
    if (entry.Offset >= kMax32) wide.push_back(entry.Offset);
    std::string extra = WithoutFields(entry.CentralExtra, {kZip64Tag});
    if (!wide.empty()) extra = Zip64Field(wide) + extra;
    extra = Capped(std::move(extra));
    const std::string_view comment = std::string_view(entry.Comment).substr(0, kMax16);
    std::string out;
    Put32(out, kCentralSig);
    Put16(out, wide.empty() ? entry.VersionMadeBy
                            : (entry.VersionMadeBy & 0xFF00) | std::max<uint16_t>(entry.VersionMadeBy & 0xFF, kZip64Version));
    Put16(out, wide.empty() ? entry.VersionNeeded : std::max(entry.VersionNeeded, kZip64Version));
    Put16(out, entry.Flags);
    Put16(out, entry.Method);
    Put32(out, entry.DosTime);
    Put32(out, entry.Crc);
    Put32(out, Clamp32(entry.CompressedSize));
    Put32(out, Clamp32(entry.Size));
    Put16(out, entry.Name.size());
    Put16(out, extra.size());
    Put16(out, comment.size());
    Put16(out, 0);  // disk number
    Put16(out, entry.InternalAttributes);
    Put32(out, entry.ExternalAttributes);
    Put32(out, Clamp32(entry.Offset));
    out += entry.Name;
    out += extra;
    out += comment;
    return out;
}

std::string EndRecords(uint64_t count, uint64_t directoryOffset, uint64_t directorySize, std::string_view comment) {
    std::string out;
    if (count >= kMax16 || directoryOffset >= kMax32 || directorySize >= kMax32) {
        const uint64_t zip64End = directoryOffset + directorySize;
        Put32(out, kZip64EndSig);
        Put64(out, 44);  // the record's size after this field
        Put16(out, kMadeByUnix | kZip64Version);
        Put16(out, kZip64Version);
        Put32(out, 0);
        Put32(out, 0);
        Put64(out, count);
        Put64(out, count);
        Put64(out, directorySize);
        Put64(out, directoryOffset);
        Put32(out, kZip64LocatorSig);
        Put32(out, 0);
        Put64(out, zip64End);
        Put32(out, 1);
    }
    comment = comment.substr(0, kMax16);
    Put32(out, kEndSig);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, std::min(count, kMax16));
    Put16(out, std::min(count, kMax16));
    Put32(out, Clamp32(directorySize));
    Put32(out, Clamp32(directoryOffset));
    Put16(out, comment.size());
    out += comment;
    return out;
}

std::string WithoutFields(std::string_view extra, const std::vector<uint16_t>& tags) {
    std::string kept;
    size_t at = 0;
    while (at + 4 <= extra.size()) {
        const auto byte = [&](size_t i) { return static_cast<uint16_t>(static_cast<uint8_t>(extra[at + i])); };
        const uint16_t tag = static_cast<uint16_t>(byte(0) | (byte(1) << 8));
        const size_t len = static_cast<size_t>(byte(2) | (byte(3) << 8));
        if (at + 4 + len > extra.size()) break;
        if (std::find(tags.begin(), tags.end(), tag) == tags.end()) kept.append(extra.substr(at, 4 + len));
        at += 4 + len;
    }
    return kept;
}

std::string TimestampField(int64_t modTime) {
    std::string field;
    Put16(field, kTimestampTag);
    Put16(field, 5);
    field.push_back(1);  // modification time present
    Put32(field, static_cast<uint32_t>(std::clamp<int64_t>(modTime, 0, kMax32)));
    return field;
}

uint32_t DosDateTime(int64_t modTime) {
    const time_t t = static_cast<time_t>(modTime);
    struct tm local {};
    if (::localtime_r(&t, &local) == nullptr || local.tm_year < 80) return (1u << 21) | (1u << 16);
    const int year = std::min(local.tm_year - 80, 127);
    return static_cast<uint32_t>(year) << 25 | static_cast<uint32_t>(local.tm_mon + 1) << 21 |
           static_cast<uint32_t>(local.tm_mday) << 16 | static_cast<uint32_t>(local.tm_hour) << 11 |
           static_cast<uint32_t>(local.tm_min) << 5 | static_cast<uint32_t>(local.tm_sec / 2);
}

}  // namespace lunaro::engine
