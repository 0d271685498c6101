#pragma once
// What an add run takes from the disk: the files and folders the caller's
// patterns name, found relative to the root folder, with the names
// their entries will have.
#include <cstdint>
#include <string>
#include <vector>

namespace lunaro::engine {

struct TAddSource {
    std::string Path;       // on the disk
    std::string EntryName;  // '/' between folders, a folder's ending in '/'
    bool Folder = false;
    int64_t Size = 0;
    int64_t ModTime = 0;    // seconds since 1970 UTC
    uint32_t Mode = 0;      // st_mode
    uint64_t Device = 0;    // with Inode: which file it is, whatever the path
    uint64_t Inode = 0;
};

struct TAddRequest {
    std::string Root;  // empty: the current folder
    std::vector<std::string> Specs;
    std::vector<std::string> Excludes;  // wildcard patterns on entry names
    bool Recurse = false;
    bool KeepFolders = true;   // entry names keep their folders below the root
    bool Hidden = false;       // take names starting with '.' that a wildcard or walk finds
    bool FolderEntries = false;
};

struct TAddFound {
    std::vector<TAddSource> Sources;  // in pattern order, each walk sorted by name
    std::vector<std::string> Missing;  // patterns that name nothing
    std::vector<std::string> Unusable; // named files that are no regular file (devices, pipes)
};

TAddFound FindAddSources(const TAddRequest& request);

// An entry name made from a relative path: no leading '/', no "." or ".."
// parts, so that the entry can never point outside the folder it is
// extracted into. Empty when nothing is left.
std::string CleanEntryName(const std::string& relative);

}  // namespace lunaro::engine
