#pragma once
// Walking a central header's extra field and accepting the Unicode Path and
// Unicode Comment blocks it may carry.
#include <cstdint>
#include <optional>
#include <string_view>

namespace lunaro::archive {

inline constexpr uint16_t kZip64ExtraTag = 0x0001;
inline constexpr uint16_t kUnicodePathTag = 0x7075;
inline constexpr uint16_t kUnicodeCommentTag = 0x6375;

// The first block with this tag, header included, when its data lies wholly
// inside the field. The walk stops at the first block with the tag even when
// that block overruns the field.
std::optional<std::string_view> FindExtraBlock(std::string_view extra, uint16_t tag);

// The same block without its 4-byte header.
std::optional<std::string_view> ExtraBlockData(std::string_view extra, uint16_t tag);

// Lead bytes start runs of 1 to 6 bytes whose continuation bytes lie in
// 0x80-0xBF; anything else, or a run cut off by the end, is malformed.
bool IsWellFormedUtf8(std::string_view text);

// The UTF-8 text of a Unicode Path/Comment block (tag) that belongs to the
// stored bytes: version 1, CRC-32 of `stored`, non-empty well-formed text.
std::optional<std::string_view> UnicodeFieldText(std::string_view extra, uint16_t tag, std::string_view stored);

}  // namespace lunaro::archive
