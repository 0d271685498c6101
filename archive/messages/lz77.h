#pragma once
// Decoder of the message tables' compression: a 4096-byte ring, zero-filled,
// written from 0xFF0; groups of one flag byte (least significant bit first)
// and up to eight items, a set bit being one literal byte and a clear bit a
// two-byte back-reference (12-bit ring offset, length 3 to 18) copied byte by
// byte. The compressor is tools/message_tables/lz77_encoder.h.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lunaro::archive {

inline constexpr int kLz77Ok = 0;
inline constexpr int kLz77Damaged = -1;       // input ended early, overran or produced too much
inline constexpr int kLz77WrongLength = -2;   // all input consumed, but the output has the wrong length

// Decodes up to compressedLength bytes of input (which may hold fewer) and
// expects exactly expectedLength bytes of output. Never writes more than
// expectedLength bytes; out holds what was decoded even on failure.
int Lz77Decode(std::span<const uint8_t> input, size_t compressedLength, size_t expectedLength,
               std::vector<uint8_t>& out);

}  // namespace lunaro::archive
