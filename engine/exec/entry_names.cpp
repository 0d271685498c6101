#include "engine/exec/entry_names.h"

namespace lunaro::engine {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::optional<TEntryPath> SafeEntryPath(std::string_view name, bool keepFolders) {
    if (name.empty() || IsSeparator(name.front())) return std::nullopt;
    const bool isFolder = IsSeparator(name.back());
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) ++end;
        const std::string_view part = name.substr(start, end - start);
        for (char c : part)
            if (static_cast<unsigned char>(c) < 0x20 || c == ':' || c == 0x7F) return std::nullopt;
        if (part == "..") return std::nullopt;
        if (!part.empty() && part != ".") parts.emplace_back(part);
        start = end + 1;
    }
    if (parts.empty()) return std::nullopt;
    TEntryPath path;
    if (!isFolder) {
        path.Leaf = std::move(parts.back());
        parts.pop_back();
    }
    if (keepFolders) {
        path.Folders = std::move(parts);
    } else if (isFolder) {
        return std::nullopt;  // nothing of a folder entry remains without folders
    }
    return path;
}

std::string JoinedPath(const TEntryPath& path) {
    std::string joined;
    for (const std::string& folder : path.Folders) joined += folder + "/";
    return joined + path.Leaf;
}

}  // namespace lunaro::engine
