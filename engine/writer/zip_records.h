#pragma once
// The records the engine writes into an archive, as bytes. Sizes and
// offsets that do not fit 32 bits (or a count that does not fit 16) move
// into Zip64 fields; everything else stays in the plain ones, so that an
// archive that needs no Zip64 carries none.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lunaro::engine {

inline constexpr uint16_t kFlagEncrypted = 0x0001;
inline constexpr uint16_t kFlagDescriptor = 0x0008;  // CRC and sizes follow the data
inline constexpr uint16_t kFlagUtf8 = 0x0800;
inline constexpr uint16_t kMadeByUnix = 3 << 8;
inline constexpr uint16_t kZip64Tag = 0x0001;
inline constexpr uint16_t kTimestampTag = 0x5455;
inline constexpr uint16_t kUnicodePathTag = 0x7075;

// One entry of the new archive, as its central record will say.
struct TWriterEntry {
    std::string Name;  // the stored bytes
    uint16_t VersionMadeBy = kMadeByUnix | 20;
    uint16_t VersionNeeded = 20;  // before Zip64 raises it
    uint16_t Flags = 0;
    uint16_t Method = 0;
    uint32_t DosTime = 0;
    uint32_t Crc = 0;
    uint64_t CompressedSize = 0;
    uint64_t Size = 0;
    uint64_t Offset = 0;  // of the local header
    uint16_t InternalAttributes = 0;
    uint32_t ExternalAttributes = 0;
    std::string CentralExtra;  // without a Zip64 field: that one is made here
    std::string Comment;
};

// Whether the local header must carry both sizes in a Zip64 field: decided
// before the data is written, from what the entry may grow to.
bool NeedsZip64Sizes(uint64_t size, uint64_t compressedSize);

// The local header. With zip64Sizes, the sizes go into a Zip64 field (and
// the plain ones read 0xFFFFFFFF); with the descriptor flag, CRC and sizes
// are zero here and follow the data.
std::string LocalHeader(const TWriterEntry& entry, std::string_view localExtra, bool zip64Sizes);
// The record that follows the data of an entry with the descriptor flag.
std::string DataDescriptor(const TWriterEntry& entry, bool zip64Sizes);
std::string CentralHeader(const TWriterEntry& entry);
// Zip64 end records when needed, then the end record with the comment.
std::string EndRecords(uint64_t count, uint64_t directoryOffset, uint64_t directorySize, std::string_view comment);

// The extra field without the fields of the given tags; a malformed tail is
// dropped, since nothing could read it anyway.
std::string WithoutFields(std::string_view extra, const std::vector<uint16_t>& tags);
// An extended timestamp field holding the modification time.
std::string TimestampField(int64_t modTime);

// DOS date and time (local time) of seconds since 1970; 1980-01-01 for
// anything earlier.
uint32_t DosDateTime(int64_t modTime);

}  // namespace lunaro::engine
