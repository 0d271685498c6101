#include "archive/stream_header.h"

#include <cstring>

namespace lunaro::archive {

namespace {

constexpr char kMagic[4] = {'L', 'K', 'S', 'T'};
constexpr uint64_t kMaxSize = uint64_t{1} << 62;  // past any stream's Int64 positions

void Put(uint8_t* at, uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t Get(const uint8_t* at, int bytes) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) value |= uint64_t{at[i]} << (8 * i);
    return value;
}

}  // namespace

std::array<uint8_t, TStreamHeader::kSize> TStreamHeader::Encode() const {
    std::array<uint8_t, kSize> bytes{};
    std::memcpy(bytes.data(), kMagic, sizeof kMagic);
    Put(&bytes[4], Method, 2);
    Put(&bytes[8], Crc, 4);
    Put(&bytes[12], Size, 8);
    Put(&bytes[20], Packed, 8);
    return bytes;
}

std::optional<TStreamHeader> TStreamHeader::Decode(const std::array<uint8_t, kSize>& bytes) {
    if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0 || Get(&bytes[6], 2) != 0) return std::nullopt;
    TStreamHeader header;
    header.Method = static_cast<uint16_t>(Get(&bytes[4], 2));
    header.Crc = static_cast<uint32_t>(Get(&bytes[8], 4));
    header.Size = Get(&bytes[12], 8);
    header.Packed = Get(&bytes[20], 8);
    if (header.Method != 0 && header.Method != 8) return std::nullopt;
    if (header.Size >= kMaxSize || header.Packed >= kMaxSize) return std::nullopt;
    if (header.Method == 0 && header.Packed != header.Size) return std::nullopt;
    return header;
}

}  // namespace lunaro::archive
