#pragma once
// Entry names as the engine matches and writes them.
#include <string>

#include "archive/messages/zk_exception.h"

namespace lunaro::archive {

// The failure (10309) of a name that cannot be an entry's.
EZipKeeper InvalidEntryName(const std::string& name);

// '/' between folders and nothing in front of the first.
std::string EngineEntryName(const std::string& name);

// A name a run gives a new or renamed entry, as EngineEntryName makes it;
// raises EZipKeeper for a wildcard (10307), and (10309) for an empty name,
// a drive, a character the archive's readers refuse, a "." or ".." folder
// that could lead an extraction elsewhere, or a folder name (ending in
// '/') where folderAllowed is false.
std::string NewEntryName(const std::string& name, bool folderAllowed);

}  // namespace lunaro::archive
