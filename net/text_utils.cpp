#include "net/text_utils.h"

#include <algorithm>

#include "platform/text_case.h"
#include "platform/ticks.h"

namespace lunaro::net {
namespace {

constexpr int64_t kStreamChunk = 64 * 1024;

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

bool IsLineBreakChar(char c) { return c == '\r' || c == '\n'; }

// A decimal number within [0, limit]; false for anything else. Leading
// zeros are allowed; the digit count is not, beyond what limit needs.
bool ReadBoundedNumber(const std::string& text, int base, long limit, long& value) {
    if (text.empty()) return false;
    value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (base == 16 && IsHexDigit(c)) {
            digit = HexValue(c);
        } else {
            return false;
        }
        value = value * base + digit;
        if (value > limit) return false;
    }
    return true;
}

// A URL scheme: a letter, then letters, digits, "+", "-" or ".".
bool IsSchemeName(const std::string& text) {
    const auto isLetter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    if (text.empty() || !isLetter(text.front())) return false;
    return std::all_of(text.begin(), text.end(), [&](char c) {
        return isLetter(c) || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    });
}

bool IsHexGroup(const std::string& group) {
    long value = 0;
    return ReadBoundedNumber(group, 16, 0xFFFF, value);
}

}  // namespace

// ---- clock ----------------------------------------------------------------

uint32_t TickNow() {
    const int64_t frequency = platform::PerformanceFrequency();
    if (frequency <= 0) return platform::TickCount();
    const int64_t counter = platform::PerformanceCounter();
    // Split so that counter * 1000 cannot overflow on a long-running system.
    const int64_t milliseconds = counter / frequency * 1000 + counter % frequency * 1000 / frequency;
    return static_cast<uint32_t>(static_cast<uint64_t>(milliseconds));
}

uint32_t TickElapsed(uint32_t oldTick, uint32_t newTick) {
    if (newTick >= oldTick) return newTick - oldTick;
    constexpr uint32_t kHalf = 0x80000000u;
    const uint32_t shiftedOld = oldTick + kHalf;
    const uint32_t shiftedNew = newTick + kHalf;
    return shiftedNew >= shiftedOld ? shiftedNew - shiftedOld : shiftedOld - shiftedNew;
}

// ---- splitting and trimming -----------------------------------------------

std::string TextBefore(const std::string& text, const std::string& delimiter) {
    const size_t at = delimiter.empty() ? std::string::npos : text.find(delimiter);
    return at == std::string::npos ? text : text.substr(0, at);
}

std::string TextAfter(const std::string& text, const std::string& delimiter) {
    const size_t at = delimiter.empty() ? std::string::npos : text.find(delimiter);
    return at == std::string::npos ? text : text.substr(at + delimiter.size());
}

std::string Trim(const std::string& text) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    const auto first = std::find_if_not(text.begin(), text.end(), isBlank);
    const auto last = std::find_if_not(text.rbegin(), text.rend(), isBlank).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string TrimSpacesLeft(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::string TrimSpacesRight(const std::string& text) {
    const size_t last = text.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : text.substr(0, last + 1);
}

std::string TrimSpaces(const std::string& text) { return TrimSpacesLeft(TrimSpacesRight(text)); }

std::string FetchField(std::string& text, const std::string& delimiter) {
    const size_t at = delimiter.empty() ? std::string::npos : text.find(delimiter);
    std::string field;
    if (at == std::string::npos) {
        field.swap(text);
    } else {
        field = text.substr(0, at);
        text.erase(0, at + delimiter.size());
    }
    return Trim(field);
}

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) return text;
    std::string result;
    size_t start = 0;
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, start)) {
        result.append(text, start, at - start).append(to);
        start = at + from.size();
    }
    return result.append(text, start, std::string::npos);
}

size_t LastPos(const std::string& part, const std::string& text) {
    if (part.empty()) return 0;
    const size_t at = text.rfind(part);
    return at == std::string::npos ? 0 : at + 1;
}

size_t CountChar(const std::string& text, char character) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), character));
}

std::string EnsurePathDelimiter(const std::string& path) {
    std::string result = Trim(path);
    if (!result.empty() && result.back() != '\\') result += '\\';
    return result;
}

// ---- URLs and encodings ---------------------------------------------------

TUrlParts SplitUrl(const std::string& url) {
    TUrlParts parts;
    parts.Prot = "http";
    parts.Port = "80";
    std::string rest = url;
    const size_t schemeEnd = url.find("://");
    if (schemeEnd != std::string::npos && IsSchemeName(url.substr(0, schemeEnd))) {
        parts.Prot = url.substr(0, schemeEnd);
        rest = url.substr(schemeEnd + 3);
    }
    if (platform::SameTextAscii(parts.Prot, "https")) parts.Port = "443";
    if (platform::SameTextAscii(parts.Prot, "ftp")) parts.Port = "21";

    // Whatever follows the authority, an "@" there included, is never part of it.
    const size_t authorityEnd = std::min(rest.find_first_of("/?#\\"), rest.size());
    std::string authority = rest.substr(0, authorityEnd);
    std::string reference = rest.substr(authorityEnd);
    reference = reference.substr(0, reference.find('#'));  // the fragment stays with the client

    const size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        const std::string credentials = authority.substr(0, at);
        parts.User = TextBefore(credentials, ":");
        if (credentials.find(':') != std::string::npos) parts.Pass = TextAfter(credentials, ":");
        authority.erase(0, at + 1);
    }

    if (!authority.empty() && authority.front() == '[') {
        const std::string inside = authority.substr(1);
        parts.Host = TextBefore(inside, "]");
        const size_t close = inside.find(']');
        if (close != std::string::npos && inside.compare(close + 1, 1, ":") == 0) {
            parts.Port = inside.substr(close + 2);
        }
    } else if (authority.find(':') != std::string::npos) {
        parts.Host = TextBefore(authority, ":");
        parts.Port = TextAfter(authority, ":");
    } else {
        parts.Host = authority;
    }

    const size_t query = reference.find('?');
    std::string path = reference.substr(0, query);
    std::replace(path.begin(), path.end(), '\\', '/');
    if (path.empty() || path.front() != '/') path.insert(0, "/");
    parts.Path = path;
    parts.Para = query == std::string::npos ? std::string() : reference.substr(query + 1);
    parts.URI = query == std::string::npos ? path : path + "?" + parts.Para;
    if (parts.Host.empty()) parts.Host = "localhost";
    return parts;
}

