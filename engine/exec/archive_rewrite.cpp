#include "engine/exec/archive_rewrite.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "engine/exec/run_reports.h"

namespace lunaro::engine {

int TArchiveRewrite::Open(const std::string& path, bool mustExist, std::string& error) {
    fPath = path;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT && !mustExist) return 0;
        error = "cannot find the archive \"" + path + "\": " + std::strerror(errno);
        return ZE_ERR_OPEN_ZIP;
    }
    fMode = st.st_mode & 07777;
    // Anything there that the reader refuses stays untouched: it may be
    // someone's file that only carries the archive's name.
    if (const int failed = fOld.Open(path, error); failed != 0) return failed;
    if (fOld.Zip().SFXOfs() != 0) {
        error = "the archive starts with a program; changing it is not supported";
        return ZE_ERR_MULTI_PART;
    }
    fHasOld = true;
    return 0;
}

std::string TArchiveRewrite::OldComment() { return fHasOld ? fOld.Zip().ZipComment() : std::string(); }

int TArchiveRewrite::Begin(const std::function<std::optional<TEntryChange>(int)>& change) {
    std::string error;
    fOutput = TArchiveOutput::Begin(fPath, error);
    if (!fOutput) return FailRun(fCallbacks, ZE_ERR_TEMP_FILE, error);
    for (int i = 0; fHasOld && i < fOld.Count(); ++i) {
        const std::optional<TEntryChange> kept = change(i);
        if (!kept) continue;
        if (const int result = CopyOld(i, *kept); result != 0) return result;
    }
    return fCallbacks.StopCode();
}

int TArchiveRewrite::CopyOld(int index, const TEntryChange& change) {
    std::string error;
    if (CopyEntry(fOld.Descriptor(), fOld.Entry(index), change, *fOutput,
                  [this](uint64_t) { return !fCallbacks.Stopped(); }, error))
        return fCallbacks.StopCode();
    return fCallbacks.Stopped() ? fCallbacks.StopCode() : FailRun(fCallbacks, ZE_ERR_WRITE, error);
}

int TArchiveRewrite::Commit(const std::string& comment, std::optional<int64_t> modTime) {
    if (fCallbacks.Stopped()) return fCallbacks.StopCode();
    if (!fOutput->Finish(comment, fMode, modTime)) return FailRun(fCallbacks, ZE_ERR_WRITE, fOutput->Error());
    fCallbacks.Report(zacEndOfBatch, {});
    return 0;
}

}  // namespace lunaro::engine
