#pragma once
// What every directory entry offers its users, whether it is the reader's
// own record of a central header or an item of the component's public list
// that refers to one. Values come from the central header as stored.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "archive/operation/zk_types.h"

namespace lunaro::archive {

inline constexpr uint32_t zsbChanged = 0x1;
inline constexpr uint32_t zsbSelected = 0x2;
inline constexpr uint32_t zsbSkipped = 0x4;
inline constexpr uint32_t zsbIgnore = 0x8;  // left out of name searches on its own behalf
inline constexpr uint32_t zsbDirOnly = 0x10;
inline constexpr uint32_t zsbInvalid = 0x20;  // being read
inline constexpr uint32_t zsbHashed = 0x100;
inline constexpr uint32_t zsbLocalDone = 0x200;
inline constexpr uint32_t zsbLocal64 = 0x400;
inline constexpr uint32_t zsbEncMask = 0x70000;
inline constexpr int zsbEncShift = 16;

class TZKDirEntry {
public:
    virtual ~TZKDirEntry() = default;

    virtual int64_t CompressedSize() const = 0;
    virtual uint16_t CompressionMethod() const = 0;
    virtual uint32_t CRC32() const = 0;
    // DOS time in the low 16 bits, DOS date in the high 16 bits.
    virtual uint32_t DateTime() const = 0;
    virtual TZKEncodingOpts Encoded() const = 0;
    virtual bool Encrypted() const = 0;
    virtual uint32_t ExtFileAttrib() const = 0;
    virtual std::string ExtraField() const = 0;
    virtual std::string FileComment() = 0;
    virtual uint16_t FileCommentLen() const = 0;
    virtual std::string FileName() = 0;
    virtual uint16_t FileNameLength() const = 0;
    virtual uint16_t Flag() const = 0;
    virtual std::string HeaderName() const = 0;
    virtual uint16_t IntFileAttrib() const = 0;
    virtual int64_t RelOffLocalHdr() const = 0;
    virtual uint32_t StartOnDisk() const = 0;
    virtual uint32_t StatusBits() const = 0;
    virtual int64_t UncompressedSize() const = 0;
    virtual uint16_t VersionMadeBy() const = 0;
    virtual uint16_t VersionNeeded() const = 0;

    int ExtraFieldLength() const { return static_cast<int>(ExtraField().size()); }
    bool IsDirOnly() const { return (StatusBits() & zsbDirOnly) != 0; }
    // The DOS date-time taken as local time, as a UTC day count since
    // 1899-12-30; 0 when the DOS value is not a valid date and time.
    double DateStamp() const;
    // An extra-field block with its header, or without (ExtraBlockData).
    std::optional<std::string> FindExtraBlock(uint16_t tag) const;
    std::optional<std::string> ExtraBlockData(uint16_t tag) const;
};

// The UTC day count of a DOS date-time read as local time; 0 when invalid.
double DosDateTimeToStamp(uint32_t dosDateTime);

}  // namespace lunaro::archive
