#include "engine/exec/archive_rewrite.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

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

int TArchiveRewrite::Begin(std::string& error) {
    fOutput = TArchiveOutput::Begin(fPath, error);
    return fOutput ? 0 : ZE_ERR_TEMP_FILE;
}

bool TArchiveRewrite::Copy(int index, const TEntryChange& change, std::string& error) {
    archive::TZKIRec& rec = fOld.Entry(index);
    return CopyEntry(fOld.Descriptor(), rec, change, *fOutput, [this](uint64_t) { return !fCallbacks.Stopped(); },
                     error);
}

bool TArchiveRewrite::Commit(const std::string& comment, std::optional<int64_t> modTime, std::string& error) {
    if (fOutput->Finish(comment, fMode, modTime)) return true;
    error = fOutput->Error();
    return false;
}

}  // namespace lunaro::engine
