#pragma once
// The caller's side of one selected entry: the decisions and questions
// before its data moves (name, place, existing file, password), and the
// reports after. Both run on the caller's thread; the data in between may
// move on a worker (entry_work.h).
#include <cstdint>
#include <optional>

#include "engine/exec/entry_selection.h"
#include "engine/exec/entry_work.h"
#include "engine/exec/run_context.h"

namespace lunaro::engine {

// The entry's work, or nullopt when it is not to be extracted (the reason
// has been reported) or the run stops.
std::optional<TEntryWork> PrepareEntry(TRunContext& context, const TSelectedEntry& selected, int64_t dataOffset);

// zacItem for the entry's start, and zacProgress for decoded bytes (false
// when the run is to stop).
void ReportEntryStart(TRunContext& context, const TEntryWork& work);
bool ReportProgress(TRunContext& context, int64_t delta);

// Reports how the entry's data went and ends the item; true when the entry
// was extracted (or tested) and checked.
bool FinishEntry(TRunContext& context, TEntryWork& work);

}  // namespace lunaro::engine
