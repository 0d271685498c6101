#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/date_time.h"
#include "platform/paths.h"

namespace lunaro::platform {

namespace {

std::optional<struct stat> StatOf(const std::string& path) {
    if (path.empty()) {
        errno = ENOENT;
        return std::nullopt;
    }
    struct stat st {};
    if (::stat(HostPath(path).c_str(), &st) != 0) return std::nullopt;
    return st;
}

// Where the name part starts: after the last separator, or after the colon
// of a leading drive letter ("c:x.txt").
size_t NameStart(const std::string& path) {
    size_t i = path.size();
    while (i > 0 && path[i - 1] != '\\' && path[i - 1] != '/') --i;
    if (i == 0 && HasDriveLetter(path)) return 2;
    return i;
}

std::string WithoutTrailingSeparators(std::string path) {
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    return path;
}

}  // namespace

bool ForceDirectories(const std::string& path) {
    const std::string host = HostPath(path);
    if (host.empty()) {
        errno = ENOENT;
        return false;
    }
    for (size_t i = 1; i <= host.size(); ++i) {
        if (i < host.size() && host[i] != '/') continue;
        const std::string prefix = host.substr(0, i);
        if (::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    if (::stat(host.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

bool FileExists(const std::string& path) {
    const auto st = StatOf(path);
    return st && !S_ISDIR(st->st_mode);
}

bool DirectoryExists(const std::string& path) {
    const auto st = StatOf(path);
    return st && S_ISDIR(st->st_mode);
}

bool DeleteFile(const std::string& path) {
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    return ::unlink(HostPath(path).c_str()) == 0;
}

bool RenameFile(const std::string& oldPath, const std::string& newPath) {
    if (oldPath.empty() || newPath.empty()) {
        errno = ENOENT;
        return false;
    }
    const std::string from = WithoutTrailingSeparators(HostPath(oldPath));
    std::string to = WithoutTrailingSeparators(HostPath(newPath));
    // The resolver finds the old file under the new name when only the
    // letter case differs; the caller wants the new spelling.
    if (to == from) {
        const std::string wanted = WithoutTrailingSeparators(newPath);
        to = ExtractFilePath(from) + ExtractFileName(wanted);
        if (to == from) return true;
    }
    return std::rename(from.c_str(), to.c_str()) == 0;
}

int64_t FileSize(const std::string& path) {
    const auto st = StatOf(path);
    if (!st || S_ISDIR(st->st_mode)) return -1;
    return static_cast<int64_t>(st->st_size);
}

std::optional<std::time_t> FileLastWriteUnixTime(const std::string& path) {
    const auto st = StatOf(path);
    if (!st) return std::nullopt;
    return st->st_mtime;
}

std::optional<double> FileLastWriteTime(const std::string& path) {
    const auto seconds = FileLastWriteUnixTime(path);
    if (!seconds) return std::nullopt;
    return DateTimeFromUnixTime(*seconds);
}

std::optional<std::string> ReadFileBytes(const std::string& path, size_t maxBytes) {
    if (path.empty()) {
        errno = ENOENT;
        return std::nullopt;
    }
    const int fd = ::open(HostPath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 || bytes.size() + static_cast<size_t>(n) > maxBytes) {
            const int err = n < 0 ? errno : EFBIG;
            ::close(fd);
            errno = err;
            return std::nullopt;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

std::string ExtractFilePath(const std::string& path) { return path.substr(0, NameStart(path)); }

std::string ExtractFileName(const std::string& path) { return path.substr(NameStart(path)); }

std::string ExtractFileExt(const std::string& path) {
    const size_t start = NameStart(path);
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot < start) return {};
    return path.substr(dot);
}

}  // namespace lunaro::platform
