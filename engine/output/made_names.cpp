#include "engine/output/made_names.h"

#include <functional>

namespace lunaro::engine {
namespace {

// '/' never occurs in a component, so no two paths join to the same text.
std::string JoinKey(const std::string& folderKey, const std::string& name) {
    return folderKey.empty() ? name : folderKey + '/' + name;
}

uint64_t Hashed(const std::string& path) { return std::hash<std::string>{}(path); }

}  // namespace

void TMadeNames::FolderMade(const std::string& key) {
    std::lock_guard<std::mutex> hold(Lock);
    Folders.insert(key);
}

bool TMadeNames::Record(uint64_t key) {
    const auto [at, first] = Names.emplace(key, true);
    if (!first) at->second = false;
    return first;
}

bool TMadeNames::FreeWithoutLooking(const std::string& folderKey, const std::string& name) {
    const std::string path = JoinKey(folderKey, name);
    const uint64_t key = Hashed(path);
    std::lock_guard<std::mutex> hold(Lock);
    if (Folders.count(folderKey) == 0 || Folders.count(path) != 0) return false;
    return Record(key);
}

void TMadeNames::FoundFree(const std::string& folderKey, const std::string& name) {
    const uint64_t key = Hashed(JoinKey(folderKey, name));
    std::lock_guard<std::mutex> hold(Lock);
    Record(key);
}

bool TMadeNames::FoundFreeOnce(const std::string& folderKey, const std::string& name) const {
    const uint64_t key = Hashed(JoinKey(folderKey, name));
    std::lock_guard<std::mutex> hold(Lock);
    const auto found = Names.find(key);
    return found != Names.end() && found->second;
}

}  // namespace lunaro::engine
