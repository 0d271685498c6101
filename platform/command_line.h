#pragma once
// Splitting a Windows command-line text into its arguments.
#include <string>
#include <string_view>
#include <vector>

namespace lunaro::platform {

// Spaces and tabs separate arguments outside double quotes; a double quote
// toggles quoting; 2n backslashes before a quote give n backslashes and the
// quote toggles, 2n+1 give n backslashes and a literal quote; other
// backslashes are literal. "" alone is an empty argument.
std::vector<std::string> SplitCommandLine(std::string_view text);

}  // namespace lunaro::platform
