#pragma once
// Which entries of the archive a run works on, and where each one goes: a
// file under the destination, or a caller's stream. A pattern of the form
// "N:name" sends the entry it matches to stream N; any other one is a
// wildcard pattern for files.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lunaro::engine {

inline constexpr int kNoStream = -1;

struct TSelectedEntry {
    int Index = 0;
    int Stream = kNoStream;
};

// "12:name" names stream 12 (name set to what follows the colon); a drive
// letter ("c:...") is not a number.
std::optional<int> StreamNumber(const std::string& spec, std::string& name);

// names holds every entry's decoded name, in directory order. No pattern
// at all selects every entry. Entries are returned in
// directory order; an excluded name is never selected, not even for a stream.
std::vector<TSelectedEntry> SelectEntries(const std::vector<std::string>& names, const std::vector<std::string>& specs,
                                          const std::vector<std::string>& excludes);

}  // namespace lunaro::engine
