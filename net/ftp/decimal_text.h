#pragma once
// Numbers as FTP replies and listings write them: optional sign, decimal
// digits, nothing else.
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>

namespace lunaro::net {

// The value of text, or fallback when it is empty, holds anything but the
// number, or does not fit 64 bits.
inline int64_t DecimalOr(std::string_view text, int64_t fallback) {
    const char* first = text.data();
    const char* last = first + text.size();
    if (first != last && *first == '+') ++first;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || error != std::errc() || end != last) return fallback;
    return value;
}

}  // namespace lunaro::net
