#pragma once
// Byte-text conversion between two character sets named as the C library's
// converter knows them ("CP850", "UTF-8", ...).
#include <optional>
#include <string>
#include <string_view>

namespace lunaro::platform {

// Each input sequence that is invalid in `from`, or has no form in `to`,
// becomes one '?' (in `to`) and sets *exact to false; a truncated sequence at
// the end likewise. Nothing when the converter does not know either set.
std::optional<std::string> ConvertCharset(std::string_view bytes, const std::string& from, const std::string& to,
                                          bool* exact = nullptr);

bool CharsetAvailable(const std::string& from, const std::string& to);

}  // namespace lunaro::platform
