#pragma once
// Composing the request line and header lines of one HTTP request.
#include <cstdint>
#include <string>
#include <vector>

namespace lunaro::net {

// Everything the request head depends on, taken from the split URL and the
// client's settings.
struct THttpRequestHead {
    std::string Method;
    std::string Prot;  // scheme as written in the URL
    std::string User;  // credentials for Basic authorization (8-bit text)
    std::string Pass;
    std::string Host;  // IPv6 literals without brackets
    std::string Port;
    std::string URI;  // path with its parameters
    std::string Protocol;
    int64_t BodySize = 0;
    std::string MimeType;
    std::string UserAgent;
    int64_t RangeStart = 0;
    int64_t RangeEnd = 0;
    std::string CookieHeader;  // value of the Cookie header; empty sends none
    bool KeepAlive = true;
    int32_t KeepAliveTimeout = 300;
    bool Expect100 = false;
    bool UsingProxy = false;
    std::string ProxyUser;  // 8-bit text
    std::string ProxyPass;
    bool AddPortNumberToHost = true;
};

// The request line followed by the header lines, in the order they are
// sent (without the caller's own header lines and the closing empty line).
std::vector<std::string> ComposeRequestHead(const THttpRequestHead& head);

}  // namespace lunaro::net