std::string DecodeEscapes(const std::string& value, char escape) {
    std::string result;
    result.reserve(value.size());
    size_t i = 0;
    while (i < value.size()) {
        const char c = value[i];
        if (c != escape) {
            result += c;
            ++i;
            continue;
        }
        if (value.size() - i < 3) break;  // fewer than two bytes follow
        const char first = value[i + 1];
        const char second = value[i + 2];
        if (IsLineBreakChar(first)) {
            const bool pair = IsLineBreakChar(second) && second != first;
            i += pair ? 3 : 2;
        } else if (IsHexDigit(first) && IsHexDigit(second)) {
            result += static_cast<char>(HexValue(first) * 16 + HexValue(second));
            i += 3;
        } else {
            result += c;
            ++i;
        }
    }
    return result;
}

std::string PercentDecode(const std::string& value) { return DecodeEscapes(value, '%'); }

std::string Base64Encode(const std::string& value) {
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string result;
    result.reserve((value.size() + 2) / 3 * 4);
    for (size_t i = 0; i < value.size(); i += 3) {
        const size_t available = std::min<size_t>(3, value.size() - i);
        uint32_t group = 0;
        for (size_t k = 0; k < 3; ++k) {
            group <<= 8;
            if (k < available) group |= static_cast<unsigned char>(value[i + k]);
        }
        for (size_t k = 0; k < 4; ++k) {
            result += k <= available ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
        }
    }
    return result;
}

bool IsIPv4Text(const std::string& text) {
    std::string rest = text;
    for (int part = 0; part < 4; ++part) {
        const std::string piece = TrimSpaces(part < 3 ? TextBefore(rest, ".") : rest);
        if (part < 3) {
            if (rest.find('.') == std::string::npos) return false;
            rest = TextAfter(rest, ".");
        }
        long value = 0;
        if (!ReadBoundedNumber(piece, 10, 255, value)) return false;
    }
    return true;
}

bool IsIPv6Text(const std::string& text) {
    if (text == "::") return true;
    if (text.find(':') == std::string::npos) return false;
    std::string rest = text;
    int groups = 0;
    bool emptySeen = false;
    while (!rest.empty()) {
        const bool hasMore = rest.find(':') != std::string::npos;
        std::string group = hasMore ? TextBefore(rest, ":") : rest;
        rest = hasMore ? TextAfter(rest, ":") : std::string();
        ++groups;
        if (groups > 8) return false;
        const bool last = rest.empty();
        if (group.empty()) {
            if (groups == 1) continue;  // a leading "::"
            if (emptySeen) return false;
            emptySeen = true;
            continue;
        }
        if (last && group.find('%') != std::string::npos) {
            if (!IsHexGroup(TextAfter(group, "%"))) return false;
            group = TextBefore(group, "%");
        }
        if (!IsHexGroup(group)) return false;
    }
    return groups > 1 || emptySeen;
}

// ---- lines and streams ----------------------------------------------------

std::string UnfoldHeaderLine(const std::vector<std::string>& list, size_t& index) {
    if (index >= list.size()) return "";
    std::string result = list[index++];
    if (!result.empty()) {
        while (index + 1 < list.size()) {
            std::string next = list[index];
            std::replace(next.begin(), next.end(), '\t', ' ');
            if (next.empty() || std::string(" \":=").find(next.front()) == std::string::npos) break;
            result += ' ';
            result += Trim(next);
            ++index;
        }
    }
    return TrimSpacesRight(result);
}

int64_t FindLineBreak(const std::string& text, std::string& lineBreak) {
    lineBreak.clear();
    const size_t at = text.find_first_of("\r\n");
    if (at == std::string::npos) return -1;
    const char first = text[at];
    const bool pair = at + 1 < text.size() && IsLineBreakChar(text[at + 1]) && text[at + 1] != first;
    lineBreak = text.substr(at, pair ? 2 : 1);
    return static_cast<int64_t>(at) + 1;
}

std::string ReadTextFromStream(platform::TStream& stream, int64_t count) {
    std::string result;
    while (count > 0) {
        const int64_t piece = std::min(count, kStreamChunk);
        const size_t filled = result.size();
        result.resize(filled + static_cast<size_t>(piece));
        const int64_t got = stream.Read(result.data() + filled, piece);
        const int64_t kept = std::clamp<int64_t>(got, 0, piece);
        result.resize(filled + static_cast<size_t>(kept));
        if (kept < piece) break;
        count -= kept;
    }
    return result;
}

void WriteTextToStream(platform::TStream& stream, const std::string& text) {
    if (!text.empty()) stream.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

}  // namespace lunaro::net
