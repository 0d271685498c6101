#include "net/socket/socks_address.h"

#include <arpa/inet.h>

#include "net/text_utils.h"

namespace lunaro::net {

namespace {

constexpr uint8_t kSocks5IPv4 = 1;
constexpr uint8_t kSocks5Name = 3;
constexpr uint8_t kSocks5IPv6 = 4;

std::string PortBytes(uint16_t port) {
    return {static_cast<char>(port >> 8), static_cast<char>(port & 0xFF)};
}

// The four octets of an IPv4 literal as IsIPv4Text accepts it (parts may
// carry spaces around them).
std::string IPv4Bytes(const std::string& host) {
    std::string bytes;
    std::string rest = host;
    for (int part = 0; part < 4; ++part) {
        const std::string field = part < 3 ? FetchField(rest, ".") : TrimSpaces(rest);
        bytes += static_cast<char>(std::stoi(field));
    }
    return bytes;
}

// The sixteen bytes of an IPv6 literal; empty when it cannot be read.
std::string IPv6Bytes(const std::string& host) {
    in6_addr address{};
    const std::string bare = TextBefore(host, "%");
    if (::inet_pton(AF_INET6, bare.c_str(), &address) != 1) return {};
    return std::string(reinterpret_cast<const char*>(&address), sizeof address);
}

std::string PortText(const std::string& answer, std::size_t at) {
    if (answer.size() < at + 2) return "0";
    return std::to_string((static_cast<uint8_t>(answer[at]) << 8) | static_cast<uint8_t>(answer[at + 1]));
}

std::string DottedText(const std::string& answer, std::size_t at) {
    if (answer.size() < at + 4) return {};
    std::string text;
    for (std::size_t i = at; i < at + 4; ++i) {
        if (i > at) text += '.';
        text += std::to_string(static_cast<uint8_t>(answer[i]));
    }
    return text;
}

}  // namespace

std::string EncodeSocks4Address(const std::string& host, uint16_t port, const std::string& user) {
    if (user.find('\0') != std::string::npos) return {};
    if (IsIPv4Text(host)) return PortBytes(port) + IPv4Bytes(host) + user + '\0';
    if (host.empty() || host.find('\0') != std::string::npos) return {};
    return PortBytes(port) + std::string("\0\0\0\x01", 4) + user + '\0' + host + '\0';
}

std::string EncodeSocks5Address(const std::string& host, uint16_t port) {
    if (IsIPv4Text(host)) return static_cast<char>(kSocks5IPv4) + IPv4Bytes(host) + PortBytes(port);
    if (IsIPv6Text(host)) {
        const std::string bytes = IPv6Bytes(host);
        return bytes.empty() ? std::string() : static_cast<char>(kSocks5IPv6) + bytes + PortBytes(port);
    }
    if (host.empty() || host.size() > 255) return {};
    return static_cast<char>(kSocks5Name) + std::string(1, static_cast<char>(host.size())) + host + PortBytes(port);
}

TSocksAddress DecodeSocksAddress(const std::string& answer, TSocksType type) {
    if (type == TSocksType::ST_Socks4) return {DottedText(answer, 4), PortText(answer, 2)};
    if (answer.size() < 4) return {{}, "0"};
    switch (static_cast<uint8_t>(answer[3])) {
        case kSocks5IPv4:
            return {DottedText(answer, 4), PortText(answer, 8)};
        case kSocks5Name: {
            const std::size_t length = answer.size() > 4 ? static_cast<uint8_t>(answer[4]) : 0;
            return {answer.substr(std::min<std::size_t>(5, answer.size()), length), PortText(answer, 5 + length)};
        }
        case kSocks5IPv6: {
            if (answer.size() < 20) return {{}, PortText(answer, 20)};
            char text[INET6_ADDRSTRLEN] = {};
            ::inet_ntop(AF_INET6, answer.data() + 4, text, sizeof text);
            return {text, PortText(answer, 20)};
        }
        default:
            return {{}, "0"};
    }
}

}  // namespace lunaro::net
