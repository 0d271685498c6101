#pragma once
// Little-endian field access and the record signatures of the zip format.
// Callers check lengths first; these only assemble bytes.
#include <cstdint>

namespace lunaro::archive {

inline uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

inline uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

inline uint64_t GetU64(const uint8_t* p) { return GetU32(p) | (static_cast<uint64_t>(GetU32(p + 4)) << 32); }

inline constexpr uint32_t kLocalHeaderSig = 0x04034B50;
inline constexpr uint32_t kSpanMarkerSig = 0x08074B50;
inline constexpr uint32_t kCentralHeaderSig = 0x02014B50;
inline constexpr uint32_t kEndRecordSig = 0x06054B50;
inline constexpr uint32_t kZip64LocatorSig = 0x07064B50;
inline constexpr uint32_t kZip64EndRecordSig = 0x06064B50;
inline constexpr uint16_t kStubSig = 0x5A4D;  // "MZ"

inline constexpr int kEndRecordSize = 22;
inline constexpr int kZip64LocatorSize = 20;
inline constexpr int kZip64EndRecordSize = 56;
inline constexpr int kCentralHeaderSize = 46;
inline constexpr int kLocalHeaderSize = 30;
// A field holding this says its value is in the Zip64 records instead.
inline constexpr uint16_t kEscape16 = 0xFFFF;
inline constexpr uint32_t kEscape32 = 0xFFFFFFFF;
// The newest format version the reader takes a Zip64 end record of.
inline constexpr uint8_t kZip64VersionNeeded = 45;

// The end record plus the longest comment it can announce.
inline constexpr int kEndRecordWindow = kEndRecordSize + kEscape16;

}  // namespace lunaro::archive
