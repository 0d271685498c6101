#include <map>

#include "engine/exec/archive_rewrite.h"
#include "engine/exec/entry_facts.h"
#include "engine/exec/entry_names.h"
#include "engine/exec/run_arguments.h"
#include "engine/exec/run_reports.h"
#include "engine/exec/write_runs.h"
#include "engine/writer/name_encoding.h"

namespace lunaro::engine {

int32_t RunRename(const TDLLCommands& command, TEngineCallbacks& callbacks) {
    TArchiveRewrite rewrite(callbacks);
    if (const int result = rewrite.Start(true); result != 0) return result;
    const TRunArguments* args = &rewrite.Args();
    TArchiveInput& old = rewrite.Old();

    std::map<std::string, int> byName;
    for (int i = 0; i < old.Count(); ++i) byName.emplace(DisplayName(old.Entry(i)), i);
    std::map<int, TEntryChange> changes;
    for (const std::string& spec : args->Specs) {
        const size_t bar = spec.find(ZE_RENAME_SEPARATOR);
        const std::string from = spec.substr(0, bar);
        const std::string to = bar == std::string::npos ? std::string() : spec.substr(bar + 1);
        const auto found = byName.find(from);
        if (found == byName.end()) {
            if (!SkipItem(callbacks, from, ZE_SKIP_NOT_FOUND, ZE_ERR_NOT_FOUND)) return callbacks.StopCode();
            continue;
        }
        // The new name must be one an extraction could use as it is.
        const std::optional<TEntryPath> path = SafeEntryPath(to, true);
        const bool folder = !to.empty() && to.back() == '/';
        if (!path || to.find('\\') != std::string::npos || JoinedPath(*path) != to || folder != (from.back() == '/')) {
            if (!SkipItem(callbacks, to, ZE_SKIP_BAD_NAME, ZE_ERR_INVALID_NAME)) return callbacks.StopCode();
            continue;
        }
        if (to == from) continue;
        if (byName.count(to)) {
            if (!SkipItem(callbacks, to, ZE_SKIP_DUP_NAME, ZE_ERR_DUP_NAME)) return callbacks.StopCode();
            continue;
        }
        const int index = found->second;
        archive::TZKIRec& rec = old.Entry(index);
        const TStoredName stored = StoredName(to, command.fEncodedAs == 2);
        TEntryChange& change = changes[index];
        change.Name = stored.Bytes;
        change.NameIsUtf8 = stored.Utf8;
        // An encrypted entry whose sizes follow its data checks its password
        // against its DOS time: that time has to stay.
        const bool timeGuardsPassword = rec.Encrypted() && (rec.Flag() & kFlagDescriptor) != 0;
        if (command.fDate != 0 && !timeGuardsPassword) change.DosTime = command.fDate;
        byName.erase(found);
        byName.emplace(to, index);
    }
    if (callbacks.Stopped()) return callbacks.StopCode();
    const bool newComment = (command.fOptions & ZE_OPT_COMMENT) != 0;
    if (changes.empty() && !newComment) return 0;

    callbacks.Report(zacCount, {.Arg1 = static_cast<uint32_t>(old.Count())});
    const auto changed = [&](int i) {
        const auto change = changes.find(i);
        return std::optional<TEntryChange>(change == changes.end() ? TEntryChange{} : change->second);
    };
    if (const int result = rewrite.Begin(changed); result != 0) return result;
    const std::string comment =
        newComment ? callbacks.Argument(ZE_ARG_COMMENT).value_or(std::string()) : rewrite.OldComment();
    if (const int result = rewrite.Commit(comment, std::nullopt); result != 0) return result;
    // A new comment changes the archive as a whole: every entry was written again.
    return static_cast<int32_t>(newComment ? old.Count() : changes.size());
}

}  // namespace lunaro::engine
