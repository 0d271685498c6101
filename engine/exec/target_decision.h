#pragma once
// Whether an entry may take its place under the destination, given what is
// there already and the run's overwrite, update and freshen options.
#include <cstdint>
#include <optional>

#include "engine/exec/run_options.h"
#include "engine/output/destination.h"

namespace lunaro::engine {

enum class TTargetVerdict : uint8_t {
    Write,        // nothing there, or an older file the run is to replace
    Ask,          // an existing file: the caller decides (zacOverwrite)
    NotThere,     // freshening, and there is no file to freshen
    NotOlder,     // updating or freshening, and the file there is not older
    InTheWay,     // a folder, a link or something else occupies the name
};

TTargetVerdict DecideTarget(const TExisting& existing, std::optional<int64_t> entryTime, const TRunOptions& options);

// The existing file is newer than the entry (zacOverwrite's Arg3).
bool ExistingIsNewer(const TExisting& existing, std::optional<int64_t> entryTime);

}  // namespace lunaro::engine
