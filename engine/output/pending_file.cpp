#include "engine/output/pending_file.h"

#include "engine/output/leaf_check.h"
#include "engine/output/temp_name.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lunaro::engine {
namespace {

constexpr int kLinkTries = 8;

// Gives an unnamed file a name in folder. By its descriptor where the kernel
// lets the file's opener do that (newer kernels, or with the privilege); it
// saves a walk through /proc for every file. Through /proc otherwise, and
// from then on. errno tells why it failed; EEXIST when something already has
// the name.
std::atomic<bool> gEmptyPathRefused{false};

bool LinkAs(int fileFd, int folderFd, const std::string& name) {
    if (!gEmptyPathRefused.load(std::memory_order_relaxed)) {
        if (::linkat(fileFd, "", folderFd, name.c_str(), AT_EMPTY_PATH) == 0) return true;
        if (errno != ENOENT) return false;
        gEmptyPathRefused.store(true, std::memory_order_relaxed);
    }
    char procPath[64];
    std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", fileFd);
    return ::linkat(AT_FDCWD, procPath, folderFd, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

bool LinkUnnamed(int fileFd, int folderFd, std::string& name, std::string& error) {
    for (int attempt = 0; attempt < kLinkTries; ++attempt) {
        name = HiddenTempName();
        if (LinkAs(fileFd, folderFd, name)) return true;
        if (errno != EEXIST) break;
    }
    error = std::string("cannot name the extracted file: ") + std::strerror(errno);
    name.clear();
    return false;
}

}  // namespace

TPendingFile::TPendingFile(TSharedFd folder, TOwnedFd file, std::string leaf, std::string tempName,
                           int64_t declaredSize)
    : Folder(std::move(folder)),
      File(std::move(file)),
      Leaf(std::move(leaf)),
      TempName(std::move(tempName)),
      DeclaredSize(declaredSize) {}

TPendingFile::~TPendingFile() { Discard(); }

void TPendingFile::Discard() {
    File.Reset();
    if (!TempName.empty()) ::unlinkat(Folder->Get(), TempName.c_str(), 0);
    TempName.clear();
}

bool TPendingFile::Write(const uint8_t* data, size_t len, std::string& error) {
    if (!File.Valid()) {
        error = "\"" + Leaf + "\" is no longer open";
        return false;
    }
    if (len > static_cast<uint64_t>(DeclaredSize - WrittenBytes)) {
        error = "\"" + Leaf + "\" is longer than its declared size of " + std::to_string(DeclaredSize) + " bytes";
        return false;
    }
    const bool written = WriteAll(data, len, -1, error);
    if (written) WrittenBytes += static_cast<int64_t>(len);
    return written;
}

bool TPendingFile::WriteAll(const uint8_t* data, size_t len, int64_t offset, std::string& error) {
    while (len > 0) {
        const ssize_t n = offset < 0 ? ::write(File.Get(), data, len) : ::pwrite(File.Get(), data, len, offset);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = "cannot write \"" + Leaf + "\": " + std::strerror(errno);
            return false;
        }
        data += n;
        len -= static_cast<size_t>(n);
        if (offset >= 0) offset += n;
    }
    return true;
}

bool TPendingFile::WriteAt(int64_t offset, const uint8_t* data, size_t len, std::string& error) {
    if (!File.Valid() || offset < 0 || offset + static_cast<int64_t>(len) > WrittenBytes) {
        error = "\"" + Leaf + "\" cannot be rewritten there";
        return false;
    }
    return WriteAll(data, len, offset, error);
}

bool TPendingFile::TruncateTo(int64_t length, std::string& error) {
    if (!File.Valid() || length < 0 || length > WrittenBytes || ::ftruncate(File.Get(), length) != 0 ||
        ::lseek(File.Get(), length, SEEK_SET) != length) {
        error = "cannot cut \"" + Leaf + "\" back: " + std::strerror(errno);
        return false;
    }
    WrittenBytes = length;
    return true;
}

bool TPendingFile::Seal(unsigned mode, std::string& error) {
    if (File.Valid() && ::fchmod(File.Get(), static_cast<mode_t>(mode)) == 0 && ::fsync(File.Get()) == 0) return true;
    error = "cannot finish \"" + Leaf + "\": " + std::strerror(errno);
    return false;
}

bool TPendingFile::Commit(std::optional<int64_t> modTime, std::string& error) {
    if (!File.Valid()) {
        error = "\"" + Leaf + "\" is no longer open";
        return false;
    }
    const bool done = ApplyModTime(modTime, error) && GiveFinalName(error);
    Discard();
    return done;
}

bool TPendingFile::ApplyModTime(std::optional<int64_t> modTime, std::string& error) {
    if (!modTime) return true;
    const struct timespec times[2] = {{0, UTIME_NOW}, {static_cast<time_t>(*modTime), 0}};
    if (::futimens(File.Get(), times) == 0) return true;
    error = "cannot set the modification time of \"" + Leaf + "\": " + std::strerror(errno);
    return false;
}

// A name nobody has yet is taken by linking the unnamed file straight to it:
// link never follows or replaces what is there, so whatever appeared at the
// name since Look makes it fail. Only then is the name looked at, here and
// not only at Look: a regular file there is replaced by rename, which never
// follows a link at the target and fails on a folder, so a change after this
// check cannot redirect the file either. A name that was free when it was
// chosen is not replaced at all: whatever took it since came from outside
// the run.
bool TPendingFile::GiveFinalName(std::string& error) {
    const int folder = Folder->Get();
    if (TempName.empty()) {
        if (LinkAs(File.Get(), folder, Leaf)) return true;
        if (errno != EEXIST) {
            error = "cannot give \"" + Leaf + "\" its name: " + std::strerror(errno);
            return false;
        }
        if (NameMustBeFree) return NameAppeared(error);
    } else if (NameMustBeFree) {
        if (::renameat2(folder, TempName.c_str(), folder, Leaf.c_str(), RENAME_NOREPLACE) == 0) {
            TempName.clear();
            return true;
        }
        if (errno == EEXIST) return NameAppeared(error);
        // File systems that cannot promise this go on as below.
        if (errno != EINVAL && errno != ENOSYS) {
            error = "cannot give \"" + Leaf + "\" its name: " + std::strerror(errno);
            return false;
        }
    }
    if (!NameTakesFile(folder, Leaf, error)) return false;
    if (TempName.empty() && !LinkUnnamed(File.Get(), folder, TempName, error)) return false;
    if (::renameat(folder, TempName.c_str(), folder, Leaf.c_str()) != 0) {
        error = "cannot give \"" + Leaf + "\" its name: " + std::strerror(errno);
        return false;
    }
    TempName.clear();
    return true;
}

bool TPendingFile::NameAppeared(std::string& error) const {
    error = "\"" + Leaf + "\" appeared while it was being extracted; it is left as it is";
    return false;
}

}  // namespace lunaro::engine
