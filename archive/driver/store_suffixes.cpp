#include "archive/driver/store_suffixes.h"


namespace lunaro::archive {

namespace {

// In enumeration order; assEXT stands for the caller's list.
constexpr const char* kSuffixes[kAddStoreSuffixCount] = {
    "gif", "png", "z",   "zip", "zoo", "arc",  "lzh", "arj", "taz", "tgz", "lha",    "rar", "ace", "cab",
    "gz",  "gzip", "jar", "exe", nullptr, "jpg", "jpeg", "7zp", "mp3", "wmv", "wma", "dvr-ms", "avi",
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Extensions are compared by the engine as typed in ASCII; other bytes
// (UTF-8 sequences) pass unchanged.
std::string AsciiLowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

std::string ExtensionList(const std::string& extensions) {
    std::string list;
    size_t start = 0;
    while (start <= extensions.size()) {
        size_t end = extensions.find_first_of(",;", start);
        if (end == std::string::npos) end = extensions.size();
        size_t first = start;
        size_t last = end;
        while (first < last && IsBlank(extensions[first])) ++first;
        while (last > first && IsBlank(extensions[last - 1])) --last;
        if (first < last && extensions[first] == '.') ++first;
        if (first < last) list += "." + AsciiLowerCase(extensions.substr(first, last - first)) + ":";
        start = end + 1;
    }
    return list;
}

std::string StoreSuffixList(TZKAddStoreExts suffixes, const std::string& extensionList) {
    std::string list;
    for (int i = 0; i < kAddStoreSuffixCount; ++i) {
        const auto member = static_cast<TZKAddStoreSuffixEnum>(i);
        if (kSuffixes[i] && suffixes.Contains(member)) list += std::string(".") + kSuffixes[i] + ":";
    }
    if (suffixes.Contains(TZKAddStoreSuffixEnum::assEXT)) list += extensionList;
    return list;
}

}  // namespace lunaro::archive
