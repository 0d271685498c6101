#include "net/http/http_request_headers.h"

#include "net/text_utils.h"
#include "platform/text_case.h"

namespace lunaro::net {

namespace {

std::string BasicCredentials(const std::string& user, const std::string& pass) {
    return "Basic " + Base64Encode(user + ":" + pass);
}

bool OmitsPortInHost(const THttpRequestHead& head) {
    if (!head.AddPortNumberToHost) return true;
    const std::string prot = platform::AsciiUpperCase(head.Prot);
    const bool nonDefaultHttp = prot == "HTTP" && head.Port != "80";
    const bool nonDefaultHttps = prot == "HTTPS" && head.Port != "443";
    return !nonDefaultHttp && !nonDefaultHttps;
}

// A space would end the request target early and a control byte has no
// place in it: both go out percent-encoded.
std::string EncodeRequestTarget(const std::string& target) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(target.size());
    for (const char c : target) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F) {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 0x0F];
        } else {
            encoded += c;
        }
    }
    return encoded;
}

std::string RequestLine(const THttpRequestHead& head, const std::string& hostText) {
    std::string uri = EncodeRequestTarget(head.URI);
    if (head.UsingProxy) uri = head.Prot + "://" + hostText + ":" + head.Port + uri;
    if (uri == "/*") uri = "*";
    std::string line = platform::AsciiUpperCase(head.Method) + " " + uri;
    if (head.Protocol != "0.9") line += " HTTP/" + head.Protocol;
    return line;
}

}  // namespace

std::vector<std::string> ComposeRequestHead(const THttpRequestHead& head) {
    const bool sendingData = head.BodySize > 0;
    const std::string hostText = IsIPv6Text(head.Host) ? "[" + head.Host + "]" : head.Host;

    std::vector<std::string> lines;
    lines.push_back(RequestLine(head, hostText));
    lines.push_back("Host: " + hostText + (OmitsPortInHost(head) ? "" : ":" + head.Port));
    if (head.UsingProxy && !head.ProxyUser.empty())
        lines.push_back("Proxy-Authorization: " + BasicCredentials(head.ProxyUser, head.ProxyPass));
    if (!head.User.empty()) lines.push_back("Authorization: " + BasicCredentials(head.User, head.Pass));
    const std::string connectionPrefix = head.UsingProxy ? "Proxy-" : "";
    if (head.KeepAlive) {
        lines.push_back("Keep-Alive: " + std::to_string(head.KeepAliveTimeout));
        lines.push_back(connectionPrefix + "Connection: keep-alive");
    } else {
        lines.push_back(connectionPrefix + "Connection: close");
    }
    if (!head.CookieHeader.empty()) lines.push_back("Cookie: " + head.CookieHeader);
    if (head.RangeStart > 0 || head.RangeEnd > 0) {
        std::string range = "Range: bytes=" + std::to_string(head.RangeStart) + "-";
        if (head.RangeEnd >= head.RangeStart) range += std::to_string(head.RangeEnd);
        lines.push_back(range);
    }
    if (!head.UserAgent.empty()) lines.push_back("User-Agent: " + head.UserAgent);
    if (sendingData && !head.MimeType.empty()) lines.push_back("Content-Type: " + head.MimeType);
    if (sendingData) lines.push_back("Content-Length: " + std::to_string(head.BodySize));
    if (head.Expect100) lines.push_back("Expect: 100-continue");
    return lines;
}

}  // namespace lunaro::net
