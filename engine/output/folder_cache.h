#pragma once
// Folders of the destination already reached in a run, kept open so that the
// next file bound for one of them is not walked to again from the base. A
// folder descriptor opened without following a link stays that same folder
// whatever later happens to its name, so reusing it is as safe as walking.
#include "engine/output/owned_fd.h"

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace lunaro::engine {

// Shared by the cache and by every file still being written in the folder:
// the descriptor closes when the last of them lets go.
using TSharedFd = std::shared_ptr<const TOwnedFd>;

// Safe to use from several threads at once.
class TFolderCache {
public:
    // At most capacity folders are kept; past that, folders are still
    // reached, only not kept.
    explicit TFolderCache(size_t capacity) : Capacity(capacity) {}

    // Null when the folder is not kept.
    TSharedFd Find(const std::string& key) const;
    // Keeps folder under key when there is room; returns the one kept under
    // key, an earlier one when another thread got there first.
    TSharedFd Keep(const std::string& key, TSharedFd folder);

    // Half of the process's descriptor limit, up to a point: the
    // engine runs inside its caller's process and must leave it room.
    static size_t DefaultCapacity();

private:
    const size_t Capacity;
    mutable std::mutex Lock;
    std::unordered_map<std::string, TSharedFd> Folders;
};

}  // namespace lunaro::engine
