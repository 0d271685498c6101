#include "download/http_reply_names.h"

#include <algorithm>
#include <string_view>

#include "net/text_utils.h"
#include "platform/text_case.h"

namespace lunaro::download {

namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && platform::SameTextAscii(std::string_view(text).substr(0, prefix.size()), prefix);
}

}  // namespace

bool HasControlCharacter(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

std::string LastPathSegment(const std::string& path) {
    const size_t cut = path.find_last_of("/\\:");
    std::string segment = cut == std::string::npos ? path : path.substr(cut + 1);
    if (segment == "." || segment == ".." || HasControlCharacter(segment)) return "";
    return segment;
}

std::string FileNameFromHeaders(const platform::TStringList& headers) {
    static const std::string kKey = "filename=";
    for (int i = 0; i < headers.Count(); ++i) {
        const std::string& line = headers[i];
        const size_t at = line.find(kKey);
        if (at == std::string::npos) continue;
        std::string value = line.substr(at + kKey.size());
        if (value.starts_with('"')) {
            const size_t close = value.find('"', 1);
            value = value.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        } else {
            value = net::Trim(net::TextBefore(value, ";"));
        }
        std::string name = LastPathSegment(value);
        if (!name.empty()) return name;
    }
    return "";
}

std::string RedirectTarget(const platform::TStringList& headers, const std::string& currentUrl) {
    static const std::string kKey = "Location:";
    for (int i = 0; i < headers.Count(); ++i) {
        if (!StartsWithNoCase(headers[i], kKey)) continue;
        const std::string location = net::Trim(headers[i].substr(kKey.size()));
        const size_t schemeEnd = currentUrl.find("://");
        if (location.starts_with("//")) {  // same scheme, another host
            return (schemeEnd == std::string::npos ? std::string("http") : currentUrl.substr(0, schemeEnd)) + ":" +
                   location;
        }
        if (!location.starts_with('/')) return location;
        // A path alone: same scheme and host as the URL that was redirected.
        const size_t hostStart = schemeEnd == std::string::npos ? 0 : schemeEnd + 3;
        const size_t pathStart = currentUrl.find('/', hostStart);
        return currentUrl.substr(0, pathStart) + location;
    }
    return "";
}

}  // namespace lunaro::download
