#pragma once
// Turning an entry's stored name into a place under the destination folder.
// Names come from the archive and are hostile: anything that could reach
// outside the folder is refused rather than repaired.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lunaro::engine {

struct TEntryPath {
    std::vector<std::string> Folders;  // each a plain name, never "." or ".."
    std::string Leaf;                  // empty for a folder entry
};

// "\" and "/" both separate folders. Refused (nullopt): an absolute name, a
// drive letter or any other colon, a ".." component, a control character,
// an empty name. "." components and repeated separators are dropped. With
// keepFolders false only the last component is kept.
std::optional<TEntryPath> SafeEntryPath(std::string_view name, bool keepFolders);

// The path joined with "/" (folders end with one), for messages and
// matching against what the caller handed back.
std::string JoinedPath(const TEntryPath& path);

}  // namespace lunaro::engine
