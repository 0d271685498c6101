#pragma once
// The compressed table entries: the built-in table is one entry, the
// language resource a plain sequence of them. Layout of an entry:
//   u16 LCID, u16 n (compressed length + 4), u16 k, k bytes code name,
//   u32 image length, n - 4 bytes compressed image.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lunaro::archive {

// Unpacked images at or above this size are refused.
inline constexpr uint32_t kMaxTableImage = 50000;

struct TableEntry {
    uint16_t lcid = 0;
    std::string name;
    uint32_t imageSize = 0;
    size_t compressedLength = 0;     // as declared
    std::span<const uint8_t> data;   // what is present of it (maybe less)
};

// The entries of a resource, in order. Reading stops at an entry whose
// header does not fit; an entry whose data are cut short is still listed
// (unpacking it fails).
std::vector<TableEntry> ReadTableEntries(std::span<const uint8_t> resource);

// The entry's image followed by the two 0xFF end-mark bytes; nullopt when
// the entry is damaged or too large.
std::optional<std::vector<uint8_t>> UnpackTableEntry(const TableEntry& entry);

}  // namespace lunaro::archive
