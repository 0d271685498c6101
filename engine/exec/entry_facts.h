#pragma once
// What the engine reads about an entry beyond the reader's plain values:
// its modification time as the file system wants it, and what kind of
// thing it stands for.
#include <cstdint>
#include <optional>
#include <string>

#include "archive/reader/irec.h"

namespace lunaro::engine {

// Seconds since 1970 UTC: the extended timestamp when the entry has one,
// else the DOS date and time read as local time; nullopt when neither is valid.
std::optional<int64_t> EntryModTime(const archive::TZKIRec& rec);

// A folder entry: its name ends with a separator.
bool IsFolderEntry(const archive::TZKIRec& rec);
// An entry made on a system with symbolic links that records one.
bool IsLinkEntry(const archive::TZKIRec& rec);

// The decoded name with "/" between folders, as people and messages see it.
std::string DisplayName(archive::TZKIRec& rec);

}  // namespace lunaro::engine
