#pragma once
// The user's regional settings, read from the locale the environment names
// (LC_ALL, then the category's own variable, then LANG) without touching the
// process-wide locale. Texts come back as UTF-8. When the environment names
// no locale, the C locale, or one that is not installed, the answers are
// those of the C locale with digit grouping by ",": thousands ",", decimal
// ".", time separator ":", month names "Jan".."Dec".
#include <array>
#include <string>
#include <string_view>

namespace lunaro::platform {

struct NumberSeparators {
    std::string thousands;
    std::string decimal;
};

// From LC_NUMERIC.
NumberSeparators UserNumberSeparators();
// From LC_TIME: the text between hours and minutes in the time format.
std::string UserTimeSeparator();
// From LC_TIME: "jan", "fev", ... in a Brazilian locale.
std::array<std::string, 12> UserShortMonthNames();
// Upper-casing with the case rules of LC_CTYPE (for a locale that is not
// UTF-8 based, the locale-independent Unicode rules).
std::string UserUpperCase(std::string_view text);

}  // namespace lunaro::platform
