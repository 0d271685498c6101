#pragma once
// Formatting of message texts with their printf-like placeholders: %s, %d,
// %u, %x with optional '-', width and precision ("%.1d"), and "%%". A text
// is data (it may come from a translation), so a placeholder without a
// matching argument stays as written and an argument of the other kind is
// shown as it is, instead of failing the report that needed the text.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace lunaro::archive {

using TZKFormatArg = std::variant<int64_t, std::string>;
using TZKFormatArgs = std::vector<TZKFormatArg>;

std::string FormatMessageText(std::string_view format, const TZKFormatArgs& args);

}  // namespace lunaro::archive
