#pragma once
// Stateless text, URL, encoding and clock helpers shared by the socket
// layer, the protocol clients and the download workers.
//
// Texts are std::string: "8-bit" texts are raw bytes, the others UTF-8.
// Positions are 1-based (the protocol code counts that way); nothing found is
// -1 for FindLineBreak and 0 for LastPos.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/stream.h"

namespace lunaro::net {

// ---- clock ----------------------------------------------------------------

// Milliseconds of a monotonic clock, kept to the low 32 bits (wraps after
// about 49.7 days).
uint32_t TickNow();
// Milliseconds from oldTick to newTick, across one 32-bit wrap. A newTick
// that is plainly behind oldTick gives the distance backwards.
uint32_t TickElapsed(uint32_t oldTick, uint32_t newTick);

// ---- splitting and trimming -----------------------------------------------

// Text before / after the first delimiter; the whole text when the delimiter
// is absent (an empty delimiter counts as absent).
std::string TextBefore(const std::string& text, const std::string& delimiter);
std::string TextAfter(const std::string& text, const std::string& delimiter);

// Remove bytes up to and including space (controls too) from both ends.
std::string Trim(const std::string& text);
// Remove only spaces (code 32).
std::string TrimSpacesLeft(const std::string& text);
std::string TrimSpacesRight(const std::string& text);
std::string TrimSpaces(const std::string& text);

// Takes the next field off `text`: returns the text before the first
// delimiter, trimmed, and leaves the text after the delimiter in `text`
// (nothing when there was no delimiter).
std::string FetchField(std::string& text, const std::string& delimiter);

// Every occurrence of `from` replaced by `to`; an empty `from` changes nothing.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to);
// 1-based position of the last occurrence of `part` in `text`; 0 when absent
// or when `part` is empty.
size_t LastPos(const std::string& part, const std::string& text);
size_t CountChar(const std::string& text, char character);

// Trimmed path ending in a backslash; empty stays empty.
std::string EnsurePathDelimiter(const std::string& path);

// ---- URLs and encodings ---------------------------------------------------

struct TUrlParts {
    std::string Prot;  // "http" when the URL has no scheme
    std::string User;
    std::string Pass;
    std::string Host;  // "localhost" when empty; IPv6 literals without brackets
    std::string Port;  // "80", "443" for https, "21" for ftp, unless given
    std::string Path;  // "/" + path, without the parameters; "\" read as "/"
    std::string Para;  // text after the first "?", up to any "#"
    std::string URI;   // "/" + path with its parameters, never the fragment
};
// The authority (user information, host, port) ends at the first "/", "?",
// "#" or "\"; its user information ends at its last "@".
TUrlParts SplitUrl(const std::string& url);

// Replaces escape + two hex digits by the byte they encode and drops
// escape + line break. An escape with fewer than two bytes after it ends the
// text; any other escape stays as it is.
std::string DecodeEscapes(const std::string& value, char escape);
std::string PercentDecode(const std::string& value);

// Standard base64 alphabet with "=" padding, no line breaks.
std::string Base64Encode(const std::string& value);

// Dotted-quad IPv4 literal (each part may carry spaces around it).
bool IsIPv4Text(const std::string& text);
// IPv6 literal, "::" shorthand and a numeric "%" zone on the last group
// allowed.
bool IsIPv6Text(const std::string& text);

// ---- lines and streams ----------------------------------------------------

// The header line at list[index] joined with its continuation lines (those
// starting with a space, a tab, a double quote, a colon or an equals sign);
// index moves past every line used. The last list entry is never taken as a
// continuation. An index outside the list gives "" and stays unchanged.
std::string UnfoldHeaderLine(const std::vector<std::string>& list, size_t& index);

// 1-based position of the first CR or LF in text, or -1 when there is none.
// lineBreak receives the break found there: CR LF, LF CR or the single
// character; empty when there is none.
int64_t FindLineBreak(const std::string& text, std::string& lineBreak);

// Up to count bytes from the stream's position, as many as it gave. Memory
// grows with what is actually read, never with count alone.
std::string ReadTextFromStream(platform::TStream& stream, int64_t count);
// Writes all bytes at the stream's position; raises platform::EStreamError
// when the stream takes fewer.
void WriteTextToStream(platform::TStream& stream, const std::string& text);

}  // namespace lunaro::net
