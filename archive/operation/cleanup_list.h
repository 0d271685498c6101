#pragma once
// Files and folders an operation created and must remove again: always, or
// only when the operation fails. A name ending in a path delimiter is a
// folder. The list is walked from its last entry to its first, so folders
// registered before their contents are removed after them.
#include <string>
#include <vector>

namespace lunaro::archive {

class TZKCleanupList {
public:
    // Registers the full path of name.
    void Add(const std::string& name, bool always);
    // Forgets the last entry naming the same path (letter case ignored).
    bool Remove(const std::string& name);
    // Deletes what the outcome calls for, ignoring failures, and empties the list.
    void Run(bool failed);
    void Clear() { entries_.clear(); }

    struct Entry {
        std::string path;
        bool always = false;
    };
    const std::vector<Entry>& Entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
};

// A name made absolute: Windows paths with a drive letter or UNC root stay
// as they are; host paths are resolved against the current folder.
std::string ExpandedFileName(const std::string& name);

}  // namespace lunaro::archive
