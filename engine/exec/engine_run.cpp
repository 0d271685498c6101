#include "engine/exec/engine_run.h"

#include <algorithm>
#include <new>
#include <thread>
#include <set>
#include <string>
#include <vector>

#include "engine/exec/entry_extraction.h"
#include "engine/exec/entry_facts.h"
#include "engine/exec/entry_names.h"
#include "engine/exec/entry_pipeline.h"
#include "engine/exec/entry_selection.h"
#include "engine/exec/run_context.h"
#include "engine/exec/run_keys.h"
#include "engine/exec/run_reports.h"
#include "engine/exec/stream_run.h"
#include "engine/exec/write_runs.h"
#include "engine/output/extent_check.h"

namespace lunaro::engine {

namespace {

bool Acceptable(const TDLLCommands* command) {
    return command && command->fVersion == ZE_ENGINE_VERSION && command->fCheck == ZE_COMMAND_CHECK &&
           command->ZCallbackFunc != nullptr;
}

// A record that asks for nothing this engine does is refused plainly
// instead of doing nothing quietly.
bool OffersOperation(const TDLLCommands& command) {
    return command.fSS != nullptr ||
           (command.fOptions & (ZE_OPT_ADD | ZE_OPT_DELETE | ZE_OPT_RENAME | ZE_OPT_EXTRACT | ZE_OPT_TEST)) != 0;
}

// Workers for the small entries' data; the caller's thread asks the
// questions and writes the large ones. Creating files is processor work in
// the kernel while the page cache takes the data, so one worker per core:
// more only contend for the file system's locks and the processor (with four
// on two cores, 20,000 small files took about a tenth longer on an idle
// machine; only beside other busy programs did the extra workers win a
// larger share of the processor).
unsigned WorkerCount() { return std::clamp(std::thread::hardware_concurrency(), 2u, 4u); }

class TEngineRun {
public:
    TEngineRun(const TDLLCommands& command, TEngineCallbacks& callbacks) : fContext(command, callbacks) {}

    int Execute();

private:
    int Prepare();
    // Folder entries are made (or passed over) here; what remains carries data.
    std::vector<TSelectedEntry> MakeFolders(const std::vector<TSelectedEntry>& selected);
    // The data offset of every entry, -1 for those refused because their
    // bytes lie in another entry's or their local header is bad.
    std::vector<int64_t> LocateData(const std::vector<TSelectedEntry>& selected);

    TRunContext fContext;
};

int TEngineRun::Prepare() {
    TEngineCallbacks& callbacks = fContext.Callbacks;
    std::optional<TRunArguments> args = FetchRunArguments(callbacks, !fContext.Options.Test);
    if (callbacks.Stopped()) return callbacks.StopCode();
    if (!args) return FailRun(callbacks, ZE_ERR_NOT_FOUND, "no archive named");
    fContext.Args = std::move(*args);
    fContext.Password = fContext.Args.Password;
    std::string error;
    if (const int failed = fContext.Archive.Open(fContext.Args.Archive, error); failed != 0)
        return FailRun(callbacks, failed, error);
    if (!fContext.Options.Test) {
        const std::string base = fContext.Args.BaseDir.empty() ? "." : fContext.Args.BaseDir;
        fContext.Destination = TDestination::Open(base, error);
        if (!fContext.Destination) return FailRun(callbacks, ZE_ERR_NOT_FOUND, error);
    }
    return 0;
}

std::vector<TSelectedEntry> TEngineRun::MakeFolders(const std::vector<TSelectedEntry>& selected) {
    std::vector<TSelectedEntry> files;
    for (const TSelectedEntry& entry : selected) {
        archive::TZKIRec& rec = fContext.Archive.Entry(entry.Index);
        if (!IsFolderEntry(rec)) {
            files.push_back(entry);
            continue;
        }
        if (fContext.Options.Test || !fContext.Options.KeepFolders || entry.Stream != kNoStream) continue;
        const std::optional<TEntryPath> path = SafeEntryPath(rec.DecodedName(), true);
        std::string error;
        if (!path) {
            if (!fContext.Skip(DisplayName(rec), ZE_SKIP_BAD_NAME, ZE_ERR_INVALID_NAME)) break;
        } else if (!fContext.Destination->MakeFolders(*path, error)) {
            if (!fContext.Skip(DisplayName(rec), ZE_SKIP_CANNOT_DO, ZE_ERR_CREATE)) break;
        }
    }
    return files;
}

std::vector<int64_t> TEngineRun::LocateData(const std::vector<TSelectedEntry>& selected) {
    std::vector<int64_t> offsets(selected.size(), -1);
    std::vector<TEntryExtent> extents;
    std::set<int> seen;
    for (size_t i = 0; i < selected.size(); ++i) {
        const int index = selected[i].Index;
        offsets[i] = fContext.Archive.DataOffset(index);
        // An entry sent to a stream and to a file claims its bytes once.
        if (offsets[i] < 0 || !seen.insert(index).second) continue;
        archive::TZKIRec& rec = fContext.Archive.Entry(index);
        const uint64_t begin = static_cast<uint64_t>(rec.RelOffLocalHdr());
        const uint64_t end = static_cast<uint64_t>(offsets[i]) + static_cast<uint64_t>(rec.CompressedSize());
        extents.push_back({begin, end, static_cast<uint32_t>(index)});
    }
    const std::vector<uint32_t> overlapping = OverlappingEntries(std::move(extents));
    const std::set<uint32_t> refused(overlapping.begin(), overlapping.end());
    for (size_t i = 0; i < selected.size(); ++i)
        if (refused.count(static_cast<uint32_t>(selected[i].Index))) offsets[i] = -1;
    return offsets;
}

int TEngineRun::Execute() {
    TEngineCallbacks& callbacks = fContext.Callbacks;
    if (const int failed = Prepare(); failed != 0) return failed;

    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(fContext.Archive.Count()));
    for (int i = 0; i < fContext.Archive.Count(); ++i) names.emplace_back(fContext.Archive.Entry(i).DecodedName());
    const std::vector<TSelectedEntry> selected =
        MakeFolders(SelectEntries(names, fContext.Args.Specs, fContext.Args.Excludes));
    if (callbacks.Stopped()) return callbacks.StopCode();

