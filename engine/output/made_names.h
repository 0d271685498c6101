#pragma once
// The names a run has found free in its destination, and the folders it
// created there. In a folder this run created, a name nobody has asked for
// yet cannot be taken, so it need not be looked at (that look is the largest
// cost of a small file after the file itself). A name found free, looked at
// or not, that is taken when the file gets it, was taken from outside the
// run: that file is not replaced.
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
    // A name in a folder, with what the questions below need of it worked
    // out once.
    struct TName {
        std::string FolderKey;
        std::string Path;
        uint64_t Hash = 0;
    };
    static TName Name(const std::string& folderKey, const std::string& name);

    void FolderMade(const std::string& key);
    // True when the name is certainly free: its folder was made by this run
    // and nobody asked about the name before. Then the name counts as found
    // free.
    bool FreeWithoutLooking(const TName& name);
    // A look found nothing at the name.
    void FoundFree(const TName& name);
    // True when the name was found free and nobody asked about it since:
    // whatever has it now came from outside the run. A second question (an
    // archive naming one file twice) ends that: the run's own earlier file
    // may be there.
    bool FoundFreeOnce(const TName& name) const;

private:
    // Records the name as found free; false (and no longer "once") when it
    // was already.
    bool Record(uint64_t hash);

    mutable std::mutex Lock;
    std::unordered_set<std::string> Folders;
    // By a hash of the path, to keep a run of many files small: two paths
    // sharing one only cost a real look, or a file replaced as before.
    std::unordered_map<uint64_t, bool> Names;  // true while found free once
};

}  // namespace lunaro::engine
