#pragma once
// Where a redirect leads: a Location resolved against the address that was
// redirected, as RFC 3986 resolves a reference against its base. Only
// http and https addresses come out, and never with raw whitespace or
// control bytes, since the result goes into a request line.
#include <string>

namespace lunaro::download {

struct TResolvedLocation {
    std::string Url;      // the absolute address, without a fragment; "" when refused
    std::string Problem;  // why it was refused, in English for logs and tests
};

// base is the current URL; one without a scheme counts as "http://".
TResolvedLocation ResolveLocation(const std::string& location, const std::string& base);

}  // namespace lunaro::download
