#include "archive/trash_can.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/date_time.h"

namespace lunaro::archive {

namespace fs = std::filesystem;

namespace {

// Path= holds the path percent-encoded as a URL path would be.
std::string EncodePath(const std::string& path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// Claims a name in info/ by creating its .trashinfo exclusively, so two
// deletions of files with the same name never share one entry.
int ClaimInfoFile(const fs::path& infoDir, const std::string& base, std::string& name) {
    for (int n = 1; n < 10000; ++n) {
        name = n == 1 ? base : base + "." + std::to_string(n);
        const fs::path info = infoDir / (name + ".trashinfo");
        const int fd = ::open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd >= 0) return fd;
        if (errno != EEXIST) return -1;
    }
    errno = EEXIST;
    return -1;
}

int MoveInto(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec) return 0;
    if (ec.value() != EXDEV) return ec.value();
    // Another file system: copy, then remove the original only once the
    // copy is complete.
    fs::copy(from, to, fs::copy_options::recursive, ec);
    if (ec) {
        fs::remove_all(to, ec);
        return EIO;
    }
    fs::remove_all(from, ec);
    return ec ? ec.value() : 0;
}

}  // namespace

std::string TrashFolder() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome) return (fs::path(dataHome) / "Trash").string();
    const char* home = std::getenv("HOME");
    return (fs::path(home ? home : "") / ".local/share/Trash").string();
}

int MoveToTrash(const std::string& path) {
    std::error_code ec;
    const fs::path source = fs::absolute(path, ec).lexically_normal();
    const fs::path trash = TrashFolder();
    const fs::path filesDir = trash / "files";
    const fs::path infoDir = trash / "info";
    fs::create_directories(filesDir, ec);
    fs::create_directories(infoDir, ec);
    if (ec) return ec.value();

    std::string name;
    const int fd = ClaimInfoFile(infoDir, source.filename().string(), name);
    if (fd < 0) return errno;
    const std::string info =
        "[Trash Info]\nPath=" + EncodePath(source.string()) + "\nDeletionDate=" + platform::LocalTimeText("%Y-%m-%dT%H:%M:%S") + "\n";
    const bool written = ::write(fd, info.data(), info.size()) == static_cast<ssize_t>(info.size());
    ::close(fd);
    const fs::path infoFile = infoDir / (name + ".trashinfo");
    const int moved = written ? MoveInto(source, filesDir / name) : EIO;
    if (moved != 0) fs::remove(infoFile, ec);
    return moved;
}

}  // namespace lunaro::archive
