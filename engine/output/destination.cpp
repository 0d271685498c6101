#include "engine/output/destination.h"

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

// "a/b/c" for the first depth folders: the components are plain names, so no
// two folders share a key.
std::string FolderKey(const std::vector<std::string>& folders, size_t depth) {
    std::string key;
    for (size_t i = 0; i < depth; ++i) {
        if (i > 0) key += '/';
        key += folders[i];
    }
    return key;
}

}  // namespace

std::unique_ptr<TDestination> TDestination::Open(const std::string& baseDir, std::string& error) {
    auto base = std::make_shared<TOwnedFd>(::open(baseDir.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!base->Valid()) {
        error = "cannot open the destination folder \"" + baseDir + "\": " + std::strerror(errno);
        return nullptr;
    }
    return std::unique_ptr<TDestination>(new TDestination(std::move(base)));
}

TWalkResult TDestination::Reach(const std::vector<std::string>& folders, bool create, TSharedFd& folder,
                                std::string& error) const {
    const auto keptAt = [&](size_t depth) { return depth == 0 ? Base : Kept.Find(FolderKey(folders, depth)); };
    size_t depth = folders.size();
    TSharedFd current = keptAt(depth);
    while (!current) current = keptAt(--depth);
    for (; depth < folders.size(); ++depth) {
        const std::string key = FolderKey(folders, depth + 1);
        TOwnedFd next;
        bool made = false;
        const TWalkResult result = StepInto(current->Get(), folders[depth], key + "/", create, next, made, error);
        if (result != TWalkResult::Reached) return result;
        if (made) Made.FolderMade(key);
        current = Kept.Keep(key, std::make_shared<TOwnedFd>(std::move(next)));
    }
    folder = std::move(current);
    return TWalkResult::Reached;
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
    const TMadeNames::TName name = TMadeNames::Name(FolderKey(parents, parents.size()), last);
    if (Made.FreeWithoutLooking(name)) return TExisting{};
    TSharedFd folder;
    std::string ignored;
    TExisting seen{TExisting::Other, 0, 0};
    switch (Reach(parents, false, folder, ignored)) {
    case TWalkResult::Reached:
        seen = LookAtName(folder->Get(), last);
        break;
    case TWalkResult::Missing:
        seen = TExisting{};
        break;
    case TWalkResult::Blocked:
    case TWalkResult::Failed:
        break;
    }
    if (seen.Kind == TExisting::None) Made.FoundFree(name);
    return seen;
}

bool TDestination::MakeFolders(const TEntryPath& path, std::string& error) {
    TSharedFd folder;
    return Reach(path.Folders, true, folder, error) == TWalkResult::Reached;
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
    TSharedFd folder;
    if (Reach(path.Folders, true, folder, error) != TWalkResult::Reached) return nullptr;

    TOwnedFd file(::openat(folder->Get(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, kFileMode));
    std::string tempName;
    if (!file.Valid() && UnnamedUnsupported(errno)) {
        for (int attempt = 0; attempt < kNamedTempTries && !file.Valid(); ++attempt) {
            tempName = HiddenTempName();
            file.Reset(::openat(folder->Get(), tempName.c_str(),
                                O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, kFileMode));
            if (!file.Valid() && errno != EEXIST) break;
        }
    }
    if (!file.Valid()) {
        error = "cannot create a file for \"" + path.Leaf + "\": " + std::strerror(errno);
        return nullptr;
    }
    auto pending = std::unique_ptr<TPendingFile>(
        new TPendingFile(std::move(folder), std::move(file), path.Leaf, std::move(tempName), declaredSize));
    const TMadeNames::TName name = TMadeNames::Name(FolderKey(path.Folders, path.Folders.size()), path.Leaf);
    pending->NameMustBeFree = Made.FoundFreeOnce(name);
    return pending;
}

}  // namespace lunaro::engine
