#include "engine/output/folder_walk.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace lunaro::engine {
namespace {

// O_PATH: a folder the user may not list can still be passed through.
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// A link opened with O_PATH|O_NOFOLLOW can yield a descriptor of the link
// itself on some kernels; fstat settles what was really opened.
bool IsRealFolder(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
}

int OpenFolder(int parent, const std::string& name) {
    const int fd = ::openat(parent, name.c_str(), kFolderFlags);
    if (fd >= 0 && !IsRealFolder(fd)) {
        TOwnedFd discard(fd);
        errno = ENOTDIR;
        return -1;
    }
    return fd;
}

}  // namespace

bool PlainComponent(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

TWalkResult StepInto(int parentFd, const std::string& name, const std::string& walked, bool create,
                     TOwnedFd& folder, bool& made, std::string& error) {
    made = false;
    if (!PlainComponent(name)) {
        error = "unsafe folder name \"" + walked + "\"";
        return TWalkResult::Blocked;
    }
    int fd = OpenFolder(parentFd, name);
    if (fd < 0 && errno == ENOENT) {
        if (!create) {
            error = "\"" + walked + "\" does not exist";
            return TWalkResult::Missing;
        }
        // EEXIST: someone else made it meanwhile; the open below decides
        // whether what is there now may be passed through.
        made = ::mkdirat(parentFd, name.c_str(), 0755) == 0;
        if (!made && errno != EEXIST) {
            error = "cannot create the folder \"" + walked + "\": " + std::strerror(errno);
            return TWalkResult::Failed;
        }
        fd = OpenFolder(parentFd, name);
    }
    if (fd < 0) {
        if (errno == ENOTDIR || errno == ELOOP) {
            error = "\"" + walked + "\" is a link or not a folder";
            return TWalkResult::Blocked;
        }
        error = "cannot open the folder \"" + walked + "\": " + std::strerror(errno);
        return TWalkResult::Failed;
    }
    folder.Reset(fd);
    return TWalkResult::Reached;
}

}  // namespace lunaro::engine
