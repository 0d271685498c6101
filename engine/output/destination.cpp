#include "engine/output/destination.h"

#include "engine/output/folder_walk.h"
#include "engine/output/leaf_check.h"
#include "engine/output/temp_name.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>

namespace lunaro::engine {
namespace {

constexpr int kFileMode = 0644;
constexpr int kNamedTempTries = 8;

// Kernels and file systems without O_TMPFILE answer with one of these.
bool UnnamedUnsupported(int err) { return err == EOPNOTSUPP || err == EISDIR || err == EINVAL; }

}  // namespace

std::unique_ptr<TDestination> TDestination::Open(const std::string& baseDir, std::string& error) {
    TOwnedFd base(::open(baseDir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!base.Valid()) {
        error = "cannot open the destination folder \"" + baseDir + "\": " + std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<TDestination>(new TDestination(std::move(base)));
}

TExisting TDestination::Look(const TEntryPath& path) const {
    std::vector<std::string> parents = path.Folders;
    std::string last = path.Leaf;
    if (last.empty()) {
        if (parents.empty()) return TExisting{TExisting::Folder, 0, 0};
        last = parents.back();
        parents.pop_back();
    }
    if (!PlainComponent(last)) return TExisting{TExisting::Other, 0, 0};
    TOwnedFd folder;
    std::string ignored;
    switch (WalkFolders(Base.Get(), parents, false, folder, ignored)) {
    case TWalkResult::Reached:
        return LookAtName(folder.Get(), last);
    case TWalkResult::Missing:
        return TExisting{};
    case TWalkResult::Blocked:
    case TWalkResult::Failed:
        break;
    }
    return TExisting{TExisting::Other, 0, 0};
}

bool TDestination::MakeFolders(const TEntryPath& path, std::string& error) {
    TOwnedFd folder;
    return WalkFolders(Base.Get(), path.Folders, true, folder, error) == TWalkResult::Reached;
}

std::unique_ptr<TPendingFile> TDestination::Begin(const TEntryPath& path, int64_t declaredSize,
                                                  std::string& error) {
    if (!PlainComponent(path.Leaf)) {
        error = "unsafe file name \"" + path.Leaf + "\"";
        return nullptr;
    }
    if (declaredSize < 0) {
        error = "negative size declared for \"" + path.Leaf + "\"";
        return nullptr;
    }
    TOwnedFd folder;
    if (WalkFolders(Base.Get(), path.Folders, true, folder, error) != TWalkResult::Reached) return nullptr;
    // Refused now rather than at Commit, so that no entry is decoded for a
    // name it can never take.
    if (!NameTakesFile(folder.Get(), path.Leaf, error)) return nullptr;

    TOwnedFd file(::openat(folder.Get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, kFileMode));
    std::string tempName;
    if (!file.Valid() && UnnamedUnsupported(errno)) {
        for (int attempt = 0; attempt < kNamedTempTries && !file.Valid(); ++attempt) {
            tempName = HiddenTempName();
            file.Reset(::openat(folder.Get(), tempName.c_str(),
                                O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, kFileMode));
            if (!file.Valid() && errno != EEXIST) break;
        }
    }
    if (!file.Valid()) {
        error = "cannot create a file for \"" + path.Leaf + "\": " + std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<TPendingFile>(
        new TPendingFile(std::move(folder), std::move(file), path.Leaf, std::move(tempName), declaredSize));
}

}  // namespace lunaro::engine
