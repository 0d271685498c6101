#pragma once
// One change to an archive: the old one (when there is one) read through
// the archive reader, the new one written beside it and renamed over it
// only at Commit. Whatever stops the run before Commit leaves the old
// archive byte for byte as it was.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/exec/archive_input.h"
#include "engine/exec/engine_callbacks.h"
#include "engine/writer/archive_output.h"
#include "engine/writer/entry_copy.h"

namespace lunaro::engine {

class TArchiveRewrite {
public:
    explicit TArchiveRewrite(TEngineCallbacks& callbacks) : fCallbacks(callbacks) {}

    // Reads the old archive; a missing one is an error only with mustExist.
    // 0 or the engine error magnitude (error text set).
    int Open(const std::string& path, bool mustExist, std::string& error);
    bool HasOld() const { return fHasOld; }
    TArchiveInput& Old() { return fOld; }
    std::string OldComment();

    // Starts the new file and copies, as stored bytes, every old entry that
    // change gives a value for (nullopt: the entry is left out). 0, or the
    // run's negative result with the failure reported.
    int Begin(const std::function<std::optional<TEntryChange>(int)>& change);
    TArchiveOutput& Output() { return *fOutput; }
    // Copies one more old entry, unchanged, after what the output holds:
    // 0 or the run's negative result.
    int CopyOld(int index, const TEntryChange& change = {});
    // Directory, end records, flush, rename over the old archive: 0, or the
    // run's negative result.
    int Commit(const std::string& comment, std::optional<int64_t> modTime);

private:
    TEngineCallbacks& fCallbacks;
    std::string fPath;
    bool fHasOld = false;
    unsigned fMode = 0644;
    TArchiveInput fOld;
    std::unique_ptr<TArchiveOutput> fOutput;
};

}  // namespace lunaro::engine
