#pragma once
// Reading an HTTP answer's status line, header lines and chunk size lines.
// Everything here works on text already received, so it can be judged
// without a connection.
#include <cstdint>
#include <string>

namespace lunaro::net {

// Framing of a response body.
enum class TTransferEncoding : uint8_t {
    TE_UNKNOWN,   // read until the connection closes
    TE_IDENTITY,  // Content-Length bytes
    TE_CHUNKED,
};

// A server can make us read lines forever; these bound what one answer's
// status line and header block may hold (line ends included).
inline constexpr int64_t kMaxHeaderLineLength = 64 * 1024;
inline constexpr int64_t kMaxHeaderBlockSize = 1024 * 1024;

// Code and reason phrase of a status line such as "HTTP/1.1 404 Not Found".
// A code that is not a decimal number (or does not fit in 32 bits) reads 0;
// a line without a reason phrase gives an empty one.
void DecodeStatusLine(const std::string& value, int32_t& code, std::string& reason);

// What the header lines of one answer say about its body and connection.
struct TResponseFraming {
    int64_t Size = -1;  // Content-Length; -1 when absent or not a number
    TTransferEncoding Encoding = TTransferEncoding::TE_UNKNOWN;
    bool ToClose = false;
    bool LengthSeen = false;
    // A Content-Length that is negative or beyond 64 bits, or two that
    // differ: the answer cannot be framed, so the exchange has to fail
    // rather than guess.
    bool Malformed = false;
};

// Applies one unfolded header line. mimeType receives the Content-Type
// value when the line carries one. The connection-closing header is
// "Proxy-Connection" when the request went through a proxy, else
// "Connection".
void ApplyResponseHeader(const std::string& line, bool usingProxy, TResponseFraming& framing,
                         std::string& mimeType);

// Size of the chunk announced by a chunk size line ("1a", "1a;ext=x").
// Returns false when the line holds no hexadecimal number or one that does
// not fit in 63 bits: reading on would either lose the rest of the body
// silently or wrap into a wrong size.
bool ParseChunkSize(const std::string& line, int64_t& size);

}  // namespace lunaro::net
