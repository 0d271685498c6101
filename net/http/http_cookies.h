#pragma once
// The cookie jar of the HTTP client: name=value lines taken from the
// Set-Cookie headers of every answer and sent back as one Cookie header,
// each only to the hosts its server allowed.
#include <map>
#include <string>

#include "platform/string_list.h"

namespace lunaro::net {

// Where a cookie set by a server may go back to: without a Domain
// attribute only the host that set it; with one, that domain and the hosts
// below it.
struct TCookieScope {
    std::string Domain;  // upper case
    bool HostOnly = true;
};
// By cookie name (upper case). A jar line without a scope is the caller's
// own and goes to every host.
using TCookieScopes = std::map<std::string, TCookieScope>;

// Stores the name=value pair of every "Set-Cookie:" line of headers in
// cookies. A pair replaces an entry of the same name; an empty value removes
// it. With scopes, each cookie's scope as set by host is kept there too. A
// Domain that host does not lie in, or any Domain for an address literal,
// is taken as no Domain at all.
void CollectCookies(const platform::TStringList& headers, platform::TStringList& cookies,
                    const std::string& host = {}, TCookieScopes* scopes = nullptr);

// The Cookie header value for a request to host: every jar line its scope
// lets go there, joined with "; ".
std::string CookieHeaderValue(const platform::TStringList& cookies, const TCookieScopes& scopes = {},
                              const std::string& host = {});

}  // namespace lunaro::net
