#pragma once
// One change to an archive: the old one (when there is one) read through
// the archive reader, the new one written beside it and renamed over it
// only at Commit. Whatever stops the run before Commit leaves the old
// archive byte for byte as it was.
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

    // Starts the new file; 0 or an error magnitude.
    int Begin(std::string& error);
    TArchiveOutput& Output() { return *fOutput; }
    // Copies old entry index as stored bytes; false on a failure or a stop.
    bool Copy(int index, const TEntryChange& change, std::string& error);
    // Directory, end records, flush, rename over the old archive.
    bool Commit(const std::string& comment, std::optional<int64_t> modTime, std::string& error);

private:
    TEngineCallbacks& fCallbacks;
    std::string fPath;
    bool fHasOld = false;
    unsigned fMode = 0644;
    TArchiveInput fOld;
    std::unique_ptr<TArchiveOutput> fOutput;
};

}  // namespace lunaro::engine
