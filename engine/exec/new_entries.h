#pragma once
// The entries an add run writes: each file's data read and compressed on
// the workers, piece by piece, and written to the new archive in order on
// the caller's thread, where every callback is made. A file that cannot be
// read to its end is cut back out of the archive and reported.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/exec/add_sources.h"
#include "engine/exec/engine_callbacks.h"
#include "engine/writer/archive_output.h"

namespace lunaro::engine {

struct TNewEntry {
    TAddSource Source;     // Path empty for a stream
    int Stream = -1;
    std::string Name;      // UTF-8
    int Level = 0;         // 0: stored
};

struct TNewEntryOptions {
    std::string Password;  // empty: not encrypted
    bool PreferOem = false;
};

// Writes entries after what out already holds. The indexes of the entries
// written, in order; nullopt when the run stopped or failed (error text
// set, or empty when the caller stopped it).
std::optional<std::vector<size_t>> WriteNewEntries(const TDLLCommands& command, TEngineCallbacks& callbacks,
                                                   const std::vector<TNewEntry>& entries,
                                                   const TNewEntryOptions& options, TArchiveOutput& out,
                                                   std::string& error);

}  // namespace lunaro::engine
