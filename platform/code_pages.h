#pragma once
// Code pages by their Windows numbers: 850 and 437 (OEM), 1252 (ANSI), 65001
// (UTF-8), 20127 (US-ASCII), 2859x/28603/28605 (ISO-8859-x), 20866/21866
// (KOI8), any other n as the converter's "CP<n>". 0 means the ANSI code page
// and 1 the OEM code page, as the Windows conversion functions take them.
//
// Invalid or unconvertible input never fails a conversion: each bad
// character becomes '?' and the optional `exact` flag is set to false (left
// untouched otherwise). An unknown code page converts ASCII only: every
// other byte or character becomes '?'.
#include <string>
#include <string_view>

#include "platform/utf8.h"

namespace lunaro::platform {

inline constexpr int kAnsiCodePage = 0;
inline constexpr int kOemCodePage = 1;
inline constexpr int kUtf8CodePage = 65001;

// $LUNARO_OEMCP / $LUNARO_ACP when they name a known code page, else 850 and
// 1252, the code pages of the market the installer is made for.
int OemCodePage();
int AnsiCodePage();

// True for a code page that text can be converted to and from.
bool IsKnownCodePage(int codePage);

std::string CodePageToUtf8(std::string_view bytes, int codePage, bool* exact = nullptr);
std::string Utf8ToCodePage(std::string_view text, int codePage, bool* exact = nullptr);

}  // namespace lunaro::platform
