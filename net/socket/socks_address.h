#pragma once
// The address part of SOCKS requests and answers, as bytes on the wire.
#include <cstdint>
#include <string>

namespace lunaro::net {

enum class TSocksType : uint8_t { ST_Socks5, ST_Socks4 };

// SOCKS4: the port (most significant byte first), then for an IPv4 literal
// its four octets, user and a 0 byte; for anything else the 4a form: the
// octets 0.0.0.1, user, a 0 byte, the name and a 0 byte. Empty when the
// request cannot be formed (a 0 byte inside user or name).
std::string EncodeSocks4Address(const std::string& host, uint16_t port, const std::string& user);

// SOCKS5: 1 and the four octets of an IPv4 literal, 4 and the sixteen bytes
// of an IPv6 literal, or 3, the length and a name; then the port (most
// significant byte first). Empty when a name is empty or longer than 255
// bytes.
std::string EncodeSocks5Address(const std::string& host, uint16_t port);

struct TSocksAddress {
    std::string IP;    // dotted IPv4, IPv6 text or the name the proxy gave
    std::string Port;  // decimal; "0" when the answer is too short to hold one
};

// The address in a complete SOCKS answer (SOCKS4: 8 bytes; SOCKS5: the
// 4-byte head, the address and the port).
TSocksAddress DecodeSocksAddress(const std::string& answer, TSocksType type);

}  // namespace lunaro::net
