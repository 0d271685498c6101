#pragma once
// One entry's output on its way to its final name.
#include "engine/output/folder_cache.h"
#include "engine/output/owned_fd.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace lunaro::engine {

// Safe to use from a worker thread (one thread at a time per file): it owns
// its descriptors (the folder's shared with the destination's kept folders)
// and does not refer back to the destination. Destroyed
// without Commit, it leaves nothing behind and the old file untouched.
class TPendingFile {
public:
    ~TPendingFile();
    TPendingFile(const TPendingFile&) = delete;
    TPendingFile& operator=(const TPendingFile&) = delete;

    // false (error text set) on a write failure or when the total would
    // exceed declaredSize; nothing of a refused block is written.
    bool Write(const uint8_t* data, size_t len, std::string& error);
    int64_t Written() const { return WrittenBytes; }
    // For a file that is built rather than streamed (an archive): bytes put
    // back over what was already written, and a tail cut off again.
    bool WriteAt(int64_t offset, const uint8_t* data, size_t len, std::string& error);
    bool TruncateTo(int64_t length, std::string& error);
    // Gives the file its mode and waits until its bytes are on the disk, so
    // that the name it takes at Commit never points at a file a crash could
    // still empty.
    bool Seal(unsigned mode, std::string& error);
    // Gives the file its final name, atomically replacing an existing regular
    // file (never a folder, never a link: those are refused). modTime, when
    // set, is applied first (seconds since 1970 UTC). Mode 0644 (less the
    // umask). Once committed, or once Commit has failed, the file is done
    // with: later calls fail.
    bool Commit(std::optional<int64_t> modTime, std::string& error);

private:
    friend class TDestination;
    // tempName is empty for an unnamed (O_TMPFILE) file, else the hidden
    // name in folder that Discard removes unless the file took its name.
    TPendingFile(TSharedFd folder, TOwnedFd file, std::string leaf, std::string tempName,
                 int64_t declaredSize);

    // At offset, or at the file's position when offset is negative.
    bool WriteAll(const uint8_t* data, size_t len, int64_t offset, std::string& error);
    bool ApplyModTime(std::optional<int64_t> modTime, std::string& error);
    bool GiveFinalName(std::string& error);
    bool NameAppeared(std::string& error) const;
    // Closes the file and removes its hidden name, if it still has one.
    void Discard();

    TSharedFd Folder;
    TOwnedFd File;
    // Set when nothing had the name when it was chosen for this file: whatever
    // has it now came from outside the run and is not replaced.
    bool NameMustBeFree = false;
    std::string Leaf;
    std::string TempName;
    int64_t DeclaredSize;
    int64_t WrittenBytes = 0;
};

}  // namespace lunaro::engine
