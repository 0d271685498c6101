#include "engine/output/made_names.h"

#include <functional>

namespace lunaro::engine {

TMadeNames::TName TMadeNames::Name(const std::string& folderKey, const std::string& name) {
    // '/' never occurs in a component, so no two paths join to the same text.
    TName joined{folderKey, folderKey.empty() ? name : folderKey + '/' + name, 0};
    joined.Hash = std::hash<std::string>{}(joined.Path);
    return joined;
}

void TMadeNames::FolderMade(const std::string& key) {
    std::lock_guard<std::mutex> hold(Lock);
    Folders.insert(key);
}

bool TMadeNames::Record(uint64_t hash) {
    const auto [at, first] = Names.emplace(hash, true);
    if (!first) at->second = false;
    return first;
}

bool TMadeNames::FreeWithoutLooking(const TName& name) {
    std::lock_guard<std::mutex> hold(Lock);
    if (Folders.count(name.FolderKey) == 0 || Folders.count(name.Path) != 0) return false;
    return Record(name.Hash);
}

void TMadeNames::FoundFree(const TName& name) {
    std::lock_guard<std::mutex> hold(Lock);
    Record(name.Hash);
}

bool TMadeNames::FoundFreeOnce(const TName& name) const {
    std::lock_guard<std::mutex> hold(Lock);
    const auto found = Names.find(name.Hash);
    return found != Names.end() && found->second;
}

}  // namespace lunaro::engine
