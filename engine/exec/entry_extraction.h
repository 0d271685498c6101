#pragma once
// One selected entry, from its stored bytes to a file under the
// destination, a caller's stream, or (testing) nowhere.
#include <cstdint>

#include "engine/exec/entry_selection.h"
#include "engine/exec/run_context.h"

namespace lunaro::engine {

// True when the entry was extracted (or tested) and checked; every other
// outcome has been reported to the caller.
bool ExtractEntry(TRunContext& context, const TSelectedEntry& selected, int64_t dataOffset);

}  // namespace lunaro::engine
