#pragma once
// The proxy that people's environment names for a URL, read the way their
// other tools read it: http_proxy for "http" URLs, https_proxy for "https"
// (the lower-case name wins over the upper-case one), unless no_proxy lists
// the host. no_proxy is a comma-separated list: "*" matches every host; an
// entry matches the host itself and every name below it ("example.org" and
// ".example.org" both match "a.example.org"); an entry with ":PORT" matches
// only that port; addresses match only themselves.
#include <functional>
#include <string>

namespace lunaro::net {

struct TProxyChoice {
    bool Use = false;   // a proxy applies to this URL
    std::string Host;   // IPv6 literals without brackets
    std::string Port;   // "1080" by default, as people's tools assume
    std::string User;
    std::string Pass;
    std::string Source;  // the variable it came from, for messages
    std::string Error;   // non-empty: the variable holds no usable proxy
};

// Looks a variable up; "" when unset.
using TEnvironmentLookup = std::function<std::string(const char* name)>;

TProxyChoice ProxyFromEnvironment(const std::string& url, const TEnvironmentLookup& lookup);
TProxyChoice ProxyFromEnvironment(const std::string& url);

// Whether a no_proxy list excludes host:port.
bool NoProxyMatches(const std::string& list, const std::string& host, const std::string& port);

// host, port, user and password of a proxy written as "http://u:p@host:port/",
// "host:port" or "host"; Error set when it names no host, gives another
// scheme than http, or a port that is not a number from 1 to 65535.
TProxyChoice ParseProxyUrl(const std::string& text);

}  // namespace lunaro::net
