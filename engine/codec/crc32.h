#pragma once

#include <cstddef>
#include <cstdint>

namespace lunaro::engine {

// The zip CRC-32 (reflected polynomial 0xEDB88320); crc starts at 0 and the
// result of one call is the crc of the next.
uint32_t Crc32Update(uint32_t crc, const uint8_t* data, size_t len);

}  // namespace lunaro::engine
