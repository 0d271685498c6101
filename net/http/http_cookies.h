#pragma once
// The cookie jar of the HTTP client: name=value lines taken from the
// Set-Cookie headers of every answer and sent back as one Cookie header.
#include <string>

#include "platform/string_list.h"

namespace lunaro::net {

// Stores the name=value pair of every "Set-Cookie:" line of headers in
// cookies (attributes after the first ";" are ignored). A pair replaces an
// entry of the same name; an empty value removes it.
void CollectCookies(const platform::TStringList& headers, platform::TStringList& cookies);

// The Cookie header value: every jar line, joined with "; ".
std::string CookieHeaderValue(const platform::TStringList& cookies);

}  // namespace lunaro::net
