#include "download/redirect_location.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "platform/text_case.h"

namespace lunaro::download {

namespace {

// The five parts of RFC 3986's reference grammar; the has-flags tell an
// absent part from an empty one.
struct TReference {
    std::string Scheme;
    bool HasAuthority = false;
    std::string Authority;
    std::string Path;
    bool HasQuery = false;
    std::string Query;
};

bool IsSchemeText(std::string_view text) {
    if (text.empty() || std::isalpha(static_cast<unsigned char>(text.front())) == 0) return false;
    return std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
    });
}

TReference SplitReference(std::string_view text) {
    TReference ref;
    text = text.substr(0, text.find('#'));
    const size_t colon = text.find(':');
    if (colon != std::string_view::npos && IsSchemeText(text.substr(0, colon)) &&
        colon < text.find_first_of("/?")) {
        ref.Scheme = platform::AsciiUpperCase(text.substr(0, colon));
        text = text.substr(colon + 1);
    }
    if (text.starts_with("//")) {
        text = text.substr(2);
        const size_t end = std::min(text.find_first_of("/?"), text.size());
        ref.HasAuthority = true;
        ref.Authority = std::string(text.substr(0, end));
        text = text.substr(end);
    }
    const size_t question = text.find('?');
    ref.Path = std::string(text.substr(0, question));
    if (question != std::string_view::npos) {
        ref.HasQuery = true;
        ref.Query = std::string(text.substr(question + 1));
    }
    return ref;
}

// RFC 3986 section 5.2.4, done on whole segments.
std::string RemoveDotSegments(const std::string& path) {
    const bool absolute = path.starts_with('/');
    std::vector<std::string> kept;
    size_t start = absolute ? 1 : 0;
    bool endsInDirectory = false;
    while (start <= path.size()) {
        const size_t slash = std::min(path.find('/', start), path.size());
        const std::string segment = path.substr(start, slash - start);
        const bool last = slash == path.size();
        if (segment == "..") {
            if (!kept.empty()) kept.pop_back();
            endsInDirectory = last;
        } else if (segment == ".") {
            endsInDirectory = last;
        } else {
            kept.push_back(segment);
            endsInDirectory = false;
        }
        start = slash + 1;
    }
    std::string out = absolute ? "/" : "";
    for (size_t i = 0; i < kept.size(); ++i) out += (i > 0 ? "/" : "") + kept[i];
    if (endsInDirectory && !out.ends_with('/')) out += '/';
    return out;
}

std::string MergePaths(const TReference& base, const std::string& path) {
    if (base.HasAuthority && base.Path.empty()) return "/" + path;
    const size_t slash = base.Path.rfind('/');
    return (slash == std::string::npos ? std::string() : base.Path.substr(0, slash + 1)) + path;
}

TReference Resolve(const TReference& base, TReference ref) {
    if (!ref.Scheme.empty()) {
        ref.Path = RemoveDotSegments(ref.Path);
        return ref;
    }
    ref.Scheme = base.Scheme;
    if (ref.HasAuthority) {
        ref.Path = RemoveDotSegments(ref.Path);
        return ref;
    }
    ref.HasAuthority = base.HasAuthority;
    ref.Authority = base.Authority;
    if (ref.Path.empty()) {
        ref.Path = base.Path;
        if (!ref.HasQuery) {
            ref.HasQuery = base.HasQuery;
            ref.Query = base.Query;
        }
    } else {
        ref.Path = RemoveDotSegments(ref.Path.starts_with('/') ? ref.Path : MergePaths(base, ref.Path));
    }
    return ref;
}

}  // namespace

TResolvedLocation ResolveLocation(const std::string& location, const std::string& base) {
    std::string clean;
    for (const char c : location) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == ' ') {
            clean += "%20";
        } else if (c == '\t') {
            clean += "%09";
        } else if (byte < 0x20 || byte == 0x7F) {
            return {"", "the Location holds a control byte"};
        } else {
            clean += c;
        }
    }
    if (clean.empty()) return {"", "the Location is empty"};
    TReference baseRef = SplitReference(base.find("://") == std::string::npos ? "http://" + base : base);
    const TReference target = Resolve(baseRef, SplitReference(clean));
    if (target.Scheme != "HTTP" && target.Scheme != "HTTPS") return {"", "the Location is no http or https address"};
    if (target.Authority.empty()) return {"", "the Location names no host"};
    std::string url = target.Scheme == "HTTPS" ? "https://" : "http://";
    url += target.Authority + (target.Path.empty() ? "/" : target.Path);
    if (target.HasQuery) url += "?" + target.Query;
    return {url, ""};
}

}  // namespace lunaro::download
