#pragma once
// Letter-case helpers. Three flavours, because the services need different
// rules: ASCII-only (INI names, string-list names, as the formats define
// them), invariant Unicode (file names, which must not depend on the user's
// settings) and locale-aware (text shown to or typed by the user; see
// locale_info.h).
#include <locale.h>

#include <string>
#include <string_view>

namespace lunaro::platform {

std::string AsciiUpperCase(std::string_view text);
bool SameTextAscii(std::string_view a, std::string_view b);

// Upper-cases UTF-8 text with the case rules of `locale`; a null locale
// upper-cases ASCII letters only. Bytes that are not valid UTF-8 are kept.
std::string UpperCaseWithLocale(std::string_view text, locale_t locale);

// The locale-independent Unicode upper-case mapping.
std::string InvariantUpperCase(std::string_view text);
bool SameTextInvariant(std::string_view a, std::string_view b);

}  // namespace lunaro::platform
