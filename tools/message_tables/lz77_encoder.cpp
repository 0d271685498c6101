#include "tools/message_tables/lz77_encoder.h"

#include <array>

namespace lunaro::tools {

namespace {

constexpr size_t kRingSize = 4096;
constexpr size_t kRingMask = kRingSize - 1;
constexpr size_t kStartPosition = 0xFF0;
constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 18;

struct Match {
    size_t offset = 0;
    size_t length = 0;
};

// The decoder copies byte by byte, so a source range that runs into the
// write position reads bytes produced by the same copy. Reproduce that here
// so overlapping matches (runs) are found and stay correct.
size_t MatchLength(const std::array<uint8_t, kRingSize>& ring, size_t write, size_t offset,
                   std::span<const uint8_t> rest) {
    const size_t limit = rest.size() < kMaxMatch ? rest.size() : kMaxMatch;
    size_t length = 0;
    while (length < limit) {
        const size_t source = (offset + length) & kRingMask;
        const size_t sinceWrite = (source - write) & kRingMask;
        const uint8_t byte = sinceWrite < length ? rest[sinceWrite] : ring[source];
        if (byte != rest[length]) break;
        ++length;
    }
    return length;
}

Match LongestMatch(const std::array<uint8_t, kRingSize>& ring, size_t write, std::span<const uint8_t> rest) {
    Match best;
    for (size_t offset = 0; offset < kRingSize && best.length < kMaxMatch; ++offset) {
        if (ring[offset] != rest[0]) continue;
        const size_t length = MatchLength(ring, write, offset, rest);
        if (length > best.length) best = {offset, length};
    }
    return best;
}

}  // namespace

std::vector<uint8_t> Lz77Encode(std::span<const uint8_t> data) {
    std::array<uint8_t, kRingSize> ring{};
    size_t write = kStartPosition;
    std::vector<uint8_t> out;
    size_t flagIndex = 0;
    int itemsInGroup = 8;
    size_t pos = 0;
    while (pos < data.size()) {
        if (itemsInGroup == 8) {
            flagIndex = out.size();
            out.push_back(0);
            itemsInGroup = 0;
        }
        const Match match = LongestMatch(ring, write, data.subspan(pos));
        size_t length = 1;
        if (match.length >= kMinMatch) {
            length = match.length;
            out.push_back(static_cast<uint8_t>(match.offset & 0xFF));
            out.push_back(static_cast<uint8_t>(((match.offset >> 4) & 0xF0) | (length - kMinMatch)));
        } else {
            out[flagIndex] = static_cast<uint8_t>(out[flagIndex] | (1u << itemsInGroup));
            out.push_back(data[pos]);
        }
        for (size_t i = 0; i < length; ++i) {
            ring[write] = data[pos + i];
            write = (write + 1) & kRingMask;
        }
        pos += length;
        ++itemsInGroup;
    }
    return out;
}

}  // namespace lunaro::tools