    int64_t totalSize = 0;
    for (const TSelectedEntry& entry : selected) totalSize += fContext.Archive.Entry(entry.Index).UncompressedSize();
    callbacks.Report(zacCount, {.Arg1 = static_cast<uint32_t>(selected.size())});
    callbacks.Report(zacSize, {.FileSize = totalSize});

    const std::vector<int64_t> offsets = LocateData(selected);
    TEntryPipeline pipeline(fContext, WorkerCount());
    for (size_t i = 0; i < selected.size() && !callbacks.Stopped(); ++i) {
        if (offsets[i] < 0) {
            fContext.Skip(DisplayName(fContext.Archive.Entry(selected[i].Index)), ZE_SKIP_FORMAT_WRONG,
                          ZE_ERR_ZIP_STRUCTURE);
            continue;
        }
        if (std::optional<TEntryWork> work = PrepareEntry(fContext, selected[i], offsets[i]))
            pipeline.Run(std::move(*work));
    }
    pipeline.Finish();
    if (!callbacks.Stopped()) callbacks.Report(zacEndOfBatch, {});
    return callbacks.Stopped() ? callbacks.StopCode() : pipeline.Done();
}

}  // namespace

int32_t RunEngineCommand(TDLLCommands* command) {
    if (!Acceptable(command)) return -ZE_ERR_BAD_OPTIONS;
    try {
        const TRunKey key;
        TEngineCallbacks callbacks(*command, key);
        // The key goes out first: from here on the call can be aborted.
        callbacks.Report(zacKey, {.Arg1 = key.Key()});
        if (callbacks.Stopped()) return callbacks.StopCode();
        if (!OffersOperation(*command))
            return FailRun(callbacks, ZE_ERR_BAD_OPTIONS, "the record asks for no operation this engine offers");
        try {
            if (command->fSS != nullptr) return RunStreamCommand(*command, callbacks);
            if (command->fOptions & ZE_OPT_ADD) return RunAdd(*command, callbacks);
            if (command->fOptions & ZE_OPT_DELETE) return RunDelete(*command, callbacks);
            if (command->fOptions & ZE_OPT_RENAME) return RunRename(*command, callbacks);
            TEngineRun run(*command, callbacks);
            return run.Execute();
        } catch (const std::bad_alloc&) {
            return FailRun(callbacks, ZE_ERR_NO_MEMORY, "out of memory");
        } catch (const std::exception& e) {
            return FailRun(callbacks, ZE_ERR_FATAL, e.what());
        }
    } catch (const std::bad_alloc&) {
        return -ZE_ERR_NO_MEMORY;
    } catch (...) {
        return -ZE_ERR_FATAL;
    }
}

}  // namespace lunaro::engine
