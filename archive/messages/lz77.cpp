#include "archive/messages/lz77.h"

#include <array>

namespace lunaro::archive {

int Lz77Decode(std::span<const uint8_t> input, size_t compressedLength, size_t expectedLength,
               std::vector<uint8_t>& out) {
    constexpr size_t kRingMask = 4095;
    std::array<uint8_t, 4096> ring{};
    size_t write = 0xFF0;
    out.clear();
    out.reserve(expectedLength);

    const size_t available = input.size() < compressedLength ? input.size() : compressedLength;
    size_t pos = 0;
    bool overran = false;
    auto emit = [&](uint8_t byte) {
        out.push_back(byte);
        ring[write] = byte;
        write = (write + 1) & kRingMask;
    };

    while (pos < available && !overran) {
        const uint8_t flags = input[pos++];
        for (int bit = 0; bit < 8 && pos < available; ++bit) {
            if (flags & (1u << bit)) {
                if (out.size() >= expectedLength) { overran = true; break; }
                emit(input[pos++]);
                continue;
            }
            if (pos + 2 > available) { overran = true; break; }  // a reference cut in half
            const uint8_t b1 = input[pos];
            const uint8_t b2 = input[pos + 1];
            pos += 2;
            size_t offset = b1 + static_cast<size_t>(b2 & 0xF0) * 16;
            const size_t length = static_cast<size_t>(b2 & 0x0F) + 3;
            if (out.size() + length > expectedLength) { overran = true; break; }
            for (size_t i = 0; i < length; ++i) {
                emit(ring[offset]);
                offset = (offset + 1) & kRingMask;
            }
        }
    }
    if (overran || pos != compressedLength) return kLz77Damaged;
    return out.size() == expectedLength ? kLz77Ok : kLz77WrongLength;
}

}  // namespace lunaro::archive
