#pragma once
// Compressor for the archive component's message tables: the 4096-byte ring
// scheme whose decoder lives in archive/messages/lz77.h. Greedy matching is enough for
// tables of a few kilobytes that are compressed once at build time.
#include <cstdint>
#include <span>
#include <vector>

namespace lunaro::tools {

std::vector<uint8_t> Lz77Encode(std::span<const uint8_t> data);

}  // namespace lunaro::tools
