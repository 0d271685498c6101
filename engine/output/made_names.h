#pragma once
// What a run has itself made in its destination: the folders it created, and
// the names in them it has handed out. In a folder this run created, a name
// nobody has asked for yet cannot be taken, so it need not be looked at; that
// look is the largest cost of an entry after the file itself.
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace lunaro::engine {

// Keys are paths below the destination ("a/b"), "" for the destination
// itself. Safe to use from several threads at once.
class TMadeNames {
public:
    void FolderMade(const std::string& key);
    // True when name, in the folder folderKey, is certainly free: the folder
    // was made by this run and the name was never handed out. The name is
    // handed out from now on; a later question about it is answered false,
    // and it needs a real look.
    bool TakeUnseen(const std::string& folderKey, const std::string& name);
    // True when the name was handed out as free and nobody else asked about
    // it: anything found there later came from outside the run.
    bool OnlyTakenUnseen(const std::string& folderKey, const std::string& name) const;

private:
    mutable std::mutex Lock;
    std::unordered_set<std::string> Folders;
    // By a hash of the path, to keep a run of many files small: two paths
    // sharing one only cost a real look.
    std::unordered_map<uint64_t, bool> Names;  // true while only taken unseen
};

}  // namespace lunaro::engine
