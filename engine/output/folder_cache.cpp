#include "engine/output/folder_cache.h"

#include <algorithm>
#include <sys/resource.h>

namespace lunaro::engine {
namespace {

constexpr size_t kMostFolders = 1024;
constexpr size_t kFewestFolders = 16;

}  // namespace

TSharedFd TFolderCache::Find(const std::string& key) const {
    std::lock_guard<std::mutex> hold(Lock);
    const auto found = Folders.find(key);
    return found == Folders.end() ? nullptr : found->second;
}

TSharedFd TFolderCache::Keep(const std::string& key, TSharedFd folder) {
    std::lock_guard<std::mutex> hold(Lock);
    if (const auto found = Folders.find(key); found != Folders.end()) return found->second;
    if (Folders.size() < Capacity) Folders.emplace(key, folder);
    return folder;
}

size_t TFolderCache::DefaultCapacity() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return kMostFolders;
    return std::clamp<size_t>(static_cast<size_t>(limit.rlim_cur / 2), kFewestFolders, kMostFolders);
}

}  // namespace lunaro::engine
