#pragma once
// One compressed table entry as the archive component stores it:
//   u16 LCID, u16 compressed length n (counting the u32 below),
//   u16 k, k bytes of code name, u32 image length, n - 4 compressed bytes.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "tools/message_tables/message_source.h"

namespace lunaro::tools {

// The component refuses images this large; the entry's 16-bit length field
// bounds the compressed data as well.
inline constexpr size_t kMaxImageSize = 50000 - 1;
inline constexpr size_t kMaxCompressedSize = 0xFFFF - 4;

// Compresses the image and prepends the entry header. Raises
// MessageSourceError when a limit is exceeded.
std::vector<uint8_t> ComposeTableEntry(uint16_t lcid, std::string_view name, std::span<const uint8_t> image);

// The image of the source's texts (UTF-16), compressed into an entry.
std::vector<uint8_t> BuildTableEntry(const MessageSource& source);

}  // namespace lunaro::tools
