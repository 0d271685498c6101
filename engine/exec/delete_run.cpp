#include <set>

#include "engine/exec/archive_rewrite.h"
#include "engine/exec/entry_selection.h"
#include "engine/exec/run_arguments.h"
#include "engine/exec/run_reports.h"
#include "engine/exec/write_runs.h"

namespace lunaro::engine {

int32_t RunDelete(const TDLLCommands&, TEngineCallbacks& callbacks) {
    TArchiveRewrite rewrite(callbacks);
    if (const int result = rewrite.Start(true); result != 0) return result;
    const TRunArguments* args = &rewrite.Args();
    // No pattern selects nothing here: deleting is never the default.
    if (args->Specs.empty()) return 0;

    TArchiveInput& old = rewrite.Old();
    std::vector<std::string> names;
    for (int i = 0; i < old.Count(); ++i) names.emplace_back(old.Entry(i).DecodedName());
    std::set<int> doomed;
    for (const TSelectedEntry& entry : SelectEntries(names, args->Specs, args->Excludes)) doomed.insert(entry.Index);
    if (doomed.empty()) return 0;

    int64_t keptBytes = 0;
    for (int i = 0; i < old.Count(); ++i)
        if (!doomed.count(i)) keptBytes += old.Entry(i).CompressedSize();
    callbacks.Report(zacCount, {.Arg1 = static_cast<uint32_t>(old.Count() - static_cast<int>(doomed.size()))});
    callbacks.Report(zacSize, {.FileSize = keptBytes});
    const auto kept = [&](int i) { return doomed.count(i) ? std::nullopt : std::optional<TEntryChange>(TEntryChange{}); };
    if (const int result = rewrite.Begin(kept); result != 0) return result;
    if (const int result = rewrite.Commit(rewrite.OldComment(), std::nullopt); result != 0) return result;
    return static_cast<int32_t>(doomed.size());
}

}  // namespace lunaro::engine
