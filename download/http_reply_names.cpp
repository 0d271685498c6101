#include "download/http_reply_names.h"

#include <algorithm>
#include <string_view>

#include "download/redirect_location.h"
#include "net/text_utils.h"
#include "platform/text_case.h"

namespace lunaro::download {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && platform::SameTextAscii(text.substr(0, prefix.size()), prefix);
}

// "Name:" at the start of a header line; the value follows the colon.
bool IsHeaderNamed(const std::string& line, std::string_view name) {
    return line.size() > name.size() && line[name.size()] == ':' && StartsWithNoCase(line, name);
}

// The text after the last "/", "\" or ":".
std::string SegmentAfterSeparators(const std::string& path) {
    const size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

bool HasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::optional<std::string> FindHeader(const platform::TStringList& headers, std::string_view name) {
    for (int i = 0; i < headers.Count(); ++i) {
        if (!IsHeaderNamed(headers[i], name)) continue;
        // Only blanks surround a value; a control byte at its end stays for
        // the caller to judge.
        const std::string& line = headers[i];
        const size_t first = line.find_first_not_of(" \t", name.size() + 1);
        if (first == std::string::npos) return std::string();
        return line.substr(first, line.find_last_not_of(" \t") + 1 - first);
    }
    return std::nullopt;
}

std::string LastPathSegment(const std::string& path) {
    std::string segment = SegmentAfterSeparators(path);
    if (segment == "." || segment == ".." || HasControlCharacter(segment)) return "";
    return segment;
}

std::string FileNameFromHeaders(const platform::TStringList& headers) {
    static const std::string kKey = "filename=";
    for (int i = 0; i < headers.Count(); ++i) {
        const std::string& line = headers[i];
        if (!IsHeaderNamed(line, "Content-Disposition")) continue;
        const size_t at = line.find(kKey);
        if (at == std::string::npos) continue;
        std::string value = line.substr(at + kKey.size());
        if (value.starts_with('"')) {
            const size_t close = value.find('"', 1);
            value = value.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        } else {
            value = net::Trim(net::TextBefore(value, ";"));
        }
        // Whatever else is wrong with the name is for the caller to refuse
        // by name, rather than for it to look like no name at all.
        std::string name = SegmentAfterSeparators(value);
        if (!name.empty()) return name;
    }
    return "";
}

std::string RedirectTarget(const platform::TStringList& headers, const std::string& currentUrl) {
    const std::optional<std::string> location = FindHeader(headers, "Location");
    if (!location) return "";
    return ResolveLocation(*location, currentUrl).Url;
}

}  // namespace lunaro::download
