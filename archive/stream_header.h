#pragma once
// The header a compressed stream of the component starts with: what it
// takes to check the stream on its way back (method, CRC-32, both sizes),
// so that a damaged, cut or foreign stream is refused instead of expanded
// into something else. 28 bytes, little-endian:
//   0  "LKST"   4  method (u16: 0 stored, 8 deflated)   6  flags (u16, 0)
//   8  CRC-32 of the uncompressed bytes (u32)
//   12 uncompressed size (u64)   20 compressed size after the header (u64)
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace lunaro::archive {

struct TStreamHeader {
    static constexpr size_t kSize = 28;

    uint16_t Method = 0;
    uint32_t Crc = 0;
    uint64_t Size = 0;
    uint64_t Packed = 0;

    std::array<uint8_t, kSize> Encode() const;
    // nullopt when the bytes are not such a header or describe nothing
    // that could be real (an unknown method or flag, a copy whose two
    // sizes differ, sizes beyond any stream).
    static std::optional<TStreamHeader> Decode(const std::array<uint8_t, kSize>& bytes);
};

}  // namespace lunaro::archive
