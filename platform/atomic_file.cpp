#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/paths.h"

namespace lunaro::platform {

namespace {

std::string ResolvedTarget(const std::string& host) {
    char resolved[PATH_MAX];
    struct stat st {};
    if (::lstat(host.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && ::realpath(host.c_str(), resolved)) return resolved;
    return host;
}

bool WriteAll(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Temporaries are ".NAME.XXXXXX" (mkostemp's six characters).
constexpr std::string_view kTemporarySuffix = ".XXXXXX";

bool IsTemporaryOf(std::string_view entry, const std::string& name) {
    return entry.size() == 1 + name.size() + kTemporarySuffix.size() && entry[0] == '.' &&
           entry.substr(1, name.size()) == name && entry[1 + name.size()] == '.';
}

// A writer holds a lock on its temporary from creation to rename. One that
// nobody holds was left by a writer that died (a killed process): it would
// otherwise stay in the folder for good.
void RemoveAbandonedTemporaries(const std::string& folder, const std::string& name) {
    DIR* entries = ::opendir(folder.c_str());
    if (entries == nullptr) return;
    while (const dirent* entry = ::readdir(entries)) {
        if (!IsTemporaryOf(entry->d_name, name)) continue;
        const std::string path = folder + "/" + entry->d_name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(entries);
}

// Creates and locks a temporary beside the target; -1 on failure. A
// temporary removed by a cleaner between its creation and its lock is
// replaced by a new one.
int CreateLockedTemporary(std::vector<char>& temp, const std::string& pattern) {
    for (int attempt = 0; attempt < 8; ++attempt) {
        temp.assign(pattern.begin(), pattern.end());
        temp.push_back('\0');
        const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
        if (fd < 0) return -1;
        struct stat st {};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 0) return fd;
        ::close(fd);
    }
    errno = EAGAIN;
    return -1;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, mode_t mode) {
    std::string target = HostPath(path);
    while (target.size() > 1 && target.back() == '/') target.pop_back();
    if (target.empty() || target == "/") {
        errno = EINVAL;
        return false;
    }
    target = ResolvedTarget(target);
    const size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);

    RemoveAbandonedTemporaries(folder, name);
    std::vector<char> temp;
    const int fd = CreateLockedTemporary(temp, folder + "/." + name + std::string(kTemporarySuffix));
    if (fd < 0) return false;

    // The lock is held until the temporary has its final name.
    bool ok = WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    int err = ok ? 0 : errno;
    if (ok && std::rename(temp.data(), target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) ::unlink(temp.data());
    if (::close(fd) != 0 && ok) {
        ok = false;  // the bytes are in place, but the system reports a failure: say so
        err = errno;
    }
    if (!ok) {
        errno = err;
        return false;
    }
    SyncFolder(folder);
    return true;
}

}  // namespace lunaro::platform
