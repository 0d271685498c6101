#pragma once
// UTF-8 decoding and encoding shared by the code-page, case and path
// services, and the UTF-8 <-> UTF-16 conversions that binary interfaces need.
//
// Invalid input never stops a conversion: each invalid or truncated UTF-8
// sequence, and each unpaired UTF-16 surrogate, becomes one '?' and the
// optional `exact` flag is set to false (it is left untouched otherwise).
#include <cstddef>
#include <string>
#include <string_view>

namespace lunaro::platform {

inline constexpr char32_t kInvalidCodePoint = 0xFFFFFFFF;

// Decodes the code point starting at text[pos] and moves pos past it. An
// invalid, overlong, surrogate or truncated sequence yields kInvalidCodePoint
// and moves pos by one byte. pos at or past the end yields kInvalidCodePoint
// without moving.
char32_t DecodeUtf8(std::string_view text, size_t& pos);

// Appends the UTF-8 form of a scalar value; anything else appends '?'.
void AppendUtf8(std::string& out, char32_t codePoint);

bool IsValidUtf8(std::string_view text);

std::u16string Utf8ToUtf16(std::string_view text, bool* exact = nullptr);
std::string Utf16ToUtf8(std::u16string_view text, bool* exact = nullptr);

}  // namespace lunaro::platform
