#pragma once
// Where an extraction writes: the base folder and everything below it,
// reached without ever following a symbolic link that is already there.
#include "engine/exec/entry_names.h"
#include "engine/output/folder_cache.h"
#include "engine/output/folder_walk.h"
#include "engine/output/made_names.h"
#include "engine/output/pending_file.h"

#include <cstdint>
#include <memory>
#include <string>

namespace lunaro::engine {

// What is at a path inside the destination, looked at without following a
// symbolic link in any component.
struct TExisting {
    enum Kind : uint8_t { None, File, Folder, Other /* link, device, ... */ } Kind = None;
    int64_t Size = 0;
    int64_t ModTime = 0;  // seconds since 1970, UTC
};

// The extraction's base folder, opened once (a directory descriptor); every
// path below it is walked component by component relative to its parent, so
// that no existing link in the destination is ever followed, whatever it
// points to. The base folder itself may be reached through links: the user
// chose it. Folders once reached stay open until the destination goes, so
// that each is walked to once per run. All members may be called from
// several threads at once.
class TDestination {
public:
    // nullptr with error text when the folder does not exist or cannot be opened.
    static std::unique_ptr<TDestination> Open(const std::string& baseDir, std::string& error);

    // A folder component that is a link or a file makes the path Other: it
    // cannot be reached. A name found free here (in a folder this run made,
    // without a system call) stays the run's: if something else has taken it
    // by the time the file is committed, that is left alone and the commit
    // fails, unless the run asked about the name more than once.
    TExisting Look(const TEntryPath& path) const;

    // Creates the missing folders of path (0755), refusing to pass through a
    // link or a non-folder. Used for folder entries and empty folders; the
    // leaf, when there is one, names a file and is not made.
    bool MakeFolders(const TEntryPath& path, std::string& error);

    // Creates the folders, then an unnamed temporary file (O_TMPFILE, or a
    // hidden named one where the file system lacks it) in the leaf's folder.
    // declaredSize caps what Write accepts. nullptr with error text on
    // failure. A leaf that is a folder or a link is not looked at here (Look
    // has, just before) but refused by Commit.
    std::unique_ptr<TPendingFile> Begin(const TEntryPath& path, int64_t declaredSize,
                                        std::string& error);

private:
    explicit TDestination(TSharedFd base) : Base(std::move(base)), Kept(TFolderCache::DefaultCapacity()) {}

    // The folder base/folders..., from the deepest one already kept.
    TWalkResult Reach(const std::vector<std::string>& folders, bool create, TSharedFd& folder,
                      std::string& error) const;

    const TSharedFd Base;
    // Looking fills it as well as creating: it only ever holds real folders.
    mutable TFolderCache Kept;
    // A name Look found free is one that Commit may not find taken.
    mutable TMadeNames Made;
};

}  // namespace lunaro::engine
